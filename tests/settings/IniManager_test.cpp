#include "settings/IniManager.h"
#include "support/MemoryStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ocu {
namespace {

const std::string kFileName = "C:\\Tools\\Ocumira\\Ocumira.ini";

using FakeSettingsStore = support::MemoryStore;

std::optional<std::string> FileValue(const FakeSettingsStore& store, const char* section, const char* key) {
    if (!store.text) return std::nullopt;
    return IniFile(*store.text).Get(section, key);
}

std::string ZuriFile(const std::string& key, const std::string& raw) { return "[Zuri]\r\n" + key + "=" + raw + "\r\n"; }

// Every key one save writes, in the order it writes them.
const std::vector<std::pair<const char*, const char*>> kSaveOrder = {
    {"BoundsRect", "Left"},   {"BoundsRect", "Right"}, {"BoundsRect", "Top"},   {"BoundsRect", "Bottom"},
    {"Zuri", "Scale"},        {"Zuri", "HFlip"},       {"Zuri", "VFlip"},       {"Zuri", "ScaleWidth"},
    {"Zuri", "ScaleHeight"},  {"Zuri", "CapRate"},     {"Setting", "FirstRun"}, {"Setting", "RunCount"},
    {"Zuri", "CrossVisible"}, {"Zuri", "InfoVisible"}, {"Zuri", "InfoIsHex"},   {"Zuri", "SamplingRate"},
    {"Zuri", "FixView"},      {"Zuri", "FixViewX"},    {"Zuri", "FixViewY"},
};

TEST(IniManagerFile, FirstSaveWithoutFileWritesEveryKeyInOrder) {
    FakeSettingsStore store;
    TIniManager m(store, kFileName);
    EXPECT_EQ(m.RunCount, 1);  // the shortcut rule counts on the first start seeing 1
    m.Save();
    EXPECT_EQ(store.attempts, 1);  // the whole file in one write
    EXPECT_EQ(*store.text,
              "[BoundsRect]\r\nLeft=300\r\nRight=800\r\nTop=100\r\nBottom=600\r\n"
              "[Zuri]\r\nScale=4\r\nHFlip=0\r\nVFlip=0\r\nScaleWidth=300\r\nScaleHeight=300\r\nCapRate=10\r\n"
              "CrossVisible=1\r\nInfoVisible=0\r\nInfoIsHex=1\r\nSamplingRate=100\r\nFixView=0\r\n"
              "FixViewX=200\r\nFixViewY=200\r\n"
              "[Setting]\r\nFirstRun=0\r\nRunCount=2\r\n");
}

TEST(IniManagerFile, OwnSectionIsReadAndWrittenOnlyOnceItIsUsed) {
    FakeSettingsStore store(std::string("[Zuri]\r\nScale=4\r\n[Ocumira]\r\nHotKeysAlways=0\r\n"));
    TIniManager m(store, kFileName);
    EXPECT_FALSE(m.HotKeysAlways);
    m.HotKeysAlways = true;
    m.Save();  // the key exists: it follows the value
    EXPECT_NE(store.text->find("[Ocumira]\r\nHotKeysAlways=1\r\n"), std::string::npos);

    FakeSettingsStore fresh;
    TIniManager n(fresh, kFileName);
    EXPECT_TRUE(n.HotKeysAlways);
    EXPECT_FALSE(n.PointerColorVisible);  // the hint line is the hint alone until asked for
    n.Save();
    EXPECT_EQ(fresh.text->find("Ocumira]"), std::string::npos);  // the defaults leave no trace
    n.HotKeysAlways = false;
    n.PointerColorVisible = true;
    n.ScreenCastToken = "0f4c-9a_1";
    n.Save();
    EXPECT_NE(fresh.text->find("[Ocumira]\r\nHotKeysAlways=0\r\nPointerColorVisible=1\r\nScreenCastToken=0f4c-9a_1\r\n"),
              std::string::npos);
    TIniManager again(fresh, kFileName);
    EXPECT_FALSE(again.HotKeysAlways);
    EXPECT_TRUE(again.PointerColorVisible);
    EXPECT_EQ(again.ScreenCastToken, "0f4c-9a_1");
}

TEST(IniManagerFile, KeepsForeignLinesAndAddsMissingKeysWhereTheyBelong) {
    // The lines written by hand stay as they are; the missing keys join their sections.
    const std::string head =
        "; Ocumira settings, edited by hand\n"
        "[Zuri]\n"
        "Scale=7\n"
        "MyOwnKey=hello\n";
    const std::string middle =
        "\n"
        "[Plugins]\n"
        "Path=C:\\x\n"
        "[BoundsRect]\n"
        "Left=10\n"
        "Top = 20\n";
    FakeSettingsStore store(head + "HFlip=2\n" + middle +
                            "  Junk line\n"
                            "[Setting]\n"
                            "RunCount=4\n"
                            "FirstRun=1");
    TIniManager m(store, kFileName);
    m.Save();
    EXPECT_EQ(
        *store.text,
        head +
            "HFlip=1\n"
            "VFlip=0\nScaleWidth=300\nScaleHeight=300\nCapRate=10\n"
            "CrossVisible=1\nInfoVisible=0\nInfoIsHex=1\nSamplingRate=100\nFixView=0\nFixViewX=200\nFixViewY=200\n" +
            middle +
            "Right=800\nBottom=600\n"
            "  Junk line\n"
            "[Setting]\n"
            "RunCount=5\n"
            "FirstRun=0");
}

// Another program or the user edits the file between two saves: the next save changes
// our keys only and keeps the rest as it is now, not as it was when we read it.
TEST(IniManagerFile, ASaveKeepsWhatOthersWroteMeanwhile) {
    FakeSettingsStore store("[Zuri]\r\nCapRate=20\r\n");
    TIniManager m(store, kFileName);
    m.Save();
    const std::string saved = *store.text;
    std::string edited = saved;
    edited.insert(edited.find("CapRate"), "; zoom kept in tenths\r\nTheirKey = x \r\n");
    edited.replace(edited.find("Scale=4"), 7, "Scale=9");  // a key of ours, edited by hand
    edited += "[Other]\nadded=1\n";
    store.text = edited;

    m.SetCapRate(3.0f);
    std::string want = edited;
    want.replace(want.find("CapRate=20"), 10, "CapRate=30");
    want.replace(want.find("Scale=9"), 7, "Scale=4");
    want.replace(want.find("RunCount=2"), 10, "RunCount=3");
    EXPECT_EQ(*store.text, want);

    // A file that has gone is written anew from what we knew.
    store.text.reset();
    m.SetBoundsRect({1, 2, 3, 4});
    EXPECT_EQ(FileValue(store, "Other", "added"), "1");
    EXPECT_EQ(FileValue(store, "BoundsRect", "Bottom"), "4");
}

TEST(IniManagerFile, DuplicateSectionsUseTheFirst) {
    FakeSettingsStore store("[Zuri]\r\nScale=7\r\n[Zuri]\r\nScale=9\r\nHFlip=1\r\n");
    TIniManager m(store, kFileName);
    EXPECT_EQ(m.Scale, 7);
    EXPECT_FALSE(m.HFlip);
    m.Save();
    const std::string& text = *store.text;
    EXPECT_EQ(text.substr(0, text.find("[Zuri]", 1)),
              "[Zuri]\r\nScale=7\r\nHFlip=0\r\nVFlip=0\r\n"
              "ScaleWidth=300\r\nScaleHeight=300\r\nCapRate=10\r\n"
              "CrossVisible=1\r\nInfoVisible=0\r\nInfoIsHex=1\r\n"
              "SamplingRate=100\r\nFixView=0\r\nFixViewX=200\r\n"
              "FixViewY=200\r\n");
    EXPECT_NE(text.find("[Zuri]\r\nScale=9\r\nHFlip=1\r\n[BoundsRect]"), std::string::npos) << text;
}

// Start, exit, start, exit: after the first save has filled in what was missing
// or misspelt, the file only ever changes in its run counter.
TEST(IniManagerFile, LoadSaveLoadIsStable) {
    const std::vector<std::string> starts = {
        "",
        "[Zuri]\nCapRate=13\nSamplingRate=0x64\nInfoVisible=1\n; note\n[Other]\nk=v",
        "[Zuri]\r\nCapRate=-7\r\nFixView=1\r\nFixViewX=-1200\r\n[BoundsRect]\r\nLeft=-1920\r\n",
        // Not FF FE: that marks a UTF-16 file.
        "\xff\xff garbage\r\n[Setting]\r\nRunCount=0x7FFFFFF0\r\n",
    };
    for (const auto& start : starts) {
        FakeSettingsStore store(start);
        TIniManager(store, kFileName).Save();
        const std::string first = *store.text;
        TIniManager second(store, kFileName);
        const std::string counted = "RunCount=" + std::to_string(second.RunCount);
        second.Save();
        std::string expected = first;
        expected.replace(expected.find(counted), counted.size(), "RunCount=" + std::to_string(second.RunCount));
        EXPECT_EQ(*store.text, expected) << start;
    }
}

TEST(IniManagerFile, RandomValuesSurviveSaveAndLoad) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> anyInt(INT_MIN, INT_MAX), tenths(-100, 5000), coin(0, 1);
    for (int round = 0; round < 200; ++round) {
        FakeSettingsStore store;
        TIniManager a(store, kFileName);
        a.VFlip = coin(rng);
        a.HFlip = coin(rng);
        a.Scale = anyInt(rng);
        a.BoundsRect = {anyInt(rng), anyInt(rng), anyInt(rng), anyInt(rng)};
        a.CrossVisible = coin(rng);
        a.SamplingRate = anyInt(rng);
        a.InfoIsHex = coin(rng);
        a.ScaleWidth = anyInt(rng);
        a.ScaleHeight = anyInt(rng);
        a.CapRate = static_cast<float>(tenths(rng)) / 10.0f;
        a.FixView = coin(rng);
        a.FixViewX = anyInt(rng);
        a.FixViewY = anyInt(rng);
        a.Save();

        TIniManager b(store, kFileName);
        EXPECT_EQ(b.VFlip, a.VFlip);
        EXPECT_EQ(b.HFlip, a.HFlip);
        EXPECT_EQ(b.Scale, a.Scale);
        EXPECT_EQ(b.BoundsRect, a.BoundsRect);
        EXPECT_EQ(b.CrossVisible, a.CrossVisible);
        EXPECT_EQ(b.SamplingRate, a.SamplingRate);
        EXPECT_EQ(b.InfoIsHex, a.InfoIsHex);
        EXPECT_EQ(b.ScaleWidth, a.ScaleWidth);
        EXPECT_EQ(b.ScaleHeight, a.ScaleHeight);
        EXPECT_EQ(b.CapRate, a.CapRate);
        EXPECT_EQ(b.FixView, a.FixView);
        EXPECT_EQ(b.FixViewX, a.FixViewX);
        EXPECT_EQ(b.FixViewY, a.FixViewY);
        EXPECT_EQ(b.RunCount, a.RunCount);
    }
}

