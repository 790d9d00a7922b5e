// Reads several score logs as one: each half-game found by its header line, all of them
// read once in start-time order, copies counted once, broken ones reported or skipped.
#include "analysis/LogSet.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "analysis/GameFacts.h"
#include "model/LineReader.h"
#include "model/LogMarkers.h"

namespace {

constexpr std::size_t kLongestLine = kLineBufferSize - 1;

// A half-game's lines, one at a time, without their line ends: two copies that differ
// only in CR LF against LF are the same half-game.
template <typename Visit> void forEachLine(std::string_view bytes, Visit visit) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = bytes.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        if (lf != std::string_view::npos && end > start && bytes[end - 1] == '\r') {
            --end;
        }
        visit(bytes.substr(start, end - start));
        if (lf == std::string_view::npos) {
            return;
        }
        start = lf + 1;
    }
}

// Copies share these fields; hashing them instead of every line keeps the check cheap,
// and the lines themselves are compared only when the fields agree.
std::size_t recordHash(const GameRecord& record) {
    std::size_t hash = record.hands.size();
    for (const char* field : {record.startTime, record.tableName, record.playerLine,
                              record.placings[0], record.endTime}) {
        hash = hash * 1000003u ^ std::hash<std::string_view>()(field);
    }
    return hash;
}

bool sameLines(std::string_view a, std::string_view b) {
    std::vector<std::string_view> linesA;
    forEachLine(a, [&](std::string_view line) { linesA.push_back(line); });
    std::size_t i = 0;
    bool same = true;
    forEachLine(b, [&](std::string_view line) {
        same = same && i < linesA.size() && linesA[i] == line;
        ++i;
    });
    return same && i == linesA.size();
}

// A line of the bytes as the line reader reads it: up to its LF, less a CR before it.
struct RawLine {
    std::string_view text; // without the line end
    std::size_t next;      // offset of the next line
};

RawLine lineAt(std::string_view bytes, std::size_t from) {
    const void* lf = std::memchr(bytes.data() + from, '\n', bytes.size() - from);
    const std::size_t end =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
    std::size_t length = end - from;
    if (lf && length > 0 && bytes[end - 1] == '\r') {
        --length;
    }
    return {bytes.substr(from, length), lf ? end + 1 : end};
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

} // namespace

void LogSet::load(std::vector<std::string> files, const LogSetOptions& options) {
    files_ = std::move(files);
    options_ = options;
    segments_.clear();
    problems_.clear();
    warnings_.clear();
    summaries_.assign(files_.size(), FileSummary{});
    count_ = hands_ = aborted_ = duplicates_ = 0;
    failed_ = false;
    for (std::size_t file = 0; file < files_.size(); ++file) {
        scan(file);
    }
    found_ = static_cast<std::size_t>(std::count_if(segments_.begin(), segments_.end(),
                                                    [](const Segment& s) { return s.header; }));
}

void LogSet::scan(std::size_t file) {
    std::string& bytes = files_[file];
    // A byte 0x1A ends a log, as it ends a text-mode read; say what is left unread.
    if (const std::size_t mark = bytes.find('\x1A'); mark != std::string::npos) {
        const std::size_t after = bytes.size() - mark - 1;
        if (after > 0) {
            const long line =
                1 + static_cast<long>(std::count(bytes.begin(), bytes.begin() + mark, '\n'));
            warnings_.push_back({file, line, 0, after, LogWarning::Kind::EndOfFileByte});
        }
        bytes.resize(mark);
    }
    const std::string_view view(bytes);
    GameRecord scratch;
    char line[kLineBufferSize];
    const std::size_t first = segments_.size();
    long number = 0;
    std::size_t at = 0;
    while (at < view.size()) {
        const RawLine raw = lineAt(view, at);
        ++number;
        if (raw.text.substr(0, logmark::kHeader.size()) == logmark::kHeader) {
            // The loader's own header rule, on what the line reader would deliver.
            const std::size_t length = std::min(raw.text.size(), kLongestLine);
            std::memcpy(line, raw.text.data(), length);
            line[length] = '\0';
            if (scratch.parseHeader(line)) {
                Segment segment;
                segment.file = file;
                segment.offset = at;
                segment.firstLine = number;
                segment.header = true;
                std::memcpy(segment.startTime, scratch.startTime, sizeof segment.startTime);
                if (segments_.size() == first && at > 0) {
                    Segment before; // the lines before the first half-game
                    before.file = file;
                    before.firstLine = 1;
                    segments_.push_back(before);
                }
                segments_.push_back(segment);
            }
        }
        at = raw.next;
    }
    if (segments_.size() == first && !view.empty()) {
        segments_.push_back(Segment{file}); // no header at all: what there is, is stray
        segments_.back().firstLine = 1;
    }
    const long lines = number;
    for (std::size_t i = first; i < segments_.size(); ++i) {
        const bool last = i + 1 == segments_.size();
        segments_[i].end = last ? view.size() : segments_[i + 1].offset;
        segments_[i].lastLine = last ? lines : segments_[i + 1].firstLine - 1;
        segments_[i].last = last;
    }
}

