// The catalogue of the core's messages and the one place that words them.
#include "analysis/Messages.h"

#include <algorithm>
#include <cstring>

#include "model/LogMarkers.h"
#include "text/Encoding.h"
#include "text/Numbers.h"

namespace {

using C = MessageCode;
using K = MessageKind;

const std::vector<MessageEntry> kCatalogue = {
    {C::BrokenHalfGame, "broken-half-game", K::Error, "{file}: {broken}",
     "{file}：{broken}。「壊れた半荘を飛ばして読む」に印を付けると、そこを飛ばして読みます。"},
    {C::SkippedHalfGame, "skipped-half-game", K::Warning,
     "skipped lines {first}-{last} of {file}: {broken}",
     "{file}：{first}～{last} 行目の壊れた半荘を飛ばしました。{broken}。"},
    {C::NoHalfGame, "no-half-game", K::Error, "{file}: no half-game: is this a score log?",
     "{file}：半荘が一つもありません。東風荘の牌譜ログでしょうか。このファイルを外してください。"},
    {C::NothingRead, "nothing-read", K::Error, "no half-game could be read",
     "読める半荘が一つもありませんでした。ファイルを確かめてください。"},
    {C::LogsNotLoaded, "logs-not-loaded", K::Error, "{count} of {total:log|logs} did not load",
     "{total} ファイルのうち {count} "
     "ファイルが読めませんでした。読めないファイルを外してください。"},
    {C::Unfinished, "unfinished", K::Note,
     "{file}: lines {first}-{last}: the last half-game has not ended (still being played, or cut "
     "off), so it is left out",
     "{file}：最後の半荘（{first}～{last} "
     "行目）はまだ終わっていない（対局中か途中で切れた）ので入れていません。"},
    {C::EndOfFileByte, "end-of-file-byte", K::Warning,
     "{file}: line {line}: a byte 0x1A ends the log here: the {count:byte|bytes} after it are not "
     "read",
     "{file}：{line} 行目のバイト 0x1A（ファイルの終わりの印）から後の {count} "
     "バイトは読んでいません。"},
    {C::SeatsPastFour, "seats-past-four", K::Warning,
     "{file}: line {line}: {count:seat|seats} past [4] (the first here) cannot be read: a table "
     "has at most four",
     "{file}：[4] より後の席が {count} あり（最初は {line} 行目）、読めません。卓は四人までです。"},
    {C::SeatMarksUnread, "seat-marks-unread", K::Warning,
     "{file}: line {line}: {count:seat mark|seat marks} before [1], repeated or past the table's "
     "size (the first here) cannot be read: {count?its player has|their players have} no seat",
     "{file}：[1] より前か、重なったか、卓の人数より後の席の印が {count} あり（最初は {line} "
     "行目）、読めません。その参加者には席がありません。"},
    {C::Unconvertible, "unconvertible", K::Warning,
     "{file}: line {line}: {count:character|characters} that a CP932 log cannot hold (the first "
     "on this line) are read as \"?\"",
     "{file}：CP932 にない文字 {count} 字（最初は {line} 行目）を「?」として読みました。"},
    {C::ReadTwice, "read-twice", K::Note,
     "{count:half-game was|half-games were} read twice (the same lines in more than one place) "
     "and counted once",
     "{count} 半荘は二度読まれたので（同じ行が複数のファイルにあります）、一度だけ数えました。"},
    {C::MoreWarnings, "more-warnings", K::Note, "{count:more warning|more warnings} not shown",
     "ほかに {count} 件の知らせがあります。"},
    {C::NoneToReport, "none-to-report", K::Error, "no half-games to report: the filters left none",
     "絞り込みで半荘が一つも残りませんでした。一覧の条件を変えてください。"},
    {C::NoNamedSeat, "no-named-seat", K::Error,
     "no player to report: no half-game has a named seat",
     "レポートにする人がいません。名前のある席の半荘がありません。"},
    {C::NotSeated, "not-seated", K::Error,
     "{player} is not in any of the {total:half-game|half-games}{names}",
     "{player} はどの半荘（{total} 半荘）にもいません。名前を確かめてください。{names}"},
    {C::StartAfterEnd, "start-after-end", K::Error,
     "{since} is later than {until}: no half-game can start in between",
     "開始日の「から」（{since}）が「まで」（{until}）より後です。日付を直してください。"},
    {C::WriteFailed, "write-failed", K::Error, "{reason}", "{file} を書けませんでした。"},
};

bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A line as a message shows it: quoted, cut after about 48 bytes at a character's end,
// control bytes written as \xNN. CP932.
std::string quoted(const std::string& text) {
    constexpr std::size_t kShown = 48;
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size() && i < kShown) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            out.append(text, i, 2);
            i += 2;
        } else if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            ++i;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    if (i < text.size()) {
        out += " …";
    }
    return out + "\"";
}

