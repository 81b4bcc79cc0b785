// The EGT and CHT bar graph (x 0..279, y 146..271): one bar per channel with its peak marker,
// channel numbers and limit lines, the group's single value, and the lean and cruise variants.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/thermocouples.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/home.h"
#include "ui/widget_scale.h"
#include "ui/widgets.h"

namespace {

constexpr int kBaseRow = 230;         // bars stand on this row
constexpr int kGraphRight = 279;      // the graph's area ends here; the fuel area follows
constexpr int kCruiseBaseRow = 202;
constexpr int kCruiseMaxHeight = 30;

// The channel counts, held to the twelve channels there are.
struct Counts {
    int egt, cht;
};
Counts channelCounts()
{
    const int egt = std::min<int>(settings.egtChannels, 12);
    return {egt, std::min<int>(settings.chtChannels, 12 - egt)};
}

// Where the CHT group starts: wE, or 1 without EGT channels.
int chtGroupStart(int egt, int cht) { return egt == 0 ? 1 : egtGroupWidth(egt, cht); }

// One group of bars as drawn.
struct Group {
    bool egt;
    int first, count;  // channel indices first .. first + count - 1 of tc
    BarGroupGeometry geometry;
    int32_t displayMax, displayMin, highAlarm, highCaution;
    uint8_t scanMode;
    int selected;  // the scanned channel; one outside the group (the CHT selection before the
                   // first scan step after power-on) stands for the group's first channel
    uint8_t highlight;
};

Group makeGroup(bool egt)
{
    const Counts n = channelCounts();
    const bool cruise = leanDeltaMode == 1;
    const Settings& s = settings;
    Group g{};
    if (egt) {
        g = {true, 0, n.egt, egtBarGeometry(n.egt, n.cht, cruise), s.egtDisplayMax, s.egtDisplayMin,
             s.egtHighAlarm, s.egtHighCaution, s.egtScanMode, egtSelected < n.egt ? egtSelected : 0,
             COLOUR_MAGENTA};
    } else {
        const bool inside = chtSelected >= n.egt && chtSelected < n.egt + n.cht;
        g = {false, n.egt, n.cht, chtBarGeometry(n.egt, n.cht, cruise), s.chtDisplayMax, s.chtDisplayMin,
             s.chtHighAlarm, s.chtHighCaution, s.chtScanMode, inside ? chtSelected : n.egt, COLOUR_CYAN};
    }
    return g;
}

int barX(const Group& g, int k) { return g.geometry.firstX + k * g.geometry.pitch; }
int barRight(const Group& g, int k) { return barX(g, k) + g.geometry.width; }
int barCentre(const Group& g, int k) { return barX(g, k) + g.geometry.width / 2; }

// Pixels 0..4 of every 10 from x0 to x1 on one row, a span each.
void dashedLine(int x0, int x1, int y, uint8_t colour)
{
    for (int x = x0; x <= x1; x += 10) drawHLine(x, std::min(x + 4, x1), y, colour);
}

// Bar heights: 0 .. maxHeight pixels (57 for the EGT bars in lean mode, 77 otherwise); a value
// off the top of the scale stands at maxHeight. Limit lines are drawn only below row `top`.
struct HeightScale {
    int maxHeight, top;
    float units;
    int32_t displayMin;
    int operator()(int64_t value) const
    {
        const int h = widget_scale::offset(value, displayMin, units);
        return std::clamp(h, 0, maxHeight);
    }
};

HeightScale heightScale(const Group& g)
{
    const bool lean = g.egt && leanActive == 1;
    const int maxHeight = lean ? 57 : 77;
    return {maxHeight, lean ? 170 : 150,
            widget_scale::unitsPerStep(g.displayMax, g.displayMin, static_cast<float>(maxHeight)), g.displayMin};
}

// The value the group shows below its bars.
int32_t singleValue(const Group& g)
{
    if (g.scanMode == 1 && leanDeltaMode != 1) return tc[g.selected];
    int32_t highest = -500;
    for (int k = 0; k < g.count; ++k) highest = std::max<int32_t>(highest, tc[g.first + k]);
    return highest;
}

void drawChannelNumber(const Group& g, int k, bool highlighted)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", k + 1);
    const int x = barCentre(g, k);
    drawText(x, 233, text, 8, AlignCentre, COLOUR_SILVER);
    if (!highlighted) return;
    fillRect(lastTextStartX - 2, 233, lastTextEndX, 248, g.highlight);
    drawText(x, 233, text, 8, AlignCentre, COLOUR_BLACK);
}

// The numbers over the bars stagger in two rows so that neighbours never touch.
int staggeredRow(int k) { return (k & 1) ? 157 : 145; }

void drawNumberAbove(const Group& g, int k, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    drawText(barCentre(g, k), staggeredRow(k), text, 8, AlignCentre, COLOUR_WHITE);
}

