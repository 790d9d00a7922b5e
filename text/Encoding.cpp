// Detection of a log's encoding; the conversions themselves are per platform.
#include "text/Encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/AsciiRun.h"

namespace {

// Written as bytes: this file's literals are compiled to CP932.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf8StartMarker[] = "\xE9\x96\x8B\xE5\xA7\x8B"; // 開始

} // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        p = asciiRunEnd(p, end);
        if (p >= end) {
            break;
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned int code;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more) {
            return false;
        }
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (more == 3 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        p += more + 1;
    }
    return true;
}

LogEncoding detectLogEncoding(std::string_view bytes) {
    if (bytes.substr(0, 3) == kUtf8Bom) {
        return LogEncoding::Utf8Bom;
    }
    if (bytes.find(kUtf8StartMarker) != std::string_view::npos && isValidUtf8(bytes)) {
        return LogEncoding::Utf8;
    }
    return LogEncoding::Cp932;
}

DecodedLog decodeLog(std::string bytes) {
    DecodedLog log;
    log.encoding = detectLogEncoding(bytes);
    if (log.encoding == LogEncoding::Cp932) {
        log.cp932 = std::move(bytes);
        return log;
    }
    std::string_view utf8(bytes);
    if (log.encoding == LogEncoding::Utf8Bom) {
        utf8.remove_prefix(3);
    }
    log.cp932 = utf8ToCp932(utf8, &log.unconvertible);
    if (log.unconvertible == 0) {
        return log;
    }
    // Rare: find the first line that lost a character, one line at a time.
    long line = 1;
    for (std::size_t start = 0; start <= utf8.size(); ++line) {
        const std::size_t lf = std::min(utf8.find('\n', start), utf8.size());
        std::size_t lost = 0;
        utf8ToCp932(utf8.substr(start, lf - start), &lost);
        if (lost > 0) {
            log.firstUnconvertibleLine = line;
            break;
        }
        start = lf + 1;
    }
    return log;
}
