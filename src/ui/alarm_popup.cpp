// The alarm pop-up: a black box with one red, flashing line per announced alarm, the caption
// "ALARM" and "ACK" on the first key. It takes precedence over the pilot's menu or pop-up, which
// stays open underneath and comes back after ACK.
#include "ui/alarm_popup.h"

#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "engine/alarm_messages.h"
#include "time/clock.h"
#include "ui/home.h"
#include "ui/screen.h"

namespace {

constexpr int kMaxLines = 6;      // beyond this the last line counts the rest
constexpr int kLeft = 90, kRight = 390, kTop = 50;
constexpr int kFirstLineY = 58;   // top row of the first line's text
constexpr int kLinePitch = 24;
constexpr uint8_t kLineFont = 10;
constexpr uint8_t kOverlayRenewal = 10;  // slow steps the pilot's menu gets back after ACK

// Phase 1: white text on a red bar; phase 0: red text on black.
void drawAlarmLine(int y, const char* text)
{
    if (blinkPhase == 1) {
        fillRect(kLeft + 2, y - 3, kRight - 2, y + kLinePitch - 6, COLOUR_RED);
        drawText(240, y, text, kLineFont, AlignCentre, COLOUR_WHITE);
    } else {
        drawText(240, y, text, kLineFont, AlignCentre, COLOUR_RED);
    }
}

}  // namespace

bool alarmPopupShown() { return alarmAnnounced != 0; }

void alarmPopup()
{
    AlarmLine lines[ALARM_LINE_LIMIT];
    const int count = announcedAlarmLines(lines);
    // With more alarms than lines, the last line says how many are left for after this ACK.
    const int alarmsShown = count > kMaxLines ? kMaxLines - 1 : count;
    const int rows = count > kMaxLines ? kMaxLines : count;

    drawPopupKeyBar("ALARM", "ACK", "", "", "", "");
    const int bottom = kFirstLineY + kLinePitch * rows + 2;
    fillRect(kLeft, kTop, kRight, bottom, COLOUR_BLACK);
    drawRect(kLeft, kTop, kRight, bottom, COLOUR_WHITE);
    uint32_t shownBits = 0;
    for (int i = 0; i < alarmsShown; ++i) {
        drawAlarmLine(kFirstLineY + kLinePitch * i, lines[i].text);
        shownBits |= lines[i].bit;
    }
    if (count > alarmsShown) {
        char more[24];
        std::snprintf(more, sizeof more, "+%d MORE", count - alarmsShown);
        drawText(240, kFirstLineY + kLinePitch * alarmsShown, more, kLineFont, AlignCentre, COLOUR_WHITE);
    }

    const uint8_t key = takeKey();
    if (key != KeySoft1 && key != KeyKnobPress) return;
    acknowledgeAlarms(count > 0 ? shownBits : alarmAnnounced);
    if (!alarmPopupShown() && overlayTimeout != 0) overlayTimeout = kOverlayRenewal;
}
