// Round gauges (MAP and RPM 1 on a 160 degree arc), the twin RPM display (two facing 120 degree
// arcs), the digital RPM readouts and the small MAP readout.
#include <algorithm>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/engine.h"
#include "engine/inputs.h"
#include "settings/settings.h"
#include "ui/widget_scale.h"
#include "ui/widget_texts.h"
#include "ui/widgets.h"

namespace {

constexpr int kOuterRadius = 60;
constexpr int kRingWidth = 7;
constexpr int kNeedleFrom = 25;

struct ScaleLimits {
    int64_t displayMax, displayMin, lowAlarm, lowCaution, highCaution, highAlarm;
};

ScaleLimits mapLimits()
{
    const Settings& s = settings;
    return {s.mapDisplayMax, s.mapDisplayMin, s.mapLowAlarm, s.mapLowCaution, s.mapHighCaution, s.mapHighAlarm};
}

ScaleLimits rpmLimits(int channel)
{
    const Settings& s = settings;
    if (channel == 2)
        return {s.rpm2DisplayMax, s.rpm2DisplayMin, s.rpm2LowAlarm, s.rpm2LowCaution, s.rpm2HighCaution,
                s.rpm2HighAlarm};
    return {s.rpm1DisplayMax, s.rpm1DisplayMin, s.rpm1LowAlarm, s.rpm1LowCaution, s.rpm1HighCaution,
            s.rpm1HighAlarm};
}

ValueState stateOf(int64_t value, const ScaleLimits& l)
{
    auto narrow = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return valueState(narrow(value), narrow(l.lowAlarm), narrow(l.lowCaution), narrow(l.highCaution),
                      narrow(l.highAlarm));
}

// A point of a gauge: mirrored gauges subtract the x offset from the centre.
int pointX(int cx, int angle, int radius, bool mirrored)
{
    const int dx = static_cast<int>(cosDeg(angle) * static_cast<float>(radius));
    return mirrored ? cx - dx : cx + dx;
}
int pointY(int cy, int angle, int radius) { return cy + static_cast<int>(sinDeg(angle) * static_cast<float>(radius)); }

// The coloured ring from startAngle over sweep degrees, unitsPerDegree along it.
void drawScaleRing(int cx, int cy, const ScaleLimits& l, int startAngle, int sweep, float unitsPerDegree,
                   bool mirrored)
{
    auto at = [&](int64_t limit) {
        return std::clamp(widget_scale::offset(limit, l.displayMin, unitsPerDegree), 0, sweep);
    };
    const int a1 = at(l.lowAlarm), a2 = at(l.lowCaution), a3 = at(l.highCaution), a4 = at(l.highAlarm);
    auto band = [&](int from, int to, uint8_t colour) {
        if (mirrored) drawArcBandMirrored(cx, cy, kRingWidth, kOuterRadius, startAngle + from, startAngle + to, colour);
        else drawArcBand(cx, cy, kRingWidth, kOuterRadius, startAngle + from, startAngle + to, colour);
    };
    if (a1 > 0) band(0, a1, COLOUR_RED);
    if (a1 < a2) band(a1, a2, COLOUR_YELLOW);
    if (a2 < a3) band(a2, a3, COLOUR_GREEN);
    if (a3 < a4) band(a3, a4, COLOUR_YELLOW);
    if (a4 < sweep) band(a4, sweep, COLOUR_RED);
}

// The needle: white from the hub radius to the ring, black through the ring (a notch).
void drawNeedle(int cx, int cy, int64_t value, const ScaleLimits& l, int startAngle, int sweep, bool mirrored)
{
    const float perUnit = static_cast<float>(sweep) / widget_scale::span(l.displayMax, l.displayMin);
    const float travel = std::clamp(perUnit * static_cast<float>(value - l.displayMin), -1000.0f, 1000.0f);
    const int angle = static_cast<int>(
        std::clamp(travel + static_cast<float>(startAngle), static_cast<float>(startAngle),
                   static_cast<float>(startAngle + sweep)));
    const int ringInner = kOuterRadius - kRingWidth;
    drawThickLine(pointX(cx, angle, kNeedleFrom, mirrored), pointY(cy, angle, kNeedleFrom),
                  pointX(cx, angle, ringInner, mirrored), pointY(cy, angle, ringInner), COLOUR_WHITE);
    drawThickLine(pointX(cx, angle, ringInner, mirrored), pointY(cy, angle, ringInner),
                  pointX(cx, angle, kOuterRadius, mirrored), pointY(cy, angle, kOuterRadius), COLOUR_BLACK);
}

// Round gauge: 160 degrees from 150 to 310.
void drawRoundGauge(int cx, int cy, int64_t value, const ScaleLimits& l)
{
    const float unitsPerDegree = widget_scale::span(l.displayMax, l.displayMin) * 0.00625f;
    drawScaleRing(cx, cy, l, 150, 160, unitsPerDegree, false);
    drawNeedle(cx, cy, value, l, 150, 160, false);
}

// One half of the twin display: 120 degrees from 120 to 240.
void drawTwinHalf(int cx, int cy, int64_t value, const ScaleLimits& l, bool mirrored)
{
    const float unitsPerDegree = widget_scale::span(l.displayMax, l.displayMin) / 120.0f;
    drawScaleRing(cx, cy, l, 120, 120, unitsPerDegree, mirrored);
    drawNeedle(cx, cy, value, l, 120, 120, mirrored);
}

}  // namespace

