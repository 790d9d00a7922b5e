// Reads a score log as text-mode lines of at most 199 bytes, the same on every platform.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

constexpr int kLineBufferSize = 200;

// Text-mode rules, applied by the reader itself over large binary reads:
// LF ends a line, a CR directly before it goes with it, any other CR is data,
// and a byte 0x1A ends the input. A line of 200 or more bytes delivers its first
// 199 bytes and leaves the reader failed: every later line is empty.
class LineReader {
  public:
    // Reads from an open stream, which the caller keeps owning.
    explicit LineReader(std::FILE* stream);
    // Reads from bytes in memory (tests and fuzzing); they must outlive the reader.
    // endByteSeen: the caller has already cut the bytes at their first 0x1A, so the
    // reader need not look through them for one (a reader started part-way through a
    // large file, again and again).
    LineReader(const char* data, std::size_t size, bool endByteSeen = false);

    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Fills buffer with the next line and a NUL; an empty string at the end of input.
    void readLine(char (&buffer)[kLineBufferSize]);
    // True when no byte is left or the reader has failed.
    bool atEnd();

    // An over-long line was met: the rest of the input was never read.
    bool overlong() const { return overlong_; }
    // The stream reported a read error (for example a folder opened as a file).
    bool readError() const { return readError_; }

    // Where the reader stands, for diagnostics: the 1-based number of the last line
    // delivered (0 before the first), the byte offset at which it began, and whether
    // the last readLine found the input already at its end (and delivered nothing).
    long lineNumber() const { return lineNumber_; }
    std::size_t lineOffset() const { return lineOffset_; }
    // The offset of one of the last kRecentLines lines delivered.
    static constexpr long kRecentLines = 8;
    std::size_t lineOffsetOf(long line) const { return recentOffsets_[line % kRecentLines]; }
    bool lastReadAtEnd() const { return lastReadAtEnd_; }
    // The last line delivered, so that a diagnostic can quote a line that a parser read
    // into its own buffer. A reader over memory finds it in the input; a stream reader
    // keeps a copy of each line only when keepLines is set.
    void keepLines(bool keep) { keepLines_ = keep; }
    std::string lastLine() const;

    // The byte offset of the next byte to be read.
    std::size_t offset() const { return base_ + static_cast<std::size_t>(pos_ - chunkStart_); }

  private:
    bool fill();
    void read(char (&buffer)[kLineBufferSize]);

    std::FILE* stream_ = nullptr;
    std::unique_ptr<char[]> storage_;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    bool eof_ = false;
    bool overlong_ = false;
    bool readError_ = false;
    // Offsets: chunkStart_ is the byte at offset base_ of the input.
    const char* chunkStart_ = nullptr;
    std::size_t base_ = 0;
    std::size_t chunkBytes_ = 0;
    long lineNumber_ = 0;
    std::size_t lineOffset_ = 0;
    bool lastReadAtEnd_ = false;
    std::size_t recentOffsets_[kRecentLines] = {};
    bool keepLines_ = false;
    char lastLine_[kLineBufferSize] = {};
};
