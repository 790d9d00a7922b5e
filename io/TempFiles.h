// Temporary files that an interrupted run must not leave behind. A signal handler may
// remove them all at any moment: the list is kept without allocation or locks.
#pragma once

#include <filesystem>
#include <string_view>

// Keeps temp until forgotten; false when the list is full (the caller's own cleanup
// still removes it on every path but a signal). A folder is one made for the run: it is
// removed after the files, if empty by then.
bool rememberTemporary(const std::filesystem::path& temp, bool folder = false);
void forgetTemporary(const std::filesystem::path& temp);

// Removes every file and folder remembered. Async-signal-safe.
void removeTemporaries();

// What an interruption leaves untouched, for its message ("out.db"); empty for none.
void setInterruptTarget(std::string_view utf8);
// NUL-terminated, for a signal handler.
const char* interruptTarget();

// While one lives, SIGINT, SIGTERM and SIGHUP wait: a group of renames is done whole or
// not at all. A signal that came meanwhile is handled when it ends. Nothing on Windows.
class HeldSignals {
  public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

  private:
    unsigned char saved_[256] = {};
};
