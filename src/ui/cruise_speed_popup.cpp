// The cruising speed pop-up: the speed the fuel range uses without a measured speed, three digits
// entered with the knob and stored at once.
#include <cstdio>

#include "display/framebuffer.h"
#include "display/text.h"
#include "settings/settings.h"
#include "ui/digit_editor.h"
#include "ui/home.h"
#include "ui/popup_menu.h"
#include "ui/popups.h"
#include "ui/screen.h"
#include "ui/widget_texts.h"

namespace {

constexpr DigitEditor kSpeedDigits = {3, nullptr};

}  // namespace

void openCruiseSpeedPopup()
{
    char text[12];
    std::snprintf(text, sizeof text, "%03u", static_cast<unsigned>(settings.cruiseSpeed));
    loadEditDigits(text, 3);
    overlayScreen = cruiseSpeedPopup;
}

void cruiseSpeedPopup()
{
    keepPopupOpen();
    drawPopupKeyBar("CRUISING SPEED", "EXIT", "", "", "", "");
    drawPopupBox(115, 80, 365, 190, "USE THE ROTARY", "CONTROL TO MANUALLY", "ENTER YOUR CRUISING SPEED");
    drawEditDigit(195, 150, 0, AlignLeft);
    drawEditDigit(215, 150, 1, AlignLeft);
    drawEditDigit(235, 150, 2, AlignLeft);
    drawText(270, 157, speedUnitText(settings.fuelUnit), 12, AlignLeft, COLOUR_WHITE);

    const uint8_t key = takeKey();
    if (key == KeySoft1) closePopup();
    else if (editDigitsByKey(kSpeedDigits, key) == DigitKey::Changed)
        settings.cruiseSpeed = static_cast<uint16_t>(editDigitsValue(3));
}
