// The alarm and caution marking of numeric values (the value box) and the tenths formatter the
// widgets share.
#include <cstdio>
#include <cstdlib>

#include "display/framebuffer.h"
#include "display/text.h"
#include "time/clock.h"
#include "ui/widgets.h"

ValueState valueState(int32_t value, int32_t lowAlarm, int32_t lowCaution, int32_t highCaution, int32_t highAlarm)
{
    if (value < lowAlarm || value > highAlarm) return ValueState::Alarm;
    if (value < lowCaution || value > highCaution) return ValueState::Caution;
    return ValueState::Normal;
}

void drawBoxedValue(int x, int y, const char* text, uint8_t fontId, uint8_t align, int top, int bottom,
                    ValueState state, int leftMargin, BoxBlink blink)
{
    drawText(x, y, text, fontId, align, COLOUR_WHITE);
    uint8_t box, ink;
    if (state == ValueState::Alarm) {
        if (blink == BoxBlink::Flashing && blinkPhase != 1) return;
        box = COLOUR_RED;
        ink = COLOUR_WHITE;
    } else if (state == ValueState::Caution) {
        box = COLOUR_YELLOW;
        ink = COLOUR_BLACK;
    } else {
        return;
    }
    fillRect(lastTextStartX - leftMargin, top, lastTextEndX, bottom, box);
    drawText(x, y, text, fontId, align, ink);
}

void formatTenths(char* text, size_t size, int32_t tenths)
{
    const int64_t magnitude = std::llabs(static_cast<int64_t>(tenths));
    std::snprintf(text, size, "%s%lld.%lld", tenths < 0 ? "-" : "", static_cast<long long>(magnitude / 10),
                  static_cast<long long>(magnitude % 10));
}
