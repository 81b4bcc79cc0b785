// The horizontal bar gauge and the bar widgets built on it: battery volts, OAT, AMPS, the four
// sender slots (pressure, temperature, current) and the fuel pressure widget.
#include <algorithm>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/engine.h"
#include "engine/senders.h"
#include "settings/settings.h"
#include "ui/widget_scale.h"
#include "ui/widget_texts.h"
#include "ui/widgets.h"

void drawBarGauge(const BarGauge& gauge)
{
    const int32_t lowAlarm = std::max(gauge.lowAlarm, gauge.displayMin);
    const int32_t lowCaution = std::max(gauge.lowCaution, gauge.displayMin);
    const float scale = widget_scale::unitsPerStep(gauge.displayMax, gauge.displayMin, gauge.width);
    int la = widget_scale::offset(lowAlarm, gauge.displayMin, scale);
    int lc = widget_scale::offset(lowCaution, gauge.displayMin, scale);
    int hc = widget_scale::offset(gauge.highCaution, gauge.displayMin, scale);
    int ha = widget_scale::offset(gauge.highAlarm, gauge.displayMin, scale);
    if (widget_scale::zeroSpan(gauge.displayMax, gauge.displayMin))
        for (int* zone : {&la, &lc, &hc, &ha}) *zone = std::clamp(*zone, 0, static_cast<int>(gauge.width));

    const int x = gauge.x, y = gauge.y, width = gauge.width, bottom = gauge.y + gauge.height;
    fillRect(x, y, x + la, bottom, COLOUR_RED);
    fillRect(x + la, y, x + lc, bottom, COLOUR_YELLOW);
    fillRect(x + lc, y, x + hc, bottom, COLOUR_GREEN);
    fillRect(x + hc, y, x + ha, bottom, COLOUR_YELLOW);
    fillRect(x + ha, y, x + width, bottom, COLOUR_RED);

    widget_scale::drawBarMarker(x, y, width, gauge.height, gauge.value, gauge.displayMin, scale);
}

void widget_scale::drawBarMarker(int x, int y, int width, int height, int64_t value, int64_t displayMin, float units)
{
    const float position = static_cast<float>(x) + offsetReal(value, displayMin, units);
    const int m = std::clamp(static_cast<int>(position), x + 2, x + width + 2);
    fillRect(m - 2, y - 3, m + 2, y + height + 3, COLOUR_WHITE);
}

namespace {

// The bar with its label top left, its boxed value right-aligned `inset` pixels before the bar's
// right end, and its unit at the right end, all above the bar.
void drawBarWidget(const BarGauge& gauge, const char* label, const char* value, int inset, const char* unit,
                   ValueState state)
{
    drawBarGauge(gauge);
    const int x = gauge.x, width = gauge.width, top = gauge.y - gauge.height;
    drawText(x, top - 12, label, 8, AlignLeft, COLOUR_SILVER);
    drawBoxedValue(x + width - inset, top - 14, value, 9, AlignRight, top - 13, top + 2, state);
    drawText(x + width, top - 12, unit, 8, AlignRight, COLOUR_SILVER);
}

BarGauge gaugeAt(int x, int y, int width, int height, int32_t value)
{
    BarGauge g{};
    g.x = static_cast<int16_t>(x);
    g.y = static_cast<int16_t>(y);
    g.width = static_cast<uint16_t>(std::max(width, 0));
    g.height = static_cast<uint16_t>(std::max(height, 0));
    g.value = value;
    return g;
}

template <typename Config> void setLimits(BarGauge& g, const Config& c)
{
    g.displayMax = c.displayMax;
    g.displayMin = c.displayMin;
    g.lowAlarm = c.lowAlarm;
    g.lowCaution = c.lowCaution;
    g.highCaution = c.highCaution;
    g.highAlarm = c.highAlarm;
}

ValueState stateOf(const BarGauge& g)
{
    return valueState(g.value, g.lowAlarm, g.lowCaution, g.highCaution, g.highAlarm);
}

// "%.1f" of tenths / 10, or whole amperes once the tenths no longer fit the box.
void formatAmps(char* text, size_t size, int32_t tenths, int32_t whole)
{
    if (tenths >= 100 || tenths < -99) std::snprintf(text, size, "%d", static_cast<int>(whole));
    else formatTenths(text, size, tenths);
}

void drawCurrentWidget(const CurrentSensorConfig& config, int32_t amps, int32_t tenths, int x, int y, int width,
                       int height)
{
    BarGauge g = gaugeAt(x, y, width, height, amps);
    setLimits(g, config);
    char text[16];
    formatAmps(text, sizeof text, tenths, amps);
    drawBarWidget(g, "AMPS", text, 17, "A", stateOf(g));
}

}  // namespace

