// Stand-ins for the widgets and the clock panel while they are being built.
#include "ui/clock_panel.h"
#include "ui/widgets.h"

uint8_t coDataValid = 0;
void drawBarGauge(const BarGauge&) {}
void drawVoltsWidget(int, int, int, int) {}
void drawOatWidget(int, int, int, int) {}
void drawAmpsWidget(int, int, int, int) {}
void drawSenderSlotWidget(int, int, int, int, int, int) {}
void drawFuelPressureWidget(int, int, int, int, bool) {}
void drawMapRoundGauge(int, int, int, int, int, int, int, int) {}
void drawRpmRoundGauge(int, int) {}
void drawRpmReadout(int, int, int, int, int, uint8_t) {}
void drawSmallMapReadout(int, int, int, int, int, int) {}
void drawTwinRpmDisplay() {}
void drawEgtBarGraph() {}
void drawChtBarGraph() {}
void drawOatCornerReadout() {}
void drawCoCornerReadout() {}
void drawFuelArea() {}
