// Choosing the score file with the "..." button and the system's open file dialog.
#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

// The file name field of the open dialog: the edit control under the file name box
// (cmb13, a combo box or extended combo box in the explorer style; edt1 in the old one).
BOOL CALLBACK findFileNameEdit(HWND window, LPARAM param) {
    if (className(window) != "Edit")
        return TRUE;
    int id = GetDlgCtrlID(window);
    if (id == 0x480 || id == 0x47c || GetDlgCtrlID(GetParent(window)) == 0x47c) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

HWND fileNameField(HWND dialog) {
    HWND field = nullptr;
    EnumChildWindows(dialog, findFileNameEdit, reinterpret_cast<LPARAM>(&field));
    return field;
}

BOOL CALLBACK describeChild(HWND window, LPARAM param) {
    auto* text = reinterpret_cast<std::string*>(param);
    *text += className(window) + " id=" + std::to_string(GetDlgCtrlID(window)) +
             " parent=" + std::to_string(GetDlgCtrlID(GetParent(window))) + "\n";
    return TRUE;
}

std::string childrenOf(HWND dialog) {
    std::string text;
    EnumChildWindows(dialog, describeChild, reinterpret_cast<LPARAM>(&text));
    return text;
}

class FileDialogTest : public E2eTest {
  protected:
    // Opens the dialog with "...", types `path` and confirms (or cancels) it.
    void choose(const std::string& path, bool confirm) {
        app().command(kFileButton);
        HWND dialog = app().waitDialog("開く");
        ASSERT_NE(dialog, nullptr) << "no open dialog";
        HWND field = fileNameField(dialog);
        ASSERT_NE(field, nullptr) << "no file name field among\n" << childrenOf(dialog);
        ASSERT_TRUE(setText(field, path));
        app().post(dialog, WM_COMMAND, MAKEWPARAM(confirm ? IDOK : IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(app().waitGone(dialog)) << "the open dialog stayed";
        app().sync();
    }
};

TEST_F(FileDialogTest, ConfirmedFileIsShownInTheFileNameBox) {
    std::string path = writeTempFile("chosen.txt", scoreLog(standardGames()));
    ASSERT_TRUE(start());
    choose(path, true);
    EXPECT_EQ(app().itemText(kFileNameBox), path);
    EXPECT_EQ(app().listCount(), 0) << "choosing a file must not load it";
    expectMessage(kOk, "Loading succeeded.");
    EXPECT_EQ(app().listCount(), 14);
    quit();
    EXPECT_EQ(readSetting("ScoreFile").bytes, path + '\0');
}

TEST_F(FileDialogTest, CancelLeavesTheFileNameBoxAsItWas) {
    std::string stored = writeTempFile("stored.txt", scoreLog(standardGames()));
    std::string other = writeTempFile("other.txt", scoreLog({plainGame(1)}));
    storeSetting("ScoreFile", REG_SZ, stored + '\0');
    ASSERT_TRUE(start());
    choose(other, false);
    EXPECT_EQ(app().itemText(kFileNameBox), stored);
    quit();
    EXPECT_EQ(readSetting("ScoreFile").bytes, stored + '\0');
}

TEST_F(FileDialogTest, NewFileAloneKeepsTheOldRecordsAndOkFails) {
    std::vector<HalfGame> games = standardGames();
    ASSERT_TRUE(startLoaded(games));
    std::string other = writeTempFile("other2.txt", scoreLog({plainGame(40), plainGame(41)}));
    choose(other, true);
    EXPECT_EQ(app().itemText(kFileNameBox), other);
    EXPECT_EQ(app().listCount(), 14);
    expectMessage(kOk, "Loading failed.");
    EXPECT_EQ(app().listCount(), 14);
    EXPECT_EQ(app().listLines().front(), games.front().table);
    quit();
}

TEST_F(FileDialogTest, ClearThenNewFileThenOkListsTheNewFile) {
    ASSERT_TRUE(startLoaded(standardGames()));
    expectMessage(kClear, "結果を破棄しますか?", IDYES);
    std::string other = writeTempFile("other3.txt", scoreLog({plainGame(40), plainGame(41)}));
    choose(other, true);
    expectMessage(kOk, "Loading succeeded.");
    EXPECT_EQ(app().listLines(), (std::vector<std::string>{"TABLE-40", "TABLE-41"}));
    EXPECT_EQ(app().title(), title(2, 0));
    quit();
}

} // namespace
} // namespace e2e
