// The fuel area of the engine page (x 281..479, y 146..271): flows, tank contents with their
// three-zone bars, FAIL and CALC marks, and fuel pressure, arranged by fuelLayout.
#include <algorithm>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/fuel.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/widget_scale.h"
#include "ui/widgets.h"

namespace {

// Where one tank's parts go in an arrangement.
struct TankPlace {
    int textX, textY;        // contents, font 16, left-aligned
    int boxTop, boxBottom;   // rows of the alarm and caution box
    uint8_t failFont;        // "FAIL" replaces the contents while the sender is open
    int failX, failY;
    int failTop, failBottom;
    int boxMargin;           // boxes start this far left of the text
    const char* label;       // nullptr: no label
    int labelX, labelY;
    int barX, barY, barWidth, barHeight;
    int calcRow;             // row of "CALC" on a calculated tank's bar; -1: never shown
};

// A tank place whose "FAIL" stands where the contents do, in the same font and box.
TankPlace samePlaceFail(int textX, int textY, int boxTop, int boxBottom, int margin, const char* label, int labelX,
                        int labelY, int barX, int barY, int barWidth, int barHeight, int calcRow)
{
    return {textX,  textY, boxTop, boxBottom, 16,    textX, textY,    boxTop,    boxBottom,
            margin, label, labelX, labelY,    barX,  barY,  barWidth, barHeight, calcRow};
}

struct Tank {
    int32_t level, size, lowAlarm, lowCaution;
    uint8_t open, source;
};

Tank tankOf(int tank)
{
    const Settings& s = settings;
    if (tank == 0) return {fuelLevel[0], s.tank1Size, s.tank1LowAlarm, s.tank1LowCaution, fuelLevelOpen[0], s.tank1Source};
    return {fuelLevel[1], s.tank2Size, s.tank2LowAlarm, s.tank2LowCaution, fuelLevelOpen[1], s.tank2Source};
}

void drawTank(int tank, const TankPlace& p)
{
    const Tank t = tankOf(tank);
    if (t.open != 1) {
        char text[16];
        formatTankContents(text, sizeof text, t.level);
        const ValueState state = t.level < t.lowAlarm     ? ValueState::Alarm
                                 : t.level < t.lowCaution ? ValueState::Caution
                                                          : ValueState::Normal;
        drawBoxedValue(p.textX, p.textY, text, 16, AlignLeft, p.boxTop, p.boxBottom, state, p.boxMargin);
    } else if (blinkPhase == 1) {
        drawBoxedValue(p.failX, p.failY, "FAIL", p.failFont, AlignLeft, p.failTop, p.failBottom, ValueState::Alarm,
                       p.boxMargin);
    }
    if (p.label) drawText(p.labelX, p.labelY, p.label, 8, AlignLeft, COLOUR_SILVER);
    drawTankBar(p.barX, p.barY, p.barWidth, p.barHeight, t.level, t.size, t.lowAlarm, t.lowCaution);
    if (t.source == 1 && p.calcRow >= 0) drawText(362, p.calcRow, "CALC", 8, AlignCentre, COLOUR_SILVER);
}

bool fuelPressureShown() { return settings.fuelPressureOn == 1; }

const char* flowUnit() { return fuelUnitIsGallons() ? "G/hr" : "L/hr"; }
const char* unitWord() { return fuelUnitIsGallons() ? "GALLONS" : "LITRES"; }

// Flow 1 minus flow 2 in DIFFERENTIAL mode, their sum otherwise.
int32_t combinedFlow()
{
    const int32_t f0 = fuelFlow[0], f1 = fuelFlow[1];
    return settings.dualFlowMode == 1 ? f0 - f1 : f0 + f1;
}

void drawFlow(int x, int y, int32_t flow, uint8_t fontId, uint8_t align)
{
    char text[16];
    formatTenths(text, sizeof text, flow);
    drawText(x, y, text, fontId, align, COLOUR_WHITE);
}

void label(int x, int y, const char* text, uint8_t align = AlignLeft)
{
    drawText(x, y, text, 8, align, COLOUR_SILVER);
}

// Layouts 0, 1, 12, 13: one flow (or both combined) feeding one tank.
void drawFlowWithTank(int32_t flow, int tank)
{
    drawFlow(430, 146, flow, 20, AlignRight);
    label(288, 150, "FUEL");
    label(288, 165, "FLOW");
    label(440, 161, flowUnit());
    const TankPlace place = {420, 187, 189, 216, 12, 420, 192, 194, 212, 2, "FL", 288, 195, 320, 195, 95, 16, 195};
    drawTank(tank, place);
    if (fuelPressureShown()) drawFuelPressureWidget(320, 227, 80, 8, true);
}

// Layouts 2, 3: one tank by its sender, no flow.
void drawSingleTank(int tank)
{
    if (fuelPressureShown()) {
        label(340, 165, "FUEL LEVEL", AlignCentre);
        label(435, 165, unitWord(), AlignCentre);
        drawFuelPressureWidget(320, 250, 80, 8, true);
    } else {
        label(380, 165, "FUEL LEVEL", AlignCentre);
        label(380, 235, unitWord(), AlignCentre);
    }
    drawTank(tank, samePlaceFail(414, 195, 197, 223, 1, nullptr, 0, 0, 290, 203, 110, 14, -1));
}

// Layout 4: both tanks by sender, no flow.
void drawTwoTanks()
{
    const bool fp = fuelPressureShown();
    if (fp) drawFuelPressureWidget(320, 250, 80, 8, true);
    drawTank(0, samePlaceFail(414, 159, 161, 187, 2, "FL1", 288, 167, 320, 168, 80, 13, -1));
    drawTank(1, samePlaceFail(414, 203, 205, 231, 2, "FL2", 288, 211, 320, 212, 80, 13, -1));
    label(380, fp ? 190 : 250, unitWord(), AlignCentre);
}

// Layouts 5, 6: one flow, no tanks.
void drawSingleFlow(int32_t flow)
{
    drawText(380, 170, "FUEL FLOW", 10, AlignCentre, COLOUR_SILVER);
    drawFlow(415, 201, flow, 20, AlignRight);
    label(450, 219, flowUnit(), AlignCentre);
    if (fuelPressureShown()) drawFuelPressureWidget(320, 255, 80, 8, true);
}

// Layout 7: both flows on their own (DUAL), no tanks.
void drawDualFlows()
{
    if (fuelPressureShown()) {
        drawFuelPressureWidget(320, 250, 80, 8, true);
        label(290, 155, "FF1");
        label(290, 200, "FF2");
        drawFlow(420, 155, fuelFlow[0], 20, AlignRight);
        drawFlow(420, 200, fuelFlow[1], 20, AlignRight);
        label(440, 174, flowUnit());
        label(440, 219, flowUnit());
    } else {
        label(290, 155, "FUEL FLOW 1");
        label(290, 215, "FUEL FLOW 2");
        drawFlow(420, 170, fuelFlow[0], 20, AlignRight);
        drawFlow(420, 230, fuelFlow[1], 20, AlignRight);
        label(440, 188, flowUnit());
        label(440, 248, flowUnit());
    }
}

// Layout 8: both flows combined (DIFFERENTIAL or SUMMATION) over the two single flows, no tanks.
void drawCombinedFlows()
{
    const bool fp = fuelPressureShown();
    const int s = fp ? 10 : 0, s2 = fp ? 9 : 0;
    if (fp) drawFuelPressureWidget(320, 255, 80, 8, true);
    drawFlow(420, 157 - s, combinedFlow(), 20, AlignRight);
    label(290, 205 - s - s2, "FLOW 1");
    drawFlow(380, 205 - s - s2, fuelFlow[0], 12, AlignLeft);
    label(290, 235 - s - s2, "FLOW 2");
    drawFlow(380, 235 - s - s2, fuelFlow[1], 12, AlignLeft);
    label(460, 175 - s, flowUnit(), AlignCentre);
    label(460, 210 - s - s2, flowUnit(), AlignCentre);
    label(460, 240 - s - s2, flowUnit(), AlignCentre);
}

// Both tanks under the flow line, s rows higher with fuel pressure; tank 2's "FAIL" box may
// start lower than its contents box.
void drawTankPair(int s, int tank2FailTop)
{
    drawTank(0, samePlaceFail(414, 171 - s, 173 - s, 199 - s, 2, "FL1", 288, 180 - s, 320, 181 - s, 80, 13, 180 - s));
    TankPlace second = samePlaceFail(414, 198 - s, 200 - s, 226 - s, 2, "FL2", 288, 206 - s, 320, 207 - s, 80, 13,
                                     206 - s);
    second.failTop = tank2FailTop;
    drawTank(1, second);
}

// Layout 10: both flows (DUAL), both tanks.
void drawDualFlowsTwoTanks()
{
    const bool fp = fuelPressureShown();
    const int s = fp ? 3 : 0;
    if (fp) drawFuelPressureWidget(320, 230, 80, 8, true);
    drawFlow(320, 145 - s, fuelFlow[0], 16, AlignCentre);
    drawFlow(408, 145 - s, fuelFlow[1], 16, AlignCentre);
    drawTankPair(s, 200 - s);
    label(464, 153 - s, flowUnit(), AlignCentre);
}

// Layouts 11, 14: one flow value (or both combined), both tanks.
void drawFlowTwoTanks()
{
    const bool fp = fuelPressureShown();
    const int s = fp ? 4 : 0;
    if (fp) drawFuelPressureWidget(320, 230, 80, 8, true);
    const int32_t flow = settings.flow1On == 1 && settings.flow2On == 1 ? combinedFlow()
                         : settings.flow1On == 1                        ? fuelFlow[0]
                                                                        : fuelFlow[1];
    drawFlow(380, 146 - s, flow, 16, AlignCentre);
    drawTankPair(s, 201 - s);
    label(460, 155 - s, flowUnit(), AlignCentre);
}

// Layout 9 and anything unknown: fuel pressure alone.
void drawFuelPressureOnly()
{
    if (!fuelPressureShown()) return;
    label(380, 185, "FUEL PRESSURE", AlignCentre);
    drawFuelPressureWidget(300, 210, 100, 8, false);
}

}  // namespace

