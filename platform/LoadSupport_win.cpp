// The file-existence test and the load cursors on Windows.
#include "platform/LoadSupport.h"

#include <windows.h>

bool pathExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void showWaitCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void showArrowCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
