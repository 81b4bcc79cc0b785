// The straight-line arithmetic between two thermocouple table points, shared by the instrument and
// the table generator (tools/tcgen), which must judge candidate tables exactly as the instrument reads them.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

// A table is its first point (degrees C), its step (degrees C), its point count and emfAt(i), the
// EMF of point i in microvolts. Each line's slope is held in single precision, as the instrument
// stores it; the line and its inverse are evaluated in double precision and then truncated toward
// zero, as the instrument's floating-point unit evaluates them at its wider internal precision.

// A double to an integer, truncating toward zero; values beyond 32 bits (absurd inputs) saturate.
inline int32_t truncateLineValue(double v)
{
    if (std::isnan(v)) return 0;
    return static_cast<int32_t>(std::clamp(v, -2.0e9, 2.0e9));
}

// The slope of segment k, in microvolts per degree, in single precision.
template <typename EmfAt> float segmentSlope(int32_t step, EmfAt emfAt, int k)
{
    return static_cast<float>(emfAt(k + 1) - emfAt(k)) / static_cast<float>(step);
}

// Segment of a temperature: a table point takes the segment above it (the last point the one
// below); temperatures below the table take the first segment, above it the last.
inline int temperatureSegment(int32_t first, int32_t step, int count, int32_t celsius)
{
    if (celsius <= first) return 0;
    return static_cast<int>(std::min<int64_t>((int64_t{celsius} - first) / step, count - 2));
}

// Segment of an EMF: the first, searching upward, whose end points enclose it; beyond the table the
// last one for positive EMFs and the first one for negative EMFs.
template <typename EmfAt> int emfSegment(int count, EmfAt emfAt, int32_t emf)
{
    for (int k = 0; k + 1 < count; ++k)
        if (emfAt(k) <= emf && emf <= emfAt(k + 1)) return k;
    return emf >= 0 ? count - 2 : 0;
}

// The same segment by bisection, for a table whose points rise strictly (the first point from 1 on
// at or above the EMF ends it).
template <typename EmfAt> int emfSegmentRising(int count, EmfAt emfAt, int32_t emf)
{
    int lo = 1, hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (emfAt(mid) < emf) lo = mid + 1;
        else hi = mid;
    }
    if (lo < count && emfAt(lo - 1) <= emf) return lo - 1;
    return emf >= 0 ? count - 2 : 0;
}

// EMF in microvolts at `celsius` along the table's lines, extrapolating along its end segments.
template <typename EmfAt> int32_t lineMicrovolts(int32_t first, int32_t step, int count, EmfAt emfAt, int32_t celsius)
{
    const int k = temperatureSegment(first, step, count, celsius);
    const double slope = segmentSlope(step, emfAt, k);
    const double t1 = first + static_cast<double>(k + 1) * step;
    const double intercept = static_cast<double>(emfAt(k + 1)) - slope * t1;
    return truncateLineValue(slope * celsius + intercept);
}

// Temperature in 0.1 degrees C of an EMF (already against a 0 C junction) along segment k of the
// table's lines.
template <typename EmfAt> int32_t lineTenthsOn(int k, int32_t first, int32_t step, EmfAt emfAt, int32_t emf)
{
    const double t1 = first + static_cast<double>(k + 1) * step;
    const double slope = segmentSlope(step, emfAt, k);
    if (slope == 0.0) return truncateLineValue((t1 - step) * 10.0);  // flat: no inverse; tables rise strictly
    const double intercept = static_cast<double>(emfAt(k + 1)) - slope * t1;
    return truncateLineValue((emf - intercept) / slope * 10.0);
}

// Temperature in 0.1 degrees C of an EMF (already against a 0 C junction) along the table's lines.
template <typename EmfAt> int32_t lineTenths(int32_t first, int32_t step, int count, EmfAt emfAt, int32_t emf)
{
    return lineTenthsOn(emfSegment(count, emfAt, emf), first, step, emfAt, emf);
}
