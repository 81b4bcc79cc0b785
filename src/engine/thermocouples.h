// Thermocouple channels: cold junction, the twelve EGT/CHT temperatures with their peaks, the
// K/J/E reference tables with the EMF conversions, and the lean assist and difference mode.
#pragma once
#include <cstddef>
#include <cstdint>

// One reference table per probe type: a packed header (count, step, start) and the EMFs in
// microvolts, point i at start / 10 + i * step degrees C.
constexpr int THERMOCOUPLE_MAX_POINTS = 164;

#pragma pack(push, 1)
struct ThermocoupleTable {
    uint16_t count;  // points used
    uint8_t step;    // degrees C between points
    int32_t start;   // first point in 0.1 C
    int32_t emf[THERMOCOUPLE_MAX_POINTS];
};
#pragma pack(pop)
static_assert(offsetof(ThermocoupleTable, emf) == 7);

constexpr uint8_t PROBE_K = 0;
constexpr uint8_t PROBE_J = 1;
constexpr uint8_t PROBE_E = 2;
constexpr uint8_t PROBE_NTC = 3;  // CHTs only: temperature senders on analog inputs 3 and 4

extern const ThermocoupleTable typeKTable;
extern const ThermocoupleTable typeJTable;
extern const ThermocoupleTable typeETable;

// The table of a probe type; anything but J or E is K.
const ThermocoupleTable& thermocoupleTable(int type);

extern uint16_t cjcInput;       // copy of rawCjc
extern int16_t cjcTemp;         // cold-junction temperature, degrees C
extern int16_t tcFeed[12];      // hot-junction temperature fed to the EMF model, degrees C
extern int16_t tc[12];          // channel temperature in the display unit; EGTs first, then CHTs
extern int16_t tcCelsius[12];   // channel temperature before unit conversion
extern int16_t tcMax[12];       // highest tc since the last min/max reset
extern int16_t leanPeak[12];    // lean-assist reference of each channel, display unit
extern int16_t leanDelta[12];   // tc - leanPeak
extern int16_t leanPeakOrder[12];  // order in which each EGT passed its peak; 0 = not yet
extern uint8_t leanNextOrder;   // next order number to hand out
extern uint8_t leanActive;      // lean assist running
extern uint8_t leanDeltaMode;   // every channel shown as a difference from its reference

// EMF in microvolts of a junction at `celsius` against 0 C, along the table of `type`;
// temperatures beyond the table follow its end segments.
int32_t tcMicrovolts(int32_t celsius, int type);
// Temperature in 0.1 C of a measured EMF, compensated with the present cjcTemp; EMFs beyond the
// table follow its end segments.
int32_t tcTenthsFromMicrovolts(int32_t microvolts, int type);

// The cold-junction sensor's temperature, degrees C, for a reading.
int16_t cjcForCounts(uint16_t counts);
// What a channel of this probe type reads, degrees C, for a hot junction at `hotJunction` C with
// the present cjcTemp.
int32_t thermocoupleCelsius(int16_t hotJunction, int probe);

// Lean assist and difference mode; each start ends the other.
void startLeanAssist();
void stopLeanAssist();
void startLeanDeltaMode();
void stopLeanDeltaMode();
