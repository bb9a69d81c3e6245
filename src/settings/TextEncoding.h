#pragma once
// The settings file's bytes and the text IniFile works on. A file that starts with
// a UTF-16 byte order mark (Notepad's "Unicode", and what the system's profile
// functions keep writing in once a file is so) is read as UTF-16 and written back
// as UTF-16 in the same byte order, mark included; any other file is its own bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ocu {

enum class TextForm : std::uint8_t { Bytes, Utf16Le, Utf16Be };

struct SettingsText {
    std::string text;  // without a UTF-16 mark; the bytes themselves for TextForm::Bytes
    TextForm form = TextForm::Bytes;
};

// nullopt: marked as UTF-16 but not whole 16-bit units, so nothing can be known of it.
// Unpaired surrogates come through as three-byte sequences and go back unchanged.
std::optional<SettingsText> DecodeSettingsText(std::string_view bytes);
// The file's bytes for `text` in `form`. For UTF-16 a byte that is not part of a
// sequence becomes U+FFFD.
std::string EncodeSettingsText(std::string_view text, TextForm form);

}  // namespace ocu
