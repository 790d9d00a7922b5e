// CSV quoting and fields after RFC 4180.
#include "export/Csv.h"

#include "text/Numbers.h"

void appendCsvField(std::string& out, std::string_view field) {
    // A plain loop: find_first_of searches the set once per character of the field.
    bool plain = true;
    for (char c : field) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            plain = false;
            break;
        }
    }
    if (plain) {
        out.append(field.data(), field.size());
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

void appendCsvRow(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendCsvField(out, fields[i]);
    }
    out += "\r\n";
}

void CsvFields::separate() {
    if (!first_) {
        *out_ += ',';
    }
    first_ = false;
}

void CsvFields::null() {
    separate();
}

void CsvFields::integer(long long value) {
    separate();
    appendInteger(*out_, value);
}

void CsvFields::tenths(long long value) {
    separate();
    *out_ += tenthsText(value);
}

void CsvFields::text(std::string_view utf8) {
    separate();
    appendCsvField(*out_, utf8);
}

void CsvFields::flag(bool value) {
    separate();
    *out_ += value ? '1' : '0';
}
