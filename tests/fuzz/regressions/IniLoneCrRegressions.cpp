// Found by the settings fuzzer; disabled until it is settled whether a lone
// CR ends a line. IniFile splits lines at LF only, so text after a lone CR
// belongs to the line before it. When that line is one of our keys, saving
// the key replaces everything after its "=", and another program's section
// header that followed the CR is gone; its keys then fall into our section.
#include <gtest/gtest.h>

#include <string>

#include "settings/IniFile.h"

namespace ocu {
namespace {

TEST(IniFileRegression, DISABLED_SetKeepsTextAfterALoneCr) {
    IniFile ini("[BoundsRect]\nLeft=300\r[Other]\nkeep=1\n");
    ini.Set("BoundsRect", "Left", "300");
    EXPECT_NE(ini.Text().find("[Other]"), std::string::npos) << ini.Text();
    EXPECT_EQ(ini.Get("Other", "keep"), "1");
}

}  // namespace
}  // namespace ocu
