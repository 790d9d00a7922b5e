// Where a run of ASCII bytes ends: the bulk of a log, so its scans skip such runs eight
// bytes at a time.
#pragma once

#include <cstdint>
#include <cstring>

inline const unsigned char* asciiRunEnd(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull) {
            break;
        }
        p += 8;
    }
    while (p < end && *p < 0x80) {
        ++p;
    }
    return p;
}
