// The temporary files of this run, in fixed slots that a signal handler can walk.
#include "io/TempFiles.h"

#include <algorithm>
#include <csignal>
#include <cstring>

#ifdef _WIN32
#include <cstdio>
#include <direct.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace {

using Char = std::filesystem::path::value_type;
constexpr std::size_t kSlots = 16;
constexpr std::size_t kPathLength = 4096;

struct Slot {
    volatile std::sig_atomic_t used = 0;
    bool folder = false;
    Char path[kPathLength] = {};
};
Slot slots[kSlots];
char target[kPathLength] = {};

bool samePath(const Char* a, const Char* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

} // namespace

bool rememberTemporary(const std::filesystem::path& temp, bool folder) {
    const auto& native = temp.native();
    if (native.size() >= kPathLength) {
        return false;
    }
    for (Slot& slot : slots) {
        if (!slot.used) {
            std::copy(native.begin(), native.end(), slot.path);
            slot.path[native.size()] = 0;
            slot.folder = folder;
            slot.used = 1; // last: a handler never sees half a path
            return true;
        }
    }
    return false;
}

void forgetTemporary(const std::filesystem::path& temp) {
    for (Slot& slot : slots) {
        if (slot.used && samePath(slot.path, temp.c_str())) {
            slot.used = 0;
        }
    }
}

void removeTemporaries() {
    for (bool folders : {false, true}) {
        for (Slot& slot : slots) {
            if (slot.used && slot.folder == folders) {
#ifdef _WIN32
                folders ? _wrmdir(slot.path) : _wremove(slot.path);
#else
                folders ? rmdir(slot.path) : unlink(slot.path);
#endif
                slot.used = 0;
            }
        }
    }
}

void setInterruptTarget(std::string_view utf8) {
    const std::size_t length = std::min(utf8.size(), kPathLength - 1);
    target[0] = '\0'; // meanwhile a handler sees no target rather than half of one
    if (length == 0) {
        return;
    }
    std::memcpy(target + 1, utf8.data() + 1, length - 1);
    target[length] = '\0';
    target[0] = utf8[0];
}

const char* interruptTarget() {
    return target;
}

#ifdef _WIN32
HeldSignals::HeldSignals() {}
HeldSignals::~HeldSignals() {}
#else
static_assert(sizeof(sigset_t) <= 256, "a signal set fits the saved bytes");

HeldSignals::HeldSignals() {
    sigset_t held, previous;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGHUP);
    sigprocmask(SIG_BLOCK, &held, &previous);
    std::memcpy(saved_, &previous, sizeof previous);
}

HeldSignals::~HeldSignals() {
    sigset_t previous;
    std::memcpy(&previous, saved_, sizeof previous);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}
#endif
