// The engine page's widgets: bar gauges and the bar widgets built on them, round gauges, RPM and
// MAP readouts, the twin RPM display, the EGT/CHT bar graphs, the corner readouts and the fuel
// area. Each reads the current values and settings and draws into the Framebuffer; none keeps state.
#pragma once
#include <cstddef>
#include <cstdint>

struct BarGauge {
    int16_t x, y;            // top-left corner of the bar
    uint16_t width, height;  // bar size in pixels
    int32_t value;           // value to mark
    int32_t displayMax, displayMin;
    int32_t lowAlarm, lowCaution, highCaution, highAlarm;
};

void drawBarGauge(const BarGauge& gauge);

// Alarm and caution state of a value against its four limits (strict comparisons; alarm first).
enum class ValueState : uint8_t { Normal, Caution, Alarm };
ValueState valueState(int32_t value, int32_t lowAlarm, int32_t lowCaution, int32_t highCaution, int32_t highAlarm);

// The value box: draws text white at (x, y), then marks it by state over rows top..bottom and x
// from lastTextStartX - leftMargin to lastTextEndX. Alarm: a red box with the text again in white,
// only while blinkPhase is 1 unless steady. Caution: a yellow box with the text again in black.
enum class BoxBlink : uint8_t { Flashing, Steady };
void drawBoxedValue(int x, int y, const char* text, uint8_t fontId, uint8_t align, int top, int bottom,
                    ValueState state, int leftMargin = 2, BoxBlink blink = BoxBlink::Flashing);

// "%.1f" of tenths / 10, in whole numbers only (so -5 gives "-0.5").
void formatTenths(char* text, size_t size, int32_t tenths);

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

// Geometry of the bar graph's groups for egt EGT and cht CHT channels (at most 12 together): the
// EGT group's width wE, and each group's bar width, first bar x and distance from bar to bar, in
// the normal graph or the cruise-mode deviation bars.
struct BarGroupGeometry {
    int width;   // bar width w (the bar spans x0 .. x0 + w)
    int firstX;  // x0 of the group's first bar
    int pitch;   // x step from one bar to the next
};
int egtGroupWidth(int egt, int cht);
BarGroupGeometry egtBarGeometry(int egt, int cht, bool cruise);
BarGroupGeometry chtBarGeometry(int egt, int cht, bool cruise);

// The clock panel's top-right corner, centred on x 446.
void drawOatCornerReadout();
void drawCoCornerReadout();
extern uint8_t coDataValid;  // cleared at power-on; nothing sets it, so the CO number is crossed out

// The fuel area, x 281..479, y 146..271, by fuelLayout.
void drawFuelArea();
// Tank contents in the tank unit: tenths for gallons or 0.1 L resolution, whole litres otherwise.
void formatTankContents(char* text, size_t size, int32_t level);
// The three-zone tank bar: red up to the low alarm, yellow up to the low caution, green to the
// right end, over 0 .. tankSize, with the bar gauge's marker.
void drawTankBar(int x, int y, int width, int height, int32_t level, int32_t tankSize, int32_t lowAlarm,
                 int32_t lowCaution);
