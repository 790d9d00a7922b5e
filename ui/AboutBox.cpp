// The About box: static texts only, closed with Enter, Esc or the close box.
#include "ui/AboutBox.h"

#include "resources/resource.h"
#include "ui/Globals.h"

namespace {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            break;
        }
        break;
    }
    return FALSE;
}

} // namespace

void showAboutBox(HWND owner) {
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
