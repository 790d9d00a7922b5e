// Splits a score log into lines by the text-mode rules, over large binary reads.
#include "model/LineReader.h"

#include <algorithm>
#include <cstring>

namespace {

// Large reads keep the per-line cost to a memchr and a memcpy.
constexpr std::size_t kChunkSize = 64 * 1024;
constexpr int kMaxLineBytes = kLineBufferSize - 1;
constexpr char kEndOfFile = 0x1A;

// The input stops at the first 0x1A, as a text-mode stream would.
const char* cutAtEndOfFileByte(const char* begin, const char* end) {
    const void* mark = std::memchr(begin, kEndOfFile, static_cast<std::size_t>(end - begin));
    return mark ? static_cast<const char*>(mark) : end;
}

} // namespace

LineReader::LineReader(std::FILE* stream)
    : stream_(stream), storage_(std::make_unique<char[]>(kChunkSize)) {
    pos_ = end_ = chunkStart_ = storage_.get();
}

LineReader::LineReader(const char* data, std::size_t size, bool endByteSeen) : eof_(true) {
    pos_ = chunkStart_ = data;
    end_ = endByteSeen ? data + size : size ? cutAtEndOfFileByte(data, data + size) : data;
}

bool LineReader::fill() {
    if (pos_ < end_) {
        return true;
    }
    if (eof_ || !stream_) {
        return false;
    }
    const std::size_t got = std::fread(storage_.get(), 1, kChunkSize, stream_);
    if (got == 0) {
        eof_ = true;
        readError_ = std::ferror(stream_) != 0;
        return false;
    }
    base_ += chunkBytes_;
    chunkBytes_ = got;
    pos_ = chunkStart_ = storage_.get();
    end_ = cutAtEndOfFileByte(pos_, pos_ + got);
    if (end_ != pos_ + got) {
        eof_ = true;
    }
    return pos_ < end_;
}

bool LineReader::atEnd() {
    return overlong_ || !fill();
}

void LineReader::readLine(char (&buffer)[kLineBufferSize]) {
    buffer[0] = '\0';
    read(buffer);
    if (keepLines_ && stream_ && !lastReadAtEnd_) {
        std::memcpy(lastLine_, buffer, std::strlen(buffer) + 1);
    }
}

void LineReader::read(char (&buffer)[kLineBufferSize]) {
    if (overlong_ || !fill()) {
        lastReadAtEnd_ = true;
        return;
    }
    lastReadAtEnd_ = false;
    ++lineNumber_;
    lineOffset_ = offset();
    recentOffsets_[lineNumber_ % kRecentLines] = lineOffset_;
    int length = 0;
    // A CR that closed the previous chunk: line end if an LF follows, data otherwise.
    bool pendingCr = false;

    // Appends line data; false once the line has grown past what the buffer holds.
    auto append = [&](const char* bytes, std::size_t count) {
        const std::size_t room = static_cast<std::size_t>(kMaxLineBytes - length);
        if (count > room) {
            std::memcpy(buffer + length, bytes, room);
            buffer[kMaxLineBytes] = '\0';
            overlong_ = true;
            return false;
        }
        std::memcpy(buffer + length, bytes, count);
        length += static_cast<int>(count);
        return true;
    };
    auto appendCr = [&]() {
        if (length == kMaxLineBytes) {
            buffer[kMaxLineBytes] = '\0';
            overlong_ = true;
            return false;
        }
        buffer[length++] = '\r';
        return true;
    };

    while (fill()) {
        const std::size_t available = static_cast<std::size_t>(end_ - pos_);
        const char* lf = static_cast<const char*>(std::memchr(pos_, '\n', available));
        const char* segmentEnd = lf ? lf : end_;
        std::size_t count = static_cast<std::size_t>(segmentEnd - pos_);

        if (pendingCr) {
            pendingCr = false;
            if (!(lf && count == 0) && !appendCr()) {
                return;
            }
        }
        if (count > 0 && segmentEnd[-1] == '\r') {
            --count; // dropped with the LF, or held until the next chunk shows what follows
            pendingCr = !lf;
        }
        if (!append(pos_, count)) {
            return;
        }
        if (lf) {
            pos_ = lf + 1;
            buffer[length] = '\0';
            return;
        }
        pos_ = end_;
    }
    // The input ended inside the line: a CR left over is data.
    if (pendingCr && !appendCr()) {
        return;
    }
    buffer[length] = '\0';
}

std::string LineReader::lastLine() const {
    if (stream_) {
        return lastLine_;
    }
    if (lineNumber_ == 0) {
        return {};
    }
    const char* start = chunkStart_ + lineOffset_;
    const char* lf =
        static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(end_ - start)));
    std::size_t length = static_cast<std::size_t>((lf ? lf : end_) - start);
    if (lf && length > 0 && start[length - 1] == '\r') {
        --length;
    }
    return std::string(start, std::min<std::size_t>(length, kMaxLineBytes));
}
