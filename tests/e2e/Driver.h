// Starts the real Paiview.exe and works it from outside: window messages, key input, registry.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Upper bound of every wait for the program under test.
constexpr DWORD kWaitMs = 15000;

// The program under test, as a Windows path; set once by main.
void setPaiviewPath(const std::string& path);
const std::string& paiviewPath();

// A Unix path ("/work/x") as Wine sees it ("Z:\work\x"); other paths unchanged.
std::string windowsPath(const std::string& path);

// CP932 bytes to and from UTF-16; across processes Wine hands list and combo items
// back as UTF-16, so every text is read with the wide messages and converted.
std::wstring widen(const std::string& cp932);
std::string narrow(const std::wstring& text);

// The program's registry values under HKLM\Software\Tamarind Labs\Paiview.
struct StoredValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string bytes;
};
void deleteSettingsKey();
void deleteSetting(const char* name);
void storeSetting(const char* name, DWORD type, const std::string& bytes);
void storeDword(const char* name, std::uint32_t value);
StoredValue readSetting(const char* name);

// Reads of any window, bounded so that a hung program cannot hang the test.
std::string textOf(HWND window);
bool setText(HWND window, const std::string& text);
std::string className(HWND window);
bool isChecked(HWND button);
HWND focusOf(DWORD threadId);

// A window of the given thread whose owner is `owner`, class #32770, title `title`;
// null when none.
HWND findOwnedDialog(DWORD threadId, HWND owner, const std::string& title);

// One run of Paiview.exe. The constructor starts it and waits for its main window;
// the destructor ends a run that is still going (TerminateProcess) so no test hangs.
class Paiview {
  public:
    Paiview();
    ~Paiview();
    Paiview(const Paiview&) = delete;
    Paiview& operator=(const Paiview&) = delete;

    bool started() const { return main_ != nullptr; }
    const std::string& startError() const { return startError_; }
    HWND main() const { return main_; }
    DWORD threadId() const { return threadId_; }
    HWND item(int id) const { return GetDlgItem(main_, id); }

    std::string title() const { return textOf(main_); }
    std::string itemText(int id) const { return textOf(item(id)); }
    RECT windowRect() const;

    // The main list box 1009.
    std::vector<std::string> listLines() const;
    int listCount() const;
    int listSelection() const;
    // Selects a line as the program itself does after a search hit: LB_SETCURSEL, then
    // the posted selection-change notification; waits until it has been handled.
    void select(int position);

    // Posts WM_COMMAND with the id (and notification code) to the main window.
    void command(int id, int code = 0) const;
    void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    // Returns once everything posted so far, and whatever that posted in turn, has been
    // handled: two rounds of a marker message whose effect can be read back.
    bool sync() const;

    // A dialog box owned by `owner` (the main window when null) with the given title.
    HWND waitDialog(const std::string& title, HWND owner = nullptr) const;
    // A message box ("Paiview") owned by the main window; its text is its static 0xFFFF.
    HWND waitMessageBox() const;
    HWND findMessageBox() const;
    static std::string messageText(HWND box);
    static std::vector<int> buttonIds(HWND box);
    // Ends a box with the given command id and waits until it is gone.
    bool answer(HWND box, int id) const;
    bool waitGone(HWND window) const;

    // Real key input to the window, brought to the foreground first. Modifiers are
    // held down around the key.
    bool pressKey(HWND window, WORD key, std::vector<WORD> modifiers = {}) const;

    // The end of the run: exit code, or false when the program did not end in time.
    bool waitExit(DWORD& exitCode);
    bool running() const;

  private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    DWORD threadId_ = 0;
    std::string startError_;
    mutable unsigned marker_ = 0x10000;
};

// Polls `done` every few milliseconds until it holds or `timeoutMs` has passed.
template <typename Condition> bool waitUntil(Condition done, DWORD timeoutMs = kWaitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return done();
        Sleep(10);
    }
}

} // namespace e2e
