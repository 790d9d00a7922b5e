// The search over the loaded records: the next record whose chosen field holds a text.
#include "model/GameLibrary.h"
#include "search/FieldMatch.h"
#include "search/SearchOptions.h"

#include <cstdint>

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
