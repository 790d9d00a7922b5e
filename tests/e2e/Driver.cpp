// Starts the real Paiview.exe and works it from outside: window messages, key input, registry.
#include "tests/e2e/Driver.h"

#include <algorithm>

namespace e2e {
namespace {

constexpr const char* kSettingsKey = "Software\\Tamarind Labs\\Paiview";
constexpr const char* kMakerKey = "Software\\Tamarind Labs";
constexpr int kMainFileName = 1011;
constexpr int kMainList = 1009;
constexpr UINT kMessageTimeoutMs = 5000;

std::string& pathStore() {
    static std::string path;
    return path;
}

// SendMessageTimeoutW that reports failure instead of blocking on a hung program.
bool ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                               &result) != 0;
}

// Reads one item of a list or combo box with the wide messages.
std::string boxItemText(HWND box, UINT lengthMessage, UINT textMessage, int index) {
    DWORD_PTR length = 0;
    if (!ask(box, lengthMessage, index, 0, length) || static_cast<LONG_PTR>(length) < 0)
        return "<unreadable>";
    std::wstring buffer(std::max<std::size_t>(length + 1, 512), L'\0');
    DWORD_PTR got = 0;
    if (!ask(box, textMessage, index, reinterpret_cast<LPARAM>(buffer.data()), got) ||
        static_cast<LONG_PTR>(got) < 0)
        return "<unreadable>";
    buffer.resize(std::min<std::size_t>(got, buffer.size()));
    return narrow(buffer);
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findMainWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || className(window) != "#32770" ||
        GetWindow(window, GW_OWNER) != nullptr || !IsWindowVisible(window))
        return TRUE;
    if (textOf(window).rfind("Paiview", 0) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

struct DialogSearch {
    HWND owner;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    if (GetWindow(window, GW_OWNER) != search->owner || className(window) != "#32770" ||
        !IsWindowVisible(window))
        return TRUE;
    if (textOf(window) != *search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK collectButton(HWND window, LPARAM param) {
    if (className(window) == "Button")
        reinterpret_cast<std::vector<int>*>(param)->push_back(GetDlgCtrlID(window));
    return TRUE;
}

} // namespace

void setPaiviewPath(const std::string& path) {
    pathStore() = windowsPath(path);
}
const std::string& paiviewPath() {
    return pathStore();
}

std::string windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string result = "Z:" + path;
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

std::wstring widen(const std::string& cp932) {
    if (cp932.empty())
        return {};
    int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring result(n, L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), result.data(), n);
    return result;
}

std::string narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string result(n, '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), result.data(), n,
                        nullptr, nullptr);
    return result;
}

void deleteSettingsKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMakerKey);
}

