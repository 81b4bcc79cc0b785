// The engine computer's and CO detector's values, the detector's reset command and the bit groups
// of the status words.
#include "time/ecu_co.h"

#include <cstdio>
#include <cstring>

uint16_t ecuLaneFlags = 0;
uint32_t ecuEngineStatus = 0;
float ecuEngineHours = 0;
float ecuHours = 0;
uint32_t ecuSensorStatusA = 0;
uint32_t ecuSensorStatusB = 0;
uint32_t ecuDeviceStatusA = 0;
uint32_t ecuDeviceStatusB = 0;
int32_t ecuThrottlePosition = 0;
int32_t ecuAmbientPressure = 0;
uint8_t ecuLinkPresent = 0;

char coModel[4] = "---";
char coSerialNumber[7] = "------";
char coSoftwareVersion[5] = "-.--";
uint8_t coCommand[CO_COMMAND_SIZE] = {};

namespace {

constexpr char kResetCommand[] = "$PCOG452RS\r\n";
static_assert(sizeof kResetCommand - 1 == CO_COMMAND_SIZE);

}  // namespace

void resetEcuCoAtPowerOn()
{
    std::memcpy(coModel, "---", sizeof coModel);
    std::memcpy(coSerialNumber, "------", sizeof coSerialNumber);
    std::memcpy(coSoftwareVersion, "-.--", sizeof coSoftwareVersion);
    ecuLinkPresent = 0;
}

void clearEcuCoData()
{
    ecuLaneFlags = 0;
    ecuEngineStatus = ecuSensorStatusA = ecuSensorStatusB = ecuDeviceStatusA = ecuDeviceStatusB = 0;
    ecuEngineHours = ecuHours = 0;
    ecuThrottlePosition = ecuAmbientPressure = 0;
    std::memset(coCommand, 0, sizeof coCommand);
    resetEcuCoAtPowerOn();
}

void placeCoResetCommand()
{
    for (size_t i = 0; i < CO_COMMAND_SIZE; ++i)
        coCommand[i] = static_cast<uint8_t>(kResetCommand[CO_COMMAND_SIZE - 1 - i]);
}

const char* coCommandAsSent(char* text, size_t size)
{
    if (size == 0) return text;
    text[0] = '\0';
    size_t used = 0;
    // Trailing zero bytes (sent last) are no part of a command: an empty buffer sends nothing.
    size_t end = 0;
    while (end < CO_COMMAND_SIZE && coCommand[end] == 0) ++end;
    for (size_t i = CO_COMMAND_SIZE; i-- > end;) {
        const uint8_t c = coCommand[i];
        char piece[8];
        if (c == '\r') std::snprintf(piece, sizeof piece, "<CR>");
        else if (c == '\n') std::snprintf(piece, sizeof piece, "<LF>");
        else if (c < 32 || c > 126) std::snprintf(piece, sizeof piece, "<%02X>", c);
        else std::snprintf(piece, sizeof piece, "%c", c);
        const size_t n = std::strlen(piece);
        if (used + n >= size) break;
        std::memcpy(text + used, piece, n + 1);
        used += n;
    }
    return text;
}

void formatStatusBits(uint32_t bits, char (&text)[36])
{
    size_t at = 0;
    for (int bit = 31; bit >= 0; --bit) {
        text[at++] = (bits >> bit) & 1u ? '1' : '0';
        if (bit % 8 == 0 && bit != 0) text[at++] = ' ';
    }
    text[at] = '\0';
}
