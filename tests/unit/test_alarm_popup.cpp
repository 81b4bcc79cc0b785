// The alarm pop-up: announcement timing pass by pass and step by step, ACK and its silence, the
// pilot's menu waiting underneath, more alarms than lines, the message texts with their labels,
// and the front panel lamp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device.h"
#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "runner/scenario.h"
#include "script_support.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/alarm_popup.h"
#include "ui/home.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

constexpr int kPassesPer100Ms = 100;  // the host's 1000 passes a second

// One key on the home screen: 1-5 the push buttons, p the knob press, + and - the knob turns.
void press(char key)
{
    switch (key) {
    case 'p': pendingKey = KeyKnobPress; break;
    case '+': pendingKey = KeyKnobPlus; break;
    case '-': pendingKey = KeyKnobMinus; break;
    default: pendingKey = static_cast<uint8_t>(key - '0'); break;
    }
    homeScreen();
    EXPECT_EQ(pendingKey, KeyNone) << "key " << key << " left pending";
}

class AlarmPopup : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        updateFuelLayout();
        alarmFlags = alarmAcked = 0;
        resetAlarmAnnouncements();
        currentScreen = homeScreen;
        homePage = 0;
        overlayTimeout = 0;
        overlayScreen = nullptr;
        pendingKey = KeyNone;
        leanActive = leanDeltaMode = 0;
        elapsed = 0;
        changes = 0;
    }

    // A timeline of the MAP alarm, one character per 100 ms of passes: X due on every pass, . clear,
    // f due on every other pass (a value on its limit); A the ACK key; blanks for reading. The
    // slow step falls after every tenth 100 ms. Counts how often the announcement changed.
    void run(const char* timeline)
    {
        for (const char* c = timeline; *c; ++c) {
            if (*c == ' ') continue;
            if (*c == 'A') {
                const bool before = announced();
                press('1');
                if (announced() != before) ++changes;
                continue;
            }
            for (int pass = 0; pass < kPassesPer100Ms; ++pass) {
                updateAlarm(ALARM_MAP, *c == 'X' || (*c == 'f' && pass % 2 == 0));
                trackAlarmPass();
            }
            if (++elapsed % 10 == 0) {
                const bool before = announced();
                slowStep();
                if (announced() != before) ++changes;
            }
        }
    }

    static bool announced() { return (alarmAnnounced & ALARM_MAP) != 0; }

    int elapsed = 0;  // in 100 ms
    int changes = 0;
};

