// Choosing a record in the list (title and summary panes) and discarding the list with Clear.
#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

struct SelectionCase {
    const char* name;
    int position;
    const char* timesAndPlayers;
    const char* placings;
};

const SelectionCase kSelections[] = {
    {"FirstFourPlayers", 0,
     "開始:2003/01/01 21:00\r\n終了:2003/01/01 21:45\r\n\r\n"
     "[1]ALICE R1500\r\n[2]BOB R1600\r\n[3]CAROL R1700\r\n[4]DAVE R1800",
     "1位 ALICE +32.0\r\n2位 BOB +5.0\r\n3位 CAROL -12.0\r\n4位 DAVE -25.0"},
    {"AbortedWithoutHands", 3,
     "開始:2003/02/04 20:03\r\n終了:2003/02/04 23:03\r\n\r\n"
     "[1]P3A R1500\r\n[2]P3B R1600\r\n[3]P3C R1700\r\n[4]P3D R1800",
     "途中終了\r\n\r\n\r\n"},
    {"ThreePlayers", 5,
     "開始:2003/02/06 20:05\r\n終了:2003/02/06 23:05\r\n\r\n"
     "[1]P5A R1500\r\n[2]P5B R1600\r\n[3]P5C R1700\r\n",
     "1位 P5A +30.0\r\n2位 P5C +10.0\r\n3位 P5B -10.0\r\n"},
    {"TwoPlayers", 7,
     "開始:2003/02/08 20:07\r\n終了:2003/02/08 23:07\r\n\r\n"
     "[1]P7A R1500\r\n[2]P7B R1600\r\n\r\n",
     "1位 P7A +30.0\r\n2位 P7C +10.0\r\n\r\n"},
    {"Twelfth", 11,
     "開始:2003/02/12 20:11\r\n終了:2003/02/12 23:11\r\n\r\n"
     "[1]P11A R1500\r\n[2]P11B R1600\r\n[3]P11C R1700\r\n[4]P11D R1800",
     "1位 P11A +30.0\r\n2位 P11C +10.0\r\n3位 P11B -10.0\r\n4位 P11D -30.0"},
    {"Last", 13,
     "開始:2003/02/14 20:13\r\n終了:2003/02/14 23:13\r\n\r\n"
     "[1]P13A R1500\r\n[2]P13B R1600\r\n[3]P13C R1700\r\n[4]P13D R1800",
     "1位 P13A +30.0\r\n2位 P13C +10.0\r\n3位 P13B -10.0\r\n4位 P13D -30.0"},
};

class SelectionTest : public E2eTest, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(SelectionTest, TitleAndPanesFollowTheSelection) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(GetParam().position);
    EXPECT_EQ(app().title(), title(14, GetParam().position));
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), GetParam().timesAndPlayers);
    EXPECT_EQ(app().itemText(kPanePlacings), GetParam().placings);
    quit();
}

INSTANTIATE_TEST_SUITE_P(Records, SelectionTest, ::testing::ValuesIn(kSelections),
                         [](const auto& info) { return std::string(info.param.name); });

using SelectionEdgeTest = E2eTest;

TEST_F(SelectionEdgeTest, PositionsAreRightAlignedInTheTitle) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(0);
    EXPECT_EQ(app().title(), "Paiview 初期画面    14件[   0]");
    app().select(11);
    EXPECT_EQ(app().title(), "Paiview 初期画面    14件[  11]");
    quit();
}

TEST_F(SelectionEdgeTest, NoSelectionShowsErrorInBothPanes) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(2);
    app().select(-1);
    EXPECT_EQ(app().listSelection(), -1);
    EXPECT_EQ(app().title(), "Paiview 初期画面    14件[  -1]");
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), "error!");
    EXPECT_EQ(app().itemText(kPanePlacings), "error!");
    quit();
}

TEST_F(SelectionEdgeTest, ArrowKeysInTheListChangeTheRecord) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(4);
    ASSERT_TRUE(focus(kList));
    ASSERT_TRUE(app().pressKey(app().main(), VK_DOWN));
    EXPECT_TRUE(waitUntil([&] { return app().title() == title(14, 5); })) << app().title();
    EXPECT_EQ(app().listSelection(), 5);
    EXPECT_EQ(app().itemText(kPanePlacings), "1位 P5A +30.0\r\n2位 P5C +10.0\r\n3位 P5B -10.0\r\n");
    ASSERT_TRUE(app().pressKey(app().main(), VK_UP));
    EXPECT_TRUE(waitUntil([&] { return app().title() == title(14, 4); })) << app().title();
    quit();
}

TEST_F(SelectionEdgeTest, ClearAnsweredNoKeepsEverything) {
    std::vector<HalfGame> games = standardGames();
    ASSERT_TRUE(startLoaded(games));
    app().select(5);
    std::string pane1 = app().itemText(kPaneTimesPlayers);
    std::string pane2 = app().itemText(kPanePlacings);
    app().command(kClear);
    HWND box = app().waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Paiview::messageText(box), "結果を破棄しますか?");
    EXPECT_EQ(Paiview::buttonIds(box), (std::vector<int>{IDYES, IDNO}));
    ASSERT_TRUE(app().answer(box, IDNO));
    app().sync();
    EXPECT_EQ(app().listCount(), 14);
    EXPECT_EQ(app().listSelection(), 5);
    EXPECT_EQ(app().title(), title(14, 5));
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), pane1);
    EXPECT_EQ(app().itemText(kPanePlacings), pane2);
    quit();
}

TEST_F(SelectionEdgeTest, ClearAnsweredYesEmptiesListPanesAndTitleButKeepsTheFile) {
    std::string path = writeTempFile("clear.txt", scoreLog(standardGames()));
    ASSERT_TRUE(startLoaded(path, 14));
    app().select(5);
    expectMessage(kClear, "結果を破棄しますか?", IDYES);
    EXPECT_EQ(app().listCount(), 0);
    EXPECT_EQ(app().title(), clearedTitle());
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), "");
    EXPECT_EQ(app().itemText(kPanePlacings), "");
    EXPECT_EQ(app().itemText(kFileNameBox), path);

    // The same file loads again, whole.
    expectMessage(kOk, "Loading succeeded.");
    EXPECT_EQ(app().listCount(), 14);
    EXPECT_EQ(app().title(), title(14, 0));
    quit();
}

TEST_F(SelectionEdgeTest, ClearWithNothingLoadedStillResetsTheTitle) {
    ASSERT_TRUE(start());
    expectMessage(kClear, "結果を破棄しますか?", IDYES);
    EXPECT_EQ(app().title(), clearedTitle());
    EXPECT_EQ(app().listCount(), 0);
    quit();
}

} // namespace
} // namespace e2e
