// The generated CP932 tables against glibc's iconv, code by code in both directions:
// the converter of text/Encoding_iconv.cpp is linked in as the oracle.
#include "text/Cp932Table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/Encoding.h"

namespace {

std::string tableUtf8(std::string_view cp932) {
    std::string out;
    cp932::appendUtf8(out, cp932);
    return out;
}

std::string tableCp932(std::string_view utf8, std::size_t& replaced) {
    std::string out;
    replaced = cp932::appendCp932(out, utf8);
    return out;
}

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
        text += ' ';
    }
    return text;
}

std::string utf8Of(std::uint32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | cp >> 6);
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | cp >> 12);
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | cp >> 18);
        s += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// Counts disagreements instead of failing on each, so that a broken table reports
// how much is wrong and a few examples, not a million lines.
struct Mismatches {
    int count = 0;
    std::string examples;
    void add(const std::string& what) {
        if (++count <= 10) {
            examples += what + "\n";
        }
    }
};

void compareToUtf8(std::string_view cp932, Mismatches& bad) {
    const std::string expected = cp932ToUtf8(cp932);
    const std::string got = tableUtf8(cp932);
    if (got != expected) {
        bad.add(hex(cp932) + "-> iconv " + hex(expected) + "table " + hex(got));
    }
}

void compareToCp932(std::string_view utf8, Mismatches& bad) {
    std::size_t expectedCount = 0, gotCount = 0;
    const std::string expected = utf8ToCp932(utf8, &expectedCount);
    const std::string got = tableCp932(utf8, gotCount);
    if (got != expected || gotCount != expectedCount) {
        bad.add(hex(utf8) + "-> iconv " + hex(expected) + "(" + std::to_string(expectedCount) +
                " replaced) table " + hex(got) + "(" + std::to_string(gotCount) + ")");
    }
}

TEST(Cp932Table, EveryByteAndEveryPairReadsAsIconvReadsIt) {
    Mismatches bad;
    for (int b = 0; b < 256; ++b) {
        compareToUtf8(std::string(1, static_cast<char>(b)), bad);
        for (int t = 0; t < 256; ++t) {
            const char pair[] = {static_cast<char>(b), static_cast<char>(t)};
            compareToUtf8(std::string_view(pair, 2), bad);
            // A trail byte that is refused is read again on its own, then the rest.
            const char more[] = {static_cast<char>(b), static_cast<char>(t), 'a', '\x82', '\xA0'};
            compareToUtf8(std::string_view(more, 5), bad);
        }
    }
    EXPECT_EQ(bad.count, 0) << bad.examples;
}

TEST(Cp932Table, EveryCharacterWritesAsIconvWritesIt) {
    Mismatches bad;
    for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        const std::string one = utf8Of(cp);
        compareToCp932(one, bad);
        compareToCp932("a" + one + "\xE3\x81\x82", bad);
    }
    EXPECT_EQ(bad.count, 0) << bad.examples;
}

TEST(Cp932Table, BrokenUtf8IsReplacedAsIconvReplacesIt) {
    const char* const cases[] = {
        "\x80",             // a continuation byte on its own
        "\xBF\xBF",         // two of them
        "\xC0\x80",         // overlong NUL
        "\xC1\xBF",         // overlong
        "\xE0\x80\x80",     // overlong, three bytes
        "\xE0\x9F\xBF",     // overlong, just below U+0800
        "\xF0\x8F\xBF\xBF", // overlong, four bytes
        "\xED\xA0\x80",     // a surrogate
        "\xED\xBF\xBF",     // the last surrogate
        "\xF4\x90\x80\x80", // past U+10FFFF
        "\xF5\x80\x80\x80", // lead bytes that start nothing
        "\xF8\x88\x80\x80\x80",
        "\xFC\x84\x80\x80\x80\x80",
        "\xFE",
        "\xFF",
        "\xE3\x81",     // cut short at the end
        "\xE3\x81\x61", // cut short before a letter (a)
        "\xF0\x9F\x98", // four bytes cut short
        "\xC3",
        "\xE3\xE3\x81\x82", // a lead byte before a whole character
    };
    Mismatches bad;
    for (const char* text : cases) {
        const std::string s(text);
        for (const std::string& around : {s, "x" + s, s + "y", "\xE3\x81\x82" + s + s}) {
            compareToCp932(around, bad);
        }
    }
    EXPECT_EQ(bad.count, 0) << bad.examples;
}

// Strings of bytes that CP932 and UTF-8 find hard: leads, trails, stray and ASCII bytes.
TEST(Cp932Table, RandomStringsConvertAsIconvConvertsThem) {
    const unsigned char alphabet[] = {0x00, 0x20, 0x41, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x87,
                                      0x9F, 0xA0, 0xA1, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0, 0xE3, 0xED,
                                      0xEF, 0xF0, 0xF4, 0xF5, 0xFA, 0xFC, 0xFD, 0xFF, 0x40, 0x9E};
    std::mt19937 random(932);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::uniform_int_distribution<int> length(1, 24);
    Mismatches bad;
    for (int i = 0; i < 200000; ++i) {
        std::string s;
        for (int n = length(random); n > 0; --n) {
            s += static_cast<char>(alphabet[pick(random)]);
        }
        compareToUtf8(s, bad);
        compareToCp932(s, bad);
    }
    EXPECT_EQ(bad.count, 0) << bad.examples;
}

// The characters that a plain Shift_JIS table reads otherwise: the page must match the
// Windows client's text.
TEST(Cp932Table, WindowsFormsOfTildeMinusAndNecRow13) {
    const struct {
        const char* cp932;
        const char* utf8;
    } cases[] = {
        {"\x81\x60", "\xEF\xBD\x9E"}, // ～ U+FF5E, not 〜 U+301C
        {"\x81\x7C", "\xEF\xBC\x8D"}, // － U+FF0D, not − U+2212
        {"\x87\x40", "\xE2\x91\xA0"}, // ① (NEC row 13)
        {"\x87\x8A", "\xE3\x88\xB1"}, // ㈱
        {"\xFB\xFC", "\xE9\xAB\x99"}, // 髙 (IBM extension)
        {"\xA1", "\xEF\xBD\xA1"},     // ｡ half-width
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tableUtf8(c.cp932), c.utf8) << hex(c.cp932);
    }
    // Duplicates read as one character, which is written back as glibc's choice.
    std::size_t replaced = 0;
    EXPECT_EQ(tableCp932("\xE2\x85\xB0", replaced), "\xFA\x40"); // ⅰ: IBM, not NEC-selected
    EXPECT_EQ(tableCp932("\xEF\xBF\xA2", replaced), "\x81\xCA"); // ￢
    EXPECT_EQ(replaced, 0u);
}

TEST(Cp932Table, AppendsAfterWhatTheBufferHolds) {
    std::string out = "ab";
    cp932::appendUtf8(out, "\x82\xA0x");
    EXPECT_EQ(out, "ab\xE3\x81\x82x");
    EXPECT_EQ(cp932::appendCp932(out, "\xF0\x9F\x98\x80!"), 1u);
    EXPECT_EQ(out, "ab\xE3\x81\x82x?!");
    cp932::appendUtf8(out, "");
    EXPECT_EQ(cp932::appendCp932(out, ""), 0u);
    EXPECT_EQ(out, "ab\xE3\x81\x82x?!");
}

} // namespace
