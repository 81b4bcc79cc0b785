// The engine page: EGT/CHT graphs, the gauge area chosen by which of RPM 1, RPM 2 and MAP are
// shown, the right-hand bar widgets placed by a table, the clock panel with its corner, the fuel
// area, the rules, and the red cross while the remote sensor unit is disconnected.
#include "ui/engine_page.h"

#include "device.h"
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/settings.h"
#include "ui/clock_panel.h"
#include "ui/home.h"
#include "ui/widgets.h"

namespace {

constexpr uint8_t kRuleColour = COLOUR_SILVER;

uint8_t slotFunction(int slot)
{
    switch (slot) {
    case 0: return settings.oilTempFunction;
    case 1: return settings.oilPressureFunction;
    case 2: return settings.aux13Function;
    default: return settings.aux24Function;
    }
}

// Which gauges the page shows decides how much room the bar widgets get.
WidgetColumns drawGaugeArea()
{
    const bool rpm2 = settings.rpm2DisplayMode != 2;
    const bool rpm1 = settings.rpm1DisplayMode < 2;
    const bool mapShown = settings.mapDisplayOn == 1;
    if (rpm2) {
        drawTwinRpmDisplay();
        if (mapShown) {
            drawVLine(110, 144, 181, kRuleColour);
            drawHLine(181, 251, 110, kRuleColour);
            drawSmallMapReadout(240, 123, 185, 110, 222, 110);
        }
        drawVLine(32, 144, 251, kRuleColour);
        return WidgetColumns::Double;
    }
    if (mapShown && rpm1) {
        drawMapRoundGauge(61, 100, 37, 123, 76, 85, 80, 123);
        drawRpmRoundGauge(180, 100);
        drawRpmReadout(1, 200, 85, 200, 129, AlignCentre);
        drawVLine(32, 144, 249, kRuleColour);
        return WidgetColumns::Double;
    }
    if (mapShown) {
        drawMapRoundGauge(70, 100, 50, 123, 85, 85, 93, 123);
        drawVLine(32, 144, 131, kRuleColour);
        return WidgetColumns::Single;
    }
    if (rpm1) {
        drawRpmRoundGauge(61, 100);
        drawRpmReadout(1, 85, 85, 85, 129, AlignCentre);
        drawVLine(32, 144, 131, kRuleColour);
        return WidgetColumns::Single;
    }
    return WidgetColumns::Wide;
}

void drawPlacement(const WidgetPlacement& p)
{
    switch (p.widget) {
    case RightWidget::Volts: drawVoltsWidget(p.x, p.y, p.width, p.height); break;
    case RightWidget::Oat: drawOatWidget(p.x, p.y, p.width, p.height); break;
    case RightWidget::Amps: drawAmpsWidget(p.x, p.y, p.width, p.height); break;
    case RightWidget::Slot: drawSenderSlotWidget(p.slot, slotFunction(p.slot), p.x, p.y, p.width, p.height); break;
    }
}

// The clock panel's top-right corner; returns whether a readout is drawn there.
bool drawCorner(bool oatInRightArea)
{
    const bool coMonitor = settings.coMonitorType != 0;
    if (!coMonitor && oatInRightArea) return false;
    const bool showOat = !coMonitor || (!oatInRightArea && oatCoCycle >= 3);
    if (showOat) drawOatCornerReadout();
    else drawCoCornerReadout();
    return true;
}

}  // namespace

int shownSenderSlots(uint8_t* slots)
{
    int n = 0;
    for (int slot = 0; slot < 4; ++slot) {
        if (slotFunction(slot) == 0) continue;
        if (settings.chtProbe == 3 && (slot == 2 || (slot == 3 && settings.chtChannels != 1))) continue;
        slots[n++] = static_cast<uint8_t>(slot);
    }
    return n;
}

