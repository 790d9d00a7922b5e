// Times OK in the real Paiview.exe: until "Loading succeeded." shows, and until the
// list holds every record after that box is answered. Run under Wine by bench-wine.sh.
// Usage: LoadTimer PAIVIEW.EXE HALF_GAMES RUNS LOG_FOLDER
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "samples/generator/ScoreLogGenerator.h"

namespace {

constexpr int kListId = 1009;
constexpr DWORD kStartWaitMs = 60000;
// A large log under Wine takes a while; every wait still ends.
constexpr DWORD kLoadWaitMs = 900000;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool storeScoreFile(const std::string& path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Tamarind Labs\\Paiview", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status =
        RegSetValueExA(key, "ScoreFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

struct Search {
    DWORD processId;
    HWND owner;
    HWND found;
};

BOOL CALLBACK findTopLevel(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (pid != s->processId || std::string(cls) != "#32770" || !IsWindowVisible(window)) {
        return TRUE;
    }
    const HWND owner = GetWindow(window, GW_OWNER);
    if ((s->owner == nullptr && GetDlgItem(window, kListId)) ||
        (s->owner != nullptr && owner == s->owner)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible dialog of the process: the main window (owner null) or a box it owns.
HWND findDialog(DWORD processId, HWND owner) {
    Search s{processId, owner, nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <typename Ready> bool waitFor(DWORD limitMs, Ready ready) {
    const double end = nowMs() + limitMs;
    while (nowMs() < end) {
        if (ready()) {
            return true;
        }
        Sleep(1);
    }
    return ready();
}

std::string boxText(HWND box) {
    char text[256] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &result);
    return text;
}

struct Timing {
    double loadMs = 0;   // OK until the box shows
    double closedMs = 0; // OK until the answered box is gone
    double fillMs = 0;   // OK until the list holds every record
};

// One fresh run of the program: OK, the box, then the list.
bool timeOneLoad(const std::string& exe, int expected, Timing& timing) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "LoadTimer: cannot start %s\n", exe.c_str());
        return false;
    }
    WaitForInputIdle(process.hProcess, kStartWaitMs);
    HWND main = nullptr;
    bool ok = waitFor(kStartWaitMs,
                      [&] { return (main = findDialog(process.dwProcessId, nullptr)) != nullptr; });
    HWND box = nullptr;
    if (ok) {
        const HWND list = GetDlgItem(main, kListId);
        const double start = nowMs();
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ok = waitFor(kLoadWaitMs,
                     [&] { return (box = findDialog(process.dwProcessId, main)) != nullptr; });
        timing.loadMs = nowMs() - start;
        const std::string text = ok ? boxText(box) : "";
        if (text != "Loading succeeded.") {
            std::fprintf(stderr, "LoadTimer: the box says \"%s\"\n", text.c_str());
            ok = false;
        }
        if (ok) {
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            waitFor(kLoadWaitMs, [&] { return !IsWindow(box); });
            timing.closedMs = nowMs() - start;
            ok = waitFor(kLoadWaitMs, [&] {
                DWORD_PTR count = 0;
                return SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000,
                                           &count) &&
                       static_cast<int>(count) == expected;
            });
            timing.fillMs = nowMs() - start;
        }
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: LoadTimer PAIVIEW.EXE HALF_GAMES RUNS LOG_FOLDER\n");
        return 2;
    }
    const std::string exe = argv[1];
    const int halfGames = std::atoi(argv[2]);
    const int runs = std::max(1, std::atoi(argv[3]));

    // The same log as the native benchmarks: the same generator and options.
    GeneratorOptions options;
    options.seed = 1000003u + static_cast<unsigned>(halfGames);
    options.halfGames = halfGames;
    options.averageHands = 12;
    const std::string log = generateScoreLog(options);
    const std::string path =
        std::string(argv[4]) + "\\scorelog-" + std::to_string(halfGames) + ".txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(log.data(), 1, log.size(), file) != log.size()) {
        std::fprintf(stderr, "LoadTimer: cannot write %s\n", path.c_str());
        return 1;
    }
    std::fclose(file);
    if (!storeScoreFile(path)) {
        std::fprintf(stderr, "LoadTimer: cannot store ScoreFile\n");
        return 1;
    }

    std::vector<double> loads;
    std::vector<double> closes;
    std::vector<double> fills;
    for (int i = 0; i < runs; ++i) {
        Timing timing;
        if (!timeOneLoad(exe, halfGames, timing)) {
            return 1;
        }
        loads.push_back(timing.loadMs);
        closes.push_back(timing.closedMs);
        fills.push_back(timing.fillMs);
    }
    std::printf("wine: %d half-games, %.2f MB, runs %d, medians from OK: box shown %.0f ms, "
                "box gone %.0f ms, list filled %.0f ms\n",
                halfGames, static_cast<double>(log.size()) / 1e6, runs, median(loads),
                median(closes), median(fills));
    return 0;
}
