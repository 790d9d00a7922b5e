// The search over the loaded records: the next record whose chosen field holds a text.
#include "model/GameLibrary.h"
#include "search/SearchOptions.h"

#include <cstdint>
#include <cstring>

namespace {

bool contains(const char* field, const char* text) {
    return std::strstr(field, text) != nullptr;
}

// The record field a record target looks in; null for the hand targets.
const char* recordField(const GameRecord& record, SearchTarget target) {
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

const char* handField(const HandRecord& hand, SearchTarget target) {
    switch (target) {
    case SearchTarget::HandName:
        return hand.handName;
    case SearchTarget::HandYaku:
        return hand.handYaku;
    default:
        return hand.handResult;
    }
}

bool recordMatches(const GameRecord& record, SearchTarget target, const char* text) {
    if (const char* field = recordField(record, target)) {
        return contains(field, text);
    }
    // Hands lie one allocation each across the heap: asking for the next hand's
    // field while this one is compared hides most of the wait for memory.
    const auto end = record.hands.end();
    for (auto hand = record.hands.begin(); hand != end;) {
        const char* field = handField(*hand, target);
        if (++hand != end) {
            __builtin_prefetch(handField(*hand, target));
        }
        if (contains(field, text)) {
            return true;
        }
    }
    return false;
}

} // namespace

int GameLibrary::search(const SearchOptions& options) const {
    if (options.target < static_cast<std::int32_t>(SearchTarget::TableName) ||
        options.target > static_cast<std::int32_t>(SearchTarget::Placing4)) {
        return -1;
    }
    const auto target = static_cast<SearchTarget>(options.target);
    const auto count = static_cast<std::uint32_t>(recordCount());
    // Unsigned positions: one step above the last or below 0 (-1) is out of range,
    // so the scan ends at either end and never wraps round.
    for (auto pos = static_cast<std::uint32_t>(options.startIndex) +
                    static_cast<std::uint32_t>(options.step);
         pos < count; pos += static_cast<std::uint32_t>(options.step)) {
        const std::uint32_t next = pos + static_cast<std::uint32_t>(options.step);
        if (next < count) {
            // The field's address (or the hand list's, which opens the record) needs
            // no read of the record, so the next one is on its way early.
            const GameRecord& upcoming = *record(static_cast<int>(next));
            const char* field = recordField(upcoming, target);
            __builtin_prefetch(field ? static_cast<const void*>(field) : &upcoming.hands);
        }
        if (recordMatches(*record(static_cast<int>(pos)), target, options.searchText)) {
            return static_cast<int>(pos);
        }
    }
    return -1;
}
