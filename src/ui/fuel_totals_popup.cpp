// The fuel totals pop-up: fuel used per flow sender (or their sum or difference) since the last
// reset, and RESET, which clears the totals and leaves the pop-up open.
#include <cstdio>
#include <initializer_list>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/fuel.h"
#include "settings/settings.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

bool layoutIn(std::initializer_list<uint8_t> layouts)
{
    for (const uint8_t l : layouts)
        if (fuelLayout == l) return true;
    return false;
}

// Fuel used by sender k in the totals' unit; a K-factor of 0 counts nothing.
long usedBy(int k)
{
    const uint32_t k1 = scaledK(k == 0 ? settings.flow1KFactor : settings.flow2KFactor);
    return k1 == 0 ? 0 : static_cast<long>(fuelUsedPulses[k] / k1);
}

void formatTotal(char* text, size_t size, long v)
{
    if (fuelUnitIsGallons()) std::snprintf(text, size, "%.1f G", v / 10.0);
    else if (settings.tankLitreResolution == 1) std::snprintf(text, size, "%.1f L", v / 10.0);
    else std::snprintf(text, size, "%ld L", v);
}

void drawTotalLine(const char* label, int row, long value)
{
    char text[32];
    formatTotal(text, sizeof text, value);
    drawText(150, row, label, 8, AlignLeft, COLOUR_SILVER);
    drawText(220, row - 13, text, 16, AlignLeft, COLOUR_WHITE);
}

}  // namespace

void fuelTotalsPopup()
{
    keepPopupOpen();
    drawPopupKeyBar("FUEL TOTALS", "EXIT", "RESET", "", "", "");
    const bool twoFlows = layoutIn({7, 10});
    if (twoFlows) {
        fillRect(141, 81, 341, 183, COLOUR_BLACK);
        drawRect(140, 80, 340, 182, COLOUR_WHITE);
    } else {
        fillRect(141, 81, 341, 156, COLOUR_BLACK);
        drawRect(140, 80, 340, 155, COLOUR_WHITE);
    }
    drawText(240, 90, "FUEL TOTALS", 10, AlignCentre, COLOUR_RED);

    const long u0 = usedBy(0), u1 = usedBy(1);
    const bool firstLine = layoutIn({0, 5, 7, 8, 10, 12, 13}) || (layoutIn({11, 14}) && settings.flow1On == 1);
    if (firstLine) {
        if (layoutIn({8, 12, 13})) drawTotalLine("TOTAL:", 127, settings.dualFlowMode == 1 ? u0 - u1 : u0 + u1);
        else drawTotalLine(twoFlows ? "TOTAL 1:" : "TOTAL:", 127, u0);
    }
    const bool secondLine = layoutIn({1, 6, 7, 10}) || (layoutIn({11, 14}) && settings.flow2On == 1);
    if (secondLine) drawTotalLine(twoFlows ? "TOTAL 2:" : "TOTAL:", firstLine ? 157 : 127, u1);

    const uint8_t key = takeKey();
    if (key == KeySoft1) {
        closePopup();
    } else if (key == KeySoft2) {
        fuelUsedPulses[0] = fuelUsedPulses[1] = 0;
        fuelUsed[0] = fuelUsed[1] = 0;
    }
}
