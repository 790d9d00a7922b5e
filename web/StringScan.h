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

// The first c of the n bytes at start. Whole aligned words only, masked at both ends:
// no byte-at-a-time loop, which the parser's many short scans would mostly be.
PAIVIEW_WORD_SCAN inline const void* findByte(const void* start, int c, std::size_t n) {
    using namespace detail;
    if (n == 0) {
        return nullptr;
    }
    const auto* end = static_cast<const unsigned char*>(start) + n;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    const unsigned char* w = alignedWord(start);
    std::uint64_t hit = zeroBytes((word(w) ^ pattern) | before(start, w));
    while (!hit) {
        w += 8;
        if (w >= end) {
            return nullptr;
        }
        hit = zeroBytes(word(w) ^ pattern);
    }
    const unsigned char* at = w + firstFlagged(hit);
    return at < end ? at : nullptr;
}

// The first place of needle in haystack. A word at a time, a place is a candidate when
// it holds the needle's first byte and the next place its second, and each candidate is
// then compared: the log's lines are short, so no two-way set-up pays for itself.
PAIVIEW_WORD_SCAN inline const char* find(const char* haystack, const char* needle) {
    using namespace detail;
    if (needle[0] == '\0') {
        return haystack;
    }
    if (needle[1] == '\0') {
        const char* at = byteOrEnd(haystack, needle[0]);
        return *at ? at : nullptr;
    }
    const std::uint64_t first = kOnes * static_cast<unsigned char>(needle[0]);
    const std::uint64_t second = kOnes * static_cast<unsigned char>(needle[1]);
    const unsigned char* w = alignedWord(haystack);
    std::uint64_t head = before(haystack, w);
    for (;; w += 8, head = 0) {
        const std::uint64_t bytes = word(w);
        const std::uint64_t zero = zeroBytes(bytes | head);
        // The last byte's follower is in the next word: always a candidate.
        std::uint64_t candidates = zeroBytes((bytes ^ first) | head) &
                                   ((zeroBytes(bytes ^ second) >> 8) | (std::uint64_t{0x80} << 56));
        if (zero) {
            candidates &= (zero & (~zero + 1)) - 1; // only places before the end
        }
        for (; candidates; candidates &= candidates - 1) {
            const char* at = reinterpret_cast<const char*>(w + firstFlagged(candidates));
            std::size_t i = 0;
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
        if (zero) {
            return nullptr;
        }
    }
}

} // namespace scan
