// Builds the summary pane and hand history texts of a record; every field is shown whole.
#include "model/RecordText.h"

#include "model/GameLibrary.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t kPieceCount = 4;
// The code-page bytes of 符: a first yaku word ending in it keeps its second word.
constexpr std::string_view kFuMark = "符";

template <std::size_t N> std::string_view fieldText(const char (&field)[N]) {
    const void* end = std::memchr(field, '\0', N);
    return std::string_view(field, end ? static_cast<const char*>(end) - field : N);
}

std::string joinLines(const std::string_view (&pieces)[kPieceCount]) {
    std::string text;
    for (std::size_t i = 0; i < kPieceCount; ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += pieces[i];
    }
    return text;
}

// Cuts the next piece of two space-separated words off the front of rest: the text up
// to the second space, or all of rest when it holds no second space.
std::string_view cutTwoWords(std::string_view& rest) {
    const std::size_t first = rest.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : rest.find(' ', first + 1);
    if (second == std::string_view::npos) {
        const std::string_view piece = rest;
        rest = std::string_view();
        return piece;
    }
    const std::string_view piece = rest.substr(0, second);
    rest.remove_prefix(second + 1);
    return piece;
}

} // namespace

std::string timesAndPlayersText(const GameRecord& record) {
    std::string_view pieces[kPieceCount];
    std::string_view rest = fieldText(record.playerLine);
    const auto count = std::min<std::size_t>(std::max<int>(record.playerCount, 0), kPieceCount);
    // A line that runs out of words leaves the later pieces empty.
    for (std::size_t i = 0; i < count; ++i) {
        pieces[i] = cutTwoWords(rest);
    }
    std::string text = "開始:";
    text += fieldText(record.startTime);
    text += "\r\n終了:";
    text += fieldText(record.endTime);
    text += "\r\n\r\n";
    text += joinLines(pieces);
    return text;
}

std::string placingsText(const GameRecord& record) {
    const std::string_view pieces[kPieceCount] = {
        fieldText(record.placings[0]), fieldText(record.placings[1]), fieldText(record.placings[2]),
        fieldText(record.placings[3])};
    return joinLines(pieces);
}

std::string handResultText(const char* handResult) {
    std::string_view pieces[kPieceCount];
    std::string_view rest = handResult;
    // A last word with no space after it is not shown.
    for (std::size_t i = 0; i < kPieceCount && rest.find(' ') != std::string_view::npos; ++i) {
        pieces[i] = cutTwoWords(rest);
    }
    return joinLines(pieces);
}

std::string handYakuText(const char* handYaku) {
    const std::string_view text = handYaku;
    const std::size_t firstSpace = text.find(' ');
    if (firstSpace == std::string_view::npos) {
        return std::string(text);
    }
    std::size_t cut = firstSpace;
    if (firstSpace >= kFuMark.size() &&
        text.substr(firstSpace - kFuMark.size(), kFuMark.size()) == kFuMark) {
        cut = text.find(' ', firstSpace + 1);
    }
    // A 符 word with no second space after it: the whole text is the first line.
    const std::string_view firstLine = cut == std::string_view::npos ? text : text.substr(0, cut);
    const std::string_view rest =
        cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    std::string pane(firstLine);
    pane += "\r\n\r\n";
    pane += rest;
    return pane;
}

std::string GameLibrary::timesAndPlayersText(int position) const {
    if (position < 0 || position >= recordCount()) {
        return kNoRecordText;
    }
    return ::timesAndPlayersText(*record(position));
}

std::string GameLibrary::placingsText(int position) const {
    if (position < 0 || position >= recordCount()) {
        return kNoRecordText;
    }
    return ::placingsText(*record(position));
}
