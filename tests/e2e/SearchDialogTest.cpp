// The search dialog: the request it opens with, Cancel, and searches up and down.
#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

enum : int { kSearchText = 1014, kSearchUp = 1018, kSearchDown = 1019 };

const char* const kSearchTitle = "検索";

// The radio buttons in target order (target 1 first).
const int kTargetButtons[] = {1020, 1023, 1022, 1029, 1028, 1024, 1027, 1025, 1026, 1030, 1031};

std::vector<int> checkedButtons(HWND dialog) {
    std::vector<int> checked;
    for (int id : kTargetButtons)
        if (isChecked(GetDlgItem(dialog, id)))
            checked.push_back(id);
    return checked;
}

class SearchDialogTest : public E2eTest {
  protected:
    HWND open(int commandId = kSearchButton) {
        app().command(commandId);
        HWND dialog = app().waitDialog(kSearchTitle);
        EXPECT_NE(dialog, nullptr) << "no search dialog";
        return dialog;
    }
    // Clicks the radio button of `target` (1..11).
    void pickTarget(HWND dialog, int target) {
        HWND button = GetDlgItem(dialog, kTargetButtons[target - 1]);
        app().post(button, BM_CLICK, 0, 0);
        EXPECT_TRUE(waitUntil([&] { return isChecked(button); }));
    }
    // Presses a button of the dialog and waits for the dialog to end.
    void press(HWND dialog, int id) {
        app().post(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(app().waitGone(dialog)) << "the search dialog stayed open";
        app().sync();
    }
};

TEST_F(SearchDialogTest, FirstRunOpensWithEmptyTextAndTheTableNameChecked) {
    ASSERT_TRUE(start());
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(app().main())) << "the dialog is not modal";
    EXPECT_EQ(textOf(GetDlgItem(dialog, kSearchText)), "");
    EXPECT_EQ(checkedButtons(dialog), std::vector<int>{1020});
    EXPECT_EQ(textOf(GetDlgItem(dialog, 1020)), "卓名(&1)");
    press(dialog, IDCANCEL);
    quit();
}

TEST_F(SearchDialogTest, OpensWithTheStoredTextAndTarget) {
    storeSetting("ForSearch", REG_BINARY, searchBlock(0, "タンヤオ", 6, 1));
    ASSERT_TRUE(start());
    HWND dialog = open(kMenuSearchDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(GetDlgItem(dialog, kSearchText)), "タンヤオ");
    EXPECT_EQ(checkedButtons(dialog), std::vector<int>{1024});
    press(dialog, IDCANCEL);
    quit();
}

TEST_F(SearchDialogTest, CancelKeepsThePreviousRequest) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(4);
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(setText(GetDlgItem(dialog, kSearchText), "ZED"));
    pickTarget(dialog, 2);
    press(dialog, IDCANCEL);
    EXPECT_EQ(app().listSelection(), 4);
    EXPECT_EQ(app().title(), title(14, 4));

    dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(GetDlgItem(dialog, kSearchText)), "");
    EXPECT_EQ(checkedButtons(dialog), std::vector<int>{1020});
    press(dialog, IDCANCEL);
    quit();
    EXPECT_EQ(readSetting("ForSearch").bytes.substr(4, 200),
              searchBlock(0, "", 1, 1).substr(4, 200));
}

TEST_F(SearchDialogTest, EnterInTheTextBoxSearchesDownwards) {
    ASSERT_TRUE(startLoaded(standardGames()));
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(setText(GetDlgItem(dialog, kSearchText), "TABLE-1"));
    app().post(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kSearchText)),
               TRUE);
    ASSERT_TRUE(app().pressKey(dialog, VK_RETURN));
    EXPECT_TRUE(app().waitGone(dialog));
    app().sync();
    EXPECT_EQ(app().listSelection(), 10);
    EXPECT_EQ(app().title(), title(14, 10));
    quit();
}

TEST_F(SearchDialogTest, EmptyListFindsNothing) {
    ASSERT_TRUE(start());
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    press(dialog, kSearchDown);
    EXPECT_EQ(app().findMessageBox(), nullptr) << "the dialog path shows no message";
    EXPECT_EQ(app().title(), initialTitle());
    EXPECT_EQ(app().listCount(), 0);
    quit();
}

