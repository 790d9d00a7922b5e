// JSON text: the layout and escaping of nlohmann::json's dump(), so that the documents
// read as they did when nlohmann built them.
#include "export/JsonText.h"

#include "text/Numbers.h"

void JsonText::newline(int level) {
    *out_ += '\n';
    out_->append(static_cast<std::size_t>(indent_ * level), ' ');
}

void JsonText::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) {
        return; // the document's own value
    }
    if (!empty_.back()) {
        *out_ += ',';
    }
    empty_.back() = false;
    if (indent_ > 0) {
        newline(level_);
    }
}

void JsonText::open(char bracket) {
    beforeValue();
    *out_ += bracket;
    empty_.push_back(true);
    ++level_;
}

void JsonText::close(char bracket) {
    --level_;
    if (!empty_.back() && indent_ > 0) {
        newline(level_);
    }
    empty_.pop_back();
    *out_ += bracket;
}

void JsonText::null() {
    beforeValue();
    *out_ += "null";
}

void JsonText::integer(long long value) {
    beforeValue();
    appendInteger(*out_, value);
}

void JsonText::tenths(long long value) {
    beforeValue();
    *out_ += tenthsText(value); // 40.8, -0.5, 3.0: the shortest form of the number
}

void JsonText::flag(bool value) {
    beforeValue();
    *out_ += value ? "true" : "false";
}

void JsonText::text(std::string_view utf8) {
    beforeValue();
    static const char kHex[] = "0123456789abcdef";
    *out_ += '"';
    std::size_t plain = 0; // the start of the bytes not yet written
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\') {
            continue;
        }
        out_->append(utf8.data() + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            *out_ += "\\\"";
            break;
        case '\\':
            *out_ += "\\\\";
            break;
        case '\b':
            *out_ += "\\b";
            break;
        case '\f':
            *out_ += "\\f";
            break;
        case '\n':
            *out_ += "\\n";
            break;
        case '\r':
            *out_ += "\\r";
            break;
        case '\t':
            *out_ += "\\t";
            break;
        default:
            *out_ += "\\u00";
            *out_ += kHex[c >> 4];
            *out_ += kHex[c & 0xF];
        }
    }
    out_->append(utf8.data() + plain, utf8.size() - plain);
    *out_ += '"';
}

void JsonText::beginArray() {
    open('[');
}

void JsonText::endArray() {
    close(']');
}

void JsonText::beginObject() {
    open('{');
}

void JsonText::endObject() {
    close('}');
}

void JsonText::key(const char* name) {
    beforeValue();
    *out_ += '"';
    *out_ += name; // the catalogue's keys: plain ASCII, nothing to escape
    *out_ += indent_ > 0 ? "\": " : "\":";
    afterKey_ = true;
}