void drawMapRoundGauge(int cx, int cy, int labelX, int labelY, int valueX, int valueY, int unitX, int unitY)
{
    const ScaleLimits limits = mapLimits();
    drawText(labelX, labelY, "MAP", 8, AlignLeft, COLOUR_SILVER);
    drawRoundGauge(cx, cy, map, limits);
    char text[16];
    formatMap(text, sizeof text, map);
    drawBoxedValue(valueX, valueY, text, 16, AlignCentre, valueY + 2, valueY + 29, stateOf(map, limits));
    drawText(unitX, unitY, mapUnitText(settings.mapUnit), 8, AlignLeft, COLOUR_SILVER);
}

void drawRpmRoundGauge(int cx, int cy) { drawRoundGauge(cx, cy, rpm, rpmLimits(1)); }

void drawRpmReadout(int channel, int valueX, int valueY, int labelX, int labelY, uint8_t align)
{
    if (channel != 1 && channel != 2) return;
    const bool first = channel == 1;
    const uint8_t mode = first ? settings.rpm1DisplayMode : settings.rpm2DisplayMode;
    const int32_t value = first ? rpm : rotorRpm;
    const int32_t percent = first ? rpmPercent : rotorPercent;
    drawText(labelX, labelY - 13, rpmLabelText(first ? settings.rpm1Label : settings.rpm2Label), 8, AlignCentre,
             COLOUR_SILVER);
    drawText(labelX, labelY, mode == 0 ? "RPM" : "RPM %", 8, AlignCentre, COLOUR_SILVER);
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(mode == 0 ? value : percent));
    // Alarm and caution follow the RPM even while the percentage is shown.
    drawBoxedValue(valueX, valueY, text, 16, align, valueY + 2, valueY + 29, stateOf(value, rpmLimits(channel)), 1);
}

void drawSmallMapReadout(int valueX, int valueY, int labelX, int labelY, int unitX, int unitY)
{
    drawText(labelX, labelY, "MAP", 8, AlignLeft, COLOUR_SILVER);
    char text[16];
    formatMap(text, sizeof text, map);
    drawBoxedValue(valueX, valueY, text, 12, AlignRight, valueY + 2, valueY + 20, stateOf(map, mapLimits()));
    drawText(unitX, unitY, mapUnitText(settings.mapUnit), 8, AlignLeft, COLOUR_SILVER);
}

void drawTwinRpmDisplay()
{
    drawTwinHalf(62, 90, rpm, rpmLimits(1), true);
    drawTwinHalf(188, 90, rotorRpm, rpmLimits(2), false);
    drawRpmReadout(2, 207, 75, 207, 52, AlignCentre);
    drawRpmReadout(1, 44, 75, 39, 52, AlignCentre);
}
