// Loads several score logs into one set: merge by start time, duplicates, salvage.
#include "analysis/LogSet.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "model/LineReader.h"

namespace {

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

bool isHeaderLine(std::string_view line) {
    return line.substr(0, 6) == "===== " && line.find("開始") != std::string_view::npos;
}

// The offset of the first header line that starts after offset from, or the size.
std::size_t nextHeader(std::string_view bytes, std::size_t from, long& lineNumber) {
    std::size_t pos = bytes.find('\n', from);
    while (pos != std::string_view::npos) {
        ++lineNumber;
        const std::size_t start = pos + 1;
        std::size_t end = bytes.find('\n', start);
        const std::string_view line =
            bytes.substr(start, (end == std::string_view::npos ? bytes.size() : end) - start);
        if (isHeaderLine(line)) {
            return start;
        }
        pos = end;
    }
    return bytes.size();
}

struct Loaded {
    GameRecord* record; // null when only offsets are kept
    RecordOrigin origin;
    char startTime[kTimeFieldSize];
};

} // namespace

bool LogSet::load(std::vector<std::string> files, const LogSetOptions& options) {
    files_ = std::move(files);
    records_.clear();
    merged_.clear();
    origins_.clear();
    problems_.clear();
    duplicates_ = count_ = hands_ = aborted_ = 0;

    std::vector<Loaded> loaded;
    // The lines of every half-game kept so far, by hash, to drop copies.
    std::unordered_multimap<std::size_t, std::string_view> seen;

    for (std::size_t file = 0; file < files_.size(); ++file) {
        std::string_view bytes(files_[file]);
        // A byte 0x1A ends a log, as it ends a text-mode read.
        bytes = bytes.substr(0, std::min(bytes.size(), bytes.find('\x1A')));
        std::size_t start = 0; // where the current reader began
        long lineBase = 0;     // lines before it
        while (start < bytes.size()) {
            LineReader reader(bytes.data() + start, bytes.size() - start, true);
            bool restarted = false;
            while (!reader.atEnd()) {
                const std::size_t gameStart = reader.offset();
                const long firstLine = lineBase + reader.lineNumber() + 1;
                GameRecord& record = records_.emplace_back();
                HalfGameError error;
                if (!readHalfGame(record, reader, &error)) {
                    records_.pop_back();
                    LoadProblem problem;
                    problem.file = file;
                    problem.error = error;
                    problem.error.line += lineBase;
                    problem.error.gameLine += lineBase;
                    problem.error.offset += start;
                    problem.firstLine = firstLine;
                    if (!options.salvage) {
                        problem.lastLine = problem.error.line;
                        problems_.push_back(std::move(problem));
                        records_.clear();
                        count_ = hands_ = aborted_ = 0;
                        return false;
                    }
                    // Go on at the next header line after this half-game's first line.
                    long line = firstLine;
                    const std::size_t next = nextHeader(bytes, start + gameStart, line);
                    problem.lastLine = line - 1;
                    if (next >= bytes.size()) {
                        // The broken half-game runs to the end of the file.
                        problem.lastLine = !bytes.empty() && bytes.back() == '\n' ? line - 1 : line;
                    }
                    problems_.push_back(std::move(problem));
                    lineBase = line - 1;
                    start = next;
                    restarted = true;
                    break;
                }
                const std::size_t gameEnd = reader.offset();
                std::string_view lines = bytes.substr(start + gameStart, gameEnd - gameStart);
                // The separator line is not part of what makes two half-games the same.
                while (!lines.empty() && (lines.back() == '\n' || lines.back() == '\r')) {
                    lines.remove_suffix(1);
                }
                const std::size_t hash = recordHash(record);
                const auto range = seen.equal_range(hash);
                const bool copy = std::any_of(range.first, range.second, [&](const auto& entry) {
                    return sameLines(entry.second, lines);
                });
                if (copy) {
                    records_.pop_back();
                    ++duplicates_;
                    continue;
                }
                seen.emplace(hash, lines);
                ++count_;
                hands_ += record.hands.size();
                aborted_ += std::strcmp(record.placings[0], "途中終了") == 0;
                if (options.keep == LogSetOptions::Keep::Counts) {
                    // One record's node at a time: no memory grows with the log.
                    records_.pop_back();
                    continue;
                }
                Loaded entry{&record,
                             {file, firstLine, lineBase + reader.lineNumber(), start + gameStart,
                              start + gameEnd},
                             {}};
                std::memcpy(entry.startTime, record.startTime, sizeof entry.startTime);
                if (options.keep == LogSetOptions::Keep::Offsets) {
                    entry.record = nullptr;
                    records_.pop_back();
                }
                loaded.push_back(entry);
            }
            if (!restarted) {
                break;
            }
        }
    }

    // Start-time order; equal times keep the order of the files and within them.
    std::stable_sort(loaded.begin(), loaded.end(), [](const Loaded& a, const Loaded& b) {
        return std::strcmp(a.startTime, b.startTime) < 0;
    });
    if (options.keep == LogSetOptions::Keep::Records) {
        merged_.reserve(loaded.size());
    }
    origins_.reserve(loaded.size());
    for (const Loaded& entry : loaded) {
        if (entry.record) {
            merged_.push_back(entry.record);
        }
        origins_.push_back(entry.origin);
    }
    slotPosition_ = static_cast<std::size_t>(-1);
    return true;
}

const GameRecord& LogSet::reread(std::size_t position) const {
    if (position != slotPosition_) {
        const RecordOrigin& origin = origins_[position];
        const std::string& bytes = files_[origin.file];
        // Its own bytes only: a reader over the rest of the file would first look
        // through all of it for an end-of-file byte.
        LineReader reader(bytes.data() + origin.offset, origin.end - origin.offset, true);
        slot_.freeHands();
        // It read once already, so it reads the same again.
        readHalfGame(slot_, reader, nullptr);
        slotPosition_ = position;
    }
    return slot_;
}

RecordLines LogSet::lines(std::size_t position) const {
    // The markers of GameRecord's parsers, which decide where a hand line is.
    static const char kRoundMarker[] = "本場(リーチ";
    static const char kResultsLine[] = "  ---- 試合結果 ----";
    static const char kAbortLine[] = "   ユーザ切断により途中終了";

    const GameRecord& record = this->record(position);
    const RecordOrigin& origin = origins_[position];
    const std::string& bytes = files_[origin.file];
    LineReader reader(bytes.data() + origin.offset, origin.end - origin.offset, true);
    char line[kLineBufferSize];
    RecordLines lines;
    const auto read = [&] {
        reader.readLine(line);
        return origin.firstLine - 1 + reader.lineNumber();
    };
    lines.header = read();
    lines.players = read();
    long at = read(); // the first hand line, or the abort line
    const std::size_t handCount = record.hands.size();
    for (std::size_t h = 0; h < handCount; ++h) {
        lines.hands.push_back(at);
        at = read(); // its yaku line, which may already be the next hand line
        if (h + 1 < handCount) {
            while (!std::strstr(line, kRoundMarker) && !reader.atEnd()) {
                at = read();
            }
        }
    }
    while (std::strcmp(line, kResultsLine) != 0 && std::strcmp(line, kAbortLine) != 0 &&
           !reader.atEnd()) {
        at = read();
    }
    lines.sectionEnd = at;
    if (std::strcmp(line, kResultsLine) == 0) {
        for (int i = 0; i < record.playerCount && i < kPlacingCount; ++i) {
            lines.placings[i] = read();
        }
    }
    lines.footer = read();
    return lines;
}
