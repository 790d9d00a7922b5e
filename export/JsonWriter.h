// JSON written by RapidJSON: compact for the half-games of the export, indented two
// spaces a level for what a person may read (list, show, search, stats).
#pragma once

// RapidJSON 1.1's stack compares `top + n > end` while its pointers are still null,
// before its first allocation: harmless on every machine, but undefined behaviour
// that UBSan stops on. Later releases compare sizes instead.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("pointer-overflow"))), apply_to = function)
#endif
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#if defined(__clang__)
#pragma clang attribute pop
#endif

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "export/Columns.h"
#include "text/Numbers.h"

using JsonBuffer = rapidjson::StringBuffer;
using CompactJsonWriter = rapidjson::Writer<JsonBuffer>;

// RapidJSON's output into a string the caller keeps, whose storage serves the next
// document too: as fast as JsonBuffer, without a buffer per thread (the Windows
// builds' runtime destroys a per-thread object wrongly when its thread ends).
class StringOutput {
  public:
    using Ch = char;
    explicit StringOutput(std::string& text) : text_(text) { text_.resize(text_.capacity()); }
    StringOutput(const StringOutput&) = delete;
    StringOutput& operator=(const StringOutput&) = delete;
    // The text ends where the writing did.
    ~StringOutput() { text_.resize(used_); }

    void reserve(std::size_t count) {
        if (text_.size() - used_ < count) {
            text_.resize(std::max(text_.size() * 2, used_ + count));
        }
    }
    void PutUnsafe(char c) { text_[used_++] = c; }
    void Put(char c) {
        reserve(1);
        PutUnsafe(c);
    }
    void Flush() {}

  private:
    std::string& text_;
    std::size_t used_ = 0;
};
// What RapidJSON's writer calls to reserve and fill, found by argument lookup.
inline void PutReserve(StringOutput& output, std::size_t count) {
    output.reserve(count);
}
inline void PutUnsafe(StringOutput& output, char c) {
    output.PutUnsafe(c);
}

using StringJsonWriter = rapidjson::Writer<StringOutput>;

class IndentedJsonWriter : public rapidjson::PrettyWriter<JsonBuffer> {
  public:
    explicit IndentedJsonWriter(JsonBuffer& buffer) : PrettyWriter(buffer) { SetIndent(' ', 2); }
};

// A text; a number, null where it is no number (a figure is never NaN, but a document
// must not break if one were); a score of tenths in the shortest form that text/Numbers
// gives the terminal too (40.8, -0.5, 3.0).
template <typename Writer> void writeText(Writer& writer, std::string_view utf8) {
    writer.String(utf8.data(), static_cast<rapidjson::SizeType>(utf8.size()));
}
template <typename Writer> void writeNumber(Writer& writer, double value) {
    if (std::isfinite(value)) {
        writer.Double(value);
    } else {
        writer.Null();
    }
}
template <typename Writer> void writeTenths(Writer& writer, long long tenths) {
    const std::string text = tenthsText(tenths);
    writer.RawValue(text.data(), text.size(), rapidjson::kNumberType);
}
template <typename Writer, typename T>
void writeOptional(Writer& writer, const std::optional<T>& value) {
    if (!value) {
        writer.Null();
    } else if constexpr (std::is_floating_point_v<T>) {
        writeNumber(writer, *value);
    } else {
        writer.Int64(*value);
    }
}

// The catalogue's values given to a writer.
template <typename Writer> class JsonWriterSink final : public JsonSink {
  public:
    explicit JsonWriterSink(Writer& writer) : writer_(writer) {}
    void null() override { writer_.Null(); }
    void integer(long long value) override { writer_.Int64(value); }
    void tenths(long long value) override { writeTenths(writer_, value); }
    void text(std::string_view utf8) override { writeText(writer_, utf8); }
    void flag(bool value) override { writer_.Bool(value); }
    void beginArray() override { writer_.StartArray(); }
    void endArray() override { writer_.EndArray(); }
    void beginObject() override { writer_.StartObject(); }
    void key(const char* name) override { writer_.Key(name); }
    void endObject() override { writer_.EndObject(); }

  private:
    Writer& writer_;
};
