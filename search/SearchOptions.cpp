// The search request's defaults and the mending of a stored request.
#include "search/SearchOptions.h"

#include <cstring>

void setSearchDefaults(SearchOptions& options) {
    options.startIndex = 0;
    options.searchText[0] = '\0';
    options.target = static_cast<std::int32_t>(SearchTarget::TableName);
    options.step = 1;
}

void terminateSearchText(SearchOptions& options) {
    if (std::memchr(options.searchText, '\0', kSearchTextSize) == nullptr) {
        options.searchText[kSearchTextSize - 1] = '\0';
    }
}
