// The table of named device variables; each area of the instrument adds its own entries here.
#include "scenario/variables.h"

#include "scenario/variable_table.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

#include "decimal_text.h"
#include "device.h"
#include "display/text.h"
#include "time/clock.h"
#include "ui/screen.h"
#include "ui/screen_registry.h"

namespace {

void addCoreVariables(std::vector<DeviceVariable>& variables)
{
    variables.insert(variables.end(), {
        VAR(pendingKey), VAR(powerOffRequest), VAR(sdCardPresent), VAR(remoteUnitOn), VAR(coUnitFault),
        VAR(variationStepCount), VAR(stepMultiplier),
        scalar("noticePassCount", noticePassCount, false),
        VAR(blinkTickCount), VAR(blinkPhase), VAR(slowStepTickCount), VAR(utcSeconds), VAR(localSeconds),
        VAR(rtcDateTime.second), VAR(rtcDateTime.minute), VAR(rtcDateTime.hour), VAR(rtcDateTime.day),
        VAR(rtcDateTime.month), VAR(rtcDateTime.year), VAR(localDateTime.second), VAR(localDateTime.minute),
        VAR(localDateTime.hour), VAR(localDateTime.day), VAR(localDateTime.month), VAR(localDateTime.year),
        VAR(lastTextStartX), VAR(lastTextEndX),
    });
}

// Every area of the instrument contributes its own named variables.
const std::vector<DeviceVariable>& table()
{
    static const std::vector<DeviceVariable> variables = [] {
        std::vector<DeviceVariable> all;
        addCoreVariables(all);
        addHomeVariables(all);
        addSettingsVariables(all);
        addSenderVariables(all);
        addThermocoupleVariables(all);
        addEngineVariables(all);
        addFuelVariables(all);
        addTimeVariables(all);
        addSunVariables(all);
        addGpsVariables(all);
        addPopupVariables(all);
        addScreenVariables(all);
        addDocumentVariables(all);
        return all;
    }();
    return variables;
}

int64_t loadInteger(const void* p, VariableType type)
{
    switch (type) {
    case VariableType::U8: { uint8_t v; std::memcpy(&v, p, 1); return v; }
    case VariableType::I8: { int8_t v; std::memcpy(&v, p, 1); return v; }
    case VariableType::U16: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case VariableType::I16: { int16_t v; std::memcpy(&v, p, 2); return v; }
    case VariableType::U32: { uint32_t v; std::memcpy(&v, p, 4); return v; }
    case VariableType::I32: { int32_t v; std::memcpy(&v, p, 4); return v; }
    case VariableType::I64: { int64_t v; std::memcpy(&v, p, 8); return v; }
    default: return 0;
    }
}

size_t sizeOf(VariableType type)
{
    switch (type) {
    case VariableType::U8: case VariableType::I8: case VariableType::Text: return 1;
    case VariableType::U16: case VariableType::I16: return 2;
    case VariableType::I64: return 8;
    default: return 4;
    }
}

void printElement(const void* p, VariableType type, std::ostream& out)
{
    if (type == VariableType::F32) {
        float f;
        std::memcpy(&f, p, 4);
        out << f;
    } else {
        out << loadInteger(p, type);
    }
}

template <typename T> bool storeChecked(void* p, int64_t v)
{
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return false;
    const T t = static_cast<T>(v);
    std::memcpy(p, &t, sizeof t);
    return true;
}

}  // namespace

const std::vector<DeviceVariable>& allDeviceVariables() { return table(); }

const DeviceVariable* findDeviceVariable(std::string_view name)
{
    for (const DeviceVariable& v : table())
        if (name == v.name) return &v;
    return nullptr;
}

void printDeviceVariable(const DeviceVariable& v, std::ostream& out)
{
    if (v.type == VariableType::Screen) {
        const char* name = screenName(*static_cast<const ScreenFunction*>(v.address));
        out << v.name << '=' << (name ? name : "unregistered") << '\n';
        return;
    }
    if (v.type == VariableType::Text) {
        const char* text = static_cast<const char*>(v.address);
        out << v.name << '=' << std::string(text, strnlen(text, static_cast<size_t>(v.count))) << '\n';
        return;
    }
    const auto* base = static_cast<const uint8_t*>(v.address);
    if (v.count == 1) {
        out << v.name << '=';
        printElement(base, v.type, out);
        out << '\n';
        return;
    }
    const size_t stride = v.stride > 0 ? static_cast<size_t>(v.stride) : sizeOf(v.type);
    for (int i = 0; i < v.count; ++i) {
        out << v.name << '[' << i << "]=";
        printElement(base + i * stride, v.type, out);
        out << '\n';
    }
}

bool setDeviceVariable(const DeviceVariable& v, const std::string& text, std::string& error)
{
    if (!v.writable) {
        error = std::string(v.name) + " cannot be set";
        return false;
    }
    if (v.type == VariableType::Screen) {
        ScreenFunction screen = nullptr;
        if (!findScreen(text.c_str(), screen)) {
            error = "no screen named " + text;
            return false;
        }
        *static_cast<ScreenFunction*>(v.address) = screen;
        return true;
    }
    if (v.type == VariableType::Text) {
        if (text.size() >= static_cast<size_t>(v.count)) {
            error = "text longer than " + std::to_string(v.count - 1) + " characters";
            return false;
        }
        char* dest = static_cast<char*>(v.address);
        std::memset(dest, 0, static_cast<size_t>(v.count));
        std::memcpy(dest, text.data(), text.size());
        return true;
    }
    if (v.count != 1) {
        error = std::string(v.name) + " is an array";
        return false;
    }
    if (v.type == VariableType::F32) {
        float f = 0;
        if (!decimalFromText(text.data(), text.data() + text.size(), f)) {
            error = "not a number: " + text;
            return false;
        }
        std::memcpy(v.address, &f, 4);
        return true;
    }
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        error = "not a whole number: " + text;
        return false;
    }
    bool ok = false;
    switch (v.type) {
    case VariableType::U8: ok = storeChecked<uint8_t>(v.address, value); break;
    case VariableType::I8: ok = storeChecked<int8_t>(v.address, value); break;
    case VariableType::U16: ok = storeChecked<uint16_t>(v.address, value); break;
    case VariableType::I16: ok = storeChecked<int16_t>(v.address, value); break;
    case VariableType::U32: ok = storeChecked<uint32_t>(v.address, value); break;
    case VariableType::I32: ok = storeChecked<int32_t>(v.address, value); break;
    case VariableType::I64: ok = storeChecked<int64_t>(v.address, value); break;
    default: break;
    }
    if (!ok) error = text + " is out of range for " + v.name;
    return ok;
}

bool deviceVariableElement(const DeviceVariable& v, int64_t index, DeviceVariable& element, std::string& error)
{
    if (v.type == VariableType::Text || v.count < 2) {
        error = std::string(v.name) + " is not an array";
        return false;
    }
    if (index < 0 || index >= v.count) {
        error = "index " + std::to_string(index) + " is outside " + v.name + "[0.." + std::to_string(v.count - 1) + "]";
        return false;
    }
    const size_t stride = v.stride > 0 ? static_cast<size_t>(v.stride) : sizeOf(v.type);
    element = v;
    element.address = static_cast<uint8_t*>(v.address) + static_cast<size_t>(index) * stride;
    element.count = 1;
    element.stride = 0;
    return true;
}
