// The backlight pop-up: the knob sets the display's backlight level (4..31) in steps of 4, shown
// as a red bar; shared here too are the boxed text and the keep-open rule of the pop-ups.
#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/settings.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"
#include "ui/screen.h"

namespace {

constexpr uint8_t kBacklightMin = 4;
constexpr uint8_t kBacklightMax = 31;
constexpr uint8_t kBacklightStep = 4;
constexpr uint8_t kLastStepUp = 26;    // above it, plus goes straight to the maximum
constexpr uint8_t kLastStepDown = 9;   // below it, minus goes straight to the minimum

}  // namespace

void keepPopupOpen() { overlayTimeout = 10; }

void drawPopupBox(int left, int top, int right, int bottom, const char* line1, const char* line2,
                  const char* line3)
{
    fillRect(left, top, right, bottom, COLOUR_BLACK);
    drawRect(left, top, right, bottom, COLOUR_WHITE);
    drawText(240, 85, line1, 8, AlignCentre, COLOUR_WHITE);
    drawText(240, 105, line2, 8, AlignCentre, COLOUR_WHITE);
    drawText(240, 125, line3, 8, AlignCentre, COLOUR_WHITE);
}

void backlightPopup()
{
    keepPopupOpen();
    drawPopupBox(150, 80, 330, 190, "USE THE ROTARY", "CONTROL TO ADJUST", "THE BACKLIGHT");
    // A level beyond the range (from a settings file) never draws past the bar's frame.
    const int shown = settings.backlight > kBacklightMax ? kBacklightMax : settings.backlight;
    if (shown > 0) fillRect(162, 155, 162 + 5 * shown, 170, COLOUR_RED);
    drawRect(162, 155, 317, 170, COLOUR_WHITE);

    uint8_t& level = settings.backlight;
    switch (pendingKey) {
    case KeySoft1:
    case KeyKnobPress: closePopup(); break;
    case KeyKnobPlus:
        level = level > kLastStepUp ? kBacklightMax : static_cast<uint8_t>(level + kBacklightStep);
        break;
    case KeyKnobMinus:
        level = level < kLastStepDown ? kBacklightMin : static_cast<uint8_t>(level - kBacklightStep);
        break;
    default: break;
    }
    pendingKey = KeyNone;
}
