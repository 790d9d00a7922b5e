// Damaged or hostile registry values: the program starts, falls back or copes, and never
// crashes or hangs.
#include "tests/e2e/E2eTest.h"

#include <climits>

namespace e2e {
namespace {

class HostileSettingsTest : public E2eTest {
  protected:
    // F3 with nothing selected: where it lands, or -1 for "検索終了.".
    void expectF3From(int selected, int expected) {
        app().select(selected);
        ASSERT_TRUE(app().pressKey(app().main(), VK_F3));
        if (expected >= 0) {
            EXPECT_TRUE(waitUntil([&] { return app().title() == title(14, expected); }))
                << app().title();
            return;
        }
        HWND box = app().waitMessageBox();
        ASSERT_NE(box, nullptr) << "expected the end of the search";
        EXPECT_EQ(Paiview::messageText(box), "検索終了.");
        EXPECT_TRUE(app().answer(box, IDOK));
        app().sync();
        EXPECT_EQ(app().listSelection(), selected);
    }
};

struct SearchSizeCase {
    const char* name;
    std::size_t size;
    int found; // where F3 from nothing selected lands; -1 for the end of the search
};

class ForSearchSizeTest : public HostileSettingsTest,
                          public ::testing::WithParamInterface<SearchSizeCase> {};

TEST_P(ForSearchSizeTest, StartsAndSearchesAsFarAsTheValueGoes) {
    std::string block = searchBlock(0, "TABLE-1", 1, 1);
    block.resize(GetParam().size, '\x01');
    storeSetting("ForSearch", REG_BINARY, block);
    ASSERT_TRUE(startLoaded(standardGames()));
    expectF3From(-1, GetParam().found);
    quit();
    EXPECT_EQ(readSetting("ForSearch").bytes.size(), 212u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ForSearchSizeTest,
                         ::testing::Values(SearchSizeCase{"Empty", 0, -1},
                                           SearchSizeCase{"OneByte", 1, -1},
                                           SearchSizeCase{"NoStepHighByte", 211, 10},
                                           SearchSizeCase{"Whole", 212, 10},
                                           SearchSizeCase{"OneTooMany", 213, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileSettingsTest, SearchTextWithoutNulIsCutAtItsLastByte) {
    std::string block = searchBlock(0, "", 1, 1);
    block.replace(4, 200, std::string(200, 'A'));
    storeSetting("ForSearch", REG_BINARY, block);
    ASSERT_TRUE(startLoaded(standardGames()));
    expectF3From(-1, -1);
    quit();
    std::string written = readSetting("ForSearch").bytes;
    ASSERT_EQ(written.size(), 212u);
    EXPECT_EQ(written.substr(4, 200), std::string(199, 'A') + '\0');
}

struct TargetCase {
    const char* name;
    std::int32_t target;
};

class BadTargetTest : public HostileSettingsTest,
                      public ::testing::WithParamInterface<TargetCase> {};

TEST_P(BadTargetTest, OpensTheDialogWithNoButtonAndFindsNothing) {
    storeSetting("ForSearch", REG_BINARY, searchBlock(0, "", GetParam().target, 1));
    ASSERT_TRUE(startLoaded(standardGames()));
    expectF3From(4, -1);
    app().command(kSearchButton);
    HWND dialog = app().waitDialog("検索");
    ASSERT_NE(dialog, nullptr);
    for (int id = 1020; id <= 1031; ++id) {
        if (HWND button = GetDlgItem(dialog, id)) {
            EXPECT_FALSE(isChecked(button)) << "button " << id;
        }
    }
    app().post(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(app().waitGone(dialog));
    app().sync();
    quit();
    EXPECT_EQ(readSetting("ForSearch").bytes, searchBlock(4, "", GetParam().target, 1));
}

INSTANTIATE_TEST_SUITE_P(Targets, BadTargetTest,
                         ::testing::Values(TargetCase{"MinusOne", -1}, TargetCase{"Zero", 0},
                                           TargetCase{"Twelve", 12}, TargetCase{"IntMin", INT_MIN}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StepCase {
    const char* name;
    std::int32_t step;
};

class BadStepTest : public HostileSettingsTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(BadStepTest, IsReplacedBeforeEverySearch) {
    storeSetting("ForSearch", REG_BINARY, searchBlock(0, "", 1, GetParam().step));
    ASSERT_TRUE(startLoaded(standardGames()));
    expectF3From(4, 5);
    quit();
    EXPECT_EQ(readSetting("ForSearch").bytes, searchBlock(4, "", 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Steps, BadStepTest,
                         ::testing::Values(StepCase{"Zero", 0}, StepCase{"Seven", 7}),
                         [](const auto& info) { return std::string(info.param.name); });

// ScoreFile values of awkward sizes and types; the file name box shows what is kept.
struct ScoreFileCase {
    const char* name;
    DWORD type;
    std::string bytes;
    std::string shown;
};

std::string longPath(std::size_t length) {
    std::string path = "Z:\\";
    while (path.size() < length)
        path += "x\\";
    path.resize(length);
    return path;
}

const ScoreFileCase kScoreFiles[] = {
    {"Text259", REG_SZ, longPath(258) + '\0', longPath(258)},
    {"Binary259", REG_BINARY, longPath(258) + '\0', longPath(258)},
    {"Text260NoNul", REG_SZ, longPath(260), ""},
    {"Binary260NoNul", REG_BINARY, longPath(260), ""},
    {"Text261", REG_SZ, longPath(260) + '\0', ""},
    {"Binary261", REG_BINARY, longPath(260) + '\0', ""},
    {"Dword", REG_DWORD, std::string("ABC\0", 4), "ABC"},
    {"BinaryShort", REG_BINARY, std::string("Z:\\x\0", 5), "Z:\\x"},
    {"Empty", REG_SZ, std::string(1, '\0'), ""},
};

class ScoreFileValueTest : public HostileSettingsTest,
                           public ::testing::WithParamInterface<ScoreFileCase> {};

TEST_P(ScoreFileValueTest, IsShownWhenItFitsAndRewrittenAsText) {
    storeSetting("ScoreFile", GetParam().type, GetParam().bytes);
    ASSERT_TRUE(start());
    EXPECT_EQ(app().itemText(kFileNameBox), GetParam().shown);
    EXPECT_EQ(app().listCount(), 0);
    quit();
    StoredValue written = readSetting("ScoreFile");
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(written.bytes, GetParam().shown + '\0');
}

INSTANTIATE_TEST_SUITE_P(Values, ScoreFileValueTest, ::testing::ValuesIn(kScoreFiles),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlaceCase {
    const char* name;
    DWORD type;
    std::string bytes;
    bool fallsBack; // a value that cannot be read places the window at (200, 200)
};

class WindowPlaceValueTest : public HostileSettingsTest,
                             public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(WindowPlaceValueTest, StartsSomewhereAndStoresItsRealPlace) {
    storeSetting("WindowPlace", GetParam().type, GetParam().bytes);
    ASSERT_TRUE(start());
    EXPECT_TRUE(IsWindowVisible(app().main()));
    EXPECT_EQ(app().title(), initialTitle());
    RECT rect = app().windowRect();
    if (GetParam().fallsBack) {
        EXPECT_EQ(rect.left, 200);
        EXPECT_EQ(rect.top, 200);
    }
    quit();
    StoredValue written = readSetting("WindowPlace");
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_DWORD));
    std::uint32_t expected = (static_cast<std::uint32_t>(rect.top & 0xFFFF) << 16) |
                             static_cast<std::uint32_t>(rect.left & 0xFFFF);
    EXPECT_EQ(written.bytes, std::string(reinterpret_cast<const char*>(&expected), 4));
}

INSTANTIATE_TEST_SUITE_P(Values, WindowPlaceValueTest,
                         ::testing::Values(PlaceCase{"Text", REG_SZ, std::string("AB\0", 3), false},
                                           PlaceCase{"LongText", REG_SZ, "123456789", true},
                                           PlaceCase{"TwoBytes", REG_BINARY,
                                                     std::string("\x32\x00", 2), false},
                                           PlaceCase{"Empty", REG_BINARY, "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
