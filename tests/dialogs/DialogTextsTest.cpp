// The Windows resource script keeps its own copy of the dialogs' texts: it must say
// what every other edge says.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "dialogs/DialogTexts.h"

namespace ocu::testing {
namespace {

TEST(DialogTexts, TheResourceScriptSaysTheSame) {
    std::ifstream file(OCU_SOURCE_DIR "/resources/Dialogs.rc", std::ios::binary);
    ASSERT_TRUE(file);
    std::stringstream script;
    script << file.rdbuf();
    for (std::string_view t : {text::kOptionsCaption, text::kShortcutGroup, text::kShortcutInProgramsMenu, text::kOk,
                               text::kCancel, text::kVersionCaption, text::kProductName, text::kVersionNumber})
        EXPECT_NE(script.str().find("\"" + std::string(t) + "\""), std::string::npos) << t;
}

}  // namespace
}  // namespace ocu::testing
