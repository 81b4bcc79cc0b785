// The SLOPE ERROR message of the tank calibration: shown until any key, then back to the
// calibration screen that raised it.
#include "display/framebuffer.h"
#include "display/icons.h"
#include "display/image.h"
#include "display/text.h"
#include "ui/fuel_setup.h"
#include "ui/home.h"

ScreenFunction slopeReturnScreen = homeScreen;

void slopeErrorScreen()
{
    drawPageTitle("", "MESSAGE");
    drawImage(60, 115, iconExclamation);
    drawText(260, 120, "SLOPE ERROR", 20, AlignCentre, COLOUR_WHITE);
    if (pendingKey == KeyNone) return;
    pendingKey = KeyNone;
    returnToScreen(slopeReturnScreen ? slopeReturnScreen : homeScreen);
}