TEST(IniManagerValues, IntegersAcceptDecimalAndHexElseDefault) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"0x64", 100},
        {"0X64", 100},
        {"0x0000000064", 100},
        {"0x7FFFFFFF", INT_MAX},
        {"0xFFFFFFFF", -1},
        {"0x80000000", INT_MIN},
        {"0x100000000", 100},
        {"0x", 100},
        {"0xg", 100},
        {"0x64z", 100},
        {"0x-5", 100},
        {"-0x5", 100},
        {"abc", 100},
        {"", 100},
        {"12abc", 100},
        {"1 2", 100},
        {"1.5", 100},
        {"-", 100},
        {"+", 100},
        {"-5", -5},
        {"+7", 7},
        {"007", 7},
        {" 42 ", 42},
        {"\"50\"", 50},
        {"2147483647", INT_MAX},
        {"2147483648", 100},
        {"-2147483648", INT_MIN},
        {"-2147483649", 100},
        {"99999999999999999999999999", 100},
        {"0", 0},
    };
    for (const auto& [raw, expected] : cases) {
        FakeSettingsStore store(ZuriFile("SamplingRate", raw));
        EXPECT_EQ(TIniManager(store, kFileName).SamplingRate, expected) << '"' << raw << '"';
    }
}

TEST(IniManagerValues, BooleansAreAnyNonZeroIntegerAndWrittenAsOneOrZero) {
    struct Case {
        const char* key;
        std::optional<std::string> raw;
        bool TSettingsValues::*field;
        bool expected;
        const char* written;
    };
    const std::vector<Case> cases = {
        {"HFlip", "2", &TSettingsValues::HFlip, true, "1"},
        {"HFlip", "-1", &TSettingsValues::HFlip, true, "1"},
        {"HFlip", "0x1", &TSettingsValues::HFlip, true, "1"},
        {"HFlip", "true", &TSettingsValues::HFlip, false, "0"},
        {"HFlip", "", &TSettingsValues::HFlip, false, "0"},
        {"CrossVisible", "0", &TSettingsValues::CrossVisible, false, "0"},
        {"CrossVisible", "no", &TSettingsValues::CrossVisible, true, "1"},
        {"CrossVisible", std::nullopt, &TSettingsValues::CrossVisible, true, "1"},
        {"InfoVisible", "1", &TSettingsValues::InfoVisible, false, "0"},  // written, never read
        {"FixView", "5", &TSettingsValues::FixView, true, "1"},
    };
    for (const auto& c : cases) {
        FakeSettingsStore store(c.raw ? ZuriFile(c.key, *c.raw) : "");
        TIniManager m(store, kFileName);
        EXPECT_EQ(m.*c.field, c.expected) << c.key << "=" << c.raw.value_or("(missing)");
        m.Save();
        EXPECT_EQ(FileValue(store, "Zuri", c.key), c.written) << c.key << "=" << c.raw.value_or("(missing)");
    }
}