TEST_F(AlarmPopup, AnnouncementTiming)
{
    const struct Case {
        const char* name;
        const char* timeline;
        bool announcedAtEnd;
        int changes;
    } cases[] = {
        {"set for 1.9 s: silent", "XXXXXXXXXX XXXXXXXXX. ..........", false, 0},
        {"set for 2 s: announced", "XXXXXXXXXX XXXXXXXXXX", true, 1},
        {"set in mid-step: 2 s are not yet two whole steps", ".....XXXXX XXXXXXXXXX XXXXX", false, 0},
        {"set in mid-step: announced at the second whole step", ".....XXXXX XXXXXXXXXX XXXXXXXXXX", true, 1},
        {"ACK, still set: silent", "XXXXXXXXXX XXXXXXXXXX A XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX", false, 2},
        {"ACK, cleared, set again: announced after 2 s",
         "XXXXXXXXXX XXXXXXXXXX A XXXXXXXXXX .......... XXXXXXXXXX XXXXXXXXXX", true, 3},
        {"ACK, cleared, set again for 1.9 s: silent",
         "XXXXXXXXXX XXXXXXXXXX A XXXXXXXXXX .......... XXXXXXXXXX XXXXXXXXX.", false, 2},
        {"flickering pass by pass: never announced", "ffffffffff ffffffffff ffffffffff ffffffffff ffffffffff", false, 0},
        {"flickering after the announcement: the line stays",
         "XXXXXXXXXX XXXXXXXXXX ffffffffff ffffffffff ffffffffff", true, 1},
        {"flickering after ACK: stays silent", "XXXXXXXXXX XXXXXXXXXX A ffffffffff ffffffffff ffffffffff", false, 2},
        {"clear for two whole steps: withdrawn", "XXXXXXXXXX XXXXXXXXXX .......... ..........", false, 2},
        {"clear for one step: kept", "XXXXXXXXXX XXXXXXXXXX .......... XXXXXXXXXX", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        run(c.timeline);
        EXPECT_EQ(announced(), c.announcedAtEnd);
        EXPECT_EQ(changes, c.changes);
    }
}

TEST_F(AlarmPopup, AckSilencesOnlyWhileTheBitHolds)
{
    run("XXXXXXXXXX XXXXXXXXXX A");
    EXPECT_EQ(alarmAcked, ALARM_MAP);
    run("X.");
    EXPECT_EQ(alarmAcked, 0u);  // the channel clears its ack with its bit
}

TEST_F(AlarmPopup, KeysWhileShown)
{
    const struct Case {
        const char* keys;
        bool announcedAfter;
        uint8_t pageAfter;
    } cases[] = {
        {"1", false, 0}, {"p", false, 0}, {"5", true, 0}, {"2", true, 0}, {"+", true, 0}, {"-3-4", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        SetUp();
        run("XXXXXXXXXX XXXXXXXXXX");
        for (const char* k = c.keys; *k; ++k) press(*k);
        EXPECT_EQ(announced(), c.announcedAfter);
        EXPECT_EQ(homePage, c.pageAfter);
        EXPECT_EQ(overlayTimeout, 0);  // no menu opened underneath
    }
}

TEST_F(AlarmPopup, ThePilotsMenuWaitsUnderneathAndComesBackAfterAck)
{
    press('p');
    ASSERT_EQ(overlayScreen, quickMenuScreen);
    press('-');  // cursor moved: the menu's own timeout starts again at 10
    const uint8_t cursor = cursorLine;
    run("XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX "
        "XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX");
    ASSERT_TRUE(announced());
    EXPECT_NE(overlayTimeout, 0);
    press('1');
    EXPECT_FALSE(announced());
    EXPECT_EQ(overlayScreen, quickMenuScreen);
    EXPECT_EQ(overlayTimeout, 10);
    EXPECT_EQ(cursorLine, cursor);
    press('+');  // the menu takes the keys again
    EXPECT_NE(cursorLine, cursor);
}

TEST_F(AlarmPopup, MoreAlarmsThanLinesAreAcknowledgedAPageAtATime)
{
    settings.mapDisplayOn = 1;
    alarmFlags = ALARM_TANK1 | ALARM_RPM | ALARM_MAP | ALARM_VOLTS | ALARM_OAT | ALARM_CO | ALARM_EGT_CHT;
    trackAlarmPass();
    slowStep();
    slowStep();
    ASSERT_EQ(alarmAnnounced, alarmFlags);
    press('1');
    // Five lines were shown, in table order; the two counted by "+2 MORE" wait for the next ACK.
    EXPECT_EQ(alarmAnnounced, ALARM_OAT | ALARM_CO);
    EXPECT_EQ(alarmAcked, ALARM_TANK1 | ALARM_RPM | ALARM_MAP | ALARM_VOLTS | ALARM_EGT_CHT);
    press('p');
    EXPECT_EQ(alarmAnnounced, 0u);
    EXPECT_EQ(alarmAcked, alarmFlags);
    EXPECT_EQ(overlayTimeout, 0);  // the knob press acknowledged; it opened no menu
}

TEST_F(AlarmPopup, MessageTexts)
{
    const struct Case {
        const char* name;
        uint32_t bit;
        void (*setup)();
        const char* text;
    } cases[] = {
        {"oil pressure low", ALARM_AUX2, [] { pressureValue[1] = 5; }, "OIL PRESSURE LOW"},
        {"boost on AUX 2/4 high", ALARM_AUX4,
         [] { settings.aux24Function = SENDER_FUNCTION_PRESSURE; settings.pressureSender[3].label = 2;
              pressureValue[3] = 900; },
         "BOOST PRESSURE HIGH"},
        {"engine RPM high", ALARM_RPM, [] { rpm = 9000; }, "ENGINE RPM HIGH"},
        {"left RPM low", ALARM_RPM,
         [] { settings.rpm1Label = 3; settings.rpm1LowAlarmOn = 1; settings.rpm1LowAlarm = 500; rpm = 100; },
         "LEFT RPM LOW"},
        {"coolant on AUX 1/3 hot", ALARM_AUX3,
         [] { settings.aux13Function = SENDER_FUNCTION_TEMPERATURE; settings.temperatureSender[2].label = 1;
              tempValue[2] = 300; },
         "COOLANT TEMP HIGH"},
        {"oil temperature cold", ALARM_AUX1,
         [] { settings.temperatureSender[0].lowAlarmOn = 1; tempValue[0] = settings.temperatureSender[0].lowAlarm - 1; },
         "OIL TEMP LOW"},
        {"current on AUX 1/3 high", ALARM_AUX3,
         [] { settings.aux13Function = SENDER_FUNCTION_CURRENT; auxCurrent[2] = 500; }, "CURRENT HIGH"},
        {"fuel pressure low, no label", ALARM_FUEL_PRESSURE,
         [] { settings.fuelPressureSender.lowAlarmOn = 1; fuelPressure = -1; }, "FUEL PRESSURE LOW"},
        {"main current low", ALARM_CURRENT,
         [] { settings.currentSensor.lowAlarmOn = 1; current = static_cast<int16_t>(settings.currentSensor.lowAlarm - 1); },
         "CURRENT LOW"},
        {"volts high", ALARM_VOLTS, [] { volts = 400; }, "VOLTS HIGH"},
        {"tank 2", ALARM_TANK2, [] {}, "FUEL LEVEL 2"},
        {"CO", ALARM_CO, [] {}, "CARBON MONOXIDE"},
        {"EGT/CHT, open probe too", ALARM_EGT_CHT, [] {}, "EGT/CHT HIGH"},
        {"a bit without a message", 0x1000, [] {}, "ALARM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.setup();
        alarmFlags = c.bit;
        trackAlarmPass();
        alarmAnnounced = c.bit;
        AlarmLine lines[ALARM_LINE_LIMIT];
        ASSERT_EQ(announcedAlarmLines(lines), 1);
        EXPECT_STREQ(lines[0].text, c.text);
        EXPECT_EQ(lines[0].bit, c.bit);
    }
}

TEST_F(AlarmPopup, ALineKeepsItsTextWhileItsBitIsBrieflyClear)
{
    rpm = 9000;
    alarmFlags = ALARM_RPM;
    trackAlarmPass();
    alarmAnnounced = ALARM_RPM;
    rpm = 3000;  // back within limits: the line still says why it was shown
    alarmFlags = 0;
    trackAlarmPass();
    AlarmLine lines[ALARM_LINE_LIMIT];
    ASSERT_EQ(announcedAlarmLines(lines), 1);
    EXPECT_STREQ(lines[0].text, "ENGINE RPM HIGH");
}

TEST_F(AlarmPopup, NotOverSetupScreensButOnReturn)
{
    run("XXXXXXXXXX XXXXXXXXXX");
    currentScreen = mainMenuScreen;
    pendingKey = KeySoft1;  // EXIT on the main menu, not ACK
    currentScreen();
    EXPECT_TRUE(announced());
    EXPECT_EQ(currentScreen, homeScreen);
    press('1');
    EXPECT_FALSE(announced());
    EXPECT_EQ(homePage, 0);
}

TEST_F(AlarmPopup, StateSetByHandNeverUpsetsThePopup)
{
    for (uint8_t& text : alarmTextIndex) text = 255;
    alarmAnnounced = alarmFlags = UINT32_MAX;
    AlarmLine lines[ALARM_LINE_LIMIT];
    EXPECT_EQ(announcedAlarmLines(lines), ALARM_BIT_COUNT);
    for (const char key : std::string("+-2345")) press(key);
    EXPECT_TRUE(alarmPopupShown());
    for (int ack = 0; ack < 5 && alarmPopupShown(); ++ack) press('1');
    EXPECT_FALSE(alarmPopupShown());
}

// Oil pressure driven below its low alarm through the host's inputs: announced after two
// seconds with the lamp lit, silenced by ACK, announced again after rising and dropping.
TEST(AlarmLamp, OilPressureLowThroughTheInputs)
{
    const char* inputs = "input OAT: 2330\ninput MAP: 1500\ninput RPM: 620\ninput Volts: 1980\ninput CJC: 2240\n"
                         "input Fuel Level1: 560\ninput Fuel Level2: 470\ninput Input 1: 250\ninput Input 2: 300\n"
                         "input Fuel Pressure: 1500\npower on\nkey 1\npass 1\nkey 1\npass 1\n"
                         "set aux13Function 0\nset aux24Function 0\nwait 3\n";
    const struct Step {
        const char* script;
        const char* printed;
        bool lamp;
    } steps[] = {
        {"print alarmAnnounced", "alarmAnnounced=0\n", false},
        {"input Input 2: 100\nwait 1.9\nprint alarmAnnounced", "alarmAnnounced=0\n", false},
        {"input Input 2: 100\nwait 3\nprint alarmAnnounced", "alarmAnnounced=512\n", true},
        {"input Input 2: 100\nwait 3\nkey soft1\npass 1\nprint alarmAnnounced alarmAcked",
         "alarmAnnounced=0\nalarmAcked=512\n", false},
        {"input Input 2: 100\nwait 3\nkey soft1\npass 1\ninput Input 2: 300\nwait 1\ninput Input 2: 100\nwait 3\n"
         "print alarmAnnounced alarmAcked",
         "alarmAnnounced=512\nalarmAcked=0\n", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.script);
        const ScriptRun r = runScript(std::string("sdcard ") + CORVEX_SOURCE_DIR + "/SDCARD\n" + inputs + s.script);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.out, s.printed);
        EXPECT_EQ(deviceAlarmLampLit(), s.lamp);
        if (!s.lamp) continue;
        AlarmLine lines[ALARM_LINE_LIMIT];
        ASSERT_EQ(announcedAlarmLines(lines), 1);
        EXPECT_STREQ(lines[0].text, "OIL PRESSURE LOW");
    }
    devicePowerOff();
    devicePass();
    EXPECT_FALSE(deviceAlarmLampLit());
}

}  // namespace

namespace {

TEST(AlarmLamp, PowerOnForgetsEveryAnnouncement)
{
    resetDeviceForScenario();
    alarmAnnounced = alarmAcked = ALARM_MAP;
    alarmSetSteps[6] = alarmClearSteps[6] = alarmTextIndex[6] = 9;  // 0x40, a bit no channel sets
    devicePowerOn();
    EXPECT_FALSE(deviceAlarmLampLit());  // starting: dark whatever is left over
    while (devicePhase != DevicePhase::Running) devicePass();
    EXPECT_EQ(alarmAnnounced, 0u);
    EXPECT_EQ(alarmAcked, 0u);
    EXPECT_EQ(alarmSetSteps[6], 0);
    EXPECT_EQ(alarmClearSteps[6], 0);
    EXPECT_EQ(alarmTextIndex[6], 0);
    resetDeviceForScenario();
}

}  // namespace
