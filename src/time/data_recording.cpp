// The data recorder: a CSV line of engine data per slow step appended to DATALOG.CSV on the card,
// in the units the instrument shows. A failed write is undone (no half line stays) and retried on
// the next slow step; the instrument never waits for the card.
#include "time/data_recording.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "device.h"
#include "engine/alarms.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "engine/units.h"
#include "gps/gps.h"
#include "storage/storage.h"
#include "settings/sdcard.h"
#include "settings/settings.h"
#include "time/clock.h"
#include "ui/screen.h"
#include "ui/widget_texts.h"

uint32_t freeSpaceCount = 0;
uint8_t recordingPaused = 0;
uint32_t recordedLines = 0;

namespace {

constexpr size_t kLineSize = 1024;
constexpr const char* kFileName = "DATALOG.CSV";

// The header last written to the file; a change of units or channels writes a new one.
char writtenHeader[kLineSize] = "";

// Appends printf-style text, never past the end of the buffer.
struct Text {
    char* data;
    size_t size;
    size_t used = 0;
    void add(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        if (used + 1 >= size) return;
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(data + used, size - used, format, args);
        va_end(args);
        if (n > 0) used = std::min(size - 1, used + static_cast<size_t>(n));
    }
};

const char* temperatureUnit() { return engineTemperatureUnit().info().name; }
const char* pressureUnit(uint8_t unit) { return pressureUnitFor(unit).info().name; }
bool gallons() { return fuelUnitIsGallons(); }
const char* tankUnitName() { return tankUnit().info().name; }

const char* const kSenderNames[4] = {"OIL TEMP", "OIL PRESS", "AUX 1/3", "AUX 2/4"};

// Tenths as a decimal number.
void addTenths(Text& t, int32_t value) { t.add(",%s%d.%d", value < 0 ? "-" : "", std::abs(value) / 10, std::abs(value) % 10); }

void addPressure(Text& t, int32_t value, uint8_t unit)
{
    if (unit == 1) t.add(",%d", static_cast<int>(value));
    else addTenths(t, value);
}

void addTank(Text& t, int32_t value)
{
    if (tankUnitsAreTenths()) addTenths(t, value);
    else t.add(",%d", static_cast<int>(value));
}

int egts() { return settings.egtChannels > 12 ? 12 : settings.egtChannels; }
int chts() { return settings.chtChannels > 12 - egts() ? 12 - egts() : settings.chtChannels; }

}  // namespace

void recordingHeader(char* text, size_t size)
{
    Text t{text, size};
    text[0] = '\0';
    t.add("UTC,VOLTS (%s),OAT (%s),MAP (%s),RPM", unitInfo(MeasureUnit::Volt).name, oatUnitNow().info().name,
          mapUnitNow().info().name);
    for (int i = 0; i < egts(); ++i) t.add(",EGT%d (%s)", i + 1, temperatureUnit());
    for (int i = 0; i < chts(); ++i) t.add(",CHT%d (%s)", i + 1, temperatureUnit());
    for (int i = 0; i < 4; ++i) {
        switch (analogInputFunction(i)) {
        case SENDER_FUNCTION_PRESSURE:
            t.add(",%s (%s)", kSenderNames[i], pressureUnit(settings.pressureSender[i].pressureUnit));
            break;
        case SENDER_FUNCTION_TEMPERATURE: t.add(",%s (%s)", kSenderNames[i], temperatureUnit()); break;
        case SENDER_FUNCTION_CURRENT: t.add(",%s (%s)", kSenderNames[i], unitInfo(MeasureUnit::Amp).name); break;
        default: t.add(",%s (OFF)", kSenderNames[i]); break;
        }
    }
    t.add(",FUEL PRESS (%s),CURRENT (%s)", pressureUnit(settings.fuelPressureSender.pressureUnit),
          unitInfo(MeasureUnit::Amp).name);
    const char* flow = fuelFlowUnit().info().name;
    t.add(",FLOW1 (%s),FLOW2 (%s),TANK1 (%s),TANK2 (%s)", flow, flow, tankUnitName(), tankUnitName());
    t.add(",FUEL USED1 (%s),FUEL USED2 (%s),ALARMS (HEX)", fuelUsedUnit().info().name, fuelUsedUnit().info().name);
    t.add(",LATITUDE (DEG),LONGITUDE (DEG),GROUND SPEED (%s),TRACK (DEG TRUE)\r\n",
          speedUnitText(settings.fuelUnit));
}