TEST(IniManagerValues, FirstRunIsReadButEverySaveStoresZero) {
    for (const char* raw : {"1", "0", "7", "x"}) {
        FakeSettingsStore store(std::string("[Setting]\nFirstRun=") + raw + "\n");
        TIniManager m(store, kFileName);
        m.Save();
        EXPECT_EQ(FileValue(store, "Setting", "FirstRun"), "0") << raw;
    }
}

TEST(IniManagerCapRate, StoredAsTenthsAndReadBack) {
    struct Case {
        const char* raw;
        float expected;
        const char* written;
    };
    const std::vector<Case> cases = {
        {"25", 2.5f, "25"},   {"13", 1.3f, "13"},  {"10", 1.0f, "10"}, {"160", 16.0f, "160"},
        {"0x19", 2.5f, "25"}, {"abc", 1.0f, "10"}, {"0", 0.0f, "0"},   {"-5", -0.5f, "-5"},
    };
    for (const auto& c : cases) {
        FakeSettingsStore store(ZuriFile("CapRate", c.raw));
        TIniManager m(store, kFileName);
        EXPECT_EQ(m.CapRate, c.expected) << c.raw;
        m.Save();
        EXPECT_EQ(FileValue(store, "Zuri", "CapRate"), c.written) << c.raw;
    }
}

