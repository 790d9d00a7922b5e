// The page's list of the player's newest half-games, each opening to its hands; the
// newest of them with a chart of every seat's points through the half-game.
#include <algorithm>

#include "report/Charts.h"
#include "report/PageParts.h"
#include "text/Numbers.h"

namespace page {

namespace {

// Half-games of the list with a chart of their points: fifty small charts stay a small
// part of the page.
constexpr std::size_t kChartedGames = 50;

// The player's change in a hand: the sum of their entries, absent if they have none.
std::optional<long long> ownChange(const HandFacts& hand, const std::string& player) {
    std::optional<long long> sum;
    for (const PointChange& change : hand.changes) {
        if (change.name == player) {
            sum = sum.value_or(0) + change.change;
        }
    }
    return sum;
}

// The chart of the points, or empty when the log does not tell them (no start points).
std::string pointsOf(const GameFacts& game, const std::string& player) {
    if (game.hands.empty() || !game.startPoints) {
        return {};
    }
    PointsChart chart;
    const SeatFacts* me = findSeat(game, player);
    for (const SeatFacts& seat : game.seats) {
        chart.seats.push_back({plain(seat.name.empty() ? seat.raw : seat.name),
                               {static_cast<double>(*game.startPoints)},
                               &seat == me});
    }
    std::string round;
    for (const HandFacts& hand : game.hands) {
        if (hand.pointsAfter.size() != chart.seats.size()) {
            return {};
        }
        for (std::size_t s = 0; s < chart.seats.size(); ++s) {
            chart.seats[s].points.push_back(static_cast<double>(hand.pointsAfter[s]));
        }
        const std::string name = hand.wind && hand.round
                                     ? plain(*hand.wind) + std::to_string(*hand.round)
                                     : std::to_string(hand.number);
        chart.handLabels.push_back(name == round ? std::string() : name);
        round = name;
        int dealer = -1;
        for (std::size_t s = 0; s < game.seats.size() && hand.dealer; ++s) {
            dealer = game.seats[s].seat == *hand.dealer ? static_cast<int>(s) : dealer;
        }
        chart.dealer.push_back(dealer);
    }
    return pointsChart(chart);
}

std::string gameEntry(const GameFacts& game, const std::string& player, bool charted) {
    std::string out = "<details><summary><span class=\"when\">" +
                      (game.start ? text(*game.start) : text(game.startRaw)) + "</span>" +
                      text(game.table) + u("（") + std::to_string(game.playerCount) + u("人）");
    const PlacingFacts* placing = findPlacing(game, player);
    if (game.aborted) {
        out += "<span class=\"res\">" + u("途中終了") + "</span>";
    } else if (placing && placing->place) {
        out += "<span class=\"res\">" + std::to_string(*placing->place) + u("位") +
               (placing->scoreTenths ? " " + signedTenthsText(*placing->scoreTenths) : "") +
               "</span>";
    }
    out += " <span class=\"note\">" + gameRef(game.number) + "</span></summary>\n";
    out += "<div class=\"game\"><p>";
    for (const SeatFacts& seat : game.seats) {
        out += "[" + std::to_string(seat.seat) + "]" + text(seat.raw) + " ";
    }
    out += "</p>\n";
    if (charted) {
        const std::string svg = pointsOf(game, player);
        out += svg.empty() ? "<p class=\"note\">" +
                                 u("点数の推移の図はありません。開始時の点数がログから分からない"
                                   "ためです（途中終了の半荘、読めない局のある半荘など）。") +
                                 "</p>\n"
                           : "<figure class=\"points\">" + svg + "</figure>\n";
    }
    if (!game.hands.empty()) {
        out += "<div class=\"wide\"><table class=\"hands\"><thead><tr><th>" + u("局") +
               "</th><th>" + u("結果") + "</th><th>" + u("役") + "</th><th>" + u("自分") +
               "</th></tr></thead><tbody>\n";
        for (const HandFacts& hand : game.hands) {
            const auto change = ownChange(hand, player);
            out += "<tr><td>" + text(hand.title) + "</td><td>" + text(hand.result) + "</td><td>" +
                   text(hand.yaku) + "</td><td>" +
                   (change && *change != 0 ? signedPointsText(*change) : "") + "</td></tr>\n";
        }
        out += "</tbody></table></div>\n";
    }
    if (game.aborted) {
        out += "<p>" + u("途中終了（順位なし）") + "</p>\n";
    } else {
        out += "<ol class=\"placings\">";
        for (const PlacingFacts& p : game.placings) {
            out += "<li>" + text(p.raw) + "</li>";
        }
        out += "</ol>\n";
    }
    return out + "<p class=\"note\">" + text(game.startRaw) + " - " + text(game.endRaw) +
           "</p></div></details>\n";
}

} // namespace

std::string gameList(const ReportInput& input) {
    const std::string& player = input.stats.player;
    const std::size_t theirs = static_cast<std::size_t>(gamesOf(input.stats));
    std::string out = "<section id=\"games\"><h2>" + u("半荘一覧") + "</h2>\n<p class=\"note\">";
    const std::size_t shown = input.listed.size();
    out += u("新しい順に ") + std::to_string(shown) + u(" 半荘。開くと局ごとの結果が出ます。") +
           u("新しい ") + std::to_string(std::min(shown, kChartedGames)) +
           u(" 半荘には、全員の点数の推移の図が付きます（太線が自分、網掛けは自分が親の局）。");
    if (theirs > shown) {
        out += "</p>\n<p class=\"more\">" + u("このページには新しい ") +
               std::to_string(kListedGames) + u(" 半荘だけを載せています。ほかに ") +
               std::to_string(theirs - shown) +
               u(" 半荘あります（paiview list や show で見られます）。");
    }
    out += "</p>\n";
    for (std::size_t i = 0; i < shown; ++i) {
        out += gameEntry(input.listed[i]->facts(), player, i < kChartedGames);
    }
    return out + "</section>\n";
}

} // namespace page
