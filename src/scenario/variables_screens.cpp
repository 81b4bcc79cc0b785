// Named variables of where the instrument is: the screen, pop-up and return screen by their
// registered names, the list-editing state, the power phase, the RPM factor, the information
// page's text lines and the CALIBRATE SENDER working curve.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "device.h"
#include "engine/setup_screens.h"
#include "scenario/variable_table.h"
#include "settings/settings.h"
#include "ui/fuel_setup.h"
#include "ui/home.h"
#include "ui/list_screen.h"
#include "ui/screen.h"

namespace {

DeviceVariable screen(const char* name, ScreenFunction& function)
{
    return {name, &function, VariableType::Screen, 1, true};
}

// Generated names must outlive the table, which keeps only their pointers.
const char* keep(std::string name)
{
    static std::deque<std::string> names;
    return names.emplace_back(std::move(name)).c_str();
}

// The working curve is packed: its points are reached by offset.
void addWorkingCurve(std::vector<DeviceVariable>& v)
{
    auto* base = reinterpret_cast<uint8_t*>(&workingCurve);
    v.push_back({"workingCurve.pointCount", base + offsetof(SenderCurve, pointCount), VariableType::U8, 1, true});
    for (int i = 0; i < 16; ++i) {
        const std::string point = "workingCurve.points[" + std::to_string(i) + "].";
        uint8_t* at = base + offsetof(SenderCurve, points) + i * sizeof(SenderPoint);
        v.push_back({keep(point + "value"), at + offsetof(SenderPoint, value), VariableType::I16, 1, true});
        v.push_back({keep(point + "reading"), at + offsetof(SenderPoint, reading), VariableType::I16, 1, true});
    }
}

}  // namespace

void addScreenVariables(std::vector<DeviceVariable>& v)
{
    v.insert(v.end(), {
        screen("currentScreen", currentScreen),
        screen("returnScreen", returnScreen),
        VAR(messageFailed),
        screen("overlayScreen", overlayScreen),
        VAR(cursorLine), VAR(listTop), VAR(editMode), VAR(knobMovesCursor), VAR(listChannel), VAR(calibrationMode),
        VAR(fuelSetupReturnLine),
        screen("slopeReturnScreen", slopeReturnScreen),
        // The power phase: 0 off, 1 splash notice, 2 expiry notice, 3 running. Read only: the
        // power commands move it.
        DeviceVariable{"devicePhase", &devicePhase, VariableType::U8, 1, false},
        VAR(instrumentSerialNumber), VAR(rpmFactor), VAR(workingCurveTemperature),
        VAR(workingCurveReturnLine),
        screen("fuelPressureSetupParent", fuelPressureSetupParent),
        VAR(fuelPressureSetupParentLine),
    });
    addWorkingCurve(v);
}
