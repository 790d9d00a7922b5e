// The hand history dialog: a combo box of the record's hands and two text panes.
#include "ui/HandHistoryDialog.h"

#include <new>
#include <vector>

#include "model/RecordText.h"
#include "resources/resource.h"
#include "ui/Globals.h"

namespace {

// The open record's hands; entry i belongs to combo box item i. The hands stay
// owned by their record; only this array lives and dies with the dialog.
std::vector<const HandRecord*> shownHands;

void onInitDialog(HWND dialog, int position) {
    const GameRecord* record = gameLibrary.record(position);
    shownHands.clear();
    try {
        shownHands.reserve(record->hands.size());
    } catch (const std::bad_alloc&) {
        // No memory for the array: show no hands rather than throw into the system.
        return;
    }
    for (const HandRecord& hand : record->hands) {
        shownHands.push_back(&hand);
        SendDlgItemMessageA(dialog, IDC_HISTORY_HANDS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(hand.handName));
    }
    SendDlgItemMessageA(dialog, IDC_HISTORY_HANDS, CB_SETCURSEL, 0, 0);
    // The panes are filled by the selection path once the dialog is up.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_HISTORY_HANDS, CBN_SELCHANGE), 0);
    SetFocus(GetDlgItem(dialog, IDC_HISTORY_HANDS));
}

void showHand(HWND dialog) {
    const LRESULT item = SendDlgItemMessageA(dialog, IDC_HISTORY_HANDS, CB_GETCURSEL, 0, 0);
    if (item < 0 || static_cast<std::size_t>(item) >= shownHands.size()) {
        return;
    }
    const HandRecord* hand = shownHands[item];
    SetDlgItemTextA(dialog, IDC_HISTORY_RESULT, handResultText(hand->handResult).c_str());
    SetDlgItemTextA(dialog, IDC_HISTORY_YAKU, handYakuText(hand->handYaku).c_str());
}

void endDialog(HWND dialog, int result) {
    shownHands.clear();
    shownHands.shrink_to_fit();
    EndDialog(dialog, result);
}

void onCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        endDialog(dialog, LOWORD(wParam));
        break;
    default:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            showHand(dialog);
        }
        break;
    }
}

INT_PTR CALLBACK HandHistoryDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        onInitDialog(dialog, static_cast<int>(lParam));
        break;
    case WM_COMMAND:
        onCommand(dialog, wParam);
        break;
    }
    return FALSE;
}

} // namespace

void showHandHistory(HWND owner, int position) {
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_HISTORY), owner, HandHistoryDialogProc,
                    position);
}
