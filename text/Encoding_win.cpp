// CP932 <-> UTF-8 with the Windows code page functions, through UTF-16.
#include "text/Encoding.h"

#include <windows.h>

namespace {

constexpr UINT kCp932 = 932;

std::wstring toWide(UINT codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

std::string fromWide(UINT codePage, const std::wstring& wide, bool* usedDefault) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // CP_UTF8 takes no default character; CP932 gets "?" for what it cannot hold.
    const bool utf8 = codePage == CP_UTF8;
    BOOL defaulted = FALSE;
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0,
                                      utf8 ? nullptr : "?", utf8 ? nullptr : &defaulted);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), n, utf8 ? nullptr : "?",
                        utf8 ? nullptr : &defaulted);
    if (usedDefault) {
        *usedDefault = defaulted != FALSE;
    }
    return text;
}

} // namespace

std::string cp932ToUtf8(std::string_view cp932) {
    return fromWide(CP_UTF8, toWide(kCp932, cp932), nullptr);
}

std::string utf8ToCp932(std::string_view utf8, std::size_t* replaced) {
    bool defaulted = false;
    std::string text = fromWide(kCp932, toWide(CP_UTF8, utf8), &defaulted);
    if (replaced) {
        *replaced = defaulted ? 1 : 0;
    }
    return text;
}
