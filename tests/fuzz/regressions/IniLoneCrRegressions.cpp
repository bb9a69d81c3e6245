// Found by the settings fuzzer: when a lone CR did not end a line, the text after
// it belonged to the line before. Saving our key on that line replaced
// everything after its "=", so another program's section header that followed
// the CR was gone and its keys fell into our section.
#include <gtest/gtest.h>

#include <string>

#include "settings/IniFile.h"

namespace ocu {
namespace {

TEST(IniFileRegression, SetKeepsTextAfterALoneCr) {
    IniFile ini("[BoundsRect]\nLeft=300\r[Other]\nkeep=1\n");
    ini.Set("BoundsRect", "Left", "300");
    EXPECT_NE(ini.Text().find("[Other]"), std::string::npos) << ini.Text();
    EXPECT_EQ(ini.Get("Other", "keep"), "1");
    ini.Set("BoundsRect", "Left", "12");
    EXPECT_EQ(ini.Text(), "[BoundsRect]\nLeft=12\r[Other]\nkeep=1\n");
}

}  // namespace
}  // namespace ocu
