// The word-at-a-time scans of the WebAssembly build's libc (web/StringScan.h) against
// glibc's, at every alignment and on strings made of the bytes they must tell apart.
#include "web/StringScan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Texts at each offset of an aligned buffer, with bytes after the end that must not count.
struct Placed {
    alignas(8) char buffer[96];
    char* text;
    Placed(const std::string& s, std::size_t offset, char after) {
        std::memset(buffer, after, sizeof buffer);
        text = buffer + offset;
        std::memcpy(text, s.c_str(), s.size() + 1);
    }
};

std::vector<std::string> samples() {
    const char alphabet[] = {'a', 'b', '\x80', '\x81', '\x96', '\x7B', '\xFF', '\x01', '('};
    std::mt19937 random(8);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::vector<std::string> out{"", "a", "\x96\x7B\x8F\xEA(\x83\x8A\x81\x5B\x83\x60"};
    for (int i = 0; i < 400; ++i) {
        std::string s;
        for (int n = length(random); n > 0; --n) {
            s += alphabet[pick(random)];
        }
        out.push_back(s);
    }
    return out;
}

TEST(StringScan, LengthAndByteAsGlibc) {
    for (const std::string& s : samples()) {
        for (std::size_t offset = 0; offset < 16; ++offset) {
            const Placed p(s, offset, 'a');
            EXPECT_EQ(scan::length(p.text), std::strlen(p.text));
            for (int c : {int{'a'}, 0x80, 0x96, 0xFF, 0, int{'z'}}) {
                const char* end = std::strchr(p.text, c);
                const char* found = scan::byteOrEnd(p.text, c);
                EXPECT_EQ(found, end ? end : p.text + s.size()) << s << " " << c;
                for (std::size_t n : {std::size_t{0}, s.size() / 2, s.size()}) {
                    EXPECT_EQ(scan::findByte(p.text, c, n), std::memchr(p.text, c, n));
                }
            }
        }
    }
}

TEST(StringScan, FindAsGlibc) {
    const std::vector<std::string> all = samples();
    const char* const needles[] = {
        "", "a", "ab", "\x96\x7B", "\x96\x7B\x8F\xEA(\x83\x8A\x81\x5B", "\x81\x80\x81", "aaaa"};
    for (const std::string& s : all) {
        for (std::size_t offset = 0; offset < 8; ++offset) {
            const Placed p(s, offset, '\x96');
            for (const char* needle : needles) {
                EXPECT_EQ(scan::find(p.text, needle), std::strstr(p.text, needle)) << needle;
            }
            // Needles cut from the samples themselves, so that most are found.
            const std::string part = all[(s.size() * 7 + offset) % all.size()].substr(0, 3);
            EXPECT_EQ(scan::find(p.text, part.c_str()), std::strstr(p.text, part.c_str()));
        }
    }
}

} // namespace
