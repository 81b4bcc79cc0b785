// Device variables by name, for the runner's print (and later set) commands.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Screen: a screen function, printed and set by its registered name.
enum class VariableType : uint8_t { U8, I8, U16, I16, U32, I32, I64, F32, Text, Screen };

struct DeviceVariable {
    const char* name;
    void* address;
    VariableType type;
    int count;          // elements of an array (1 for a scalar); for Text, the buffer size
    bool writable;      // may be changed with set
    int stride = 0;     // bytes from one array element to the next; 0 = the element's size
};

// Every named variable, in table order.
const std::vector<DeviceVariable>& allDeviceVariables();

// nullptr when the name is unknown.
const DeviceVariable* findDeviceVariable(std::string_view name);

// NAME=VALUE, or NAME[i]=VALUE per element of an array.
void printDeviceVariable(const DeviceVariable& v, std::ostream& out);

// Parses text into the variable (scalar, or Text). Returns false with a reason if it does not fit.
bool setDeviceVariable(const DeviceVariable& v, const std::string& text, std::string& error);

// Element `index` of an array variable, as a scalar that setDeviceVariable can write (set NAME[i]).
// False with a reason when v is no array or the index is outside it.
bool deviceVariableElement(const DeviceVariable& v, int64_t index, DeviceVariable& element, std::string& error);
