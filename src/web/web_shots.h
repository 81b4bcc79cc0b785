// The screenshots a script took in the web edition since the last call, one "PATH HASH" line each.
#pragma once
#include <string>

std::string takeScreenshotLog();
