// The main window's commands: load, clear, choose the file, select, search, open dialogs.
#include "ui/MainWindow.h"

#include <cstring>

#include "resources/resource.h"
#include "search/SearchDialog.h"
#include "ui/AboutBox.h"
#include "ui/Globals.h"
#include "ui/HandHistoryDialog.h"
#include "ui/SummaryPanes.h"

namespace {

constexpr int kTitleSize = 64;

int selectedPosition(HWND window) {
    return static_cast<int>(SendDlgItemMessageA(window, IDC_MAIN_LIST, LB_GETCURSEL, 0, 0));
}

void showMessage(HWND window, const char* text, UINT type) {
    MessageBoxA(window, text, kProductName, type);
}

void fillList(HWND list) {
    const int count = gameLibrary.recordCount();
    std::size_t textBytes = 0;
    for (int i = 0; i < count; ++i) {
        textBytes += std::strlen(gameLibrary.record(i)->tableName) + 1;
    }
    // A large log is added without a repaint per line, into storage reserved once.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_INITSTORAGE, count, textBytes);
    for (int i = 0; i < count; ++i) {
        SendMessageA(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(gameLibrary.record(i)->tableName));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void loadScoreLog(HWND window) {
    HWND list = GetDlgItem(window, IDC_MAIN_LIST);
    // Never load on top of listed records: the user clears first.
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0 || !gameLibrary.load()) {
        showMessage(window, "Loading failed.", MB_OK | MB_ICONERROR);
        return;
    }
    showMessage(window, "Loading succeeded.", MB_OK | MB_ICONINFORMATION);
    char title[kTitleSize];
    wsprintfA(title, "Paiview 初期画面  %4d件[   0]", gameLibrary.recordCount());
    SetWindowTextA(window, title);
    fillList(list);
}

void chooseScoreFile(HWND window) {
    if (gameLibrary.chooseFileToOpen(window)) {
        SetDlgItemTextA(window, IDC_MAIN_FILE_NAME, gameLibrary.fileName());
    }
}

void clearRecords(HWND window) {
    if (MessageBoxA(window, "結果を破棄しますか?", kProductName, MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        return;
    }
    gameLibrary.clear();
    HWND list = GetDlgItem(window, IDC_MAIN_LIST);
    // From the end, so that no line has to move: a long list empties at once.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int line = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) - 1; line >= 0;
         --line) {
        SendMessageA(list, LB_DELETESTRING, line, 0);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextA(window, IDC_MAIN_PLACINGS, "");
    SetDlgItemTextA(window, IDC_MAIN_TIMES_PLAYERS, "");
    SetWindowTextA(window, "Paiview 初期画面     0件[   0]");
}

void openHandHistory(HWND window) {
    const int position = selectedPosition(window);
    if (position != -1) {
        showHandHistory(window, position);
    }
}

// Selects a found record and lets the selection-change path rebuild title and panes.
void selectFound(HWND window, int position) {
    SendDlgItemMessageA(window, IDC_MAIN_LIST, LB_SETCURSEL, position, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_LIST, LBN_SELCHANGE), 0);
}

void openSearchDialog(HWND window) {
    searchOptions.startIndex = selectedPosition(window);
    const int found = SearchDialog(window);
    if (found != -1) {
        selectFound(window, found);
    }
}

void repeatSearch(HWND window, int step) {
    searchOptions.step = step;
    searchOptions.startIndex = selectedPosition(window);
    const int found = gameLibrary.search(searchOptions);
    if (found == -1) {
        showMessage(window, "検索終了.", MB_OK);
        return;
    }
    selectFound(window, found);
}

void showSelection(HWND window) {
    const int position = selectedPosition(window);
    char title[kTitleSize];
    wsprintfA(title, "Paiview 初期画面  %4d件[%4d]", gameLibrary.recordCount(), position);
    SetWindowTextA(window, title);
    showTimesAndPlayers(gameLibrary, GetDlgItem(window, IDC_MAIN_TIMES_PLAYERS), position);
    showPlacings(gameLibrary, GetDlgItem(window, IDC_MAIN_PLACINGS), position);
}

void onInitDialog(HWND window) {
    gameLibrary.loadScoreFile(settingsStore);
    SetDlgItemTextA(window, IDC_MAIN_FILE_NAME, gameLibrary.fileName());
    SendMessageA(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP))));
}

void onDestroy(HWND window) {
    gameLibrary.storeScoreFile(settingsStore);
    RECT frame{};
    GetWindowRect(window, &frame);
    const DWORD place = ((static_cast<DWORD>(frame.top) & 0xFFFF) << 16) |
                        (static_cast<DWORD>(frame.left) & 0xFFFF);
    settingsStore.writeDword("WindowPlace", place);
    PostQuitMessage(0);
}

void onCommand(HWND window, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
        loadScoreLog(window);
        break;
    case IDM_QUIT:
        DestroyWindow(window);
        break;
    case IDC_MAIN_CHOOSE_FILE:
        chooseScoreFile(window);
        break;
    case IDC_MAIN_HISTORY:
        openHandHistory(window);
        break;
    case IDC_MAIN_SEARCH:
    case IDM_SEARCH_DIALOG:
        openSearchDialog(window);
        break;
    case IDM_SEARCH_ABOVE:
        repeatSearch(window, -1);
        break;
    case IDM_SEARCH_BELOW:
        repeatSearch(window, +1);
        break;
    case IDC_MAIN_CLEAR:
        clearRecords(window);
        break;
    case IDM_ABOUT:
        showAboutBox(window);
        break;
    default:
        // The list's selection change, or the same notification posted after a search.
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            showSelection(window);
        }
        break;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        onInitDialog(window);
        break;
    case WM_DESTROY:
        onDestroy(window);
        break;
    case WM_COMMAND:
        onCommand(window, wParam);
        break;
    }
    return FALSE;
}
