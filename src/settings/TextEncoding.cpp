#include "settings/TextEncoding.h"

#include <vector>

namespace ocu {
namespace {

void PutUtf8(std::string& out, std::uint32_t cp) {
    const auto byte = [&out](std::uint32_t b) { out.push_back(static_cast<char>(b)); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

// The next code point of `s` from `i` (moved past it), surrogates taken as they come
// so that what decoding let through goes back as it was.
std::uint32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const auto at = [&s](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    const std::uint8_t lead = at(i);
    int follow = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if (lead >= 0xC2 && lead < 0xE0) {
        follow = 1;
        cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        follow = 2;
        cp = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        follow = 3;
        cp = lead & 0x07u;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(follow) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= follow; ++k) {
        const std::uint8_t b = at(i + static_cast<std::size_t>(k));
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3Fu);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[follow] || cp > 0x10FFFF) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<std::size_t>(follow) + 1;
    return cp;
}

}  // namespace

std::optional<SettingsText> DecodeSettingsText(std::string_view bytes) {
    SettingsText out;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
        out.form = TextForm::Utf16Le;
    } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
        out.form = TextForm::Utf16Be;
    } else {
        out.text = bytes;
        return out;
    }
    if (bytes.size() % 2 != 0) return std::nullopt;
    const bool little = out.form == TextForm::Utf16Le;
    std::vector<std::uint16_t> units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
        const auto a = static_cast<std::uint8_t>(bytes[i]), b = static_cast<std::uint8_t>(bytes[i + 1]);
        units.push_back(static_cast<std::uint16_t>(little ? a | (b << 8) : (a << 8) | b));
    }
    out.text.reserve(units.size() * 3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            PutUtf8(out.text, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00u));
            ++i;
        } else {
            PutUtf8(out.text, u);  // an unpaired surrogate as its own three bytes
        }
    }
    return out;
}

std::string EncodeSettingsText(std::string_view text, TextForm form) {
    if (form == TextForm::Bytes) return std::string(text);
    const bool little = form == TextForm::Utf16Le;
    std::string out;
    out.reserve(2 + text.size() * 2);
    const auto unit = [&](std::uint32_t u) {
        const auto lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out.push_back(little ? lo : hi);
        out.push_back(little ? hi : lo);
    };
    unit(0xFEFF);
    for (std::size_t i = 0; i < text.size();) {
        const std::uint32_t cp = NextCodePoint(text, i);
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

}  // namespace ocu
