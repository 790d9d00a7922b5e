// Line splitting: line ends, CR and 0x1A handling, the 199-byte limit, file and memory input.
#include "model/LineReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/TempFile.h"

namespace {

struct ReadResult {
    std::vector<std::string> lines; // every readLine until atEnd, as raw bytes up to the NUL
    bool overlong = false;
    bool readError = false;
};

ReadResult readAll(LineReader& reader) {
    ReadResult result;
    char buffer[kLineBufferSize];
    for (int guard = 0; !reader.atEnd() && guard < 100000; ++guard) {
        reader.readLine(buffer);
        result.lines.emplace_back(buffer);
    }
    // At the end every further line is empty.
    reader.readLine(buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(reader.atEnd());
    result.overlong = reader.overlong();
    result.readError = reader.readError();
    return result;
}

ReadResult readMemory(const std::string& bytes) {
    LineReader reader(bytes.data(), bytes.size());
    return readAll(reader);
}

ReadResult readFile(const std::string& bytes) {
    TempFile file(bytes);
    std::FILE* stream = std::fopen(file.path().c_str(), "rb");
    EXPECT_NE(stream, nullptr);
    if (!stream) {
        return {};
    }
    LineReader reader(stream);
    ReadResult result = readAll(reader);
    std::fclose(stream);
    return result;
}

struct LineCase {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
    bool overlong;
};

std::string bytes(std::size_t count, char c = 'x') {
    return std::string(count, c);
}

std::vector<LineCase> lineCases() {
    using namespace std::string_literals;
    return {
        {"empty input", "", {}, false},
        {"one line without LF", "abc", {"abc"}, false},
        {"one line with LF", "abc\n", {"abc"}, false},
        {"CR LF removed together", "abc\r\ndef\r\n", {"abc", "def"}, false},
        {"LF only", "abc\ndef\n", {"abc", "def"}, false},
        {"empty lines", "\n\r\n\n", {"", "", ""}, false},
        {"lone CR is data", "a\rb\n", {"a\rb"}, false},
        {"CR CR LF keeps one CR", "a\r\r\n", {"a\r"}, false},
        {"CR-only line ends make one line", "a\rb\rc\r", {"a\rb\rc\r"}, false},
        {"CR at the very end is data", "abc\r", {"abc\r"}, false},
        {"leading spaces kept", "   x  \n", {"   x  "}, false},
        {"0x1A ends the input", "abc\ndef\x1Aghi\njkl\n", {"abc", "def"}, false},
        {"0x1A at the start",
         "\x1A"
         "abc\n",
         {},
         false},
        {"0x1A right after LF", "abc\n\x1A\n", {"abc"}, false},
        {"NUL bytes are data", "a\0b\nc\n"s, {"a", "c"}, false},
        {"199 bytes read whole", bytes(199) + "\nz\n", {bytes(199), "z"}, false},
        {"199 bytes and CR LF", bytes(199) + "\r\nz\r\n", {bytes(199), "z"}, false},
        {"199 bytes at the end without LF", bytes(199), {bytes(199)}, false},
        {"200 bytes fail", bytes(200) + "\nz\n", {bytes(199)}, true},
        {"199 bytes and a data CR fail", bytes(199) + "\rz\n", {bytes(199)}, true},
        {"200 bytes at the end fail", bytes(200), {bytes(199)}, true},
        {"long line after good ones",
         "a\nb\n" + bytes(500) + "\nc\n",
         {"a", "b", bytes(199)},
         true},
        {"NUL counts toward the length", bytes(150) + "\0"s + bytes(49) + "\n", {bytes(150)}, true},
    };
}

class LineReaderCases : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineReaderCases, FromMemory) {
    const LineCase& c = GetParam();
    ReadResult result = readMemory(c.input);
    EXPECT_EQ(result.lines, c.lines);
    EXPECT_EQ(result.overlong, c.overlong);
    EXPECT_FALSE(result.readError);
}

TEST_P(LineReaderCases, FromFile) {
    const LineCase& c = GetParam();
    ReadResult result = readFile(c.input);
    EXPECT_EQ(result.lines, c.lines);
    EXPECT_EQ(result.overlong, c.overlong);
    EXPECT_FALSE(result.readError);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineReaderCases, ::testing::ValuesIn(lineCases()),
                         [](const ::testing::TestParamInfo<LineCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

// The file reader takes the input in large blocks; a line end split between two
// blocks must read the same as one inside a block.
struct BoundaryCase {
    const char* name;
    std::string tail; // placed so that its first byte is the first byte of the second block
    std::vector<std::string> tailLines;
    bool overlong;
};

class LineReaderBlockBoundary : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(LineReaderBlockBoundary, SameAsInOneBlock) {
    const BoundaryCase& c = GetParam();
    constexpr std::size_t kBlock = 64 * 1024;
    // Filler lines of 99 bytes + LF, then a last line that runs up to the block's end.
    std::string head;
    std::vector<std::string> expected;
    while (head.size() + 100 <= kBlock - 100) {
        head += bytes(99, 'f') + "\n";
        expected.push_back(bytes(99, 'f'));
    }
    const std::string last = bytes(kBlock - head.size() - 1, 'g') + "\r";
    head += last;
    ReadResult result = readFile(head + c.tail);
    std::vector<std::string> want = expected;
    for (const std::string& line : c.tailLines) {
        want.push_back(line);
    }
    // The first tail line continues the 'g' line that ended the first block with a CR.
    want[expected.size()] = last.substr(0, last.size() - 1) + want[expected.size()];
    EXPECT_EQ(result.lines, want);
    EXPECT_EQ(result.overlong, c.overlong);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, LineReaderBlockBoundary,
    ::testing::Values(BoundaryCase{"LfAfterCr", "\nnext\n", {"", "next"}, false},
                      BoundaryCase{"DataAfterCr", "z\nnext\n", {"\rz", "next"}, false},
                      BoundaryCase{"EndAfterCr", "", {"\r"}, false},
                      BoundaryCase{"EofByteAfterCr",
                                   "\x1A"
                                   "more\n",
                                   {"\r"},
                                   false}),
    [](const ::testing::TestParamInfo<BoundaryCase>& info) { return info.param.name; });

TEST(LineReader, LinesSpanningManyBlocksStayInOrder) {
    std::string input;
    std::vector<std::string> expected;
    for (int i = 0; i < 20000; ++i) {
        std::string line = "line " + std::to_string(i) + std::string(i % 190, '.');
        input += line + (i % 3 ? "\r\n" : "\n");
        expected.push_back(line);
    }
    ReadResult result = readFile(input);
    EXPECT_EQ(result.lines, expected);
    EXPECT_FALSE(result.overlong);
}

TEST(LineReader, AtEndDoesNotConsume) {
    const std::string input = "a\nb";
    LineReader reader(input.data(), input.size());
    char buffer[kLineBufferSize];
    EXPECT_FALSE(reader.atEnd());
    EXPECT_FALSE(reader.atEnd());
    reader.readLine(buffer);
    EXPECT_STREQ(buffer, "a");
    EXPECT_FALSE(reader.atEnd());
    reader.readLine(buffer);
    EXPECT_STREQ(buffer, "b");
    EXPECT_TRUE(reader.atEnd());
}

TEST(LineReader, FailedReaderGivesEmptyLines) {
    const std::string input = bytes(300) + "\nafter\n";
    LineReader reader(input.data(), input.size());
    char buffer[kLineBufferSize];
    reader.readLine(buffer);
    EXPECT_EQ(std::string(buffer), bytes(199));
    EXPECT_TRUE(reader.overlong());
    for (int i = 0; i < 3; ++i) {
        std::memset(buffer, 'q', sizeof buffer);
        reader.readLine(buffer);
        EXPECT_STREQ(buffer, "");
        EXPECT_TRUE(reader.atEnd());
    }
}

#ifndef _WIN32
// On Linux a folder opens as a stream whose reads fail.
TEST(LineReader, FolderReportsReadError) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    std::FILE* stream = std::fopen(dir.string().c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    LineReader reader(stream);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_TRUE(reader.readError());
    char buffer[kLineBufferSize];
    reader.readLine(buffer);
    EXPECT_STREQ(buffer, "");
    std::fclose(stream);
}
#endif

} // namespace
