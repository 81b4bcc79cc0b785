// The alarm banner: the announced alarms, one red, flashing row each, over the clock row at the
// top of the display, and "ACK" on the first key. The gauges, bars and readouts below stay in
// sight, flashing as their own widgets do. The banner takes precedence over the pilot's menu or
// pop-up, which stays open underneath and comes back after ACK.
#include "ui/alarm_popup.h"

#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/alarm_messages.h"
#include "time/clock.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

constexpr int kMaxRows = 2;          // beyond this the last row counts the rest
// The clock row (0..30, its rule at 31 stays); on the right it stops short of the corner readout
// (OAT or CO) and of the wide panel's MAINT column.
constexpr int kRight = 404, kBottom = 30;
constexpr int kCentreX = kRight / 2;
constexpr int kRowPitch = 16;        // a row's bar is 15 rows high, a black row between bars
constexpr uint8_t kRowFont = 8;
// The first key's caption: a tab over the label of the EGT (or CHT) group's value, no wider than
// the caption, without a right-hand rule, so that the value beside it keeps its first column.
constexpr int kKeyRight = 31, kKeyTop = 250;
constexpr uint8_t kOverlayRenewal = 10;  // slow steps the pilot's menu gets back after ACK

// Phase 1: white text on a red bar; phase 0: red text on black.
void drawAlarmRow(int y, const char* text)
{
    if (blinkPhase == 1) {
        fillRect(0, y, kRight, y + kRowPitch - 2, COLOUR_RED);
        drawText(kCentreX, y, text, kRowFont, AlignCentre, COLOUR_WHITE);
    } else {
        drawText(kCentreX, y, text, kRowFont, AlignCentre, COLOUR_RED);
    }
}

void drawAckKey()
{
    fillRect(0, kKeyTop + 1, kKeyRight, SCREEN_HEIGHT - 1, COLOUR_BLACK);
    drawHLine(0, kKeyRight, kKeyTop, COLOUR_WHITE);
    drawText((kKeyRight + 1) / 2, kKeyTop + 4, "ACK", 8, AlignCentre, COLOUR_WHITE);
}

}  // namespace

bool alarmPopupShown() { return alarmAnnounced != 0; }

void alarmPopup()
{
    AlarmLine lines[ALARM_LINE_LIMIT];
    const int count = announcedAlarmLines(lines);
    // With more alarms than rows, the last row says how many are left for after this ACK.
    const int alarmsShown = count > kMaxRows ? kMaxRows - 1 : count;
    const int rows = count > kMaxRows ? kMaxRows : count;

    fillRect(0, 0, kRight, kBottom, COLOUR_BLACK);
    const int top = (kBottom + 2 - kRowPitch * rows) / 2;  // one row sits in the middle
    uint32_t shownBits = 0;
    for (int i = 0; i < alarmsShown; ++i) {
        drawAlarmRow(top + kRowPitch * i, lines[i].text);
        shownBits |= lines[i].bit;
    }
    if (count > alarmsShown) {
        char more[24];
        std::snprintf(more, sizeof more, "+%d MORE", count - alarmsShown);
        drawText(kCentreX, top + kRowPitch * alarmsShown, more, kRowFont, AlignCentre, COLOUR_WHITE);
    }
    drawAckKey();

    const uint8_t key = takeKey();
    if (key != KeySoft1 && key != KeyKnobPress) return;
    acknowledgeAlarms(count > 0 ? shownBits : alarmAnnounced);
    if (!alarmPopupShown() && overlayTimeout != 0) overlayTimeout = kOverlayRenewal;
}
