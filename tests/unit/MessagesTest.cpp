// The catalogue of the core's messages: every code worded in both languages, the English
// as the command has always said it, the Japanese naming no flag of the command.
#include <gtest/gtest.h>

#include <set>

#include "analysis/Messages.h"
#include "text/Encoding.h"

namespace {

// The test's literals are CP932, as the core's are; messages come out in UTF-8.
std::string utf8(const std::string& cp932) {
    return cp932ToUtf8(cp932);
}

Message of(MessageCode code) {
    Message message;
    message.code = code;
    return message;
}

// A message with every value filled in, so that a template naming one shows it.
Message filled(MessageCode code) {
    Message message = of(code);
    message.file = "pc1/score.txt";
    message.line = 7;
    message.first = 8;
    message.last = 43;
    message.count = 3;
    message.total = 16;
    message.error.step = HalfGameStep::Placing;
    message.error.placing = 3;
    message.error.line = 42;
    message.error.offset = 1766;
    message.error.found = "東1局 終了"; // CP932, as the log has it
    message.player = "kuma";
    message.names = {"Kuma", "Kumo"};
    message.since = "2003-06-07";
    message.until = "2003-06-06";
    message.reason = "out.json: cannot write: No space left on device";
    return message;
}

TEST(MessagesTest, EveryCodeHasOneRowWithBothTexts) {
    const std::vector<MessageEntry>& catalogue = messageCatalogue();
    std::set<std::string> ids;
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const MessageEntry& entry = catalogue[i];
        SCOPED_TRACE(entry.id);
        EXPECT_EQ(static_cast<std::size_t>(entry.code), i); // messageEntry indexes by code
        EXPECT_TRUE(ids.insert(entry.id).second);
        const Message message = filled(entry.code);
        const std::string english = messageText(message, MessageLanguage::English);
        const std::string japanese = messageText(message, MessageLanguage::Japanese);
        EXPECT_FALSE(english.empty());
        EXPECT_FALSE(japanese.empty());
        EXPECT_TRUE(isValidUtf8(english));
        EXPECT_TRUE(isValidUtf8(japanese));
        // Every {value} was filled in, and the page's words name none of the command's flags.
        for (const std::string* text : {&english, &japanese}) {
            EXPECT_EQ(text->find('{'), std::string::npos) << *text;
            EXPECT_EQ(text->find('}'), std::string::npos) << *text;
        }
        EXPECT_EQ(japanese.find("--"), std::string::npos) << japanese;
        EXPECT_NE(japanese, english);
        EXPECT_EQ(japanese.find("did you mean"), std::string::npos);
    }
    EXPECT_EQ(catalogue.size(), static_cast<std::size_t>(MessageCode::WriteFailed) + 1);
}

TEST(MessagesTest, EnglishAsTheCommandSaysIt) {
    struct Case {
        Message message;
        std::string english;
    };
    Message broken = filled(MessageCode::BrokenHalfGame);
    broken.file = "broken.txt";
    Message atEnd = broken;
    atEnd.error.step = HalfGameStep::Footer;
    atEnd.error.atEnd = true;
    atEnd.error.gameLine = 8;
    Message longLine = broken;
    longLine.error.step = HalfGameStep::LineLength;
    longLine.error.found = std::string(60, 'x') + "\x01";
    Message one = filled(MessageCode::SeatMarksUnread);
    one.count = 1;
    Message twice = of(MessageCode::ReadTwice);
    twice.count = 1;
    Message noNames = filled(MessageCode::NotSeated);
    noNames.names.clear();
    noNames.total = 1;
    const Case cases[] = {
        {broken, "broken.txt: line 42 (byte 1766): expected the placing line \"  3位 …\", found "
                 "\"東1局 終了\""},
        {atEnd, "broken.txt: line 42 (byte 1766): expected the footer line \"----- … 終了 …\", "
                "found the end of the file inside the half-game from line 8"},
        {longLine, "broken.txt: line 42 (byte 1766): expected a line of at most 199 bytes, found "
                   "a longer one starting \"" +
                       std::string(48, 'x') + " …\""},
        {filled(MessageCode::SkippedHalfGame),
         "skipped lines 8-43 of pc1/score.txt: line 42 (byte 1766): expected the placing line "
         "\"  3位 …\", found \"東1局 終了\""},
        {filled(MessageCode::Unfinished),
         "pc1/score.txt: lines 8-43: the last half-game has not ended (still being played, or "
         "cut off), so it is left out"},
        {filled(MessageCode::EndOfFileByte),
         "pc1/score.txt: line 7: a byte 0x1A ends the log here: the 3 bytes after it are not "
         "read"},
        {one, "pc1/score.txt: line 7: 1 seat mark before [1], repeated or past the table's size "
              "(the first here) cannot be read: its player has no seat"},
        {filled(MessageCode::SeatMarksUnread),
         "pc1/score.txt: line 7: 3 seat marks before [1], repeated or past the table's size (the "
         "first here) cannot be read: their players have no seat"},
        {twice, "1 half-game was read twice (the same lines in more than one place) and counted "
                "once"},
        {filled(MessageCode::LogsNotLoaded), "3 of 16 logs did not load"},
        {filled(MessageCode::NotSeated),
         "kuma is not in any of the 16 half-games; did you mean Kuma or Kumo?"},
        {noNames, "kuma is not in any of the 1 half-game"},
        {filled(MessageCode::WriteFailed), "out.json: cannot write: No space left on device"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(messageText(c.message, MessageLanguage::English), utf8(c.english));
    }
}

TEST(MessagesTest, JapaneseNamesWhatThePageOffers) {
    const std::string broken =
        messageText(filled(MessageCode::BrokenHalfGame), MessageLanguage::Japanese);
    EXPECT_EQ(
        broken,
        utf8("pc1/score.txt：42 行目（1766 バイト目）が読めません（3位の行のはずが「東1局 "
             "終了」）。「壊れた半荘を飛ばして読む」に印を付けると、そこを飛ばして読みます。"));
    EXPECT_NE(messageText(filled(MessageCode::NoHalfGame), MessageLanguage::Japanese)
                  .find(utf8("このファイルを外してください")),
              std::string::npos);
    EXPECT_NE(messageText(filled(MessageCode::StartAfterEnd), MessageLanguage::Japanese)
                  .find(utf8("日付を直してください")),
              std::string::npos);
    EXPECT_NE(messageText(filled(MessageCode::NotSeated), MessageLanguage::Japanese)
                  .find(utf8("近い名前：Kuma、Kumo。")),
              std::string::npos);
    EXPECT_STREQ(messageKindName(messageEntry(MessageCode::Unfinished).kind), "note");
    EXPECT_STREQ(messageKindName(messageEntry(MessageCode::SeatsPastFour).kind), "warning");
}

// Warnings of the pass become messages of their own kind, with their counts.
TEST(MessagesTest, WarningsOfThePass) {
    LogWarning warning;
    warning.kind = LogWarning::Kind::Unconvertible;
    warning.line = 2;
    warning.count = 12;
    EXPECT_EQ(messageText(warningMessage(warning, "u.txt"), MessageLanguage::English),
              "u.txt: line 2: 12 characters that a CP932 log cannot hold (the first on this line) "
              "are read as \"?\"");
    warning.kind = LogWarning::Kind::SeatPastFour;
    warning.count = 1;
    EXPECT_EQ(messageText(warningMessage(warning, "s.txt"), MessageLanguage::English),
              "s.txt: line 2: 1 seat past [4] (the first here) cannot be read: a table has at "
              "most four");
}

} // namespace
