// The alarm pop-up: announcement timing pass by pass, ACK and its silence, keys while shown, the
// message texts with their labels, and the front panel lamp through the host's inputs.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "device.h"
#include "engine/alarm_messages.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/senders.h"
#include "script_support.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/alarm_popup.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

class AlarmPopup : public testing::Test {
protected:
    void SetUp() override
    {
        loadDefaultSettings();
        alarmFlags = alarmAcked = 0;
        resetAlarmAnnouncements();
        currentScreen = homeScreen;
        homePage = 0;
        overlayTimeout = 0;
        pendingKey = KeyNone;
        elapsed = changes = 0;
    }

    // A timeline of the MAP alarm, one character per 100 ms of passes (1000 a second): X due on
    // every pass, . clear, f due on every other pass (a value on its limit); 1-5, p, + and - are
    // keys on the home screen (1 is ACK). The slow step follows every tenth 100 ms. Counts the
    // changes of the announcement.
    void run(const char* timeline)
    {
        for (const char* c = timeline; *c; ++c) {
            const bool before = announced();
            if (*c == ' ') continue;
            if (const char* key = std::strchr(kKeys, *c)) {
                pendingKey = static_cast<uint8_t>(key - kKeys + 1);
                homeScreen();
                EXPECT_EQ(pendingKey, KeyNone);
            } else {
                for (int pass = 0; pass < 100; ++pass) {
                    updateAlarm(ALARM_MAP, *c == 'X' || (*c == 'f' && pass % 2 == 0));
                    trackAlarmPass();
                }
                if (++elapsed % 10 == 0) slowStep();
            }
            if (announced() != before) ++changes;
        }
    }

    static constexpr const char* kKeys = "12345p+-";  // key codes 1 to 8
    static bool announced() { return (alarmAnnounced & ALARM_MAP) != 0; }

    int elapsed = 0;  // in 100 ms
    int changes = 0;
};

