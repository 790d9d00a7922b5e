// Conversions between the core's CP932 text and the UTF-8 of terminals, files and pages.
#pragma once

#include <string>
#include <string_view>

// CP932 (Windows-31J: with the NEC and IBM extensions, so ①, ㈱ and 髙 convert) to
// UTF-8. A byte sequence that is not CP932 becomes U+FFFD; nothing is dropped.
std::string cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932. A character that CP932 cannot hold, or a byte that is not UTF-8,
// becomes "?". Returns how many characters were replaced through *replaced when given.
std::string utf8ToCp932(std::string_view utf8, std::size_t* replaced = nullptr);

bool isValidUtf8(std::string_view bytes);

enum class LogEncoding { Cp932, Utf8, Utf8Bom };

// A score log is UTF-8 when it starts with a UTF-8 BOM, or when it is valid UTF-8 and
// holds the UTF-8 form of the header marker "開始"; anything else is taken as CP932.
LogEncoding detectLogEncoding(std::string_view bytes);

// A log's bytes as the core reads them: CP932, converted from UTF-8 where
// detectLogEncoding says so.
struct DecodedLog {
    std::string cp932;
    LogEncoding encoding = LogEncoding::Cp932;
    // Characters of a UTF-8 log that CP932 cannot hold, each read as "?", and the line
    // (1-based) of the first of them.
    std::size_t unconvertible = 0;
    long firstUnconvertibleLine = 0;
};
DecodedLog decodeLog(std::string bytes);
