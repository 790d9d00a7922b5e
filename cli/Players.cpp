// Suggestions for a player name that matches nobody: case and width do not count.
#include "cli/Players.h"
#include "text/Numbers.h"

#include "text/Encoding.h"
#include "text/Nearest.h"

Message notSeated(const std::string& player, const StatsCollector& collector) {
    const std::vector<std::string> names = collector.names();
    std::vector<std::string> loose;
    loose.reserve(names.size());
    for (const std::string& name : names) {
        loose.push_back(looseForm(name));
    }
    const std::string wanted = looseForm(utf8ToCp932(player));
    Message message;
    message.code = MessageCode::NotSeated;
    message.player = player;
    message.total = collector.games();
    for (const std::size_t i : nearestOf(wanted, loose, 3, looseDistance(wanted))) {
        message.names.push_back(cp932ToUtf8(names[i]));
    }
    return message;
}