std::string mark(std::string_view m) {
    return std::string(m);
}

// What the reader expected on the line that broke a half-game: CP932.
std::string expectedText(const HalfGameError& error, MessageLanguage language) {
    const bool en = language == MessageLanguage::English;
    switch (error.step) {
    case HalfGameStep::Header:
        return en ? "the header line \"" + mark(logmark::kHeader) + "… " + mark(logmark::kStart) +
                        " …\""
                  : "見出しの行「" + mark(logmark::kHeader) + "… " + mark(logmark::kStart) + " …」";
    case HalfGameStep::Players:
        return en ? "the player line \"[1]… [2]…\"" : "参加者の行「[1]… [2]…」";
    case HalfGameStep::FirstHand:
        return en ? "the first hand line \"  東1局 …) …\" or the abort line \"" +
                        mark(logmark::kAbort) + "\""
                  : "最初の局の行か途中終了の行「" + mark(logmark::kAbort) + "」";
    case HalfGameStep::HandLine:
        return en ? "a hand line whose title ends in \")\"" : "「)」で終わる局の行";
    case HalfGameStep::YakuLine:
        return en ? "the yaku line after the hand line" : "局の行の次の役の行";
    case HalfGameStep::SectionEnd:
        return en ? "the result header \"" + mark(logmark::kResults) + "\" or the abort line"
                  : "結果の見出し「" + mark(logmark::kResults) + "」か途中終了の行";
    case HalfGameStep::Placing:
        return en ? "the placing line \"  " + std::to_string(error.placing) + "位 …\""
                  : std::to_string(error.placing) + "位の行";
    case HalfGameStep::Footer:
        return en ? "the footer line \"" + mark(logmark::kFooter) + "… " + mark(logmark::kEnd) +
                        " …\""
                  : "終わりの行「" + mark(logmark::kFooter) + "… " + mark(logmark::kEnd) + " …」";
    case HalfGameStep::LineLength:
        return en ? "a line of at most 199 bytes" : "199 バイトまでの行";
    }
    return {};
}

// Where a half-game broke: "line 12 (byte 345): expected …, found …". CP932.
std::string brokenText(const HalfGameError& error, MessageLanguage language) {
    const std::string number = std::to_string(error.line);
    const std::string byte = std::to_string(error.offset);
    if (language == MessageLanguage::English) {
        std::string text = "line " + number + " (byte " + byte + "): expected " +
                           expectedText(error, language) + ", found ";
        if (error.step == HalfGameStep::LineLength) {
            text += "a longer one starting " + quoted(error.found);
        } else if (error.atEnd) {
            text += "the end of the file";
            if (error.gameLine > 0) {
                text += " inside the half-game from line " + std::to_string(error.gameLine);
            }
        } else {
            text += quoted(error.found);
        }
        return text;
    }
    // In 「」 in place of the English quotes.
    const std::string line = quoted(error.found);
    const std::string inner = line.substr(1, line.size() - 2);
    std::string found;
    if (error.step == HalfGameStep::LineLength) {
        found = "もっと長い行「" + inner + "」";
    } else if (error.atEnd) {
        found = error.gameLine > 0
                    ? std::to_string(error.gameLine) + " 行目からの半荘の途中でファイルの終わり"
                    : "ファイルの終わり";
    } else {
        found = "「" + inner + "」";
    }
    return number + " 行目（" + byte + " バイト目）が読めません（" + expectedText(error, language) +
           "のはずが" + found + "）";
}

