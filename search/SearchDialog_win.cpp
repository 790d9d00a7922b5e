// The search dialog: text, field and direction of the request, then one search.
#include "search/SearchDialog.h"

#include <windows.h>

#include <iterator>

#include "resources/resource.h"
#include "ui/Globals.h"

namespace {

// The radio button of each search target, in target order (target 1 first); the
// ids do not follow the target numbers.
constexpr int targetButtonIds[] = {
    IDC_SEARCH_TABLE_NAME, IDC_SEARCH_PLAYER_LINE, IDC_SEARCH_START_TIME,  IDC_SEARCH_END_TIME,
    IDC_SEARCH_HAND_NAME,  IDC_SEARCH_HAND_YAKU,   IDC_SEARCH_HAND_RESULT, IDC_SEARCH_PLACING1,
    IDC_SEARCH_PLACING2,   IDC_SEARCH_PLACING3,    IDC_SEARCH_PLACING4,
};
constexpr int kTargetCount = static_cast<int>(std::size(targetButtonIds));

// The target whose button is checked, or -1 when none is.
int checkedTarget(HWND dialog) {
    for (int i = 0; i < kTargetCount; ++i) {
        if (IsDlgButtonChecked(dialog, targetButtonIds[i]) == BST_CHECKED) {
            return i + 1;
        }
    }
    return -1;
}

void onInitDialog(HWND dialog) {
    // A stored target outside the table checks no button at all.
    const int target = searchOptions.target;
    const int button = target >= 1 && target <= kTargetCount ? targetButtonIds[target - 1] : 0;
    CheckRadioButton(dialog, IDC_SEARCH_TABLE_NAME, IDC_SEARCH_PLACING4, button);
    SetDlgItemTextA(dialog, IDC_SEARCH_TEXT, searchOptions.searchText);
}

void search(HWND dialog, int step) {
    searchOptions.step = step;
    searchOptions.target = checkedTarget(dialog);
    GetDlgItemTextA(dialog, IDC_SEARCH_TEXT, searchOptions.searchText, kSearchTextSize);
    EndDialog(dialog, gameLibrary.search(searchOptions));
}

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SEARCH_ABOVE:
            search(dialog, -1);
            break;
        case IDC_SEARCH_BELOW:
            search(dialog, +1);
            break;
        case IDCANCEL:
            EndDialog(dialog, -1);
            break;
        }
        break;
    }
    return FALSE;
}

} // namespace

int SearchDialog(HWND owner) {
    const INT_PTR result =
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_SEARCH), owner, SearchDialogProc, 0);
    // A dialog that could not be created also answers -1, like a cancel.
    return static_cast<int>(result);
}
