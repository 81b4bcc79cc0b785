// corvex-settings: a settings file ("CORVEX.EMS") read, edited and compared from the shell, by the
// runner's field names and through the same range repair as a recall.
#pragma once
#include <ostream>
#include <string>
#include <vector>

// args without the program name: dump FILE | set FILE NAME=VALUE... | diff A B | --help.
// Returns the exit status: 0 done (diff: the same), 1 diff found differences, 2 an error.
int settingsToolMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