TEST(IniManagerCapRate, WrittenAsTruncatedTenths) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::pair<float, const char*>> cases = {
        {2.5f, "25"}, {1.3f, "13"},   {2.57f, "25"}, {2.595f, "25"},        {16.0f, "160"},
        {0.05f, "0"}, {-0.55f, "-6"}, {nan, "10"},   {1e30f, "2147483647"}, {-1e30f, "-2147483648"},
    };
    for (const auto& [rate, written] : cases) {
        FakeSettingsStore store;
        TIniManager m(store, kFileName);
        m.CapRate = rate;
        m.Save();
        EXPECT_EQ(FileValue(store, "Zuri", "CapRate"), written) << rate;
    }
}

// Zoom values reached by 0.1 steps in float, up from 1 and down from 16, keep
// their tenth through save and load, however their float happens to round.
TEST(IniManagerCapRate, ZoomStepsSurviveRestarts) {
    for (float step : {0.1f, -0.1f}) {
        float zoom = step > 0 ? 1.0f : 16.0f;
        int tenths = step > 0 ? 10 : 160;
        for (int i = 0; i<150; ++i, zoom += step, tenths += step> 0 ? 1 : -1) {
            FakeSettingsStore store;
            TIniManager first(store, kFileName);
            first.CapRate = zoom;
            first.Save();
            for (int restart = 0; restart < 3; ++restart) {
                ASSERT_EQ(FileValue(store, "Zuri", "CapRate"), std::to_string(tenths)) << zoom;
                TIniManager next(store, kFileName);
                ASSERT_TRUE(next.SaveOnExit());
            }
        }
    }
}

