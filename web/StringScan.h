// String scans eight bytes at a time, for the WebAssembly build's libc (web/LibcScans.cpp):
// Emscripten's musl sets up a two-way search for every strstr with a needle of more than
// four bytes and scans four bytes at a time, and the parser calls them for every line.
// Portable, so the native unit tests check them against glibc (tests/web/StringScanTest.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Each scan reads the whole aligned eight-byte word that holds a byte it must look at,
// possibly past the string's end or before its start: such a word never crosses a page
// (nor WebAssembly's memory end), but AddressSanitizer would see bytes it must not.
#if defined(__clang__) || defined(__GNUC__)
#define PAIVIEW_WORD_SCAN __attribute__((no_sanitize_address))
#else
#define PAIVIEW_WORD_SCAN
#endif

namespace scan {

namespace detail {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// The high bit of each zero byte; the lowest one set is always the first zero byte.
inline std::uint64_t zeroBytes(std::uint64_t w) {
    return (w - kOnes) & ~w & kHighs;
}

PAIVIEW_WORD_SCAN inline std::uint64_t word(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

inline const unsigned char* alignedWord(const void* p) {
    return reinterpret_cast<const unsigned char*>(reinterpret_cast<std::uintptr_t>(p) &
                                                  ~std::uintptr_t{7});
}

// Set bytes standing for those of the first word before the start: never zero, never c.
inline std::uint64_t before(const void* start, const unsigned char* word) {
    const auto skip = static_cast<unsigned>(static_cast<const unsigned char*>(start) - word);
    return skip ? ~std::uint64_t{0} >> (64 - 8 * skip) : 0;
}

// The index of the first byte flagged in a little-endian word.
inline unsigned firstFlagged(std::uint64_t flags) {
    return static_cast<unsigned>(__builtin_ctzll(flags)) >> 3;
}

} // namespace detail

PAIVIEW_WORD_SCAN inline std::size_t length(const char* s) {
    using namespace detail;
    const unsigned char* w = alignedWord(s);
    std::uint64_t zero = zeroBytes(word(w) | before(s, w));
    while (!zero) {
        w += 8;
        zero = zeroBytes(word(w));
    }
    return static_cast<std::size_t>(w + firstFlagged(zero) -
                                    reinterpret_cast<const unsigned char*>(s));
}

// The first c in s, or its terminating zero.
PAIVIEW_WORD_SCAN inline const char* byteOrEnd(const char* s, int c) {
    using namespace detail;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    const unsigned char* w = alignedWord(s);
    const std::uint64_t head = before(s, w);
    std::uint64_t bytes = word(w);
    std::uint64_t hit = zeroBytes(bytes | head) | zeroBytes((bytes ^ pattern) | head);
    while (!hit) {
        w += 8;
        bytes = word(w);
        hit = zeroBytes(bytes) | zeroBytes(bytes ^ pattern);
    }
    return reinterpret_cast<const char*>(w + firstFlagged(hit));
}

inline const void* findByte(const void* start, int c, std::size_t n) {
    using namespace detail;
    const auto* p = static_cast<const unsigned char*>(start);
    const auto* end = p + n;
    const auto byte = static_cast<unsigned char>(c);
    for (; p < end && (reinterpret_cast<std::uintptr_t>(p) & 7); ++p) {
        if (*p == byte) {
            return p;
        }
    }
    const std::uint64_t pattern = kOnes * byte;
    for (; end - p >= 8; p += 8) {
        const std::uint64_t hit = zeroBytes(word(p) ^ pattern);
        if (hit) {
            return p + firstFlagged(hit);
        }
    }
    for (; p < end; ++p) {
        if (*p == byte) {
            return p;
        }
    }
    return nullptr;
}

// The first place of needle in haystack: each candidate first byte found a word at a
// time, then compared; the log's lines are short, so no two-way set-up pays for itself.
inline const char* find(const char* haystack, const char* needle) {
    if (needle[0] == '\0') {
        return haystack;
    }
    for (const char* at = byteOrEnd(haystack, needle[0]); *at; at = byteOrEnd(at + 1, needle[0])) {
        std::size_t i = 1;
        while (needle[i] != '\0' && at[i] == needle[i]) {
            ++i;
        }
        if (needle[i] == '\0') {
            return at;
        }
        if (at[i] == '\0') {
            return nullptr; // the rest of the haystack is shorter than the needle
        }
    }
    return nullptr;
}

} // namespace scan
