// The MIN/MAX pop-up over the home page: the lowest and highest values kept since the last reset,
// with RESET.
#pragma once

void minMaxPopup();
