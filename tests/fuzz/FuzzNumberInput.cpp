// ParseWholeNumber on arbitrary bytes. It must never crash; a value it returns
// must read back from its own decimal text, ASCII or full-width; and on
// well-formed UTF-8 it must agree with a plain reading of the rule (spaces,
// one sign, digits, spaces; ASCII or full-width; 32 bits).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mainwindow/NumberInput.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view input) {
    std::fprintf(stderr, "fuzz_number_input: %s; input:", what);
    for (const char c : input) std::fprintf(stderr, " %02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    std::fprintf(stderr, "\n");
    std::abort();
}

// Well-formed UTF-8 only: no overlong forms, no surrogates, nothing past U+10FFFF.
std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int extra;
        char32_t cp, min;
        if (b0 < 0x80) {
            extra = 0;
            cp = b0;
            min = 0;
        } else if ((b0 & 0xE0) == 0xC0) {
            extra = 1;
            cp = b0 & 0x1F;
            min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            extra = 2;
            cp = b0 & 0x0F;
            min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            extra = 3;
            cp = b0 & 0x07;
            min = 0x10000;
        } else return std::nullopt;
        if (s.size() - i <= static_cast<std::size_t>(extra)) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000'; }

std::optional<int> Reference(const std::vector<char32_t>& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    bool negative = false;
    if (b < e) {
        const char32_t c = text[b];
        if (c == U'-' || c == U'\uFF0D' || c == U'\u2212') {
            negative = true;
            ++b;
        } else if (c == U'+' || c == U'\uFF0B') {
            ++b;
        }
    }
    if (b == e) return std::nullopt;
    std::int64_t v = 0;
    for (std::size_t i = b; i < e; ++i) {
        const char32_t c = text[i];
        int d;
        if (c >= U'0' && c <= U'9') d = static_cast<int>(c - U'0');
        else if (c >= U'\uFF10' && c <= U'\uFF19') d = static_cast<int>(c - U'\uFF10');
        else return std::nullopt;
        v = v * 10 + d;
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return std::nullopt;
    return static_cast<int>(v);
}

// The decimal text as a Japanese input method types it: full-width digits
// and minus, ideographic spaces around.
std::string FullWidth(int value) {
    std::string out = "\xE3\x80\x80";
    for (const char c : std::to_string(value)) {
        if (c == '-') out += "\xEF\xBC\x8D";
        else out += {'\xEF', '\xBC', static_cast<char>(0x90 + (c - '0'))};
    }
    return out + "\xE3\x80\x80";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::optional<int> value = ocu::ParseWholeNumber(input);

    if (const auto text = DecodeUtf8(input)) {
        if (value != Reference(*text)) Fail("disagrees with the reference reading", input);
    }
    if (value) {
        if (ocu::ParseWholeNumber(std::to_string(*value)) != value) Fail("decimal text does not read back", input);
        if (ocu::ParseWholeNumber(FullWidth(*value)) != value) Fail("full-width text does not read back", input);
        if (*value >= 0 && ocu::ParseWholeNumber(" +" + std::to_string(*value) + "\t") != value)
            Fail("signed text with spaces does not read back", input);
    }
    return 0;
}
