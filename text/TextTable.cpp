// Aligns table cells by display width, measured on CP932 bytes.
#include "text/TextTable.h"

#include <algorithm>

std::size_t displayWidth(std::string_view cp932) {
    return cp932.size();
}

std::string alignedTable(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<Align>& align) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], displayWidth(row[c]));
        }
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) {
                line += "  ";
            }
            const std::size_t pad = widths[c] - displayWidth(row[c]);
            const bool right = c < align.size() && align[c] == Align::Right;
            if (right) {
                line.append(pad, ' ');
            }
            line += row[c];
            if (!right && c + 1 < row.size()) {
                line.append(pad, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back(); // empty cells at the end of a row
        }
        out += line;
        out += '\n';
    }
    return out;
}
