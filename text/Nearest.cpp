// Edit distance over CP932 characters, and the folding that makes "kuma" find "Kuma".
#include "text/Nearest.h"

#include <algorithm>
#include <cstring>

namespace {

bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Each character as one code: a double-byte character's two bytes, or one byte.
std::vector<unsigned> characters(std::string_view text) {
    std::vector<unsigned> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            out.push_back(c << 8 | static_cast<unsigned char>(text[++i]));
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Half-width katakana 0xA1 to 0xDF in full width, two bytes each.
const char kFullKatakana[] =
    "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナ"
    "ニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

} // namespace

std::string looseForm(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size());
    for (unsigned code : characters(cp932)) {
        if (code < 0x80) {
            out += static_cast<char>(code >= 'A' && code <= 'Z' ? code - 'A' + 'a' : code);
        } else if (code >= 0xA1 && code <= 0xDF) {
            out.append(kFullKatakana + (code - 0xA1) * 2, 2);
        } else if (code >= 0x824F && code <= 0x8258) { // ０ to ９
            out += static_cast<char>('0' + (code - 0x824F));
        } else if ((code >= 0x8260 && code <= 0x8279) || (code >= 0x8281 && code <= 0x829A)) {
            out += static_cast<char>('a' + (code - (code >= 0x8281 ? 0x8281 : 0x8260)));
        } else if (code == 0x8140) { // the ideographic space
            out += ' ';
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
    }
    return out;
}

std::size_t looseDistance(std::string_view cp932) {
    return std::max<std::size_t>(1, (characters(cp932).size() + 2) / 3);
}

std::vector<std::size_t> nearestOf(std::string_view wanted,
                                   const std::vector<std::string>& candidates, std::size_t most,
                                   std::size_t maxDistance) {
    const std::vector<unsigned> a = characters(wanted);
    std::vector<std::pair<std::size_t, std::size_t>> scored; // distance, index
    std::vector<std::size_t> row;
    for (std::size_t index = 0; index < candidates.size(); ++index) {
        const std::vector<unsigned> b = characters(candidates[index]);
        // Levenshtein, one row at a time.
        row.resize(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j) {
            row[j] = j;
        }
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
                diagonal = above;
            }
        }
        if (row[b.size()] <= maxDistance) {
            scored.emplace_back(row[b.size()], index);
        }
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < scored.size() && i < most; ++i) {
        out.push_back(scored[i].second);
    }
    return out;
}
