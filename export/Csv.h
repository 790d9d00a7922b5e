// RFC 4180 CSV: one home for the quoting and the fields, shared by list --format csv and
// export.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/Columns.h"

// A field quoted when it holds a comma, a quote, CR or LF (quotes doubled).
void appendCsvField(std::string& out, std::string_view field);
// Fields joined by commas, ended with CR LF as RFC 4180 asks.
void appendCsvRow(std::string& out, const std::vector<std::string>& fields);

// The fields of one row after another, appended to a string: NULL is an empty field, a
// flag 0 or 1, a score "40.8" (spreadsheets read it as a number, "+40.8" as text).
class CsvFields : public FieldSink {
  public:
    // Starts a row at the end of out, which must outlive the row.
    void beginRow(std::string& out) {
        out_ = &out;
        first_ = true;
    }
    void endRow() { *out_ += "\r\n"; }
    void null() override;
    void integer(long long value) override;
    void tenths(long long value) override;
    void text(std::string_view utf8) override;
    void flag(bool value) override;

  private:
    void separate();

    std::string* out_ = nullptr;
    bool first_ = true;
};