TEST_F(SearchDialogTest, TargetOutOfRangeOpensWithNoButtonAndFindsNothing) {
    storeSetting("ForSearch", REG_BINARY, searchBlock(0, "TABLE", 0, 1));
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(2);
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(checkedButtons(dialog).empty());
    press(dialog, kSearchDown);
    EXPECT_EQ(app().listSelection(), 2);
    EXPECT_EQ(app().title(), title(14, 2));
    quit();
    EXPECT_EQ(readSetting("ForSearch").bytes, searchBlock(2, "TABLE", -1, 1));
}

// One search from the dialog: the selection before, the request, and where it lands.
struct SearchCase {
    const char* name;
    int selected; // -1: nothing selected
    const char* text;
    int target;   // 1..11
    int button;   // kSearchDown or kSearchUp
    int expected; // -1: nothing found, the selection stays
};

const SearchCase kSearches[] = {
    {"TableFromNothing", -1, "TABLE-1", 1, kSearchDown, 10},
    {"TableNext", 10, "TABLE-1", 1, kSearchDown, 11},
    {"TableUp", 13, "TABLE-1", 1, kSearchUp, 12},
    {"JapaneseTable", 5, "南風荘", 1, kSearchUp, 0},
    {"Player", -1, "ZED", 2, kSearchDown, 12},
    {"StartTime", -1, "2003/01/01 21:00", 3, kSearchDown, 0},
    {"EndTime", 5, "23:", 4, kSearchDown, 6},
    {"HandNameEmptyTextSkipsRecordWithoutHands", 2, "", 5, kSearchDown, 4},
    {"Yaku", 0, "タンヤオ", 6, kSearchDown, 2},
    {"YakuAgain", 2, "タンヤオ", 6, kSearchDown, 6},
    {"YakuUp", 13, "タンヤオ", 6, kSearchUp, 10},
    {"HandResult", -1, "CAROL +3900", 7, kSearchDown, 0},
    {"FirstPlaceAborted", 3, "途中終了", 8, kSearchDown, 9},
    {"SecondPlace", -1, "2位 BOB", 9, kSearchDown, 0},
    {"ThirdPlace", -1, "3位 P5B", 10, kSearchDown, 5},
    {"FourthPlaceSkipsThreePlayers", 4, "4位", 11, kSearchDown, 6},
    {"SelectedRecordItselfIsSkipped", 12, "ZED", 2, kSearchDown, -1},
    {"RunsOffTheEnd", 13, "TABLE", 1, kSearchDown, -1},
    {"UpFromNothing", -1, "TABLE", 1, kSearchUp, -1},
    {"CaseMatters", -1, "table", 1, kSearchDown, -1},
};

class DialogSearchTest : public SearchDialogTest,
                         public ::testing::WithParamInterface<SearchCase> {};

TEST_P(DialogSearchTest, SelectsTheRecordFoundAndStoresTheRequest) {
    const SearchCase& c = GetParam();
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(c.selected);
    std::string titleBefore = app().title();
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(setText(GetDlgItem(dialog, kSearchText), c.text));
    pickTarget(dialog, c.target);
    press(dialog, c.button);
    EXPECT_EQ(app().findMessageBox(), nullptr) << "the dialog path shows no message";
    if (c.expected >= 0) {
        EXPECT_EQ(app().listSelection(), c.expected);
        EXPECT_EQ(app().title(), title(14, c.expected));
        EXPECT_NE(app().itemText(kPaneTimesPlayers), "error!");
    } else {
        EXPECT_EQ(app().listSelection(), c.selected);
        EXPECT_EQ(app().title(), titleBefore);
    }
    quit();
    StoredValue stored = readSetting("ForSearch");
    ASSERT_EQ(stored.bytes.size(), 212u);
    std::string expected =
        searchBlock(c.selected, c.text, c.target, c.button == kSearchDown ? 1 : -1);
    EXPECT_EQ(stored.bytes.substr(0, 4), expected.substr(0, 4)) << "startIndex";
    EXPECT_EQ(std::string(stored.bytes.c_str() + 4), c.text) << "searchText";
    EXPECT_EQ(stored.bytes.substr(204), expected.substr(204)) << "target and step";
}

INSTANTIATE_TEST_SUITE_P(Requests, DialogSearchTest, ::testing::ValuesIn(kSearches),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
