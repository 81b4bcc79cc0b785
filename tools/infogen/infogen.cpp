// Draws the sample SD card's information pages (480 x 272 palette PNGs) with the instrument's own
// fonts and colours: an engine limits card and a fuel planning table. corvex-mif turns them into
// SDCARD/INFOPAGE/*.MIF.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/framebuffer.h"
#include "display/text.h"
#include "images/png_io.h"

namespace {

// Palette indices beyond the colour roles.
constexpr uint8_t kNavy = 4;
constexpr uint8_t kDarkGrey = 7;
constexpr uint8_t kGrey = 8;
constexpr uint8_t kBandGrey = 226;  // 0x404040

void title(const char* text, const char* subtitle)
{
    fillRect(0, 0, 479, 29, kNavy);
    drawText(8, 4, text, 16, AlignLeft, COLOUR_WHITE);
    drawText(472, 9, subtitle, 8, AlignRight, COLOUR_SILVER);
    drawHLine(0, 479, 30, COLOUR_SILVER);
}

// One limit row: name and unit, a scale from lo to hi with coloured bands, and the numbers at the
// band edges.
struct Band {
    int from, to;
    uint8_t colour;
};

void markText(char (&text)[12], int value, int scale)
{
    if (scale == 100) {
        std::snprintf(text, sizeof text, "%d.%02d", (value / 100) % 100, std::abs(value % 100));
        if (text[std::strlen(text) - 1] == '0') text[std::strlen(text) - 1] = '\0';
    } else {
        std::snprintf(text, sizeof text, "%d", value);
    }
}

void limitRow(int y, const char* name, const char* unit, int lo, int hi, const Band* bands, int bandCount,
              const int* marks, int markCount, int scale, const char* note)
{
    constexpr int left = 150, right = 330;
    auto xOf = [&](int v) { return left + (v - lo) * (right - left) / (hi - lo); };
    drawText(8, y + 1, name, 10, AlignLeft, COLOUR_WHITE);
    drawText(8, y + 17, unit, 8, AlignLeft, COLOUR_SILVER);
    fillRect(left, y + 4, right, y + 13, kBandGrey);
    for (int i = 0; i < bandCount; ++i) fillRect(xOf(bands[i].from), y + 4, xOf(bands[i].to), y + 13, bands[i].colour);
    drawRect(left - 1, y + 3, right + 1, y + 14, kGrey);
    int lastLabelX = -100;
    for (int i = 0; i < markCount; ++i) {
        const int x = xOf(marks[i]);
        drawVLine(y + 14, y + 17, x, COLOUR_WHITE);
        if (x - lastLabelX < 34) continue;  // too close to the previous number: the note gives it
        char text[12];
        markText(text, marks[i], scale);
        drawText(x, y + 18, text, 8, AlignCentre, COLOUR_WHITE);
        lastLabelX = x;
    }
    drawText(342, y + 5, note, 8, AlignLeft, COLOUR_YELLOW);
}

void engineLimits()
{
    clearScreen();
    title("ENGINE LIMITS", "100 HP FOUR-STROKE");
    const struct Row {
        const char* name;
        const char* unit;
        int lo, hi;
        Band bands[3];
        int bandCount;
        int marks[4];
        int markCount;
        int scale;
        const char* note;
    } rows[] = {
        {"RPM", "1/MIN", 1000, 6000, {{1400, 5500, COLOUR_GREEN}, {5500, 5800, COLOUR_YELLOW}, {5800, 6000, COLOUR_RED}},
         3, {1400, 5500, 5800}, 3, 1, "5800 MAX 5 MIN"},
        {"OIL TEMP", "DEG C", 0, 150, {{50, 90, COLOUR_YELLOW}, {90, 110, COLOUR_GREEN}, {110, 130, COLOUR_YELLOW}},
         3, {50, 90, 130}, 3, 1, "50 MIN FOR T/O"},
        {"OIL PRESS", "BAR", 0, 8, {{0, 2, COLOUR_YELLOW}, {2, 5, COLOUR_GREEN}, {5, 7, COLOUR_YELLOW}},
         3, {2, 5, 7}, 3, 1, "0.8 MIN IDLE"},
        {"CHT", "DEG C", 0, 150, {{50, 120, COLOUR_GREEN}, {120, 135, COLOUR_YELLOW}, {135, 150, COLOUR_RED}},
         3, {50, 120, 135}, 3, 1, "135 MAX"},
        {"EGT", "DEG C", 500, 950, {{500, 850, COLOUR_GREEN}, {850, 880, COLOUR_YELLOW}, {880, 950, COLOUR_RED}},
         3, {600, 850, 880}, 3, 1, "880 MAX 1 MIN"},
        {"FUEL PRESS", "BAR", 0, 60, {{0, 15, COLOUR_RED}, {15, 50, COLOUR_GREEN}, {50, 60, COLOUR_YELLOW}},
         3, {15, 50}, 2, 100, "0.15 - 0.5 BAR"},
        {"VOLTS", "V", 10, 16, {{10, 12, COLOUR_RED}, {12, 14, COLOUR_GREEN}, {14, 16, COLOUR_YELLOW}},
         3, {12, 14}, 2, 1, "13.5+ CHARGING"},
    };
    int y = 35;
    for (const Row& r : rows) {
        limitRow(y, r.name, r.unit, r.lo, r.hi, r.bands, r.bandCount, r.marks, r.markCount, r.scale, r.note);
        drawHLine(0, 479, y + 30, kDarkGrey);
        y += 31;
    }
    drawText(240, 258, "GREEN NORMAL   YELLOW CAUTION   RED LIMIT", 8, AlignCentre, COLOUR_SILVER);
}

void fuelPlanning()
{
    clearScreen();
    title("FUEL PLANNING", "80 L USABLE");
    const int columns[] = {8, 95, 180, 260, 335, 410};
    const char* heads[] = {"POWER", "RPM", "L/H", "KTAS", "ENDUR.", "NM"};
    for (int i = 0; i < 6; ++i) drawText(columns[i], 38, heads[i], 8, AlignLeft, COLOUR_CYAN);
    drawHLine(0, 479, 54, COLOUR_SILVER);
    const struct { int power, rpm, flowTenths, tas; } rows[] = {
        {55, 4300, 130, 85}, {65, 4800, 160, 95}, {75, 5000, 190, 105}, {100, 5500, 270, 115},
    };
    constexpr int usableTenths = 800, reserveMinutes = 30;
    int y = 60;
    for (const auto& r : rows) {
        const int minutes = ((usableTenths * 60) / r.flowTenths) - reserveMinutes;
        const int range = r.tas * minutes / 60;
        char text[5][16];
        std::snprintf(text[0], sizeof text[0], "%d %%", r.power);
        std::snprintf(text[1], sizeof text[1], "%d", r.rpm);
        std::snprintf(text[2], sizeof text[2], "%d.%d", r.flowTenths / 10, r.flowTenths % 10);
        std::snprintf(text[3], sizeof text[3], "%d", r.tas);
        std::snprintf(text[4], sizeof text[4], "%d:%02d", minutes / 60, minutes % 60);
        const uint8_t colour = r.power == 75 ? COLOUR_LIME : COLOUR_WHITE;
        drawText(columns[0], y, text[0], 12, AlignLeft, colour);
        for (int i = 1; i < 5; ++i) drawText(columns[i], y, text[i], 12, AlignLeft, colour);
        std::snprintf(text[0], sizeof text[0], "%d", range);
        drawText(columns[5], y, text[0], 12, AlignLeft, colour);
        drawHLine(0, 479, y + 22, kDarkGrey);
        y += 26;
    }
    // Fuel remaining against time at 75 % power, with the reserve shaded.
    constexpr int left = 40, right = 460, top = 184, bottom = 240;
    drawText(8, 168, "FUEL LEFT AT 75 %, 80 L AT START", 8, AlignLeft, COLOUR_SILVER);
    fillRect(left, bottom - 54 * 95 / 800, right, bottom, kNavy);  // 30 min reserve: 9.5 L
    drawRect(left, top, right, bottom, kGrey);
    for (int hour = 0; hour <= 4; ++hour) {
        const int x = left + hour * (right - left) / 4;
        drawVLine(top, bottom + 3, x, kGrey);
        char text[8];
        std::snprintf(text, sizeof text, "%d H", hour);
        drawText(x, bottom + 5, text, 8, AlignCentre, COLOUR_WHITE);
    }
    // 80 L at 19 L/h runs out after 4 h 13 min: the line from (0 h, 80 L) to (4 h, 4 L).
    drawLine(left, top, right, bottom - (bottom - top) * 40 / 800, COLOUR_LIME);
    drawLine(left, top + 1, right, bottom - (bottom - top) * 40 / 800 + 1, COLOUR_LIME);
    drawText(left + 4, bottom - 14, "RESERVE", 8, AlignLeft, COLOUR_YELLOW);
    drawText(8, 256, "PLAN TO LAND WITH 30 MIN RESERVE (9.5 L)", 8, AlignLeft, COLOUR_YELLOW);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ENGINE_LIMITS.png FUEL_PLANNING.png\n", argv[0]);
        return 2;
    }
    engineLimits();
    if (!writeIndexedPng(argv[1], framebuffer, SCREEN_WIDTH, SCREEN_HEIGHT)) return 1;
    fuelPlanning();
    if (!writeIndexedPng(argv[2], framebuffer, SCREEN_WIDTH, SCREEN_HEIGHT)) return 1;
    return 0;
}
