// Works Paiview.exe as a user would and stops at each view for a screenshot.
//
// Usage: ShotDriver.exe <Paiview.exe> <folder>
// At each view the driver writes <folder>\<name>.ready holding the screen rectangle
// worth showing ("left top width height"), then waits for <folder>\<name>.done,
// which the screenshot script creates. At the end it writes <folder>\result.txt:
// "ok", or "error: " and what went wrong. Every wait is bounded.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr DWORD kWindowWait = 20000;
constexpr DWORD kShotWait = 30000;
constexpr DWORD kPoll = 50;
// Lets a window finish painting before it is photographed.
constexpr DWORD kSettle = 600;

constexpr int kMainList = 1009;
constexpr int kMainTimesPlayers = 1001;
constexpr int kMainHistory = 1013;
constexpr int kMainSearchDialog = 40003;
constexpr int kMainAbout = 40006;
constexpr int kHistoryResult = 1014;
constexpr int kSearchText = 1014;
constexpr int kSearchPlayerLine = 1023;
constexpr int kSearchBelow = 1019;
constexpr int kMessageText = 0xFFFF;

std::string folder;
DWORD childId = 0;

struct Failure {
    std::string what;
};

bool waitUntil(const std::function<bool()>& done, DWORD timeout) {
    for (DWORD waited = 0;; waited += kPoll) {
        if (done()) {
            return true;
        }
        if (waited >= timeout) {
            return false;
        }
        Sleep(kPoll);
    }
}

void require(bool ok, const std::string& what) {
    if (!ok) {
        throw Failure{what};
    }
}

