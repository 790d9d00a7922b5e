// JSON text written value by value, as a JsonSink: the half-games of export, list and show.
#pragma once

#include <string>
#include <vector>

#include "export/Columns.h"

// Appends JSON to a string, laid out as nlohmann::json's dump() lays it out: on one line
// without spaces with indent 0, else one value a line with indent spaces a level.
class JsonText : public JsonSink {
  public:
    // Appends to out, whose owner keeps it; level: the nesting the first value starts at.
    explicit JsonText(std::string& out, int indent = 0, int level = 0)
        : out_(&out), indent_(indent), level_(level) {}
    void null() override;
    void integer(long long value) override;
    void tenths(long long value) override;
    void text(std::string_view utf8) override;
    void flag(bool value) override;
    void beginArray() override;
    void endArray() override;
    void beginObject() override;
    void key(const char* name) override;
    void endObject() override;

  private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newline(int level);

    std::string* out_;
    int indent_;
    int level_;
    std::vector<bool> empty_; // per open array or object: nothing written in it yet
    bool afterKey_ = false;
};
