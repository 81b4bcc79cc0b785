// FlightGear as the engine's sensors: one packet of its generic protocol (data/flightgear/
// corvex-ems.xml, a line of comma-separated numbers) becomes the raw inputs the instrument's
// hardware would see. A map file names each field of the packet by its property, its unit and
// the inputs it feeds; every value goes through the same conversion a value typed on a bar takes
// (inputPositionForReading), so the bars, the runner's replay and the window's link agree.
// Plain C++: the window reads the socket, the runner a capture file.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device_inputs.h"

namespace flightgear {

constexpr int kMaxFields = 64;           // fields beyond these are counted, not kept
constexpr size_t kMaxPacketBytes = 2048;  // a longer packet is refused whole

// One packet's numbers. A field that is empty, not a number, NaN or infinite is absent.
struct Packet {
    int fieldCount = 0;  // fields in the line, absent ones included
    std::array<double, kMaxFields> values{};
    std::array<bool, kMaxFields> present{};
};

// Parses one packet (line ends and surrounding blanks allowed). False, with fieldCount 0, for an
// empty or oversized packet.
bool parsePacket(std::string_view line, Packet& packet);

// The units a field may be given in (the property's own, e.g. "degf" for egt-degf).
enum class Unit : uint8_t { Seconds, Rpm, InHg, Mb, DegF, DegC, Psi, Bar, GalPerHour, LitrePerHour, Gal, Litre, Volt, Amp, Ppm };

struct Field {
    std::string property;              // e.g. /engines/engine[0]/rpm
    Unit unit = Unit::Rpm;
    bool isTime = false;               // the packet's time stamp (unit s, feeds no input)
    std::vector<InputControl> inputs;  // none: the field is read and ignored
};

// The map: one line per packet field, in the packet's order:
//     PROPERTY  UNIT  INPUT[, INPUT...]      (INPUT "-" for none, "time" for the time stamp)
// with the inputs by their captions in the window ("RPM:", "TC1", "Fuel Flow1:"). "#" starts a
// comment.
struct Map {
    std::vector<Field> fields;
    int timeField = -1;
};
// False with "line N: ..." in error for a line that is not as above; the map is then empty.
bool readMap(std::string_view text, Map& map, std::string& error);
bool loadMap(const std::string& path, Map& map, std::string& error);
// The map shipped for the c172p (data/flightgear/c172p.map), the default.
std::string_view defaultMapText();
const Map& defaultMap();

// An input a packet sets.
struct InputValue {
    bool set = false;    // false: no field feeds it, or its field was absent
    int32_t position = 0;
    bool held = false;   // the value lay beyond every reading the input gives: held at that end
    double value = 0;    // the packet's value, in the field's unit
};
struct Inputs {
    std::array<InputValue, INPUT_CONTROL_COUNT> inputs{};
    bool hasTime = false;
    double time = 0;     // seconds
};

// The position of `id` for a value in `unit`, with the present settings. False when the input has
// no reading now, or the unit does not suit it (e.g. psi for RPM).
bool positionFor(InputControl id, double value, Unit unit, int32_t& position, bool& held);
// Every mapped input of a packet (the same input fed twice: the later field wins).
void inputsForPacket(const Map& map, const Packet& packet, Inputs& out);
// Writes each set input to the instrument (setInputControl).
void applyInputs(const Inputs& in);

const char* unitName(Unit unit);
// A packet's value as the link shows it: two decimals, or six significant digits with an exponent
// where that would be long ("1e+308"). At most size - 1 bytes.
void formatValue(double value, char* text, size_t size);

}  // namespace flightgear