TEST_F(AlarmPopup, AnnouncementTimingAndKeys)
{
    const struct Case {
        const char* name;
        const char* timeline;
        bool announcedAtEnd;
        int changes;
    } cases[] = {
        {"set for 1.9 s: silent", "XXXXXXXXXX XXXXXXXXX. ..........", false, 0},
        {"set for 2 s: announced", "XXXXXXXXXX XXXXXXXXXX", true, 1},
        {"set in mid-step: announced at the second whole step", ".....XXXXX XXXXXXXXXX XXXXX XXXXX", true, 1},
        {"ACK, still set: silent", "XXXXXXXXXX XXXXXXXXXX 1 XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX", false, 2},
        {"knob press ACKs; other keys do nothing", "XXXXXXXXXX XXXXXXXXXX 2345+- p", false, 2},
        {"ACK, clear, set again: announced after 2 s",
         "XXXXXXXXXX XXXXXXXXXX 1 XXXXXXXXXX .......... XXXXXXXXXX XXXXXXXXXX", true, 3},
        {"ACK, clear, set again for 1.9 s: silent",
         "XXXXXXXXXX XXXXXXXXXX 1 XXXXXXXXXX .......... XXXXXXXXXX XXXXXXXXX.", false, 2},
        {"flickering pass by pass: never announced", "ffffffffff ffffffffff ffffffffff ffffffffff", false, 0},
        {"flickering once announced: the line stays", "XXXXXXXXXX XXXXXXXXXX ffffffffff ffffffffff", true, 1},
        {"flickering after ACK: stays silent", "XXXXXXXXXX XXXXXXXXXX 1 ffffffffff ffffffffff", false, 2},
        {"clear for two whole steps: withdrawn", "XXXXXXXXXX XXXXXXXXXX .......... ..........", false, 2},
        {"clear for one step: kept", "XXXXXXXXXX XXXXXXXXXX .......... XXXXXXXXXX", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        run(c.timeline);
        EXPECT_EQ(announced(), c.announcedAtEnd);
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(homePage, 0);
        EXPECT_EQ(overlayTimeout, 0);  // no key reached the page or opened a menu
    }
    // One ACK takes the alarms on show: all of one or two; of three, the one above "+2 MORE".
    for (const auto& [alarms, left] : {std::pair{1, 0}, std::pair{2, 0}, std::pair{3, 2}}) {
        SCOPED_TRACE(std::to_string(alarms) + " alarms");
        SetUp();
        alarmAnnounced = alarmFlags = (1u << alarms) - 1;
        pendingKey = KeySoft1;
        alarmPopup();
        EXPECT_EQ(std::popcount(alarmAnnounced), left);
    }
}

TEST_F(AlarmPopup, MessageTexts)
{
    const struct Case {
        uint32_t bit;
        void (*setup)();
        const char* text;
    } cases[] = {
        {ALARM_AUX2, [] { pressureValue[1] = 5; }, "OIL PRESSURE LOW"},
        {ALARM_AUX4, [] { settings.aux24Function = 1; settings.pressureSender[3].label = 2; pressureValue[3] = 900; },
         "BOOST PRESSURE HIGH"},
        {ALARM_RPM, [] { rpm = 9000; }, "ENGINE RPM HIGH"},
        {ALARM_RPM, [] { settings.rpm1Label = 3; settings.rpm1LowAlarmOn = 1; settings.rpm1LowAlarm = 500; rpm = 1; },
         "LEFT RPM LOW"},
        {ALARM_AUX1, [] { settings.temperatureSender[0].lowAlarmOn = 1; tempValue[0] = -40; }, "OIL TEMP LOW"},
        {ALARM_AUX3, [] { settings.aux13Function = 3; auxCurrent[2] = 500; }, "CURRENT HIGH"},
        {ALARM_FUEL_PRESSURE, [] { settings.fuelPressureSender.lowAlarmOn = 1; fuelPressure = -1; },
         "FUEL PRESSURE LOW"},
        {0x1000, [] {}, "ALARM"},  // a bit no channel sets, set by hand
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetUp();
        c.setup();
        alarmAnnounced = alarmFlags = c.bit;
        trackAlarmPass();
        AlarmLine lines[ALARM_LINE_LIMIT];
        ASSERT_EQ(announcedAlarmLines(lines), 1);
        EXPECT_STREQ(lines[0].text, c.text);
    }
}

// Oil pressure driven below its low alarm through the host's inputs: announced after two seconds
// with the lamp lit, silenced by ACK, announced again after rising and dropping.
TEST(AlarmLamp, OilPressureLowThroughTheInputs)
{
    const ScriptRun r = runScript(
        std::string("sdcard ") + CORVEX_SOURCE_DIR + "/SDCARD\n" +
        "input OAT: 2330\ninput MAP: 1500\ninput RPM: 620\ninput Volts: 1980\ninput CJC: 2240\n"
        "input Fuel Level1: 560\ninput Fuel Level2: 470\ninput Input 1: 250\ninput Input 2: 300\n"
        "input Fuel Pressure: 1500\npower on\nkey 1\npass 1\nkey 1\npass 1\n"
        "set aux13Function 0\nset aux24Function 0\nwait 3\nprint alarmFlags\n"
        "input Input 2: 100\nwait 1.9\nprint alarmAnnounced\nwait 1.1\nprint alarmAnnounced\n"
        "key soft1\npass 1\nwait 3\nprint alarmAnnounced alarmAcked\n"
        "input Input 2: 300\nwait 1\ninput Input 2: 100\nwait 3\nprint alarmAnnounced alarmAcked");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, "alarmFlags=0\nalarmAnnounced=0\nalarmAnnounced=512\nalarmAnnounced=0\nalarmAcked=512\n"
                     "alarmAnnounced=512\nalarmAcked=0\n");
    EXPECT_TRUE(deviceAlarmLampLit());
    pendingKey = KeySoft1;
    devicePass();
    EXPECT_FALSE(deviceAlarmLampLit());
    // Dark while off and while the next power-on's notice shows, though an announcement is kept
    // until the main loop starts.
    alarmAnnounced = ALARM_AUX2;
    EXPECT_TRUE(deviceAlarmLampLit());
    for (void (*power)() : {devicePowerOff, devicePowerOn}) {
        power();
        devicePass();
        EXPECT_FALSE(deviceAlarmLampLit()) << static_cast<int>(devicePhase);
    }
    ASSERT_EQ(devicePhase, DevicePhase::SplashNotice);
    EXPECT_EQ(alarmAnnounced, ALARM_AUX2);
}

}  // namespace
