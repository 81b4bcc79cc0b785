// Whatever the card holds, the instrument keeps running: random settings files and random
// splash pictures followed by passes of every screen, with inputs at their extremes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "card_support.h"
#include "device.h"
#include "device_inputs.h"
#include "scenario/scenario.h"
#include "settings/menus.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "time/clock.h"
#include "time/data_recording.h"
#include "time/flight_log.h"
#include "time/documents.h"
#include "time/ecu_co.h"
#include "ui/home.h"
#include "ui/screen.h"
#include "ui/screen_registry.h"
#include "ui/list_screen.h"
#include "engine/setup_screens.h"

namespace fs = std::filesystem;

namespace {

class Robustness : public testing::Test {
protected:
    void SetUp() override
    {
        resetDevice();
        card = freshCardFolder("robust_card_");
    }
    void TearDown() override
    {
        resetDevice();
        fs::remove_all(card);
    }

    void writeFile(const char* name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(card / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static void runToMainLoop()
    {
        devicePowerOn();
        devicePressKey(KeySoft1);
        devicePass();
        devicePressKey(KeySoft1);
        devicePass();
        ASSERT_EQ(devicePhase, DevicePhase::Running);
    }

    // Every registered screen (pop-ups over the home screen), with every key, at the inputs'
    // extremes.
    static void exerciseScreens(std::mt19937& random)
    {
        size_t count = 0;
        const RegisteredScreen* screens = registeredScreens(count);
        for (size_t i = 0; i < count; ++i) {
            currentScreen = screens[i].overlay ? homeScreen : screens[i].function;
            if (screens[i].overlay) overlayScreen = screens[i].function, overlayTimeout = 5;
            returnScreen = homeScreen;
            for (uint8_t key = KeyNone; key <= KeyKnobMinus; ++key) {
                for (const InputControlInfo& control : inputControls)
                    setInputControl(control.id, random() % 2 ? control.minimum : control.maximum);
                devicePressKey(key);
                devicePass();
            }
            slowStep();  // the flight log, its detection and the recording under the same settings
        }
    }

    fs::path card;
};

TEST_F(Robustness, RandomSettingsFilesNeverUpsetThePasses)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 60; ++round) {
        std::vector<uint8_t> bytes(round % 3 == 0 ? random() % SETTINGS_SIZE : SETTINGS_SIZE);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        if (round % 4 == 0) std::fill(bytes.begin(), bytes.end(), static_cast<uint8_t>(round % 2 ? 0x00 : 0xFF));
        writeFile(SETTINGS_FILE_NAME, bytes);
        runToMainLoop();
        ASSERT_TRUE(recallSettingsFile());
        exerciseScreens(random);
        devicePowerOff();
        devicePass();
    }
}

// Scripts and later setup screens can put any value into any field without a recall's repair:
// every page must still draw and every channel still compute without a fault.
TEST_F(Robustness, UnrepairedRandomSettingsNeverUpsetThePages)
{
    std::mt19937 random(99);
    runToMainLoop();
    for (int round = 0; round < 300; ++round) {
        auto* bytes = reinterpret_cast<uint8_t*>(&settings);
        for (size_t i = 0; i < sizeof settings; ++i) bytes[i] = static_cast<uint8_t>(random());
        if (round % 3 == 0)  // extreme values byte-wise as well
            for (size_t i = 0; i < sizeof settings; ++i) bytes[i] = random() % 2 ? 0xFF : 0x00;
        for (const InputControlInfo& control : inputControls)
            setInputControl(control.id, control.minimum + static_cast<int32_t>(random() % (control.maximum - control.minimum + 1)));
        for (uint8_t page = 0; page < 4; ++page) {
            homePage = page;
            currentScreen = homeScreen;
            devicePass();
        }
        hostTick();
    }
}

// Setup screens opened on any state a script can make: unrepaired settings, any cursor, step,
// channel and working curve, then random keys.
TEST_F(Robustness, RandomListStateNeverUpsetsTheRegisteredScreens)
{
    std::mt19937 random(4242);
    runToMainLoop();
    size_t count = 0;
    const RegisteredScreen* screens = registeredScreens(count);
    for (int round = 0; round < 100; ++round) {
        auto* bytes = reinterpret_cast<uint8_t*>(&settings);
        for (size_t i = 0; i < sizeof settings; ++i) bytes[i] = static_cast<uint8_t>(random());
        auto* curve = reinterpret_cast<uint8_t*>(&workingCurve);
        for (size_t i = 0; i < sizeof workingCurve; ++i) curve[i] = static_cast<uint8_t>(random());
        for (size_t i = 0; i < count; ++i) {
            if (screens[i].overlay) continue;
            currentScreen = screens[i].function;
            cursorLine = static_cast<uint8_t>(random());
            listChannel = static_cast<uint8_t>(random());
            stepMultiplier = static_cast<uint16_t>(random());
            editMode = static_cast<uint8_t>(random() % 2);
            workingCurveTemperature = static_cast<uint8_t>(random() % 2);
            for (int k = 0; k < 12; ++k) {
                devicePressKey(static_cast<uint8_t>(1 + random() % 8));
                devicePass();
                ASSERT_EQ(pendingKey, KeyNone);
            }
        }
    }
}

TEST_F(Robustness, RandomSplashPicturesNeverUpsetPowerOn)
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> bytes(4 + random() % 4000);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        // Plausible headers too, so the decoder gets past its checks.
        const uint16_t width = static_cast<uint16_t>(1 + random() % 480), height = static_cast<uint16_t>(1 + random() % 272);
        if (round % 2) {
            bytes[0] = static_cast<uint8_t>(width), bytes[1] = static_cast<uint8_t>(width >> 8);
            bytes[2] = static_cast<uint8_t>(height), bytes[3] = static_cast<uint8_t>(height >> 8);
        }
        writeFile("SPLASH.MIF", bytes);
        devicePowerOn();
        for (int i = 0; i < 3; ++i) devicePass();
        resetDevice();
        setSdCardFolder(card.string().c_str());
    }
}

}  // namespace
