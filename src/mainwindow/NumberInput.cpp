#include "mainwindow/NumberInput.h"

#include <cstdint>

namespace ocu {
namespace {

// Reads one UTF-8 code point; returns 0xFFFFFFFF for a broken sequence.
std::uint32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    auto cont = [&](std::size_t k) -> int {
        if (i + k >= s.size()) return -1;
        const unsigned char b = static_cast<unsigned char>(s[i + k]);
        return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
    };
    if (c < 0x80) {
        i += 1;
        return c;
    }
    if ((c & 0xE0) == 0xC0) {
        const int b1 = cont(1);
        if (b1 < 0) {
            i = s.size();
            return 0xFFFFFFFF;
        }
        i += 2;
        return ((c & 0x1Fu) << 6) | static_cast<unsigned>(b1);
    }
    if ((c & 0xF0) == 0xE0) {
        const int b1 = cont(1), b2 = cont(2);
        if (b1 < 0 || b2 < 0) {
            i = s.size();
            return 0xFFFFFFFF;
        }
        i += 3;
        return ((c & 0x0Fu) << 12) | (static_cast<unsigned>(b1) << 6) | static_cast<unsigned>(b2);
    }
    i = s.size();
    return 0xFFFFFFFF;
}

bool IsSpace(std::uint32_t cp) { return cp == ' ' || cp == '\t' || cp == 0x3000; }

}  // namespace

std::optional<int> ParseWholeNumber(std::string_view s) {
    std::size_t i = 0;
    std::uint32_t cp = 0;
    // leading spaces
    while (i < s.size()) {
        std::size_t j = i;
        cp = NextCodePoint(s, j);
        if (!IsSpace(cp)) break;
        i = j;
    }
    bool negative = false;
    bool sawSign = false;
    bool sawDigit = false;
    bool trailing = false;
    std::int64_t value = 0;
    while (i < s.size()) {
        cp = NextCodePoint(s, i);
        if (cp == 0xFFFFFFFF) return std::nullopt;
        if (trailing) {
            if (!IsSpace(cp)) return std::nullopt;
            continue;
        }
        if (!sawDigit && !sawSign && (cp == '-' || cp == '+' || cp == 0xFF0D || cp == 0xFF0B || cp == 0x2212)) {
            sawSign = true;
            negative = (cp == '-' || cp == 0xFF0D || cp == 0x2212);
            continue;
        }
        int digit = -1;
        if (cp >= '0' && cp <= '9') digit = static_cast<int>(cp - '0');
        else if (cp >= 0xFF10 && cp <= 0xFF19) digit = static_cast<int>(cp - 0xFF10);
        if (digit >= 0) {
            sawDigit = true;
            value = value * 10 + digit;
            if (value > 2147483648LL) return std::nullopt;
            continue;
        }
        if (sawDigit && IsSpace(cp)) {
            trailing = true;
            continue;
        }
        return std::nullopt;
    }
    if (!sawDigit) return std::nullopt;
    if (negative) value = -value;
    if (value > 2147483647LL || value < -2147483648LL) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace ocu
