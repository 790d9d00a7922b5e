// CP932 <-> UTF-8 over the generated tables: no library call and no allocation per
// field beyond the growth of the caller's buffer.
#include "text/Cp932Table.h"

#include <cstring>

#include "text/AsciiRun.h"

namespace cp932 {

namespace {

using table::kNone;

char* putUtf8(char* o, unsigned int cp) {
    if (cp < 0x80) {
        *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<char>(0xC0 | cp >> 6);
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<char>(0xE0 | cp >> 12);
        *o++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return o;
}

// How many bytes an unreadable UTF-8 sequence at p takes: as far as its lead byte
// promises and continuation bytes follow (the rule the iconv converter has kept).
std::size_t badLength(const unsigned char* p, std::size_t left) {
    const unsigned int c = *p;
    const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    for (std::size_t i = 1; i < n; ++i) {
        if (i >= left || (p[i] & 0xC0) != 0x80) {
            return i;
        }
    }
    return n;
}

// The code point of the well-formed UTF-8 sequence at p and its length, or 0 for a
// sequence that is not UTF-8 (overlong, a surrogate, past U+10FFFF, cut short).
std::size_t readUtf8(const unsigned char* p, std::size_t left, std::uint32_t& cp) {
    const unsigned int c = *p;
    std::size_t n;
    std::uint32_t least;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2, least = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, least = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, least = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (left < n) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        cp = cp << 6 | (p[i] & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

bool dropped(std::uint32_t cp) {
    for (std::size_t i = 0; i < table::kDroppedCount; ++i) {
        if (cp >= table::kDropped[i].first && cp <= table::kDropped[i].last) {
            return true;
        }
    }
    return false;
}

} // namespace

void appendUtf8(std::string& out, std::string_view cp932) {
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* end = p + cp932.size();
    const auto* run = asciiRunEnd(p, end);
    out.append(cp932.data(), static_cast<std::size_t>(run - p));
    if (run == end) {
        return;
    }
    p = run;
    // One byte makes at most three of UTF-8 (half-width kana, U+FFFD).
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(end - p) * 3);
    char* const first = &out[0];
    char* o = first + start;
    while (p < end) {
        run = asciiRunEnd(p, end);
        std::memcpy(o, p, static_cast<std::size_t>(run - p));
        o += run - p;
        p = run;
        if (p == end) {
            break;
        }
        unsigned int cp = table::kSingle[*p];
        std::size_t used = 1;
        if (cp == table::kLead) {
            cp = end - p >= 2 ? table::kDouble[table::kLeadRow[*p]][p[1]] : kNone;
            used = cp == kNone ? 1 : 2;
        }
        o = putUtf8(o, cp == kNone ? 0xFFFD : cp);
        p += used;
    }
    out.resize(static_cast<std::size_t>(o - first));
}

std::size_t appendCp932(std::string& out, std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    const auto* run = asciiRunEnd(p, end);
    out.append(utf8.data(), static_cast<std::size_t>(run - p));
    if (run == end) {
        return 0;
    }
    p = run;
    // No character takes more bytes in CP932 than in UTF-8.
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(end - p));
    char* const first = &out[0];
    char* o = first + start;
    std::size_t replaced = 0;
    while (p < end) {
        run = asciiRunEnd(p, end);
        std::memcpy(o, p, static_cast<std::size_t>(run - p));
        o += run - p;
        p = run;
        if (p == end) {
            break;
        }
        const std::size_t left = static_cast<std::size_t>(end - p);
        std::uint32_t cp = 0;
        const std::size_t n = readUtf8(p, left, cp);
        if (n == 0) {
            *o++ = '?';
            ++replaced;
            p += badLength(p, left);
            continue;
        }
        p += n;
        const std::uint16_t code =
            cp <= 0xFFFF ? table::kFromUnicode[table::kBlockOf[cp >> 8]][cp & 0xFF] : kNone;
        if (code == kNone) {
            if (!dropped(cp)) {
                *o++ = '?';
                ++replaced;
            }
        } else if (code < 0x100) {
            *o++ = static_cast<char>(code);
        } else {
            *o++ = static_cast<char>(code >> 8);
            *o++ = static_cast<char>(code & 0xFF);
        }
    }
    out.resize(static_cast<std::size_t>(o - first));
    return replaced;
}

} // namespace cp932
