// What the instrument makes of each input control's position with the present settings: the
// engineering value beside a bar in the window, and the position for a typed engineering value.
#pragma once
#include <cstdint>
#include <optional>

#include "device_inputs.h"
#include "engine/units.h"

struct InputReading {
    int32_t value = 0;       // fixed point, `decimals` digits after the point
    uint8_t decimals = 0;
    const char* unit = "";   // the unit's symbol (UTF-8), e.g. "RPM", "V", "°C", "L/h"
    MeasureUnit measure = MeasureUnit::Rpm;  // the unit itself, when known
    // True when the reading follows from the position alone; false when it is the value the
    // last pass processed (sender inputs, whose curves keep state) or there is none.
    bool fromPosition = false;
    bool known = false;      // false: the input has no effect with the present settings
};

// The settled reading of the control at `position` (filters aside). Channels read through
// senders give the value of the last pass instead.
InputReading inputReading(InputControl id, int32_t position);
// What the control settles at from `position` with the present settings (same fixed point as
// inputReading): for sender channels the value a pass reaches once the input holds still. None
// where the position has no reading (the input unused, a sender curve without a line there).
std::optional<int32_t> settledValue(InputControl id, int32_t position);
// True when the control's reading falls as its count rises with the present settings (a pulse
// period, a sender whose resistance falls as its value rises): its bar then runs from the highest
// count at the left to the lowest at the right, so that right and up raise every reading.
bool inputReadsDownward(InputControl id);
// The position within the control's range whose settled value is nearest to `value` (same fixed
// point as inputReading); false when no position has one.
bool inputPositionForReading(InputControl id, int32_t value, int32_t& position);

// The rule inputPositionForReading applies to values valueAt(p) (std::optional<int32_t>) of the
// positions of the control's range: the nearest to `value` wins, of equally near ones the one
// nearest the bar's start; positions without a value are passed over. The conversions are not
// all monotonic in the same sense, so the whole range is tried.
template <typename ValueAt>
bool nearestPosition(InputControl id, int32_t value, int32_t& position, ValueAt valueAt)
{
    const InputControlInfo& info = inputControls[static_cast<int>(id)];
    int64_t bestError = -1;
    for (int32_t p = info.minimum; p <= info.maximum; ++p) {
        const std::optional<int32_t> shown = valueAt(p);
        if (!shown) continue;
        const int64_t error = *shown > value ? int64_t{*shown} - value : int64_t{value} - *shown;
        const auto fromStart = [&](int32_t q) { return q > info.start ? int64_t{q} - info.start : int64_t{info.start} - q; };
        if (bestError < 0 || error < bestError || (error == bestError && fromStart(p) < fromStart(position))) {
            bestError = error;
            position = p;
        }
    }
    return bestError >= 0;
}
// "2597 RPM", "14.2 V"; "" when there is no reading. At most size - 1 bytes.
void formatInputReading(const InputReading& reading, char* text, int size);
