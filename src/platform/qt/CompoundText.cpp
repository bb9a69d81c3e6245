#include "platform/qt/CompoundText.h"

#include <iconv.h>

#include <memory>

namespace ocu::qt {
namespace {

enum class Set { Ascii, Latin1, Jis, Other };

struct IconvCloser {
    void operator()(iconv_t cd) const noexcept { iconv_close(cd); }
};
using unique_iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// JIS X 0208 pairs (7-bit) as UTF-8, through the system's ISO-2022-JP converter.
void AppendJis(std::string& out, const std::string& pairs) {
    if (pairs.empty()) return;
    const iconv_t opened = iconv_open("UTF-8", "ISO-2022-JP");
    if (opened == reinterpret_cast<iconv_t>(-1)) {
        out.append(pairs.size() / 2, '?');
        return;
    }
    const unique_iconv cd(opened);
    std::string in = "\x1b$B" + pairs + "\x1b(B";
    std::string converted(pairs.size() * 2 + 8, '\0');
    char* from = in.data();
    char* to = converted.data();
    std::size_t fromLeft = in.size(), toLeft = converted.size();
    if (iconv(cd.get(), &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
        out.append(pairs.size() / 2, '?');
        return;
    }
    out.append(converted.data(), converted.size() - toLeft);
}

// The set an ISO 2022 designation names; `wide` for the 94^2 sets.
Set Designated(bool wide, char final) {
    if (!wide) return final == 'B' || final == 'J' ? Set::Ascii : Set::Other;
    return final == 'B' || final == '@' ? Set::Jis : Set::Other;
}

}  // namespace

std::string CompoundTextToUtf8(std::string_view text) {
    Set left = Set::Ascii, right = Set::Latin1;
    bool utf8 = false;
    std::string out, jis;
    auto flush = [&] {
        AppendJis(out, jis);
        jis.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch == 0x1B) {
            flush();
            std::size_t j = i + 1;
            while (j < text.size() && text[j] >= 0x20 && text[j] <= 0x2F) ++j;
            if (j >= text.size()) break;
            const std::string_view mid = text.substr(i + 1, j - i - 1);
            const char final = text[j];
            i = j;
            if (mid == "%") utf8 = final == 'G';
            else if (mid == "(") left = Designated(false, final);
            else if (mid == ")") right = Designated(false, final);
            else if (mid == "-") right = final == 'A' ? Set::Latin1 : Set::Other;
            else if (mid == "$(" || mid == "$") left = Designated(true, final);
            else if (mid == "$)") right = Designated(true, final);
            continue;
        }
        if (utf8) {
            out += static_cast<char>(ch);
            continue;
        }
        if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
            flush();
            if (ch == '\n' || ch == '\t') out += static_cast<char>(ch);
            continue;
        }
        const Set set = ch >= 0x80 ? right : left;
        if (set == Set::Jis) {
            jis += static_cast<char>(ch & 0x7F);
            continue;
        }
        flush();
        if (set == Set::Ascii) AppendUtf8(out, ch & 0x7F);
        else if (set == Set::Latin1) AppendUtf8(out, ch | 0x80);
        else out += '?';
    }
    flush();
    return out;
}

}  // namespace ocu::qt
