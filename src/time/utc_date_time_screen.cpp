// SET UTC DATE & TIME: year, month, day, hour, minute and second edited field by field; the knob
// press on the seconds sets the clock to them (it then runs on from there with the host's clock).
#include <iterator>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "time/clock.h"
#include "time/timers_setup.h"
#include "ui/screen.h"

namespace {

struct DateField {
    const char* format;
    int16_t x, y;
    int32_t min, max;
    bool multiplied;  // steps by stepMultiplier, else by 1
};

const DateField kFields[] = {
    {"%04d", 149, 140, 2011, 2100, true},  // year
    {"%02d", 240, 140, 1, 12, false},      // month
    {"%02d", 291, 140, 1, 31, false},      // day
    {"%02d", 168, 180, 0, 23, false},      // hour
    {"%02d", 220, 180, 0, 59, true},       // minute
    {"%02d", 272, 180, 0, 59, true},       // second
};
constexpr uint8_t kFieldCount = std::size(kFields);

struct Separator {
    const char* text;
    int16_t x, y;
};
const Separator kSeparators[] = {{"/", 228, 140}, {"/", 281, 140}, {":", 208, 180}, {":", 260, 180}};

int32_t fieldValue(uint8_t i)
{
    switch (i) {
    case 0: return dateEntry.year;
    case 1: return dateEntry.month;
    case 2: return dateEntry.day;
    case 3: return dateEntry.hour;
    case 4: return dateEntry.minute;
    default: return dateEntry.second;
    }
}

void setField(uint8_t i, int32_t value)
{
    const auto byte = static_cast<uint8_t>(value);
    switch (i) {
    case 0: dateEntry.year = static_cast<uint16_t>(value); break;
    case 1: dateEntry.month = byte; break;
    case 2: dateEntry.day = byte; break;
    case 3: dateEntry.hour = byte; break;
    case 4: dateEntry.minute = byte; break;
    default: dateEntry.second = byte; break;
    }
}

// Past either end the value comes round to the other.
void stepField(uint8_t i, int direction)
{
    const DateField& f = kFields[i];
    const int32_t step = f.multiplied ? stepMultiplier : 1;
    const int32_t next = fieldValue(i) + direction * step;
    setField(i, next > f.max ? f.min : next < f.min ? f.max : next);
}

// The edited date as the clock's time; a day beyond the month's end runs into the next month.
void applyToClock()
{
    DateTime dt;
    dt.year = dateEntry.year;
    dt.month = dateEntry.month;
    dt.day = dateEntry.day;
    dt.hour = dateEntry.hour;
    dt.minute = dateEntry.minute;
    dt.second = dateEntry.second;
    setClockTo(dateTimeToSeconds(dt));
}

}  // namespace

void utcDateTimeScreen()
{
    if (cursorLine >= kFieldCount) cursorLine = 0;
    drawPageTitle("TIMERS SETUP", "SET UTC DATE & TIME");
    drawText(240, 76, "USE THE ROTARY CONTROL", 10, AlignCentre, COLOUR_WHITE);
    drawText(240, 94, "TO SET THE DATE & TIME", 10, AlignCentre, COLOUR_WHITE);
    char text[12];
    for (uint8_t i = 0; i < kFieldCount; ++i) {
        const DateField& f = kFields[i];
        std::snprintf(text, sizeof text, f.format, static_cast<int>(fieldValue(i)));
        drawText(f.x, f.y, text, 20, AlignLeft, i == cursorLine ? COLOUR_RED : COLOUR_WHITE);
    }
    for (const Separator& s : kSeparators) drawText(s.x, s.y, s.text, 20, AlignLeft, COLOUR_WHITE);
    const uint8_t key = exitBackKey([] { openTimersSetup(TIMERS_ROW_UTC_DATE_TIME); });
    switch (key) {
    case KeyKnobPress:
        if (cursorLine + 1 < kFieldCount) {
            ++cursorLine;
        } else {
            applyToClock();
            openTimersSetup(TIMERS_ROW_UTC_DATE_TIME);
        }
        break;
    case KeyKnobPlus:
    case KeyKnobMinus:
        stepField(cursorLine, key == KeyKnobPlus ? 1 : -1);
        break;
    default:
        break;
    }
}
