// The tick steps and the time tick labels.
#include "trends/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "time/clock.h"

namespace {

constexpr double kSlack = 1e-9;  // a quotient this close to a whole number counts as whole
constexpr double kDay = 86400;
constexpr int kMostTicks = 1000;

double decimalStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * power >= raw * (1 - kSlack)) return m * power;
    return 10 * power;
}

double timeStep(double raw)
{
    static const double steps[] = {1,   2,    5,    10,   15,   30,    60,    120,   300,
                                   600, 900, 1800, 3600, 7200, 10800, 21600, 43200, kDay};
    if (raw < 1) return 1;
    for (const double s : steps)
        if (s >= raw * (1 - kSlack)) return s;
    return decimalStep(raw / kDay) * kDay;
}

}  // namespace

int AxisTicks::decimals() const
{
    return std::max(0, static_cast<int>(-std::floor(std::log10(step) + kSlack)));
}

AxisTicks roundTicks(double lo, double hi, int wanted, TickScale scale)
{
    AxisTicks t;
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi < lo) return t;
    const double raw = (hi - lo) / std::max(wanted, 1);
    if (raw > 0) t.step = scale == TickScale::Time ? timeStep(raw) : decimalStep(raw);
    t.first = std::ceil(lo / t.step - kSlack) * t.step + 0.0;  // + 0.0: never a "-0"
    const double count = std::floor((hi - t.first) / t.step + kSlack) + 1;
    t.count = static_cast<int>(std::clamp(count, 0.0, double(kMostTicks)));
    return t;
}

std::string timeTickLabel(double seconds, const AxisTicks& ticks, double span)
{
    const DateTime d = secondsToDateTime(static_cast<uint32_t>(std::clamp(std::round(seconds), 0.0, 4102444799.0)));
    char text[24];
    if (ticks.step >= kDay)
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", d.year, d.month, d.day);
    else if (span > kDay)
        std::snprintf(text, sizeof text, "%02u-%02u %02u:%02u", d.month, d.day, d.hour, d.minute);
    else if (ticks.step < 60)
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", d.hour, d.minute, d.second);
    else
        std::snprintf(text, sizeof text, "%02u:%02u", d.hour, d.minute);
    return text;
}
