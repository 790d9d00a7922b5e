// Dropped logs on the Windows desktop: the report opens in the default browser, and a
// failure shows a message box, as the console that a drop opens closes at once.
#include "cli/DropCommand.h"

#include <windows.h>

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include "cli/Terminal.h"

namespace {

std::wstring toWide(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
    return wide;
}

std::string toUtf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
    return text;
}

} // namespace

std::string documentsFolder() {
    PWSTR wide = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &wide))) {
        folder = toUtf8(wide);
    }
    CoTaskMemFree(wide);
    return folder;
}

void openReport(const std::string& path) {
    writeOut(path + "\n");
    flushOut();
    if (desktopDisabled()) {
        return;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", toWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        showDropFailure("The report was written to " + path +
                        ",\nbut no program opened it. Open it in a web browser.");
    }
}

void showDropFailure(const std::string& message) {
    writeErr("paiview: " + message + "\n");
    if (desktopDisabled()) {
        return;
    }
    MessageBoxW(nullptr, toWide(message).c_str(), L"Paiview", MB_OK | MB_ICONERROR);
}
