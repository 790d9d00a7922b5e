// Detection of a log's encoding; the conversions themselves are per platform.
#include "text/Encoding.h"

#include <cstdint>
#include <cstring>

namespace {

// Written as bytes: this file's literals are compiled to CP932.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf8StartMarker[] = "\xE9\x96\x8B\xE5\xA7\x8B"; // 開始

} // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // ASCII runs are the bulk of a log: skip eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull) {
                break;
            }
            p += 8;
        }
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

std::string logBytesAsCp932(std::string bytes, LogEncoding* found) {
    const LogEncoding encoding = detectLogEncoding(bytes);
    if (found) {
        *found = encoding;
    }
    switch (encoding) {
    case LogEncoding::Utf8Bom:
        return utf8ToCp932(std::string_view(bytes).substr(3));
    case LogEncoding::Utf8:
        return utf8ToCp932(bytes);
    case LogEncoding::Cp932:
        break;
    }
    return bytes;
}