// Values edited by hand outside what the program offers are handed out as the
// nearest offered one (the fields keep what the file says: see StoredAsTenthsAndReadBack).
TEST(IniManagerValues, ZoomAndIntervalAreHandedOutWithinTheirRanges) {
    const struct {
        const char* key;
        const char* raw;
        float zoom;
        int interval;
    } cases[] = {
        {"CapRate", "-5", 1.0f, 100},
        {"CapRate", "0", 1.0f, 100},
        {"CapRate", "9", 1.0f, 100},
        {"CapRate", "25", 2.5f, 100},
        {"CapRate", "161", 16.0f, 100},
        {"CapRate", "0x7FFFFFFF", 16.0f, 100},
        {"SamplingRate", "0", 1.0f, 10},
        {"SamplingRate", "-40", 1.0f, 10},
        {"SamplingRate", "250", 1.0f, 250},
        {"SamplingRate", "401", 1.0f, 400},
        {"SamplingRate", "-2147483648", 1.0f, 10},
    };
    for (const auto& c : cases) {
        FakeSettingsStore store(ZuriFile(c.key, c.raw));
        TIniManager m(store, kFileName);
        EXPECT_EQ(m.StartZoom(), c.zoom) << c.key << "=" << c.raw;
        EXPECT_EQ(m.SamplingInterval(), c.interval) << c.key << "=" << c.raw;
    }
}

TEST(IniManagerSetters, SaveAndNotifyOnlyOnChange) {
    struct Case {
        const char* name;
        void (*act)(TIniManager&);
        int writes;
        int notifications;
    };
    const int fullSave = 1;
    const std::vector<Case> cases = {
        {"same sampling rate", [](TIniManager& m) { m.SetSamplingRate(m.SamplingRate); }, 0, 0},
        {"new sampling rate", [](TIniManager& m) { m.SetSamplingRate(250); }, fullSave, 1},
        {"same zoom", [](TIniManager& m) { m.SetCapRate(2.5f); }, 0, 0},
        {"new zoom", [](TIniManager& m) { m.SetCapRate(2.6f); }, fullSave, 1},
        {"same bounds", [](TIniManager& m) { m.SetBoundsRect(m.BoundsRect); }, fullSave, 0},
        {"new bounds",
         [](TIniManager& m) {
             m.SetBoundsRect({1, 2, 3, 4});
         },
         fullSave, 0},
    };
    for (const auto& c : cases) {
        FakeSettingsStore store(ZuriFile("CapRate", "25"));
        TIniManager m(store, kFileName);
        const int runCount = m.RunCount;
        int notifications = 0;
        m.OnChange = [&](TIniManager& sender) {
            ++notifications;
            EXPECT_EQ(&sender, &m) << c.name;
            EXPECT_EQ(store.attempts, fullSave) << c.name << ": notified before the save was done";
        };
        c.act(m);
        EXPECT_EQ(store.attempts, c.writes) << c.name;
        EXPECT_EQ(notifications, c.notifications) << c.name;
        EXPECT_EQ(m.RunCount, runCount + (c.writes ? 1 : 0)) << c.name;
    }
}

// One run: the window's shut-down stores zoom and bounds, then the final save.
void SimulateRun(FakeSettingsStore& store, bool changeZoom, int samplingChanges) {
    TIniManager m(store, kFileName);
    for (int i = 0; i < samplingChanges; ++i) m.SetSamplingRate(m.SamplingRate + 10);
    m.SetCapRate(changeZoom ? m.CapRate + 1.0f : m.CapRate);
    m.SetBoundsRect({10, 10, 400, 400});
    ASSERT_TRUE(m.SaveOnExit());
}

TEST(IniManagerRunCount, CountsSaves) {
    struct Case {
        bool changeZoom;
        int samplingChanges;
        int increase;
    };
    for (const Case& c : std::vector<Case>{{false, 0, 2}, {true, 0, 3}, {false, 1, 3}, {true, 2, 5}}) {
        FakeSettingsStore store("[Setting]\r\nRunCount=7\r\n");
        SimulateRun(store, c.changeZoom, c.samplingChanges);
        EXPECT_EQ(FileValue(store, "Setting", "RunCount"), std::to_string(7 + c.increase));
    }
    // Without a file: 1, then 3, then 5 - the first two starts see fewer than five.
    FakeSettingsStore store;
    std::vector<int> seen;
    for (int run = 0; run < 3; ++run) {
        seen.push_back(TIniManager(store, kFileName).RunCount);
        SimulateRun(store, false, 0);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 5}));

    FakeSettingsStore full("[Setting]\r\nRunCount=2147483647\r\n");
    SimulateRun(full, false, 0);
    EXPECT_EQ(FileValue(full, "Setting", "RunCount"), "2147483647");
}

