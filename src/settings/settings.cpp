// The settings record in device RAM, its factory defaults and the values derived from it.
#include "settings/settings.h"

#include <cstring>

#include "engine/fuel.h"
#include "settings/settings_table.h"

Settings settings;
uint32_t rpmFactor = 0;

namespace {

constexpr SenderPoint kPressureCurve[] = {{0, 20}, {20, 128}, {40, 216}, {60, 304}, {80, 372}, {100, 433}};
constexpr SenderPoint kTemperatureCurve[] = {{10, 2000}, {50, 720}, {66, 432}, {80, 280}, {100, 156},
                                             {110, 120}, {120, 92}, {130, 72}, {140, 56}, {150, 44}};
constexpr uint16_t kTankCalibration[6] = {809, 680, 520, 427, 356, 251};

template <size_t N> void setCurve(SenderCurve& curve, const SenderPoint (&points)[N])
{
    static_assert(N >= 2 && N <= 16);
    curve.pointCount = static_cast<uint8_t>(N);
    for (size_t i = 0; i < N; ++i) curve.points[i] = points[i];
}

// The tables' factory values, then what is not table-shaped: the text, the curves and the
// channels whose values differ from their sub-record's. The record is cleared first, so that no
// byte (the tail of the document path, unused curve points) carries anything over from a
// recalled file into the next power-on.
void fillFactoryDefaults(Settings& s)
{
    std::memset(&s, 0, sizeof s);
    auto* bytes = reinterpret_cast<uint8_t*>(&s);
    forEachSetting([&](const Setting& row, size_t record, const SettingsPath*) {
        for (int i = 0; i < row.field.count; ++i) row.field.store(bytes + record, row.factory, i);
    });
    std::memcpy(s.aircraftRegistration, "REG NO  ", 9);
    std::memcpy(s.tank1Calibration, kTankCalibration, sizeof kTankCalibration);
    std::memcpy(s.tank2Calibration, kTankCalibration, sizeof kTankCalibration);
    for (PressureSenderConfig& p : s.pressureSender) setCurve(p.curve, kPressureCurve);
    for (TemperatureSenderConfig& t : s.temperatureSender) setCurve(t.curve, kTemperatureCurve);
    setCurve(s.fuelPressureSender.curve, kPressureCurve);
    s.temperatureSender[0].label = 0;       // OIL
    s.pressureSender[1].label = 0;          // OIL
    s.fuelPressureSender.type = 1;          // 0-5V
    s.fuelPressureSender.senderSource = 2;  // UMA
    s.fuelPressureSender.pressureUnit = 2;  // psi(0.1)
    s.fuelPressureSender.label = 0;         // not shown for fuel pressure
}

}  // namespace

const Settings& factorySettings()
{
    static const Settings factory = [] {
        Settings s;
        fillFactoryDefaults(s);
        return s;
    }();
    return factory;
}

void loadDefaultSettings()
{
    fillFactoryDefaults(settings);
    // Neither derived value feeds back into a field that the defaults set, so both can follow
    // the whole record rather than sit between its groups.
    updateRpmFactor();
    recomputeFuelLayout();
}

void updateRpmFactor()
{
    // The setup screen keeps the pulses at 1..5000 tenths; a record that bypassed it must not
    // divide by zero or turn a negative quotient into a huge unsigned factor.
    int32_t pulses = settings.rpm1PulsesPerRev;
    if (pulses < 1) pulses = 1;
    rpmFactor = static_cast<uint32_t>(6000 / pulses) * 15586u;
}

void recomputeFuelLayout() { updateFuelLayout(); }
