// Home page 2: the GPS information panel, the sky view and the signal bars.
#pragma once

void drawGpsPage();
