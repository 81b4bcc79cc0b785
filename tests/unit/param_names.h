// Readable names for value-parameterised cases, the same in every build, so that a case can be
// picked with ctest -R or --gtest_filter and compared between runs.
#pragma once
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

// A case's description as a test name: each word capitalised, everything but letters and digits
// dropped, a minus sign and a decimal point spelt out ("AMPS to -9.9 A" gives "AMPSToMinus9Point9A").
inline std::string caseName(std::string_view text)
{
    std::string out;
    bool wordStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c)) {
            out += static_cast<char>(wordStart ? std::toupper(c) : c);
            wordStart = false;
        } else {
            const bool digitAfter = i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]));
            const bool digitBefore = i > 0 && std::isdigit(static_cast<unsigned char>(text[i - 1]));
            const bool alnumBefore = i > 0 && std::isalnum(static_cast<unsigned char>(text[i - 1]));
            if (c == '-' && digitAfter && !alnumBefore) out += "Minus";
            if (c == '.' && digitAfter && digitBefore) out += "Point";
            wordStart = true;
        }
    }
    return out.empty() ? "Case" : out;
}

// A number as part of a test name: "Minus" instead of the sign.
inline std::string numberName(int64_t value)
{
    return value < 0 ? "Minus" + std::to_string(-value) : std::to_string(value);
}

// The name generator for INSTANTIATE_TEST_SUITE_P: each case type has a caseName(const Case&)
// overload beside it, found through the case's own namespace.
struct ByCaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const
    {
        return caseName(info.param);
    }
};