void deleteSetting(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void storeSetting(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void storeDword(const char* name, std::uint32_t value) {
    storeSetting(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

StoredValue readSetting(const char* name) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.assign(size, '\0');
        if (RegQueryValueExA(key, name, nullptr, &value.type,
                             reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS) {
            value.exists = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

std::string textOf(HWND window) {
    if (!window)
        return "<no window>";
    DWORD_PTR length = 0;
    if (!ask(window, WM_GETTEXTLENGTH, 0, 0, length))
        return "<unreadable>";
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!ask(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), got))
        return "<unreadable>";
    buffer.resize(std::min<std::size_t>(got, length));
    return narrow(buffer);
}

bool setText(HWND window, const std::string& text) {
    std::wstring wide = widen(text);
    DWORD_PTR result = 0;
    return ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), result) && result;
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool isChecked(HWND button) {
    DWORD_PTR state = 0;
    return ask(button, BM_GETCHECK, 0, 0, state) && state == BST_CHECKED;
}

HWND focusOf(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(threadId, &info))
        return nullptr;
    return info.hwndFocus;
}

HWND findOwnedDialog(DWORD threadId, HWND owner, const std::string& title) {
    DialogSearch search{owner, &title, nullptr};
    EnumThreadWindows(threadId, findDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Paiview::Paiview() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + paiviewPath() + "\"";
    if (!CreateProcessA(paiviewPath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process_)) {
        startError_ = "CreateProcessA failed for " + paiviewPath() + ", error " +
                      std::to_string(GetLastError());
        process_ = {};
        return;
    }
    WaitForInputIdle(process_.hProcess, kWaitMs);
    WindowSearch search{process_.dwProcessId, nullptr};
    waitUntil([&] {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0)
            return true;
        search.found = nullptr;
        EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    if (!search.found) {
        startError_ = running() ? "no visible main window titled Paiview..."
                                : "Paiview.exe ended during start-up";
        return;
    }
    main_ = search.found;
    threadId_ = GetWindowThreadProcessId(main_, nullptr);
    if (!sync()) {
        startError_ = "the main window does not handle posted messages";
        main_ = nullptr;
    }
}

Paiview::~Paiview() {
    if (!process_.hProcess)
        return;
    if (running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, kWaitMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool Paiview::running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Paiview::waitExit(DWORD& exitCode) {
    exitCode = STILL_ACTIVE;
    if (!process_.hProcess || WaitForSingleObject(process_.hProcess, kWaitMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_.hProcess, &exitCode) != 0;
}

RECT Paiview::windowRect() const {
    RECT rect{};
    GetWindowRect(main_, &rect);
    return rect;
}

std::vector<std::string> Paiview::listLines() const {
    std::vector<std::string> lines;
    HWND list = item(kMainList);
    int count = listCount();
    lines.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        lines.push_back(boxItemText(list, LB_GETTEXTLEN, LB_GETTEXT, i));
    return lines;
}

int Paiview::listCount() const {
    DWORD_PTR count = 0;
    if (!ask(item(kMainList), LB_GETCOUNT, 0, 0, count))
        return -2;
    return static_cast<int>(count);
}

int Paiview::listSelection() const {
    DWORD_PTR selection = 0;
    if (!ask(item(kMainList), LB_GETCURSEL, 0, 0, selection))
        return -2;
    return static_cast<int>(selection);
}

void Paiview::select(int position) {
    DWORD_PTR ignored = 0;
    ask(item(kMainList), LB_SETCURSEL, static_cast<WPARAM>(position), 0, ignored);
    post(main_, WM_COMMAND, MAKEWPARAM(kMainList, LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(item(kMainList)));
    sync();
}

void Paiview::command(int id, int code) const {
    post(main_, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

void Paiview::post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    PostMessageW(window, message, wParam, lParam);
}

// The marker is the text limit of the read-only file name box: the user cannot type
// there, so the limit changes nothing the program shows, and EM_GETLIMITTEXT reads it.
bool Paiview::sync() const {
    HWND box = item(kMainFileName);
    for (int round = 0; round < 2; ++round) {
        unsigned value = ++marker_;
        post(box, EM_SETLIMITTEXT, value, 0);
        bool seen = waitUntil([&] {
            DWORD_PTR limit = 0;
            return ask(box, EM_GETLIMITTEXT, 0, 0, limit) && limit == value;
        });
        if (!seen)
            return false;
    }
    return true;
}

HWND Paiview::waitDialog(const std::string& title, HWND owner) const {
    HWND found = nullptr;
    waitUntil([&] {
        found = findOwnedDialog(threadId_, owner ? owner : main_, title);
        return found != nullptr;
    });
    return found;
}

HWND Paiview::findMessageBox() const {
    HWND box = findOwnedDialog(threadId_, main_, "Paiview");
    return box && GetDlgItem(box, 0xFFFF) ? box : nullptr;
}

HWND Paiview::waitMessageBox() const {
    HWND found = nullptr;
    waitUntil([&] {
        found = findMessageBox();
        return found != nullptr;
    });
    return found;
}

std::string Paiview::messageText(HWND box) {
    return textOf(GetDlgItem(box, 0xFFFF));
}

std::vector<int> Paiview::buttonIds(HWND box) {
    std::vector<int> ids;
    EnumChildWindows(box, collectButton, reinterpret_cast<LPARAM>(&ids));
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool Paiview::answer(HWND box, int id) const {
    post(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return waitGone(box);
}

bool Paiview::waitGone(HWND window) const {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

bool Paiview::pressKey(HWND window, WORD key, std::vector<WORD> modifiers) const {
    SetForegroundWindow(window);
    if (!waitUntil([&] { return GetForegroundWindow() == window; }, 5000))
        return false;
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD modifier : modifiers)
        add(modifier, false);
    add(key, false);
    add(key, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        add(*it, true);
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

} // namespace e2e
