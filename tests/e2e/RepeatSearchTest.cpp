// F3, Shift+F3 and Ctrl+F pressed as real keys: repeated searches and the search dialog.
#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

struct Key {
    WORD key;
    std::vector<WORD> modifiers;
};
const Key kF3{VK_F3, {}};
const Key kShiftF3{VK_F3, {VK_SHIFT}};
const Key kCtrlF{'F', {VK_CONTROL}};

class RepeatSearchTest : public E2eTest {
  protected:
    bool press(const Key& key) { return app().pressKey(app().main(), key.key, key.modifiers); }
    // Presses `key` and waits until the selection is `position`.
    void pressAndExpect(const Key& key, int position) {
        ASSERT_TRUE(press(key));
        EXPECT_TRUE(waitUntil([&] { return app().title() == title(14, position); }))
            << "title: " << app().title();
        EXPECT_EQ(app().listSelection(), position);
    }
    void pressAndExpectEnd(const Key& key) {
        ASSERT_TRUE(press(key));
        HWND box = app().waitMessageBox();
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(Paiview::messageText(box), "検索終了.");
        EXPECT_EQ(Paiview::buttonIds(box), std::vector<int>{IDOK});
        EXPECT_TRUE(app().answer(box, IDOK));
        app().sync();
    }
};

// The keys reach the main window's commands whichever of its controls has the focus.
struct FocusCase {
    const char* name;
    int control;
};

class KeysWithFocusTest : public RepeatSearchTest,
                          public ::testing::WithParamInterface<FocusCase> {};

TEST_P(KeysWithFocusTest, ReachTheMainWindow) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(5);
    ASSERT_TRUE(focus(GetParam().control)) << "could not focus control " << GetParam().control;
    pressAndExpect(kF3, 6);
    pressAndExpect(kShiftF3, 5);
    pressAndExpect(kShiftF3, 4);
    ASSERT_TRUE(press(kCtrlF));
    HWND dialog = app().waitDialog("検索");
    ASSERT_NE(dialog, nullptr) << "Ctrl+F did not open the search dialog";
    app().post(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(app().waitGone(dialog));
    app().sync();
    EXPECT_EQ(app().listSelection(), 4);
    quit();
}

INSTANTIATE_TEST_SUITE_P(Controls, KeysWithFocusTest,
                         ::testing::Values(FocusCase{"List", kList},
                                           FocusCase{"FileNameBox", kFileNameBox},
                                           FocusCase{"Pane", kPaneTimesPlayers},
                                           FocusCase{"HistoryButton", kHistory}),
                         [](const auto& info) { return std::string(info.param.name); });

// While a modal dialog is open the keys do nothing; the dialog is closed afterwards
// with Esc, which the input queue delivers after them.
struct ModalCase {
    const char* name;
    int command;
    const char* title;
};

class KeysInModalTest : public RepeatSearchTest, public ::testing::WithParamInterface<ModalCase> {};

TEST_P(KeysInModalTest, DoNothing) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(5);
    app().command(GetParam().command);
    HWND dialog = app().waitDialog(GetParam().title);
    ASSERT_NE(dialog, nullptr);
    for (const Key* key : {&kF3, &kShiftF3, &kCtrlF})
        ASSERT_TRUE(app().pressKey(dialog, key->key, key->modifiers));
    ASSERT_TRUE(app().pressKey(dialog, VK_ESCAPE));
    EXPECT_TRUE(app().waitGone(dialog));
    app().sync();
    EXPECT_EQ(app().findMessageBox(), nullptr);
    EXPECT_EQ(findOwnedDialog(app().threadId(), app().main(), "検索"), nullptr);
    EXPECT_EQ(app().listSelection(), 5);
    EXPECT_EQ(app().title(), title(14, 5));
    quit();
}

INSTANTIATE_TEST_SUITE_P(Dialogs, KeysInModalTest,
                         ::testing::Values(ModalCase{"About", kMenuAbout, "ﾊﾞｰｼﾞｮﾝ情報"},
                                           ModalCase{"History", kHistory, "半荘の詳細"},
                                           ModalCase{"Search", kSearchButton, "検索"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RepeatSearchTest, EndOfSearchAtEitherEnd) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(13);
    pressAndExpectEnd(kF3);
    EXPECT_EQ(app().listSelection(), 13);
    app().select(0);
    pressAndExpectEnd(kShiftF3);
    EXPECT_EQ(app().listSelection(), 0);
    app().select(-1);
    pressAndExpectEnd(kShiftF3);
    EXPECT_EQ(app().listSelection(), -1);
    pressAndExpect(kF3, 0);
    quit();
}

TEST_F(RepeatSearchTest, EmptyListEndsAtOnce) {
    ASSERT_TRUE(start());
    pressAndExpectEnd(kF3);
    pressAndExpectEnd(kShiftF3);
    EXPECT_EQ(app().title(), initialTitle());
    quit();
}

TEST_F(RepeatSearchTest, RepeatsTheStoredRequestOfTheLastRun) {
    storeSetting("ForSearch", REG_BINARY, searchBlock(3, "TABLE-1", 1, -1));
    ASSERT_TRUE(startLoaded(standardGames()));
    pressAndExpect(kF3, 10);
    pressAndExpect(kF3, 11);
    pressAndExpect(kShiftF3, 10);
    pressAndExpectEnd(kShiftF3);
    EXPECT_EQ(app().listSelection(), 10);
    quit();
}

TEST_F(RepeatSearchTest, HandTargetsSkipRecordsWithoutHands) {
    storeSetting("ForSearch", REG_BINARY, searchBlock(0, "", 7, 1));
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(2);
    pressAndExpect(kF3, 4);
    pressAndExpect(kShiftF3, 2);
    quit();
}

TEST_F(RepeatSearchTest, StoredRequestIsWrittenBackByteForByte) {
    std::string stored = searchBlock(77, "TABLE-1", 1, 1, 'Q');
    storeSetting("ForSearch", REG_BINARY, stored);
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(12);
    pressAndExpect(kShiftF3, 11);
    quit();
    StoredValue written = readSetting("ForSearch");
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(written.bytes, searchBlock(12, "TABLE-1", 1, -1, 'Q'));
}

TEST_F(RepeatSearchTest, RequestOfTheLastDialogSearchIsWrittenAtExit) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().select(1);
    app().command(kSearchButton);
    HWND dialog = app().waitDialog("検索");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(setText(GetDlgItem(dialog, 1014), "P1"));
    app().post(GetDlgItem(dialog, 1023), BM_CLICK, 0, 0);
    app().sync();
    app().post(dialog, WM_COMMAND, 1019, 0);
    ASSERT_TRUE(app().waitGone(dialog));
    app().sync();
    EXPECT_EQ(app().listSelection(), 10); // players P10A...; record 1 itself is skipped
    pressAndExpect(kF3, 11);
    pressAndExpect(kF3, 12);
    pressAndExpect(kF3, 13);
    pressAndExpectEnd(kF3);
    quit();
    std::string written = readSetting("ForSearch").bytes;
    ASSERT_EQ(written.size(), 212u);
    std::string expected = searchBlock(13, "P1", 2, 1);
    EXPECT_EQ(written.substr(0, 4), expected.substr(0, 4));
    EXPECT_EQ(std::string(written.c_str() + 4), "P1");
    EXPECT_EQ(written.substr(204), expected.substr(204));
}

} // namespace
} // namespace e2e