// A failed save leaves the file and the run counter as they were; the next save that
// works writes everything.
TEST(IniManagerWriteFailure, AFailedSaveChangesNothing) {
    FakeSettingsStore store("[Zuri]\r\nScale=3\r\n");
    TIniManager m(store, kFileName);
    store.failWrites = true;
    EXPECT_THROW(m.Save(), ESettingsWriteError);  // its text is checked where it is shown
    EXPECT_FALSE(m.SaveOnExit());
    EXPECT_EQ(store.attempts, 2);
    EXPECT_EQ(*store.text, "[Zuri]\r\nScale=3\r\n");
    EXPECT_EQ(m.RunCount, 1);
    EXPECT_TRUE(m.SaveFailed);

    store.failWrites = false;
    EXPECT_TRUE(m.SaveOnExit());
    for (const auto& [section, key] : kSaveOrder) EXPECT_TRUE(FileValue(store, section, key)) << key;
    EXPECT_EQ(m.RunCount, 2);
}

TEST(IniManagerWriteFailure, SetterKeepsTheNewValueAndDoesNotNotify) {
    FakeSettingsStore store("[Zuri]\r\nSamplingRate=100\r\n");
    store.failFrom = 1;
    TIniManager m(store, kFileName);
    int notifications = 0;
    m.OnChange = [&](TIniManager&) { ++notifications; };
    EXPECT_THROW(m.SetSamplingRate(50), ESettingsWriteError);
    EXPECT_EQ(m.SamplingRate, 50);
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(*store.text, "[Zuri]\r\nSamplingRate=100\r\n");
    EXPECT_THROW(m.SetBoundsRect({0, 0, 1, 1}), ESettingsWriteError);
    EXPECT_EQ(m.BoundsRect, (IntRect{0, 0, 1, 1}));
}

// The file read back for a save cannot be read: what others wrote is not
// overwritten with what we knew, and the save says why.
TEST(IniManagerWriteFailure, AFileThatCannotBeReadBackIsLeftAlone) {
    const auto refused = [](FakeSettingsStore& store) {
        TIniManager m(store, kFileName);
        const std::optional<std::string> before = store.text;
        EXPECT_THROW(m.Save(), ESettingsReadBackError);
        EXPECT_FALSE(m.SaveOnExit());
        EXPECT_EQ(store.attempts, 0);
        EXPECT_EQ(store.text, before);
        EXPECT_TRUE(m.SaveFailed);
        EXPECT_EQ(m.SaveFailure.rfind(kFileName + " を読み取れないため、設定を保存しませんでした。", 0), 0u);
    };
    FakeSettingsStore held("[Zuri]\r\nScale=3\r\n");
    held.unreadable = true;  // held open by a program that shares no reading, or too large
    refused(held);
    FakeSettingsStore cut(std::string("\xFF\xFE[\0Z\0", 7));  // UTF-16 cut mid-character
    refused(cut);

    held.unreadable = false;  // readable again, the next save writes as usual
    EXPECT_TRUE(TIniManager(held, kFileName).SaveOnExit());
}

// A file marked as UTF-16 stays UTF-16 in its own byte order, mark included, and
// keeps every other character as it was, also one no encoding names.
TEST(IniManagerFile, AUtf16FileIsReadAndWrittenAsUtf16) {
    const auto utf16 = [](std::u16string_view units, bool little) {
        std::string bytes;
        for (const char16_t u : units)
            bytes += {static_cast<char>(little ? u : u >> 8), static_cast<char>(little ? u >> 8 : u)};
        return bytes;
    };
    FakeSettingsStore plain("; x\r\n[Zuri]\r\nScale=7\r\n");
    TIniManager(plain, kFileName).Save();
    const std::u16string foreign = u"; 拡大\xD800\U0001F600";
    std::u16string want = u"\uFEFF" + foreign;
    for (const char c : plain.text->substr(3)) want += static_cast<char16_t>(c);

    for (const bool little : {true, false}) {
        FakeSettingsStore store(utf16(u"\uFEFF" + foreign + u"\r\n[Zuri]\r\nScale=7\r\n", little));
        TIniManager m(store, kFileName);
        EXPECT_EQ(m.Scale, 7);
        m.Save();
        EXPECT_EQ(*store.text, utf16(want, little)) << little;
    }
}

}  // namespace
}  // namespace ocu
