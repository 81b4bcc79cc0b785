// libFuzzer target for FlightGear's packets and the field map: the input's lines up to a line
// "%%" are a map (the c172p's when there is no such line or the map is refused), every later line
// a packet. Each packet is parsed twice with the same result, and every input it sets lies within
// its range.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "device.h"
#include "fuzz_support.h"
#include "links/flightgear.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = (resetDevice(), true);
    (void)once;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    flightgear::Map custom;
    const flightgear::Map* map = &flightgear::defaultMap();
    const size_t split = text.find("\n%%\n");
    if (split != std::string_view::npos) {
        std::string error;
        const bool read = flightgear::readMap(text.substr(0, split), custom, error);
        require(read ? !custom.fields.empty() : custom.fields.empty() && !error.empty());
        if (read) map = &custom;
        text.remove_prefix(split + 4);
    }
    flightgear::Packet a, b;
    flightgear::Inputs in;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const bool parsed = flightgear::parsePacket(line, a);
        require(parsed == flightgear::parsePacket(line, b));
        require(a.fieldCount == b.fieldCount);
        if (!parsed) {
            require(a.fieldCount == 0);
            continue;
        }
        for (int i = 0; i < std::min(a.fieldCount, flightgear::kMaxFields); ++i) {
            require(a.present[i] == b.present[i]);
            require(std::memcmp(&a.values[i], &b.values[i], sizeof(double)) == 0);
        }
        flightgear::inputsForPacket(*map, a, in);
        for (int i = 0; i < INPUT_CONTROL_COUNT; ++i) {
            const flightgear::InputValue& v = in.inputs[i];
            if (!v.set) continue;
            const InputControlInfo& info = inputControls[i];
            require(v.position >= info.minimum && v.position <= info.maximum);
        }
        flightgear::applyInputs(in);
    }
    return 0;
}
