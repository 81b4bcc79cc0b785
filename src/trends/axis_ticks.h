// Round ticks for chart axes: steps of 1, 2 or 5 times a power of ten for values, and whole
// seconds, minutes, hours or days for a time axis in seconds since 1970.
#pragma once
#include <string>

struct AxisTicks {
    double first = 0;  // the smallest multiple of step at or above the axis minimum
    double step = 1;
    int count = 0;     // ticks from first up to the axis maximum
    double at(int i) const { return first + i * step; }
    int decimals() const;  // digits after the point a label needs to show every tick apart
};

enum class TickScale { Decimal, Time };

// About `wanted` ticks from lo to hi: the step is the smallest round step at least
// (hi - lo) / wanted (a time step at least one second); 1 when hi equals lo. No tick when hi is below lo or either is not finite.
AxisTicks roundTicks(double lo, double hi, int wanted, TickScale scale = TickScale::Decimal);

// A time tick's label for seconds since 1970 on an axis spanning `span` seconds: "hh:mm:ss" for
// steps under a minute, "hh:mm" within a day, "mm-dd hh:mm" across days, "yyyy-mm-dd" for days.
std::string timeTickLabel(double seconds, const AxisTicks& ticks, double span);
