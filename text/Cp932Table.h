// CP932 <-> UTF-8 by table: the tables are generated at build time from glibc's iconv
// "CP932" (scripts/cp932_table.py) and give the same bytes, with the same replacements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp932 {

// Appends the UTF-8 of CP932 text to out. A byte that starts no CP932 code, or a lead
// byte whose trail byte makes none, becomes U+FFFD and reading goes on at the next byte.
void appendUtf8(std::string& out, std::string_view cp932);

// Appends the CP932 of UTF-8 text to out. A character CP932 cannot hold, or a byte
// sequence that is not UTF-8, becomes "?". Returns how many were replaced.
std::size_t appendCp932(std::string& out, std::string_view utf8);

// The generated tables (scripts/cp932_table.py writes their definitions).
namespace table {

constexpr std::uint16_t kNone = 0xFFFF; // no mapping, in either direction
constexpr std::uint16_t kLead = 0xFFFE; // kSingle: the byte starts a two-byte code

struct CodeRange {
    std::uint32_t first, last;
};

// Byte -> code point, kLead or kNone.
extern const std::uint16_t kSingle[256];
// Lead byte -> row of kDouble (0xFF for a byte that leads nothing).
extern const std::uint8_t kLeadRow[256];
// [row][trail byte] -> code point or kNone. Every CP932 character is in the BMP.
extern const std::uint16_t kDouble[][256];
// High byte of a BMP code point -> block of kFromUnicode (0: a block that maps nothing).
extern const std::uint8_t kBlockOf[256];
// [block][low byte] -> a CP932 byte (below 0x100), lead << 8 | trail, or kNone.
extern const std::uint16_t kFromUnicode[][256];
// Code points that glibc writes as nothing at all (the tag characters).
extern const CodeRange kDropped[];
extern const std::size_t kDroppedCount;

} // namespace table
} // namespace cp932