void drawBars(const Group& g, int32_t shown)
{
    const HeightScale h = heightScale(g);
    const bool lean = g.egt && leanActive == 1;
    for (int k = 0; k < g.count; ++k) {
        const int i = g.first + k;
        const int x0 = barX(g, k), x1 = barRight(g, k);
        const int peak = h(tcMax[i]);
        drawHLine(x0, x1, kBaseRow - 1 - peak, COLOUR_WHITE);
        drawHLine(x0, x1, kBaseRow - 2 - peak, COLOUR_WHITE);
        const uint8_t colour = tc[i] >= g.highAlarm ? COLOUR_RED : tc[i] >= g.highCaution ? COLOUR_YELLOW : COLOUR_GREEN;
        const int height = h(tc[i]);
        if (height > 0) fillRect(x0, kBaseRow - height, x1, kBaseRow, colour);

        if (!lean) {
            const bool highlighted = g.scanMode == 0 ? tc[i] == shown : g.scanMode == 1 && i == g.selected;
            drawChannelNumber(g, k, highlighted);
        } else {
            drawNumberAbove(g, k, leanPeakOrder[i] > 0 ? leanDelta[i] : tc[i]);
            if (leanPeakOrder[i] != 0) {
                char order[16];
                std::snprintf(order, sizeof order, "%d", static_cast<int>(leanPeakOrder[i]));
                drawText(barCentre(g, k) + 1, 232, order, 8, AlignCentre, COLOUR_WHITE);
            }
        }
    }
    const int left = barX(g, 0), right = barRight(g, g.count - 1);
    for (const auto& [limit, colour] : {std::pair{g.highAlarm, COLOUR_RED}, std::pair{g.highCaution, COLOUR_YELLOW}}) {
        const int y = kBaseRow - h(limit);
        if (y > h.top) dashedLine(left, right, y, colour);
    }
}

// Cruise mode: every channel's difference from its reference, up or down from row 202.
void drawDeviationBars(const Group& g)
{
    // One baseline under both groups: the CHT graph, drawn after the EGT graph, would otherwise
    // cut through the EGT bars on row 202.
    if (g.egt || g.first == 0) dashedLine(0, 274, kCruiseBaseRow, COLOUR_SILVER);
    const float degreesPerPixel = (settings.temperatureUnit == 1 ? 400.0f : 200.0f) / 30.0f;
    for (int k = 0; k < g.count; ++k) {
        const int i = g.first + k;
        const int d = leanDelta[i];
        const int h = std::clamp(static_cast<int>(static_cast<float>(d) / degreesPerPixel), -kCruiseMaxHeight,
                                 kCruiseMaxHeight);
        const int x0 = barX(g, k), x1 = barRight(g, k);
        if (h > 0) fillRect(x0, kCruiseBaseRow - h, x1, kCruiseBaseRow, COLOUR_CYAN);
        else if (h < 0) fillRect(x0, kCruiseBaseRow, x1, kCruiseBaseRow - h, COLOUR_CYAN);
        drawNumberAbove(g, k, d);
        drawChannelNumber(g, k, false);
    }
}

void drawSingleValue(const Group& g, int32_t value, int x)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    const ValueState state = value > g.highAlarm     ? ValueState::Alarm
                             : value > g.highCaution ? ValueState::Caution
                                                     : ValueState::Normal;
    drawBoxedValue(x, 245, text, 16, AlignCentre, 250, 271, state, 2, BoxBlink::Steady);
}

void drawGroup(const Group& g)
{
    if (g.count <= 0) return;
    const int32_t shown = singleValue(g);
    if (leanDeltaMode == 1) drawDeviationBars(g);
    else drawBars(g, shown);

    const bool lean = leanActive == 1, cruise = leanDeltaMode == 1;
    if (g.egt) {
        drawSingleValue(g, shown, lean ? 90 : cruise ? 55 : 80);
        if (lean && blinkPhase == 0) {
            drawText(0, 246, "LEAN", 8, AlignLeft, COLOUR_WHITE);
            drawText(0, 259, "MODE", 8, AlignLeft, COLOUR_WHITE);
        } else {
            drawText(0, 258, "EGT", 8, AlignLeft, COLOUR_MAGENTA);
        }
        if (cruise && blinkPhase == 0) {
            drawText(135, 245, "CRUISE", 8, AlignCentre, COLOUR_WHITE);
            drawText(135, 259, "MODE", 8, AlignCentre, COLOUR_WHITE);
        }
    } else {
        const bool withEgt = g.first > 0;
        drawSingleValue(g, shown, withEgt || cruise ? 220 : 80);
        if (!cruise) drawText(withEgt ? 140 : 0, 258, "CHT", 8, AlignLeft, COLOUR_CYAN);
    }
}

}  // namespace

int egtGroupWidth(int egt, int cht)
{
    const int total = egt + cht;
    if (total <= 0) return 0;
    return 2450 / total * egt / 10;
}

BarGroupGeometry egtBarGeometry(int egt, int cht, bool cruise)
{
    if (egt <= 0) return {0, 0, 0};
    const int wE = egtGroupWidth(egt, cht);
    const int w = (wE - 3 * egt - 3) / egt;
    const int centring = (wE + 3 - egt * (w + 3)) >> 1;
    return cruise ? BarGroupGeometry{w, centring + 7, w + 4} : BarGroupGeometry{w, centring + 2, w + 5};
}

BarGroupGeometry chtBarGeometry(int egt, int cht, bool cruise)
{
    if (cht <= 0) return {0, 0, 0};
    const int start = chtGroupStart(egt, cht);
    if (cruise) {
        const int w = (240 - start - 3 * cht - 3) / cht;
        return {w, ((240 - start + 3 - cht * (w + 3)) >> 1) + start + 20, w + 4};
    }
    const int w = (245 - start - 3 * cht - 3) / cht;
    BarGroupGeometry g{w, start + 22 + ((248 - start - cht * (w + 3)) >> 1), w + 5};
    // Bars are w + 5 apart but centred as if w + 3: with ten or more CHTs the last bar would end
    // past the graph's right edge, over the divider and into the fuel area. Such a group moves
    // left just enough to end at the edge.
    const int end = g.firstX + (cht - 1) * g.pitch + g.width;
    if (end > kGraphRight) g.firstX -= end - kGraphRight;
    return g;
}

void drawEgtBarGraph() { drawGroup(makeGroup(true)); }

void drawChtBarGraph() { drawGroup(makeGroup(false)); }
