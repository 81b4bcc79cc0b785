// The power cycle: notices as passes, keys ending them, power-off timing, key storage rules.
#include <gtest/gtest.h>

#include "device.h"
#include "display/framebuffer.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "settings/settings.h"
#include "scenario/scenario.h"
#include "test_support.h"
#include "time/clock.h"
#include "ui/screen.h"

namespace {

class PowerCycle : public testing::Test {
protected:
    void SetUp() override { resetDevice(); }
    void TearDown() override { resetDevice(); }

    static int passesUntilRunning()
    {
        int n = 0;
        while (devicePhase != DevicePhase::Running && n < 10000) {
            devicePass();
            ++n;
        }
        return n;
    }
};

TEST_F(PowerCycle, EachNoticeLastsItsFullLengthWithoutKeys)
{
    devicePowerOn();
    EXPECT_EQ(devicePhase, DevicePhase::SplashNotice);
    for (int i = 0; i < NOTICE_PASSES; ++i) ASSERT_TRUE(devicePass());
    EXPECT_EQ(devicePhase, DevicePhase::SplashNotice);
    ASSERT_TRUE(devicePass());  // the splash is over; this pass shows the expiry notice
    EXPECT_EQ(devicePhase, DevicePhase::ExpiryNotice);
    for (int i = 1; i < NOTICE_PASSES; ++i) ASSERT_TRUE(devicePass());
    EXPECT_EQ(devicePhase, DevicePhase::ExpiryNotice);
    ASSERT_TRUE(devicePass());
    EXPECT_EQ(devicePhase, DevicePhase::Running);
}

TEST_F(PowerCycle, AKeyEndsEachNoticeAndIsDiscarded)
{
    devicePowerOn();
    devicePass();
    devicePressKey(KeySoft3);
    devicePass();
    EXPECT_EQ(devicePhase, DevicePhase::ExpiryNotice);
    EXPECT_EQ(pendingKey, KeyNone);
    devicePressKey(KeyKnobPlus);
    devicePass();
    EXPECT_EQ(devicePhase, DevicePhase::Running);
    EXPECT_EQ(pendingKey, KeyNone);
}

TEST_F(PowerCycle, AKeyStoredWhileOffIsClearedByPowerOn)
{
    devicePressKey(KeySoft2);
    EXPECT_EQ(pendingKey, KeySoft2);
    devicePowerOn();
    EXPECT_EQ(pendingKey, KeyNone);
    devicePass();
    EXPECT_EQ(devicePhase, DevicePhase::SplashNotice);  // the stale key did not end the splash
}

TEST_F(PowerCycle, OnlyTheFirstOfTwoKeysBetweenPassesIsKept)
{
    devicePressKey(KeySoft4);
    devicePressKey(KeyKnobPress);
    EXPECT_EQ(pendingKey, KeySoft4);
    pendingKey = KeyNone;
    devicePressKey(0);
    devicePressKey(9);
    EXPECT_EQ(pendingKey, KeyNone);
}

TEST_F(PowerCycle, OffDuringTheSplashDoesNotShortenItAndTheLoopThenEndsAtOnce)
{
    devicePowerOn();
    devicePass();
    devicePowerOff();
    int passes = 1;
    while (devicePass()) ++passes;
    EXPECT_EQ(passes, 2 * NOTICE_PASSES);
    EXPECT_EQ(devicePhase, DevicePhase::Off);
    EXPECT_FALSE(devicePass());
}

TEST_F(PowerCycle, OffWhileRunningEndsBeforeTheNextPassAndKeepsTheFrame)
{
    devicePowerOn();
    passesUntilRunning();
    framebuffer[7] = 99;  // as if a screen had drawn it; power-off must not clear anything
    devicePowerOff();
    EXPECT_FALSE(devicePass());
    EXPECT_FALSE(deviceIsOn());
    EXPECT_EQ(framebuffer[7], 99);
}

TEST_F(PowerCycle, SecondOnWhileRunningIsIgnored)
{
    devicePowerOn();
    passesUntilRunning();
    devicePowerOn();
    EXPECT_EQ(devicePhase, DevicePhase::Running);
}

TEST_F(PowerCycle, PowerOnComesBackOnTheScreenActiveAtPowerOff)
{
    static int calls = 0;
    calls = 0;
    currentScreen = [] {
        ++calls;
        pendingKey = KeyNone;
    };
    devicePowerOn();
    passesUntilRunning();
    EXPECT_EQ(calls, 1);
    devicePowerOff();
    devicePass();
    devicePowerOn();
    passesUntilRunning();
    EXPECT_EQ(calls, 2);
}

TEST_F(PowerCycle, PowerOnInitialisesDeviceState)
{
    stepMultiplier = 100;
    variationStepCount = 3;
    sdCardPresent = 0;
    devicePowerOn();
    EXPECT_EQ(stepMultiplier, 1);
    EXPECT_EQ(variationStepCount, 600);
    EXPECT_EQ(sdCardPresent, 1);
    EXPECT_EQ(coUnitFault, 1);
    EXPECT_EQ(powerOffRequest, 0);
}

TEST_F(PowerCycle, PowerOnResetsTheCalibrationBlockButKeepsTheCurrentSensorZero)
{
    EXPECT_EQ(+calibration.currentZero, 0);  // as at program start
    devicePowerOn();
    passesUntilRunning();
    calibration.currentZero = 2048;  // ZERO CURRENT SENSOR with the sensor at 2048
    calibration.voltsCalPercent = 120;
    calibration.senderZero[2] = 1000;
    devicePowerOff();
    devicePass();
    devicePowerOn();
    EXPECT_EQ(+calibration.currentZero, 2048);
    EXPECT_EQ(+calibration.voltsCalPercent, 100);
    EXPECT_EQ(+calibration.senderZero[2], 2048);
    passesUntilRunning();
    settings.currentOn = 1;
    rawCurrent = 2048;
    devicePass();
    EXPECT_EQ(current, 0);  // not the +25 A of a zero at 0
    settings.currentOn = 0;
    // So does the working reset a recording starts from (the instrument off).
    devicePowerOff();
    devicePass();
    resetWorkingValues();
    EXPECT_EQ(+calibration.currentZero, 2048);
}

TEST_F(PowerCycle, MainLoopReadsTheHostControlsEveryPass)
{
    devicePowerOn();
    passesUntilRunning();
    hostControls.sdCardMounted = false;
    hostControls.zedaOn = false;
    hostControls.coUnitOk = true;
    devicePass();
    EXPECT_EQ(sdCardPresent, 0);
    EXPECT_EQ(remoteUnitOn, 0);
    EXPECT_EQ(coUnitFault, 0);
    hostControls = HostControls{};
    devicePass();
    EXPECT_EQ(sdCardPresent, 1);
    EXPECT_EQ(remoteUnitOn, 1);
    EXPECT_EQ(coUnitFault, 1);
}

TEST_F(PowerCycle, ExpiryNoticeDrawsTheRedBoxInAWhiteFrame)
{
    devicePowerOn();
    devicePressKey(KeySoft1);
    devicePass();
    EXPECT_EQ(pixelAt(69, 96), COLOUR_WHITE);
    EXPECT_EQ(pixelAt(411, 176), COLOUR_WHITE);
    EXPECT_EQ(pixelAt(70, 97), COLOUR_RED);
    EXPECT_EQ(pixelAt(410, 175), COLOUR_RED);
    EXPECT_EQ(pixelAt(68, 96), COLOUR_BLACK);
    EXPECT_EQ(pixelAt(412, 177), COLOUR_BLACK);
}

TEST_F(PowerCycle, TheMainLoopRefreshesTheClockFromTheHost)
{
    hostUtcSeconds = 951868799;  // 2000-02-29 23:59:59
    devicePowerOn();
    passesUntilRunning();
    EXPECT_EQ(utcSeconds, 951868799u);
    EXPECT_EQ(rtcDateTime.day, 29);
    EXPECT_EQ(rtcDateTime.month, 2);
    hostUtcSeconds += 1;
    devicePass();
    EXPECT_EQ(rtcDateTime.day, 1);
    EXPECT_EQ(rtcDateTime.month, 3);
}

}  // namespace
