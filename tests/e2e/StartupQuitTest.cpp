// Start-up, the remembered settings, the About box and the three ways to quit.
#include "tests/e2e/E2eTest.h"

#include <cstring>

namespace e2e {
namespace {

std::uint32_t dwordOf(const StoredValue& value) {
    std::uint32_t result = 0;
    std::memcpy(&result, value.bytes.data(), std::min<std::size_t>(4, value.bytes.size()));
    return result;
}

using StartupTest = E2eTest;

TEST_F(StartupTest, FirstRunOpensEmptyAt200AndStoresDefaultsAtExit) {
    ASSERT_TRUE(start());
    RECT rect = app().windowRect();
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(app().title(), initialTitle());
    EXPECT_EQ(app().itemText(kFileNameBox), "");
    EXPECT_EQ(app().listCount(), 0);
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), "");
    EXPECT_EQ(app().itemText(kPanePlacings), "");
    quit();

    StoredValue scoreFile = readSetting("ScoreFile");
    ASSERT_TRUE(scoreFile.exists);
    EXPECT_EQ(scoreFile.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(scoreFile.bytes, std::string(1, '\0'));
    StoredValue place = readSetting("WindowPlace");
    ASSERT_TRUE(place.exists);
    EXPECT_EQ(place.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(dwordOf(place), (200u << 16) | 200u);
    StoredValue search = readSetting("ForSearch");
    ASSERT_TRUE(search.exists);
    EXPECT_EQ(search.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(search.bytes, searchBlock(0, "", 1, 1));
}

TEST_F(StartupTest, StoredScoreFileIsShownButNotLoaded) {
    std::string path = writeTempFile("shown.txt", scoreLog(standardGames()));
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    EXPECT_EQ(app().itemText(kFileNameBox), path);
    EXPECT_EQ(app().listCount(), 0);
    EXPECT_EQ(app().title(), initialTitle());
    quit();
    EXPECT_EQ(readSetting("ScoreFile").bytes, path + '\0');
}

TEST_F(StartupTest, StoredWindowPlaceIsTopHighLeftLow) {
    storeDword("WindowPlace", (100u << 16) | 50u);
    ASSERT_TRUE(start());
    RECT rect = app().windowRect();
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 100);
    quit();
    EXPECT_EQ(dwordOf(readSetting("WindowPlace")), (100u << 16) | 50u);
}

TEST_F(StartupTest, NegativeLeftEdgeIsStoredAsItsLow16Bits) {
    ASSERT_TRUE(start());
    SetWindowPos(app().main(), nullptr, -8, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(waitUntil([&] { return app().windowRect().left == -8; }))
        << "the window did not move";
    EXPECT_EQ(app().windowRect().top, 10);
    quit();
    EXPECT_EQ(dwordOf(readSetting("WindowPlace")), 0x000AFFF8u);
}

enum class QuitWay { EscKey, CloseBox, QuitMenu };

struct QuitCase {
    const char* name;
    QuitWay way;
};

class QuitTest : public E2eTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitTest, EndsWithExitCode0AndWritesAllThreeSettings) {
    std::string path = writeTempFile("quit.txt", scoreLog(standardGames()));
    ASSERT_TRUE(startLoaded(path, 14));
    app().select(4);
    SetWindowPos(app().main(), nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(waitUntil([&] { return app().windowRect().left == 120; }));
    switch (GetParam().way) {
    case QuitWay::EscKey:
        ASSERT_TRUE(focus(kList));
        ASSERT_TRUE(app().pressKey(app().main(), VK_ESCAPE));
        break;
    case QuitWay::CloseBox:
        app().post(app().main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case QuitWay::QuitMenu:
        app().command(kQuit);
        break;
    }
    expectExitCode0();
    EXPECT_EQ(readSetting("ScoreFile").bytes, path + '\0');
    EXPECT_EQ(dwordOf(readSetting("WindowPlace")), (80u << 16) | 120u);
    StoredValue search = readSetting("ForSearch");
    EXPECT_EQ(search.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(search.bytes, searchBlock(0, "", 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitTest,
                         ::testing::Values(QuitCase{"EscKey", QuitWay::EscKey},
                                           QuitCase{"CloseBox", QuitWay::CloseBox},
                                           QuitCase{"QuitMenu", QuitWay::QuitMenu}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AboutCase {
    const char* name;
    WORD key;
};

class AboutTest : public E2eTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutTest, OpensModalAndClosesWithTheKey) {
    ASSERT_TRUE(start());
    app().command(kMenuAbout);
    HWND about = app().waitDialog("ﾊﾞｰｼﾞｮﾝ情報");
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_FALSE(IsWindowEnabled(app().main())) << "the About box is not modal";
    ASSERT_TRUE(app().pressKey(about, GetParam().key));
    EXPECT_TRUE(app().waitGone(about));
    EXPECT_TRUE(app().sync());
    EXPECT_TRUE(IsWindowEnabled(app().main()));
    EXPECT_TRUE(app().running());
    quit();
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutTest,
                         ::testing::Values(AboutCase{"Enter", VK_RETURN},
                                           AboutCase{"Esc", VK_ESCAPE}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
