// Start-up: creates and places the main window, runs the message loop, saves the search.
#include <windows.h>

#include <cstdint>

#include "resources/resource.h"
#include "ui/Globals.h"
#include "ui/MainWindow.h"

namespace {

constexpr int kDefaultLeft = 200;
constexpr int kDefaultTop = 200;

// WindowPlace keeps top and left as unsigned 16-bit halves; a window left at -8
// comes back at 65528.
POINT storedWindowPlace() {
    std::uint32_t place = 0;
    if (settingsStore.readDword("WindowPlace", &place) != 0) {
        return POINT{kDefaultLeft, kDefaultTop};
    }
    return POINT{static_cast<LONG>(place & 0xFFFF), static_cast<LONG>(place >> 16)};
}

void restoreSearchOptions() {
    if (settingsStore.readValue("ForSearch", &searchOptions, sizeof searchOptions) != 0) {
        setSearchDefaults(searchOptions);
    } else {
        terminateSearchText(searchOptions);
    }
}

int runMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(mainWindow, accelerators, &msg)) {
            continue;
        }
        if (IsDialogMessageA(mainWindow, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    appInstance = instance;
    HWND mainWindow =
        CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    if (mainWindow == nullptr) {
        MessageBoxA(nullptr, "The main window could not be created.", kProductName,
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    const POINT place = storedWindowPlace();
    restoreSearchOptions();
    SetWindowPos(mainWindow, nullptr, place.x, place.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    ShowWindow(mainWindow, SW_SHOW);
    HACCEL accelerators = LoadAcceleratorsA(appInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    runMessageLoop(mainWindow, accelerators);
    settingsStore.writeBinary("ForSearch", &searchOptions, sizeof searchOptions);
    return 0;
}
