// Scale arithmetic shared by the gauges: units per pixel or degree as a single-precision real, and
// offsets along a scale that never divide by zero nor overflow when converted back to integers;
// and the white marker of the horizontal bars.
#pragma once
#include <algorithm>
#include <cstdint>

namespace widget_scale {

// Far beyond any screen position, yet small enough that 16-bit device coordinates never wrap.
constexpr float kOffsetLimit = 4000.0f;

// displayMax - displayMin; a range of zero width counts as one unit, so a scale always exists.
inline float span(int64_t displayMax, int64_t displayMin)
{
    const int64_t s = displayMax - displayMin;
    return s == 0 ? 1.0f : static_cast<float>(s);
}

// A display range of zero width (possible from the setup screens): its zones keep within the bar.
inline bool zeroSpan(int64_t displayMax, int64_t displayMin) { return displayMax == displayMin; }

// Units per step for `steps` steps (pixels or degrees) across the display range.
inline float unitsPerStep(int64_t displayMax, int64_t displayMin, float steps)
{
    return span(displayMax, displayMin) / std::max(steps, 1.0f);
}

// (value - displayMin) / units as a real, held within +-kOffsetLimit.
inline float offsetReal(int64_t value, int64_t displayMin, float units)
{
    return std::clamp(static_cast<float>(value - displayMin) / units, -kOffsetLimit, kOffsetLimit);
}

// The same offset truncated toward zero.
inline int offset(int64_t value, int64_t displayMin, float units)
{
    return static_cast<int>(offsetReal(value, displayMin, units));
}

// The white marker of a horizontal bar of `width` pixels at (x, y), scale units per pixel: it
// stops 2 pixels inside the left end and 2 pixels past the right end.
void drawBarMarker(int x, int y, int width, int height, int64_t value, int64_t displayMin, float units);

}  // namespace widget_scale
