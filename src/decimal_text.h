// A decimal number read whole from text, as std::from_chars reads it ("12.5", "-3e2"; no leading
// "+" or blanks). Standard libraries without the floating-point std::from_chars (the web edition's)
// read through strtod/strtof instead, after the same check of the characters; their locale is
// always "C" there.
#pragma once
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

template <typename T> bool decimalFromText(const char* first, const char* last, T& value)
{
#if defined(__cpp_lib_to_chars)
    const auto [stop, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && stop == last;
#else
    char copy[64];
    const size_t size = static_cast<size_t>(last - first);
    if (size == 0 || size >= sizeof copy) return false;
    for (const char* p = first; p < last; ++p)
        if (!std::strchr("0123456789.eE+-", *p)) return false;
    if (*first == '+') return false;
    std::memcpy(copy, first, size);
    copy[size] = '\0';
    char* end = nullptr;
    const T v = sizeof(T) == sizeof(float) ? static_cast<T>(std::strtof(copy, &end)) : static_cast<T>(std::strtod(copy, &end));
    if (end != copy + size || std::isinf(v)) return false;  // from_chars: out of range
    value = v;
    return true;
#endif
}
