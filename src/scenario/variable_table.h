// Building blocks for the tables of named device variables, one table per area of the instrument.
#pragma once
#include <cstddef>
#include <vector>

#include "scenario/variables.h"

template <typename T> constexpr VariableType typeOf();
template <> constexpr VariableType typeOf<uint8_t>() { return VariableType::U8; }
template <> constexpr VariableType typeOf<int8_t>() { return VariableType::I8; }
template <> constexpr VariableType typeOf<uint16_t>() { return VariableType::U16; }
template <> constexpr VariableType typeOf<int16_t>() { return VariableType::I16; }
template <> constexpr VariableType typeOf<uint32_t>() { return VariableType::U32; }
template <> constexpr VariableType typeOf<int32_t>() { return VariableType::I32; }
template <> constexpr VariableType typeOf<int64_t>() { return VariableType::I64; }
template <> constexpr VariableType typeOf<float>() { return VariableType::F32; }

template <typename T> inline DeviceVariable scalar(const char* name, T& v, bool writable = true)
{
    return {name, &v, typeOf<T>(), 1, writable};
}
template <typename T, size_t N> inline DeviceVariable array(const char* name, T (&v)[N], bool writable = true)
{
    return {name, v, typeOf<T>(), static_cast<int>(N), writable};
}

// Text buffers (zero-terminated, size including the terminator).
template <size_t N> inline DeviceVariable text(const char* name, char (&v)[N], bool writable = true)
{
    return {name, v, VariableType::Text, static_cast<int>(N), writable};
}

// An entry named as the variable is spelled in the code: VAR(rtcDateTime.hour) is "rtcDateTime.hour",
// a scalar, an array or (for char arrays) a text by the variable's type.
template <typename T> inline DeviceVariable named(const char* name, T& v) { return scalar(name, v); }
template <typename T, size_t N> inline DeviceVariable named(const char* name, T (&v)[N]) { return array(name, v); }
template <size_t N> inline DeviceVariable named(const char* name, char (&v)[N]) { return text(name, v); }
#define VAR(v) named(#v, v)

// Each area's entries.
void addSettingsVariables(std::vector<DeviceVariable>& variables);
void addSenderVariables(std::vector<DeviceVariable>& variables);
void addThermocoupleVariables(std::vector<DeviceVariable>& variables);
void addEngineVariables(std::vector<DeviceVariable>& variables);
void addHomeVariables(std::vector<DeviceVariable>& variables);
void addFuelVariables(std::vector<DeviceVariable>& variables);
void addTimeVariables(std::vector<DeviceVariable>&);
void addSunVariables(std::vector<DeviceVariable>&);
void addGpsVariables(std::vector<DeviceVariable>&);
void addPopupVariables(std::vector<DeviceVariable>&);
void addScreenVariables(std::vector<DeviceVariable>&);
void addDocumentVariables(std::vector<DeviceVariable>&);
