// The GPS page (stand-in until the page is drawn).
#include "gps/gps_page.h"

#include "display/framebuffer.h"

void drawGpsPage() { clearScreen(); }
