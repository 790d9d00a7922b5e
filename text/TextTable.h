// Columns of CP932 text aligned for a terminal. In CP932 a character's display width
// is its byte count (double-byte characters take two columns, ASCII and half-width
// kana one), so widths are measured on the CP932 text, before it becomes UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class Align { Left, Right };

// The columns the text takes on a terminal.
std::size_t displayWidth(std::string_view cp932);

// The rows as lines, each column as wide as its widest cell and separated by two
// spaces; a column without an Align entry is left-aligned. A left-aligned last column
// is not padded, so lines carry no trailing spaces. Returns CP932 text, each line ended by LF.
std::string alignedTable(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<Align>& align);
