// The terminal's edge on Windows: wide arguments, Unicode to a console, UTF-8 to a pipe.
#include "cli/Terminal.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

std::string toUtf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
    return text;
}

// A console gets UTF-16 through WriteConsoleW, whatever its code page; a file or a
// pipe gets the UTF-8 bytes. False when the bytes could not be written.
bool write(DWORD which, FILE* stream, std::string_view utf8) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const int size = static_cast<int>(utf8.size());
        const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
        DWORD written;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return true;
    }
    _setmode(_fileno(stream), _O_BINARY);
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

} // namespace

std::vector<std::string> utf8Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        args.push_back(toUtf8(wide[i]));
    }
    LocalFree(wide);
    return args;
}

void writeOut(std::string_view utf8) {
    if (!write(STD_OUTPUT_HANDLE, stdout, utf8)) {
        throw OutputFailed{errno};
    }
}

void writeErr(std::string_view utf8) {
    std::fflush(stdout);
    write(STD_ERROR_HANDLE, stderr, utf8);
}

void flushOut() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        throw OutputFailed{errno};
    }
}

void useBinaryStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
}

bool standardErrorIsTerminal() {
    DWORD mode;
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}