void recordingLine(char* text, size_t size)
{
    Text t{text, size};
    text[0] = '\0';
    const DateTime& u = rtcDateTime;
    t.add("%04u-%02u-%02uT%02u:%02u:%02uZ", unsigned{u.year}, unsigned{u.month}, unsigned{u.day},
          unsigned{u.hour}, unsigned{u.minute}, unsigned{u.second});
    addTenths(t, volts);
    t.add(",%d", static_cast<int>(oat));
    if (settings.mapUnit == 1) addTenths(t, map);
    else t.add(",%d", static_cast<int>(map));
    t.add(",%ld", static_cast<long>(rpm));
    for (int i = 0; i < egts() + chts(); ++i) t.add(",%d", static_cast<int>(tc[i]));
    for (int i = 0; i < 4; ++i) {
        switch (analogInputFunction(i)) {
        case SENDER_FUNCTION_PRESSURE: addPressure(t, pressureValue[i], settings.pressureSender[i].pressureUnit); break;
        case SENDER_FUNCTION_TEMPERATURE: t.add(",%d", static_cast<int>(tempValue[i])); break;
        case SENDER_FUNCTION_CURRENT: t.add(",%d", static_cast<int>(auxCurrent[i])); break;
        default: t.add(","); break;
        }
    }
    addPressure(t, fuelPressure, settings.fuelPressureSender.pressureUnit);
    t.add(",%d", static_cast<int>(current));
    addTenths(t, fuelFlow[0]);
    addTenths(t, fuelFlow[1]);
    addTank(t, fuelLevel[0]);
    addTank(t, fuelLevel[1]);
    for (int i = 0; i < 2; ++i) {
        if (gallons()) addTenths(t, fuelUsed[i]);
        else t.add(",%ld", static_cast<long>(fuelUsed[i]));
    }
    t.add(",%08lX", static_cast<unsigned long>(alarmFlags));
    // A fix whose position has not arrived yet leaves the GPS columns empty, as no fix does.
    if (gpsFixHasPosition())
        t.add(",%.6f,%.6f,%u,%d", static_cast<double>(gpsLatitude), static_cast<double>(gpsLongitude),
              unsigned{gpsGroundSpeed}, static_cast<int>(gpsTrack));
    else t.add(",,,,");
    t.add("\r\n");
}

namespace {

void recordLine()
{
    char path[1100];
    if (!sdCardPath(kFileName, path, sizeof path)) return;
    static char text[2 * kLineSize];
    unsigned long long before = 0;
    if (!sizeOfFile(path, before)) {
        recordingPaused = 1;
        return;
    }
    char header[kLineSize];
    recordingHeader(header, sizeof header);
    // A file new or empty (a card swapped while on, or its file deleted) starts with the header too.
    const bool newHeader = before == 0 || std::strcmp(header, writtenHeader) != 0;
    std::snprintf(text, sizeof text, "%s", newHeader ? header : "");
    const size_t used = std::strlen(text);
    recordingLine(text + used, sizeof text - used);
    if (appendWhole(path, text, std::strlen(text))) {
        recordingPaused = 0;
        ++recordedLines;
        if (newHeader) std::snprintf(writtenHeader, sizeof writtenHeader, "%s", header);
    } else {
        recordingPaused = 1;
    }
}

}  // namespace

bool createRecordingFile()
{
    char path[1100], temporary[1100];
    if (!sdCardPath(kFileName, path, sizeof path) || !sdCardPath("DATALOG.CSV.TMP", temporary, sizeof temporary))
        return false;
    char header[kLineSize];
    recordingHeader(header, sizeof header);
    if (!replaceFile(path, temporary, header, std::strlen(header))) return false;
    std::snprintf(writtenHeader, sizeof writtenHeader, "%s", header);
    return true;
}

void recordingSlowStep()
{
    if (devicePhase != DevicePhase::Running) return;
    if (currentScreen == dataRecordingSetupScreen) freeSpaceCount = sdCardFreeMegabytes();
    if (settings.dataRecordingOn == 1 && sdCardPresent) recordLine();
}

void resetRecordingAtPowerOn()
{
    recordingPaused = 0;
    recordedLines = 0;
    writtenHeader[0] = '\0';  // each power-on starts its stretch of the file with a header
}
