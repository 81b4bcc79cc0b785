// Calendar conversions and the host tick's blink and slow-step dividers.
#include <gtest/gtest.h>

#include "time/clock.h"

namespace {

TEST(Calendar, DocumentedPoints)
{
    struct Case {
        uint32_t seconds;
        uint16_t year;
        uint8_t month, day, hour, minute, second;
    } cases[] = {
        {0, 1970, 1, 1, 0, 0, 0},
        {951868800, 2000, 3, 1, 0, 0, 0},
        {951868799, 2000, 2, 29, 23, 59, 59},
        {1709251800, 2024, 3, 1, 0, 10, 0},
        {1709250000, 2024, 2, 29, 23, 40, 0},
        {68169600, 1972, 2, 29, 0, 0, 0},
        {4102444799u, 2099, 12, 31, 23, 59, 59},
        {1767225600, 2026, 1, 1, 0, 0, 0},
        {1798761599, 2026, 12, 31, 23, 59, 59},
    };
    for (const Case& c : cases) {
        const DateTime dt = secondsToDateTime(c.seconds);
        EXPECT_EQ(dt.year, c.year) << c.seconds;
        EXPECT_EQ(dt.month, c.month) << c.seconds;
        EXPECT_EQ(dt.day, c.day) << c.seconds;
        EXPECT_EQ(dt.hour, c.hour) << c.seconds;
        EXPECT_EQ(dt.minute, c.minute) << c.seconds;
        EXPECT_EQ(dt.second, c.second) << c.seconds;
        EXPECT_EQ(dateTimeToSeconds(dt), c.seconds);
    }
}

TEST(Calendar, RoundTripsEveryDayFrom1970To2099)
{
    for (uint32_t s = 0; s < 4102444800u; s += 86400 - 1) {
        ASSERT_EQ(dateTimeToSeconds(secondsToDateTime(s)), s);
    }
}

TEST(HostTick, BlinkFlipsEveryElevenTicksAndSlowStepEveryTen)
{
    blinkTickCount = 0;
    blinkPhase = 0;
    slowStepTickCount = 0;
    int flips = 0;
    uint8_t last = blinkPhase;
    int firstFlip = -1;
    for (int tick = 1; tick <= 110; ++tick) {
        hostTick();
        if (blinkPhase != last) {
            ++flips;
            if (firstFlip < 0) firstFlip = tick;
            last = blinkPhase;
        }
    }
    EXPECT_EQ(firstFlip, 11);
    EXPECT_EQ(flips, 10);
    EXPECT_EQ(slowStepTickCount, 0);
}

}  // namespace
