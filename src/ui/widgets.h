// The engine page's widgets: bar gauges and the bar widgets built on them, round gauges, RPM and
// MAP readouts, the twin RPM display, the EGT/CHT bar graphs, the corner readouts and the fuel
// area. Each reads the current values and settings and draws into the Framebuffer; none keeps state.
#pragma once
#include <cstdint>

struct BarGauge {
    int16_t x, y;            // top-left corner of the bar
    uint16_t width, height;  // bar size in pixels
    int32_t value;           // value to mark
    int32_t displayMax, displayMin;
    int32_t lowAlarm, lowCaution, highCaution, highAlarm;
};

void drawBarGauge(const BarGauge& gauge);

// Bar widgets at a bar position (x, y) and size.
void drawVoltsWidget(int x, int y, int width, int height);
void drawOatWidget(int x, int y, int width, int height);
void drawAmpsWidget(int x, int y, int width, int height);
// slot 0..3 (oil temperature input, oil pressure input, AUX 1/3, AUX 2/4); function 1 pressure,
// 2 temperature, 3 current (anything else draws nothing).
void drawSenderSlotWidget(int slot, int function, int x, int y, int width, int height);
void drawFuelPressureWidget(int x, int y, int width, int height, bool label);

// Round gauges (radius 60, ring 7, needle from radius 25).
void drawMapRoundGauge(int cx, int cy, int labelX, int labelY, int valueX, int valueY, int unitX, int unitY);
void drawRpmRoundGauge(int cx, int cy);
// RPM 1 (channel 1) or RPM 2 (channel 2) readout; align as drawText.
void drawRpmReadout(int channel, int valueX, int valueY, int labelX, int labelY, uint8_t align);
void drawSmallMapReadout(int valueX, int valueY, int labelX, int labelY, int unitX, int unitY);
void drawTwinRpmDisplay();

void drawEgtBarGraph();
void drawChtBarGraph();

// The clock panel's top-right corner, centred on x 446.
void drawOatCornerReadout();
void drawCoCornerReadout();
extern uint8_t coDataValid;  // cleared at power-on; nothing sets it, so the CO number is crossed out

// The fuel area, x 281..479, y 146..271, by fuelLayout.
void drawFuelArea();
