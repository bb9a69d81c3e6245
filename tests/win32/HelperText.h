// What the small helper programs share (each is built from its one .cpp, so this stays
// header-only): their output is UTF-8 text.
#pragma once

#include <windows.h>

#include <string>

// `text` in UTF-8; empty for an empty or unconvertible text.
inline std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.pop_back();
    return out;
}
