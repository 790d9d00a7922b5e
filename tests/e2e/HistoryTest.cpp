// The hand history dialog: opened on the selected record, browsed hand by hand.
#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

enum : int { kHandResult = 1014, kHandCombo = 1015, kHandYaku = 1016 };

const char* const kHistoryTitle = "半荘の詳細";

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
        std::wstring text(length + 256, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, 5000, &got);
        text.resize(static_cast<LONG_PTR>(got) < 0 ? 0 : got);
        items.push_back(narrow(text));
    }
    return items;
}

int comboSelection(HWND combo) {
    DWORD_PTR selection = 0;
    SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selection);
    return static_cast<int>(selection);
}

class HistoryTest : public E2eTest {
  protected:
    // Loads the standard log, selects `position` and opens the history dialog.
    HWND openOn(int position) {
        if (!startLoaded(standardGames()))
            return nullptr;
        app().select(position);
        app().command(kHistory);
        HWND dialog = app().waitDialog(kHistoryTitle);
        EXPECT_NE(dialog, nullptr) << "no hand history dialog";
        return dialog;
    }
    // Waits until both panes show the expected texts.
    void expectPanes(HWND dialog, const std::string& result, const std::string& yaku) {
        HWND resultPane = GetDlgItem(dialog, kHandResult);
        HWND yakuPane = GetDlgItem(dialog, kHandYaku);
        EXPECT_TRUE(waitUntil([&] {
            return textOf(resultPane) == result && textOf(yakuPane) == yaku;
        })) << "result pane: "
            << textOf(resultPane) << "\nyaku pane: " << textOf(yakuPane);
    }
    void close(HWND dialog, int id) {
        app().post(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(app().waitGone(dialog));
        app().sync();
    }
};

TEST_F(HistoryTest, OpensOnTheSelectedRecordWithTheFirstHandShown) {
    HWND dialog = openOn(0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(app().main())) << "the dialog is not modal";
    HWND combo = GetDlgItem(dialog, kHandCombo);
    EXPECT_EQ(comboItems(combo),
              (std::vector<std::string>{"東1局 0本場(リーチ0)", "東2局 1本場(リーチ1)"}));
    EXPECT_EQ(comboSelection(combo), 0);
    expectPanes(dialog, "ALICE +8000\r\nBOB -8000\r\n\r\n", "30符 3翻\r\n\r\nリーチ 一発 ドラ1");
    EXPECT_EQ(focusOf(app().threadId()), combo) << "the hand list should have the focus";
    close(dialog, IDCANCEL);
    EXPECT_EQ(app().listSelection(), 0);
    EXPECT_EQ(app().title(), title(14, 0));
    quit();
}

TEST_F(HistoryTest, ChoosingAnotherHandUpdatesBothPanes) {
    HWND dialog = openOn(0);
    ASSERT_NE(dialog, nullptr);
    HWND combo = GetDlgItem(dialog, kHandCombo);
    expectPanes(dialog, "ALICE +8000\r\nBOB -8000\r\n\r\n", "30符 3翻\r\n\r\nリーチ 一発 ドラ1");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo, CB_SETCURSEL, 1, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    app().post(dialog, WM_COMMAND, MAKEWPARAM(kHandCombo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
    expectPanes(dialog, "CAROL +3900\r\nDAVE -3900\r\n\r\n", "タンヤオ\r\n\r\nドラ2");
    close(dialog, IDOK);
    quit();
}

TEST_F(HistoryTest, ArrowKeysInTheClosedHandListStepThroughTheHands) {
    HWND dialog = openOn(0);
    ASSERT_NE(dialog, nullptr);
    HWND combo = GetDlgItem(dialog, kHandCombo);
    expectPanes(dialog, "ALICE +8000\r\nBOB -8000\r\n\r\n", "30符 3翻\r\n\r\nリーチ 一発 ドラ1");
    ASSERT_TRUE(app().pressKey(dialog, VK_DOWN));
    expectPanes(dialog, "CAROL +3900\r\nDAVE -3900\r\n\r\n", "タンヤオ\r\n\r\nドラ2");
    EXPECT_EQ(comboSelection(combo), 1);
    ASSERT_TRUE(app().pressKey(dialog, VK_UP));
    expectPanes(dialog, "ALICE +8000\r\nBOB -8000\r\n\r\n", "30符 3翻\r\n\r\nリーチ 一発 ドラ1");
    ASSERT_TRUE(app().pressKey(dialog, VK_ESCAPE));
    EXPECT_TRUE(app().waitGone(dialog));
    app().sync();
    quit();
}

TEST_F(HistoryTest, RecordWithoutHandsGivesAnEmptyListAndClosesWithEnter) {
    HWND dialog = openOn(3);
    ASSERT_NE(dialog, nullptr);
    app().sync();
    HWND combo = GetDlgItem(dialog, kHandCombo);
    EXPECT_TRUE(comboItems(combo).empty());
    EXPECT_EQ(comboSelection(combo), CB_ERR);
    EXPECT_EQ(textOf(GetDlgItem(dialog, kHandResult)), "");
    EXPECT_EQ(textOf(GetDlgItem(dialog, kHandYaku)), "");
    ASSERT_TRUE(app().pressKey(dialog, VK_RETURN));
    EXPECT_TRUE(app().waitGone(dialog));
    app().sync();
    EXPECT_TRUE(IsWindowEnabled(app().main()));
    quit();
}

TEST_F(HistoryTest, EachOpeningShowsTheRecordSelectedThen) {
    HWND dialog = openOn(9);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(comboItems(GetDlgItem(dialog, kHandCombo)),
              std::vector<std::string>{"東1局 0本場(リーチ0)"});
    expectPanes(dialog, "P9A +1000\r\nP9B -1000\r\n\r\n", "ピンフ\r\n\r\nドラ1");
    close(dialog, IDCANCEL);

    app().select(12);
    app().command(kHistory);
    dialog = app().waitDialog(kHistoryTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(comboItems(GetDlgItem(dialog, kHandCombo)).size(), 2u);
    expectPanes(dialog, "P12A +1000\r\nP12B -1000\r\n\r\n", "ピンフ\r\n\r\nドラ1");
    close(dialog, IDCANCEL);
    quit();
}

TEST_F(HistoryTest, NothingSelectedOpensNothing) {
    ASSERT_TRUE(startLoaded(standardGames()));
    app().command(kHistory);
    app().sync();
    EXPECT_EQ(findOwnedDialog(app().threadId(), app().main(), kHistoryTitle), nullptr);
    EXPECT_TRUE(IsWindowEnabled(app().main()));
    quit();
}

} // namespace
} // namespace e2e
