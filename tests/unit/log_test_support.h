// Shared set-up of the flight log and data recording tests: a fresh running instrument with its
// card in a temporary folder, and the one press() helper for key sequences.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "card_support.h"
#include "device.h"
#include "display/framebuffer.h"
#include "scenario/scenario.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "ui/screen.h"

namespace logtest {

namespace fs = std::filesystem;

// One pass per key: '+' and '-' turn the knob, 'p' presses it, '1'..'5' the push buttons.
inline void press(const std::string& keys)
{
    for (const char k : keys) {
        pendingKey = static_cast<uint8_t>(k == '+' ? KeyKnobPlus : k == '-' ? KeyKnobMinus
                                                              : k == 'p'   ? KeyKnobPress
                                                                           : k - '0');
        currentScreen();
        ASSERT_EQ(pendingKey, KeyNone) << "key " << k << " left pending";
    }
}

inline std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Comma-separated fields of each CR LF line.
inline std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        EXPECT_FALSE(line.empty() || line.back() != '\r') << "line without CR LF: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream fieldsIn(line);
        for (std::string field; std::getline(fieldsIn, field, ',');) fields.push_back(field);
        if (!line.empty() && line.back() == ',') fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

class CardTest : public testing::Test {
protected:
    fs::path card;

    void SetUp() override
    {
        resetDevice();
        buildTrigTables();
        loadDefaultSettings();
        card = freshCardFolder("log_card_");
        sdCardPresent = 1;
        devicePhase = DevicePhase::Running;
        cursorLine = listTop = editMode = 0;
        stepMultiplier = 1;
    }
    void TearDown() override
    {
        devicePhase = DevicePhase::Off;
        resetDevice();
        loadDefaultSettings();
        std::error_code ignored;
        fs::permissions(card, fs::perms::owner_all, ignored);
        fs::remove_all(card, ignored);
    }
    void open(ScreenFunction screen, uint8_t cursor)
    {
        currentScreen = screen;
        cursorLine = cursor;
    }
};

}  // namespace logtest
