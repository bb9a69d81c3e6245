// Grid, centre lines, colour inversion and the sampling rate.
#include <string>

#include "mainwindow/NumberInput.h"
#include "mainwindow/Texts.h"
#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"

namespace ocu {

void TfrmCap::SetGraph(CommandId item, int unit) {
    // The entry's mark is on while the grid shows with its spacing: choosing it again hides the grid.
    const bool on = !MenuChecked(item);
    s_.GridVisible = on;
    if (on) s_.GridUnit = unit;
}

void TfrmCap::GraphFlex() {
    if (MenuChecked(CommandId::mmGraphFlex)) {
        s_.GridVisible = false;
        return;
    }
    // Cancel and a text that is no whole number leave the grid exactly as it was.
    const auto typed = p_.InputBox("方眼単位", "単位を入力してください。(ピクセル)", "");
    if (!typed) return;
    const auto n = ParseWholeNumber(*typed);
    if (!n) {
        p_.ShowMessage(std::string(text::kBadNumber), "");
        return;
    }
    s_.GridVisible = true;
    s_.GridUnit = *n;
}

void TfrmCap::SampRate() {
    const auto typed = p_.InputBox("サンプリングレート",
                                   "サンプリングレートを指定してください\r(単位:ms デフォルト 100  範囲 10～400)",
                                   std::to_string(ini_.SamplingRate));
    if (!typed) return;  // Cancel keeps the rate
    const int n = ParseWholeNumber(*typed).value_or(ini_.SamplingRate);
    if (n < 10 || n > 400) {
        p_.ShowMessage(std::string(text::kRateOutOfRange), "");
        return;
    }
    struct Retime {
        TfrmCap& f;
        ~Retime() {
            // The new rate is in memory even when the file could not take it.
            try {
                f.p_.StartCaptureTimer(f.SamplingInterval());
            } catch (...) {
            }
        }
    } retime{*this};
    ini_.SetSamplingRate(n);
}

}  // namespace ocu
