// Every text a person may leave in the three number boxes (typed angle, free grid
// spacing, sampling rate), each on a freshly started window: the message it gets,
// what the view state becomes, that the view still draws afterwards, and that the
// settings written at exit keep every key and the lines the program does not own.
#include <memory>
#include <optional>
#include <string>

#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

constexpr const char* kBadNumber = "不正な数値です";
constexpr const char* kOutOfRange = "範囲外の数値が入力されました。";

struct Typed {
    const char* label;
    std::optional<std::string> text;  // nullopt: the box was cancelled
    std::optional<int> number;        // what the text means as a whole number
};

const Typed kTexts[] = {
    {"empty", std::string(""), std::nullopt},
    {"letters", std::string("abc"), std::nullopt},
    {"letters after digits", std::string("45abc"), std::nullopt},
    {"spaces around", std::string("  45 "), 45},
    {"ideographic spaces around",
     std::string("\xE3\x80\x80"
                 "45\xE3\x80\x80"),
     45},
    {"full-width digits", std::string("\xEF\xBC\x94\xEF\xBC\x95"), 45},              // ４５
    {"full-width minus", std::string("\xEF\xBC\x8D\xEF\xBC\x94\xEF\xBC\x95"), -45},  // －４５
    {"decimal", std::string("4.5"), std::nullopt},
    {"sign alone", std::string("-"), std::nullopt},
    {"plus sign", std::string("+45"), 45},
    {"space inside", std::string("4 5"), std::nullopt},
    {"hex", std::string("0x2D"), std::nullopt},
    {"beyond 32 bits", std::string("99999999999"), std::nullopt},
    {"just past int max", std::string("2147483648"), std::nullopt},
    {"int min", std::string("-2147483648"), -2147483647 - 1},
    {"zero", std::string("0"), 0},
    {"cut UTF-8", std::string("4\xE3\x80"), std::nullopt},
    {"cancelled", std::nullopt, std::nullopt},
};

constexpr const char* kIniAtStart =
    "; kept by hand\n"
    "[BoundsRect]\nLeft=700\nTop=100\nRight=1120\nBottom=560\n"
    "[Zuri]\nCapRate=30\nSamplingRate=120\nScaleWidth=300\nScaleHeight=300\nMyOwnKey=keep me\n"
    "[Setting]\nRunCount=7\n"
    "[Foreign]\nWhatever=1\n";

// One freshly started window per typed text.
class BadInputTest : public ::testing::Test {
protected:
    std::unique_ptr<FakeMainWindow> w;
    FakePlatform* p = nullptr;

    void Open(CommandId id, const std::optional<std::string>& text) {
        w = std::make_unique<FakeMainWindow>();
        w->Start(kIniAtStart);
        auto& platform = w->platform;
        auto& form = w->form;
        p = &platform;
        form->ChgWindowSize(300, 300);
        w->Arrange([&](ViewState& s) { s.ZoomRate = 3.0f; });
        w->Tick();
        framesBefore = platform.Frames;
        platform.InputAnswers = {text};
        form->OnMenuOpen(id == CommandId::mmFlexRotate ? CommandId::MenuRate
                         : id == CommandId::mmSampRate ? CommandId::MenuSetting
                                                       : CommandId::MenuRange);
        form->RunCommand(id);
    }
    // Whatever the answer: the input is closed, the view draws again, and the exit
    // writes a whole file that still has the lines the program does not own.
    void ExpectRunningAndKept(const std::string& what, int samplingRate) {
        auto& platform = w->platform;
        auto& form = w->form;
        auto& ini = w->ini;
        auto& store = w->store;
        EXPECT_FALSE(w->S().CapturePaused) << what;
        EXPECT_TRUE(platform.TopMost) << what;
        platform.Cursor.X += 1;  // a changed picture, which a running view shows
        w->Tick();
        EXPECT_GT(platform.Frames, framesBefore) << what << ": the view stopped";
        form->FormDestroy();
        ASSERT_TRUE(ini->SaveOnExit()) << what;
        ASSERT_TRUE(store.text.has_value());
        const std::string& saved = *store.text;
        for (const char* line : {"; kept by hand", "MyOwnKey=keep me", "[Foreign]", "Whatever=1", "CapRate=30",
                                 "RunCount=", "ScaleWidth=300", "Left=700", "Bottom=560"})
            EXPECT_NE(saved.find(line), std::string::npos) << what << ": lost " << line << "\n" << saved;
        EXPECT_NE(saved.find("SamplingRate=" + std::to_string(samplingRate) + "\n"), std::string::npos) << what << "\n"
                                                                                                        << saved;
    }
    std::size_t Boxes(const char* text) const {
        std::size_t n = 0;
        for (const auto& m : p->Messages) n += m.Text == text;
        return n;
    }
    int framesBefore = 0;
};

TEST_F(BadInputTest, TypedAngle) {
    for (const Typed& t : kTexts) {
        SCOPED_TRACE(t.label);
        Open(CommandId::mmFlexRotate, t.text);
        const bool turns = t.number && *t.number >= 1 && *t.number <= 359;
        EXPECT_EQ(Boxes(kBadNumber), t.number ? 0u : 1u);
        EXPECT_EQ(p->Messages.size(), t.number ? 0u : 1u);
        EXPECT_EQ(w->S().RotateAngle, turns ? *t.number * 10 : 0);
        ExpectRunningAndKept(t.label, 120);
    }
}

TEST_F(BadInputTest, FreeGridSpacing) {
    for (const Typed& t : kTexts) {
        SCOPED_TRACE(t.label);
        Open(CommandId::mmGraphFlex, t.text);
        // Not a whole number: the grid stays as it was (off), with the message unless cancelled.
        EXPECT_EQ(Boxes(kBadNumber), !t.number && t.text ? 1u : 0u);
        EXPECT_EQ(w->S().GridVisible, t.number.has_value());
        EXPECT_EQ(w->S().GridUnit, t.number.value_or(60));
        ExpectRunningAndKept(t.label, 120);
    }
}

TEST_F(BadInputTest, SamplingRate) {
    for (const Typed& t : kTexts) {
        SCOPED_TRACE(t.label);
        Open(CommandId::mmSampRate, t.text);
        // Not a whole number keeps the rate silently; a whole number outside 10..400 is refused aloud.
        const bool outside = t.text && t.number && (*t.number < 10 || *t.number > 400);
        const int rate = t.text && t.number && !outside ? *t.number : 120;
        EXPECT_EQ(Boxes(kOutOfRange), outside ? 1u : 0u);
        EXPECT_EQ(p->Messages.size(), outside ? 1u : 0u);
        EXPECT_EQ(w->ini->SamplingRate, rate);
        EXPECT_EQ(w->ini->SamplingInterval(), rate);
        ExpectRunningAndKept(t.label, rate);
    }
}

TEST_F(BadInputTest, RatesInRangeAreTakenFromEveryNotation) {
    const struct {
        const char* text;
        int rate;
    } rows[] = {{"10", 10}, {" 400 ", 400}, {"\xEF\xBC\x92\xEF\xBC\x90\xEF\xBC\x90", 200}, {"+55", 55}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        Open(CommandId::mmSampRate, std::string(r.text));
        EXPECT_TRUE(p->Messages.empty());
        EXPECT_EQ(p->CaptureInterval, r.rate);
        ExpectRunningAndKept(r.text, r.rate);
    }
}

}  // namespace
}  // namespace ocu::testing
