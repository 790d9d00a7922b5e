// Entry of the end-to-end tests: the last argument names the Paiview.exe under test.
#include "tests/e2e/Driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

// Wine's X11 driver waits up to two seconds for a window manager to withdraw every
// window it hides; under Xvfb there is none, so each closed box would cost two
// seconds. Paiview's windows are left unmanaged while the tests run, then the
// setting is put back as it was. Windows itself ignores the key.
class UnmanagedWindowsUnderWine {
  public:
    UnmanagedWindowsUnderWine() {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = sizeof previous_;
        hadValue_ = RegQueryValueExA(key_, "Managed", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(previous_), &size) == ERROR_SUCCESS;
        RegSetValueExA(key_, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    }
    ~UnmanagedWindowsUnderWine() {
        if (!key_)
            return;
        if (hadValue_)
            RegSetValueExA(key_, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                           static_cast<DWORD>(strnlen(previous_, sizeof previous_ - 1) + 1));
        else
            RegDeleteValueA(key_, "Managed");
        RegCloseKey(key_);
    }
    UnmanagedWindowsUnderWine(const UnmanagedWindowsUnderWine&) = delete;
    UnmanagedWindowsUnderWine& operator=(const UnmanagedWindowsUnderWine&) = delete;

  private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Paiview.exe\\X11 Driver";
    HKEY key_ = nullptr;
    bool hadValue_ = false;
    char previous_[16] = {};
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: e2e_tests [gtest options] PATH-TO-Paiview.exe\n");
        return 2;
    }
    e2e::setPaiviewPath(argv[argc - 1]);
    UnmanagedWindowsUnderWine unmanaged;
    return RUN_ALL_TESTS();
}