bool LogSet::read(const std::function<void(const LoadedGame&)>& visit) {
    GameRecord record;
    return read([&]() -> GameRecord& { return record; }, visit);
}

bool LogSet::read(const std::function<GameRecord&()>& supply,
                  const std::function<void(const LoadedGame&)>& visit) {
    // Start-time order; equal times keep the order of the files and within them. The
    // lines before a first header line come first: they hold no half-game.
    std::vector<const Segment*> order;
    order.reserve(segments_.size());
    for (const Segment& segment : segments_) {
        order.push_back(&segment);
    }
    std::stable_sort(order.begin(), order.end(), [](const Segment* a, const Segment* b) {
        if (a->header != b->header) {
            return !a->header;
        }
        return std::strcmp(a->startTime, b->startTime) < 0;
    });

    // The lines of every half-game kept so far, by hash, to drop copies.
    std::unordered_multimap<std::size_t, std::string_view> seen;
    seen.reserve(segments_.size());
    GameRecord* record = nullptr; // asked of supply again once it was visited
    RecordLines lines;            // kept from one half-game to the next, as the record is
    std::vector<std::pair<long, std::size_t>> seatsPastFour(files_.size());
    std::vector<std::pair<long, std::size_t>> seatsUnread(files_.size());
    const auto note = [](std::pair<long, std::size_t>& first, long line, int count) {
        first.first = first.first && first.first < line ? first.first : line;
        first.second += static_cast<std::size_t>(count);
    };
    for (const Segment* segment : order) {
        if (!segment->header) {
            strayLines(*segment, segment->offset, segment->firstLine);
            continue;
        }
        const std::string_view bytes(files_[segment->file]);
        LineReader reader(bytes.data() + segment->offset, segment->end - segment->offset, true);
        if (!record) {
            record = &supply();
        }
        GameRecord& slot = *record;
        slot.recycleHands();
        HalfGameError error;
        const long base = segment->firstLine - 1;
        if (!readHalfGameLines(slot, reader, &error, &lines)) {
            error.line += base;
            error.gameLine += base;
            error.offset += segment->offset;
            if (error.atEnd && segment->last && !options_.strict) {
                warnings_.push_back({segment->file, segment->firstLine, segment->lastLine, 0,
                                     LogWarning::Kind::Unfinished});
                continue;
            }
            if (error.atEnd && !segment->last) {
                // What ended it is the next half-game's header line.
                error.atEnd = false;
                error.line = segment->lastLine + 1;
                error.offset = segment->end;
                const std::string_view next = lineAt(bytes, segment->end).text;
                error.found = std::string(next.substr(0, kLongestLine));
            }
            addProblem(*segment, error, segment->firstLine, segment->lastLine);
            continue;
        }
        for (long* line : {&lines.header, &lines.players, &lines.sectionEnd, &lines.footer}) {
            *line += base;
        }
        for (long& line : lines.hands) {
            line += base;
        }
        for (long& line : lines.placings) {
            line += line ? base : 0;
        }
        const std::size_t footerEnd = segment->offset + reader.offset();
        const RawLine separator = lineAt(bytes.substr(0, segment->end), footerEnd);
        const bool hasSeparator = footerEnd < segment->end;
        if (hasSeparator && separator.text.size() > kLongestLine) {
            HalfGameError longLine;
            longLine.step = HalfGameStep::LineLength;
            longLine.line = lines.footer + 1;
            longLine.offset = footerEnd;
            longLine.found = std::string(separator.text.substr(0, kLongestLine));
            addProblem(*segment, longLine, segment->firstLine, segment->lastLine);
            continue;
        }
        // Anything but blank lines after the separator is no half-game: reported apart,
        // while this one is kept.
        if (hasSeparator) {
            strayLines(*segment, separator.next, lines.footer + 2);
        }

        RecordOrigin origin{segment->file, segment->firstLine,
                            hasSeparator ? lines.footer + 1 : lines.footer, segment->offset,
                            segment->end};
        std::string_view own = bytes.substr(segment->offset, footerEnd - segment->offset);
        while (!own.empty() && (own.back() == '\n' || own.back() == '\r')) {
            own.remove_suffix(1);
        }
        FileSummary& summary = summaries_[segment->file];
        const std::size_t hash = recordHash(slot);
        const auto range = seen.equal_range(hash);
        if (std::any_of(range.first, range.second,
                        [&](const auto& entry) { return sameLines(entry.second, own); })) {
            ++duplicates_;
            ++summary.duplicates;
            continue;
        }
        seen.emplace(hash, own);
        if (const int extra = seatsBeyondFour(slot.playerLine)) {
            note(seatsPastFour[segment->file], lines.players, extra);
        }
        // The player line as the log has it: the record keeps it from its first [1] on.
        const RawLine header = lineAt(bytes.substr(0, segment->end), segment->offset);
        const std::string_view players = lineAt(bytes.substr(0, segment->end), header.next).text;
        if (const int unread = unreadSeatMarks(players.substr(0, kLongestLine), slot.playerCount)) {
            note(seatsUnread[segment->file], lines.players, unread);
        }
        ++count_;
        hands_ += slot.hands.size();
        aborted_ += slot.aborted();
        ++summary.games;
        summary.hands += slot.hands.size();
        summary.aborted += slot.aborted();
        if (!failed_) {
            visit(LoadedGame{count_, slot, origin, lines});
            record = nullptr;
        }
    }
    for (std::size_t file = 0; file < files_.size(); ++file) {
        if (const auto [line, count] = seatsPastFour[file]; count > 0) {
            warnings_.push_back({file, line, 0, count, LogWarning::Kind::SeatPastFour});
        }
        if (const auto [line, count] = seatsUnread[file]; count > 0) {
            warnings_.push_back({file, line, 0, count, LogWarning::Kind::SeatUnread});
        }
    }
    const auto byLine = [](const auto& a, const auto& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    };
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const LoadProblem& a, const LoadProblem& b) {
                         return a.file != b.file ? a.file < b.file : a.firstLine < b.firstLine;
                     });
    std::stable_sort(warnings_.begin(), warnings_.end(), byLine);
    return !failed_;
}

void LogSet::strayLines(const Segment& segment, std::size_t from, long line) {
    const std::string_view bytes = std::string_view(files_[segment.file]).substr(0, segment.end);
    for (std::size_t at = from; at < bytes.size(); ++line) {
        const RawLine raw = lineAt(bytes, at);
        HalfGameError error;
        error.line = line;
        error.offset = at;
        error.found = std::string(raw.text.substr(0, kLongestLine));
        if (raw.text.size() > kLongestLine) {
            error.step = HalfGameStep::LineLength;
        } else if (isBlank(raw.text)) {
            at = raw.next;
            continue;
        } else {
            error.step = HalfGameStep::Header;
        }
        addProblem(segment, error, line, segment.lastLine);
        return;
    }
}

void LogSet::addProblem(const Segment& segment, HalfGameError error, long firstLine,
                        long lastLine) {
    LoadProblem problem;
    problem.file = segment.file;
    problem.error = std::move(error);
    problem.firstLine = firstLine;
    problem.lastLine = options_.salvage ? lastLine : problem.error.line;
    problems_.push_back(std::move(problem));
    ++summaries_[segment.file].problems;
    failed_ = failed_ || !options_.salvage;
}
