// Suggestions for a player name that matches nobody: case and width do not count.
#include "cli/Players.h"
#include "text/Numbers.h"

#include "text/Encoding.h"
#include "text/Nearest.h"

std::string notSeated(const std::string& player, const StatsCollector& collector) {
    const std::vector<std::string> names = collector.names();
    std::vector<std::string> loose;
    loose.reserve(names.size());
    for (const std::string& name : names) {
        loose.push_back(looseForm(name));
    }
    const std::string wanted = looseForm(utf8ToCp932(player));
    const std::vector<std::size_t> near = nearestOf(wanted, loose, 3, looseDistance(wanted));
    std::string text =
        player + " is not in any of the " + countText(collector.games(), "half-game", "half-games");
    for (std::size_t i = 0; i < near.size(); ++i) {
        text += i == 0 ? "; did you mean " : i + 1 == near.size() ? " or " : ", ";
        text += cp932ToUtf8(names[near[i]]);
    }
    return text + (near.empty() ? "" : "?");
}
