// RFC 4180 CSV: one home for the quoting, shared by list --format csv and export.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A field quoted when it holds a comma, a quote, CR or LF (quotes doubled).
void appendCsvField(std::string& out, std::string_view field);
// Fields joined by commas, ended with CR LF as RFC 4180 asks.
void appendCsvRow(std::string& out, const std::vector<std::string>& fields);
