// Which field of a record or of a hand a search target looks in, and the byte-wise
// match: shared by GameLibrary::search and the command's search, so both find the same.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "model/GameRecord.h"
#include "search/SearchOptions.h"

// The command's names of the targets, in SearchTarget order (TableName first).
constexpr const char* kSearchFieldNames[] = {"table",  "players", "start",  "end",
                                             "hand",   "yaku",    "result", "place1",
                                             "place2", "place3",  "place4"};

inline std::optional<SearchTarget> searchTargetNamed(std::string_view name) {
    for (std::size_t i = 0; i < sizeof kSearchFieldNames / sizeof *kSearchFieldNames; ++i) {
        if (name == kSearchFieldNames[i]) {
            return static_cast<SearchTarget>(i + 1);
        }
    }
    return std::nullopt;
}

// Plain strstr over CP932 bytes, as the program always matched.
inline bool fieldContains(const char* field, const char* text) {
    return std::strstr(field, text) != nullptr;
}

// The record field a record target looks in; null for the hand targets.
inline const char* recordField(const GameRecord& record, SearchTarget target) {
    switch (target) {
    case SearchTarget::TableName:
        return record.tableName;
    case SearchTarget::PlayerLine:
        return record.playerLine;
    case SearchTarget::StartTime:
        return record.startTime;
    case SearchTarget::EndTime:
        return record.endTime;
    case SearchTarget::Placing1:
        return record.placings[0];
    case SearchTarget::Placing2:
        return record.placings[1];
    case SearchTarget::Placing3:
        return record.placings[2];
    case SearchTarget::Placing4:
        return record.placings[3];
    default:
        return nullptr;
    }
}

// The hand field of a hand target (the result for any other target).
inline const char* handField(const HandRecord& hand, SearchTarget target) {
    switch (target) {
    case SearchTarget::HandName:
        return hand.handName;
    case SearchTarget::HandYaku:
        return hand.handYaku;
    default:
        return hand.handResult;
    }
}

// Whether the record's field, or any of its hands' fields, holds text.
inline bool recordMatches(const GameRecord& record, SearchTarget target, const char* text) {
    if (const char* field = recordField(record, target)) {
        return fieldContains(field, text);
    }
    // Hands lie one allocation each across the heap: asking for the next hand's
    // field while this one is compared hides most of the wait for memory.
    const auto end = record.hands.end();
    for (auto hand = record.hands.begin(); hand != end;) {
        const char* field = handField(*hand, target);
        if (++hand != end) {
            __builtin_prefetch(handField(*hand, target));
        }
        if (fieldContains(field, text)) {
            return true;
        }
    }
    return false;
}

// Every hit among count records, in order, for the command's search: calls
// onHit(position, hand) with hand the 0-based index of the matching hand, or -1 for
// a record field. recordAt(position) gives the record. A record with no hit costs what
// GameLibrary::search pays for it: the same match, with the same fetching ahead.
template <typename RecordAt, typename OnHit>
void forEveryHit(std::size_t count, RecordAt&& recordAt, SearchTarget target, const char* text,
                 OnHit&& onHit) {
    for (std::size_t pos = 0; pos < count; ++pos) {
        if (pos + 1 < count) {
            const GameRecord& upcoming = recordAt(pos + 1);
            const char* field = recordField(upcoming, target);
            __builtin_prefetch(field ? static_cast<const void*>(field) : &upcoming.hands);
        }
        const GameRecord& record = recordAt(pos);
        if (!recordMatches(record, target, text)) {
            continue;
        }
        if (recordField(record, target)) {
            onHit(pos, -1);
            continue;
        }
        int hand = 0;
        for (const HandRecord& h : record.hands) {
            if (fieldContains(handField(h, target), text)) {
                onHit(pos, hand);
            }
            ++hand;
        }
    }
}