// A message to the other process's window that gives up on a hung receiver.
LRESULT ask(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kWindowWait, &result)) {
        throw Failure{"Paiview does not answer"};
    }
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT, not GetWindowText: that one gives no control text across processes.
std::string windowText(HWND window) {
    char text[1024] = "";
    ask(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

struct DialogSearch {
    HWND owner;
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid != childId || !IsWindowVisible(window) || std::strcmp(cls, "#32770") != 0 ||
        GetWindow(window, GW_OWNER) != search->owner) {
        return TRUE;
    }
    if (search->caption != nullptr && windowText(window) != search->caption) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// A visible dialog box of the child, owned by owner (none for the main window).
HWND findDialog(HWND owner, const char* caption) {
    DialogSearch search{owner, caption, nullptr};
    EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForDialog(HWND owner, const char* caption, const std::string& what) {
    HWND found = nullptr;
    require(waitUntil([&] { return (found = findDialog(owner, caption)) != nullptr; }, kWindowWait),
            what + " did not appear");
    return found;
}

void waitGone(HWND window, const std::string& what) {
    require(waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, kWindowWait),
            what + " did not close");
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Hands the view to the screenshot script and waits until it has taken it.
void shot(const char* name, HWND first, HWND second = nullptr) {
    Sleep(kSettle);
    RECT area{};
    GetWindowRect(first, &area);
    if (second != nullptr) {
        RECT other{};
        GetWindowRect(second, &other);
        UnionRect(&area, &area, &other);
    }
    InflateRect(&area, 12, 12);
    const std::string ready = folder + "\\" + name + ".ready";
    const std::string done = folder + "\\" + name + ".done";
    DeleteFileA(done.c_str());
    FILE* file = std::fopen(ready.c_str(), "w");
    require(file != nullptr, "cannot write " + ready);
    std::fprintf(file, "%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left,
                 area.bottom - area.top);
    std::fclose(file);
    require(waitUntil([&] { return fileExists(done); }, kShotWait),
            std::string("no screenshot was taken of ") + name);
}

void command(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void click(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// Clicks the list's line; if the click does not arrive, selects it the way the
// program itself does after a search.
void selectLine(HWND mainWindow, int line) {
    HWND list = GetDlgItem(mainWindow, kMainList);
    const int height = static_cast<int>(ask(list, LB_GETITEMHEIGHT));
    POINT at{20, height * line + height / 2};
    ClientToScreen(list, &at);
    SetForegroundWindow(mainWindow);
    click(at);
    const auto selected = [&] { return ask(list, LB_GETCURSEL) == line; };
    if (!waitUntil(selected, 3000)) {
        ask(list, LB_SETCURSEL, line);
        PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(kMainList, LBN_SELCHANGE), 0);
    }
    require(waitUntil([&] { return windowText(GetDlgItem(mainWindow, kMainTimesPlayers)) != ""; },
                      kWindowWait),
            "the summary pane stayed empty");
}

// The first player's name in summary pane 1: the line after the empty one, "[1]NAME R...".
std::string firstPlayer(HWND mainWindow) {
    const std::string pane = windowText(GetDlgItem(mainWindow, kMainTimesPlayers));
    const std::size_t line = pane.find("\r\n\r\n");
    if (line == std::string::npos) {
        return "";
    }
    const std::size_t open = pane.find(']', line);
    const std::size_t end = pane.find_first_of(" \r", open);
    if (open == std::string::npos || end == std::string::npos) {
        return "";
    }
    return pane.substr(open + 1, end - open - 1);
}

void drive(HWND mainWindow) {
    shot("01-start", mainWindow);

    command(mainWindow, IDOK);
    HWND box = waitForDialog(mainWindow, "Paiview", "the loading message");
    require(windowText(GetDlgItem(box, kMessageText)) == "Loading succeeded.",
            "loading said: " + windowText(GetDlgItem(box, kMessageText)));
    shot("02-loaded", mainWindow, box);
    command(box, IDOK);
    waitGone(box, "the loading message");

    selectLine(mainWindow, 1);
    shot("03-main", mainWindow);

    command(mainWindow, kMainHistory);
    HWND history = waitForDialog(mainWindow, "半荘の詳細", "the hand history");
    require(waitUntil([&] { return windowText(GetDlgItem(history, kHistoryResult)) != ""; },
                      kWindowWait),
            "the hand history showed no result");
    shot("04-history", mainWindow, history);
    command(history, IDCANCEL);
    waitGone(history, "the hand history");

    const std::string player = firstPlayer(mainWindow);
    command(mainWindow, kMainSearchDialog);
    HWND search = waitForDialog(mainWindow, "検索", "the search dialog");
    ask(GetDlgItem(search, kSearchText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(player.c_str()));
    ask(GetDlgItem(search, kSearchPlayerLine), BM_CLICK);
    shot("05-search", mainWindow, search);
    command(search, kSearchBelow);
    waitGone(search, "the search dialog");
    shot("06-found", mainWindow);

    command(mainWindow, kMainAbout);
    HWND about = waitForDialog(mainWindow, "ﾊﾞｰｼﾞｮﾝ情報", "the About box");
    shot("07-about", mainWindow, about);
    command(about, IDCANCEL);
    waitGone(about, "the About box");

    command(mainWindow, IDCANCEL);
}

void writeResult(const std::string& text) {
    FILE* file = std::fopen((folder + "\\result.txt").c_str(), "w");
    if (file != nullptr) {
        std::fprintf(file, "%s\n", text.c_str());
        std::fclose(file);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ShotDriver.exe <Paiview.exe> <folder>\n");
        return 2;
    }
    folder = argv[2];
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child)) {
        writeResult("error: cannot start " + std::string(argv[1]));
        return 1;
    }
    childId = child.dwProcessId;
    std::string outcome = "ok";
    try {
        HWND mainWindow = waitForDialog(nullptr, nullptr, "the main window");
        drive(mainWindow);
        require(WaitForSingleObject(child.hProcess, kWindowWait) == WAIT_OBJECT_0,
                "Paiview did not end");
        DWORD code = 1;
        GetExitCodeProcess(child.hProcess, &code);
        require(code == 0, "Paiview ended with code " + std::to_string(code));
    } catch (const Failure& failure) {
        outcome = "error: " + failure.what;
        TerminateProcess(child.hProcess, 1);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    writeResult(outcome);
    std::printf("%s\n", outcome.c_str());
    return outcome == "ok" ? 0 : 1;
}