void drawVoltsWidget(int x, int y, int width, int height)
{
    BarGauge g = gaugeAt(x, y, width, height, volts);
    g.displayMax = settings.voltsDisplayMax;
    g.displayMin = settings.voltsDisplayMin;
    g.lowAlarm = settings.voltsLowAlarm;
    g.lowCaution = settings.voltsLowCaution;
    g.highCaution = settings.voltsHighCaution;
    g.highAlarm = settings.voltsHighAlarm;
    char text[16];
    formatTenths(text, sizeof text, volts);
    drawBarWidget(g, "BAT", text, 15, "V", stateOf(g));
}

void drawOatWidget(int x, int y, int width, int height)
{
    BarGauge g = gaugeAt(x, y, width, height, oat);
    g.displayMax = settings.oatDisplayMax;
    g.displayMin = settings.oatDisplayMin;
    g.lowAlarm = g.lowCaution = settings.oatLowAlarm;
    g.highCaution = g.highAlarm = settings.oatHighAlarm;
    char text[16];
    formatOat(text, sizeof text, oat);
    // The OAT has alarm limits only: its value is never in caution alone.
    drawBarWidget(g, "OAT", text, 17, temperatureUnitText(settings.oatUnit), stateOf(g));
}

void drawAmpsWidget(int x, int y, int width, int height)
{
    drawCurrentWidget(settings.currentSensor, current, currentTenths, x, y, width, height);
}

void drawSenderSlotWidget(int slot, int function, int x, int y, int width, int height)
{
    if (slot < 0 || slot > 3) return;
    char text[16];
    switch (function) {
    case SENDER_FUNCTION_PRESSURE: {
        const PressureSenderConfig& config = settings.pressureSender[slot];
        BarGauge g = gaugeAt(x, y, width, height, pressureValue[slot]);
        setLimits(g, config);
        formatPressure(text, sizeof text, pressureValue[slot], config.pressureUnit);
        drawBarWidget(g, pressureLabelText(config.label), text, 27, pressureUnitText(config.pressureUnit),
                      stateOf(g));
        break;
    }
    case SENDER_FUNCTION_TEMPERATURE: {
        const TemperatureSenderConfig& config = settings.temperatureSender[slot];
        BarGauge g = gaugeAt(x, y, width, height, tempValue[slot]);
        setLimits(g, config);
        std::snprintf(text, sizeof text, "%d", static_cast<int>(tempValue[slot]));
        drawBarWidget(g, temperatureLabelText(config.label), text, 17,
                      temperatureUnitText(settings.temperatureUnit), stateOf(g));
        break;
    }
    case SENDER_FUNCTION_CURRENT:
        drawCurrentWidget(settings.currentSender[slot], auxCurrent[slot], auxCurrentTenths[slot], x, y, width,
                          height);
        break;
    default:
        break;
    }
}

void drawFuelPressureWidget(int x, int y, int width, int height, bool label)
{
    const PressureSenderConfig& config = settings.fuelPressureSender;
    BarGauge g = gaugeAt(x, y, width, height, fuelPressure);
    setLimits(g, config);
    drawBarGauge(g);
    if (label) drawText(x - 32, y - 4, "FP", 8, AlignLeft, COLOUR_SILVER);
    char text[16];
    formatPressure(text, sizeof text, fuelPressure, config.pressureUnit);
    drawBoxedValue(x + width + 15, y - 5, text, 9, AlignLeft, y - 4, y + 11, stateOf(g));
    drawText(x + width + 50, y - 3, pressureUnitText(config.pressureUnit), 8, AlignLeft, COLOUR_SILVER);
}
