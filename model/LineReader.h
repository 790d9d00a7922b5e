// Reads a score log as text-mode lines of at most 199 bytes, the same on every platform.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

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
    LineReader(const char* data, std::size_t size);

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

  private:
    bool fill();

    std::FILE* stream_ = nullptr;
    std::unique_ptr<char[]> storage_;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    bool eof_ = false;
    bool overlong_ = false;
    bool readError_ = false;
};
