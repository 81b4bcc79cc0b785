// Golden-image comparison of the Framebuffer, index for index, against tests/golden/<name>.png.
// A mismatch writes the actual image and a diff under the build folder; CORVEX_UPDATE_GOLDEN=1
// rewrites the golden instead.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "images/png_io.h"

// Compares an indexed PNG already written (e.g. by a scenario) with its golden.
testing::AssertionResult matchesGoldenFile(const std::string& actualPng, const std::string& goldenName);
// Writes the Framebuffer as the actual image of goldenName and compares it.
testing::AssertionResult framebufferMatchesGolden(const std::string& goldenName);