int placeRightWidgets(WidgetColumns columns, int n, bool amps, const uint8_t* slots, WidgetPlacement* out)
{
    using enum RightWidget;
    int count = 0;
    auto put = [&](RightWidget widget, int x, int y, int width, int height, int slot = 0) {
        out[count++] = {widget, static_cast<uint8_t>(slot), static_cast<int16_t>(x), static_cast<int16_t>(y),
                        static_cast<int16_t>(width), static_cast<int16_t>(height)};
    };
    const int L = columns == WidgetColumns::Wide ? 80 : columns == WidgetColumns::Single ? 165 : 258;
    const int R = columns == WidgetColumns::Wide ? 270 : columns == WidgetColumns::Single ? 325 : 378;
    const int w = columns == WidgetColumns::Double ? 97 : 120;
    const int h = 8;
    int nextSlot = 0;
    auto slot = [&](int x, int y) { put(Slot, x, y, w, h, slots[nextSlot++]); };

    if (n <= 0 && !amps) {
        if (columns == WidgetColumns::Wide) put(Volts, 80, 93, 130, 10), put(Oat, 275, 93, 130, 10);
        else if (columns == WidgetColumns::Single) put(Volts, 165, 93, 130, 10), put(Oat, 325, 93, 130, 10);
        else put(Volts, 300, 65, 130, 10), put(Oat, 300, 117, 130, 10);
    } else if (n <= 0) {
        if (columns == WidgetColumns::Wide)
            put(Volts, 20, 93, 130, 10), put(Amps, 185, 93, 130, 10), put(Oat, 340, 93, 130, 10);
        else if (columns == WidgetColumns::Single)
            put(Volts, 165, 65, 130, 10), put(Oat, 325, 65, 130, 10), put(Amps, 165, 117, 130, 10);
        else put(Volts, 258, 65, 97, 8), put(Oat, 378, 65, 97, 8), put(Amps, 258, 117, 97, 8);
    } else if (n == 1 && !amps) {
        if (columns == WidgetColumns::Wide) put(Volts, 20, 93, w, h), put(Oat, 185, 93, w, h), slot(340, 93);
        else put(Volts, L, 65, w, h), put(Oat, L, 117, w, h), slot(R, 65);
    } else if (n == 1) {
        put(Volts, L, 65, w, h), put(Oat, R, 65, w, h);
        put(Amps, L, 117, columns == WidgetColumns::Single ? 130 : w, h);
        slot(R, 117);
    } else if (n == 2 && !amps) {
        put(Volts, L, 65, w, h), put(Oat, L, 117, w, h), slot(R, 65), slot(R, 117);
    } else if (n == 2) {
        put(Volts, L, 54, w, h), put(Amps, L, 93, w, h), put(Oat, L, 131, w, h), slot(R, 54), slot(R, 93);
    } else if (n == 3 && !amps) {
        put(Volts, L, 54, w, h), put(Oat, L, 93, w, h), slot(L, 131), slot(R, 54), slot(R, 93);
    } else if (n == 3) {
        put(Volts, L, 54, w, h), put(Amps, L, 93, w, h), put(Oat, L, 131, w, h);
        slot(R, 54), slot(R, 93), slot(R, 131);
    } else if (!amps) {
        put(Volts, L, 54, w, h), put(Oat, L, 93, w, h);
        slot(L, 131), slot(R, 54), slot(R, 93), slot(R, 131);
    } else {
        put(Volts, L, 54, w, h), put(Amps, L, 93, w, h);
        slot(L, 131), slot(R, 54), slot(R, 93), slot(R, 131);
    }
    return count;
}

void drawEnginePage()
{
    clearScreen();
    if (settings.egtChannels > 0) drawEgtBarGraph();
    if (settings.chtChannels > 0) drawChtBarGraph();
    if (settings.egtChannels > 0 || settings.chtChannels > 0)
        drawText(260, 258, settings.temperatureUnit == 1 ? "\xB0" "F" : "\xB0" "C", 8, AlignLeft, COLOUR_SILVER);

    const WidgetColumns columns = drawGaugeArea();
    uint8_t slots[4];
    const int n = shownSenderSlots(slots);
    WidgetPlacement placements[8];
    const int count = placeRightWidgets(columns, n, settings.currentOn == 1, slots, placements);
    bool oatInRightArea = false;
    for (int i = 0; i < count; ++i) {
        drawPlacement(placements[i]);
        oatInRightArea |= placements[i].widget == RightWidget::Oat;
    }

    const bool compact = drawCorner(oatInRightArea);
    drawClockPanel(compact);
    drawFuelArea();
    drawTimeRemainingLines();

    drawHLine(0, 479, 31, kRuleColour);
    drawHLine(0, 479, 145, kRuleColour);
    drawVLine(146, 271, 280, kRuleColour);
    if (remoteUnitOn == 0) {
        drawThickLine(50, 50, 429, 221, COLOUR_RED);
        drawThickLine(50, 221, 429, 50, COLOUR_RED);
    }
}
