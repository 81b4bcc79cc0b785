// A scratch SD card folder of each test's own, with the instrument pointed at it.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/sdcard.h"

// Set while a test wants the card write-protected: the fopen seam of test_fault_injection.cpp then
// fails every opening for writing, as a write-protected card would even for root.
extern bool readOnlyFolder;
// Bytes the write calls may still store before they fail as a full card would (negative: no
// fault); the fwrite seam of test_fault_injection.cpp.
extern long long writeBudget;

// An empty folder below the tests' temporary folder, named after the running test's suite and
// name (tests may run in parallel processes, and two suites may hold a test of the same name),
// set as the instrument's card folder.
inline std::filesystem::path freshCardFolder(const std::string& prefix)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path card = std::filesystem::path(testing::TempDir()) /
                                       (prefix + test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(card);
    std::filesystem::create_directories(card);
    setSdCardFolder(card.string().c_str());
    return card;
}