void formatTankContents(char* text, size_t size, int32_t level)
{
    if (!tankUnitsAreTenths()) std::snprintf(text, size, "%d", static_cast<int>(level));
    else formatTenths(text, size, level);
}

void drawTankBar(int x, int y, int width, int height, int32_t level, int32_t tankSize, int32_t lowAlarm,
                 int32_t lowCaution)
{
    const float scale = widget_scale::unitsPerStep(tankSize, 0, static_cast<float>(width));
    int la = widget_scale::offset(lowAlarm, 0, scale);
    int lc = widget_scale::offset(lowCaution, 0, scale);
    if (widget_scale::zeroSpan(tankSize, 0)) {
        la = std::clamp(la, 0, width);
        lc = std::clamp(lc, 0, width);
    }
    const int bottom = y + height;
    fillRect(x, y, x + la, bottom, COLOUR_RED);
    fillRect(x + la, y, x + lc, bottom, COLOUR_YELLOW);
    fillRect(x + lc, y, x + width, bottom, COLOUR_GREEN);
    widget_scale::drawBarMarker(x, y, width, height, level, 0, scale);
}

void drawFuelArea()
{
    switch (fuelLayout) {
    case 0: drawFlowWithTank(fuelFlow[0], 0); break;
    case 1: drawFlowWithTank(fuelFlow[1], 1); break;
    case 12: drawFlowWithTank(combinedFlow(), 0); break;
    case 13: drawFlowWithTank(combinedFlow(), 1); break;
    case 2: drawSingleTank(0); break;
    case 3: drawSingleTank(1); break;
    case 4: drawTwoTanks(); break;
    case 5: drawSingleFlow(fuelFlow[0]); break;
    case 6: drawSingleFlow(fuelFlow[1]); break;
    case 7: drawDualFlows(); break;
    case 8: drawCombinedFlows(); break;
    case 10: drawDualFlowsTwoTanks(); break;
    case 11:
    case 14: drawFlowTwoTanks(); break;
    default: drawFuelPressureOnly(); break;
    }
}