std::string namesText(const std::vector<std::string>& names, MessageLanguage language) {
    if (names.empty()) {
        return {};
    }
    std::string text =
        language == MessageLanguage::English ? "; did you mean " : cp932ToUtf8("近い名前：");
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += language == MessageLanguage::Japanese ? cp932ToUtf8("、")
                    : i + 1 == names.size()               ? " or "
                                                          : ", ";
        }
        text += names[i];
    }
    return text + (language == MessageLanguage::English ? "?" : cp932ToUtf8("。"));
}

std::size_t numberOf(const Message& message, std::string_view name) {
    return name == "total" ? message.total : message.count;
}

// One {…} of a template, in UTF-8.
std::string value(const Message& message, std::string_view name, MessageLanguage language) {
    for (const char sign : {':', '?'}) {
        const std::size_t at = name.find(sign);
        if (at == std::string_view::npos) {
            continue;
        }
        const std::string_view words = name.substr(at + 1);
        const std::size_t bar = words.find('|');
        const std::string one(words.substr(0, bar));
        const std::string many(words.substr(bar + 1));
        const std::size_t n = numberOf(message, name.substr(0, at));
        if (sign == ':') {
            return countText(n, one.c_str(), many.c_str());
        }
        return n == 1 ? one : many;
    }
    if (name == "file") {
        return message.file;
    }
    if (name == "line") {
        return std::to_string(message.line);
    }
    if (name == "first") {
        return std::to_string(message.first);
    }
    if (name == "last") {
        return std::to_string(message.last);
    }
    if (name == "count" || name == "total") {
        return std::to_string(numberOf(message, name));
    }
    if (name == "player") {
        return message.player;
    }
    if (name == "since") {
        return message.since;
    }
    if (name == "until") {
        return message.until;
    }
    if (name == "reason") {
        return message.reason;
    }
    if (name == "broken") {
        return cp932ToUtf8(brokenText(message.error, language));
    }
    if (name == "names") {
        return namesText(message.names, language);
    }
    return {};
}

} // namespace

const std::vector<MessageEntry>& messageCatalogue() {
    return kCatalogue;
}

const MessageEntry& messageEntry(MessageCode code) {
    return kCatalogue[static_cast<std::size_t>(code)];
}

const char* messageKindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error:
        return "error";
    case MessageKind::Warning:
        return "warning";
    case MessageKind::Note:
        return "note";
    }
    return "";
}

std::string messageText(const Message& message, MessageLanguage language) {
    const MessageEntry& entry = messageEntry(message.code);
    const std::string_view text =
        language == MessageLanguage::English ? entry.english : entry.japanese;
    std::string out;
    std::size_t run = 0; // the start of the literal text not yet written
    for (std::size_t i = 0; i < text.size();) {
        if (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            i += 2; // a trail byte may be '{' or '}'
            continue;
        }
        const std::size_t close = text[i] == '{' ? text.find('}', i) : std::string_view::npos;
        if (close == std::string_view::npos) {
            ++i;
            continue;
        }
        out += cp932ToUtf8(text.substr(run, i - run));
        out += value(message, text.substr(i + 1, close - i - 1), language);
        i = run = close + 1;
    }
    return out + cp932ToUtf8(text.substr(run));
}

Message warningMessage(const LogWarning& warning, const std::string& file) {
    Message message;
    switch (warning.kind) {
    case LogWarning::Kind::EndOfFileByte:
        message.code = MessageCode::EndOfFileByte;
        break;
    case LogWarning::Kind::Unfinished:
        message.code = MessageCode::Unfinished;
        break;
    case LogWarning::Kind::SeatPastFour:
        message.code = MessageCode::SeatsPastFour;
        break;
    case LogWarning::Kind::SeatUnread:
        message.code = MessageCode::SeatMarksUnread;
        break;
    case LogWarning::Kind::Unconvertible:
        message.code = MessageCode::Unconvertible;
        break;
    }
    message.file = file;
    message.line = message.first = warning.line;
    message.last = warning.lastLine;
    message.count = warning.count;
    return message;
}

Message problemMessage(const LoadProblem& problem, const std::string& file, bool skipped) {
    Message message;
    message.code = skipped ? MessageCode::SkippedHalfGame : MessageCode::BrokenHalfGame;
    message.file = file;
    message.line = problem.error.line;
    message.first = problem.firstLine;
    message.last = problem.lastLine;
    message.error = problem.error;
    return message;
}
