// The report page. Every text of a log goes through text() (CP932 to UTF-8, escaped);
// the page's own words are CP932 literals converted by u().
#include "report/ReportPage.h"

#include <algorithm>
#include <cstdlib>

#include "report/Charts.h"
#include "report/Html.h"
#include "report/SvgAxis.h"
#include "text/Encoding.h"
#include "text/Numbers.h"

namespace {

// The score chart's moving average: about a week of evenings' play.
constexpr int kAverageWindow = 20;
// Opponents and yaku beyond these are counted, not listed.
constexpr std::size_t kListedOpponents = 100;
constexpr std::size_t kListedYaku = 100;

const char kStyle[] = R"css(
:root{--ink:#1a1a1a;--muted:#5a5a5a;--line:#c8c8c8;--paper:#fff;--band:#f3f5f8;--s0:#1f5fa8;--s1:#b3541e;--s2:#2e7d32;--s3:#6a3d9a}
*{box-sizing:border-box}
body{margin:0;background:var(--paper);color:var(--ink);font:15px/1.6 "IPAPGothic","IPAexGothic","Noto Sans CJK JP","Hiragino Kaku Gothic ProN","Yu Gothic","Meiryo",sans-serif}
main{max-width:1000px;margin:0 auto;padding:24px 20px 40px}
h1{font-size:26px;margin:0 0 4px}
h2{font-size:19px;margin:32px 0 10px;padding-bottom:4px;border-bottom:2px solid var(--ink)}
h3{font-size:16px;margin:18px 0 6px}
.lead{color:var(--muted);margin:0}
.cards{display:grid;grid-template-columns:repeat(auto-fit,minmax(170px,1fr));gap:12px;margin:16px 0}
.card{border:1px solid var(--line);border-radius:6px;padding:10px 14px;background:var(--band)}
.card .label{font-size:13px;color:var(--muted)}
.card .value{font-size:28px;font-weight:bold;line-height:1.3}
.card .note{font-size:12px;color:var(--muted)}
table{border-collapse:collapse;margin:6px 0;font-size:14px}
th,td{border-bottom:1px solid var(--line);padding:3px 10px;text-align:left;vertical-align:top}
th{background:var(--band);font-weight:bold}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
.wide{overflow-x:auto}
figure{margin:8px 0}
figure svg{width:100%;height:auto;display:block;max-width:900px}
figcaption,.note{font-size:13px;color:var(--muted)}
svg text{font-family:inherit;fill:var(--ink)}
svg .tick{font-size:12px}svg .title{font-size:13px;font-weight:bold}
svg .legend,svg .group{font-size:12px}svg .value{font-size:11px}
svg .peak-label{font-size:12px;font-weight:bold}
svg .axis{stroke:var(--ink);stroke-width:1}
svg .grid{stroke:#e2e2e2;stroke-width:1}
svg .zero{stroke:var(--muted);stroke-width:1;stroke-dasharray:4 3}
svg polyline.line{fill:none;stroke-width:2}
svg line.line{stroke-width:2}
svg .s0{stroke:var(--s0);fill:var(--s0)}
svg .s1{stroke:var(--s1);fill:var(--s1)}svg .line.s1{stroke-dasharray:7 4}
svg .s2{stroke:var(--s2);fill:var(--s2)}svg .line.s2{stroke-dasharray:2 3}
svg .s3{stroke:var(--s3);fill:var(--s3)}svg .line.s3{stroke-dasharray:9 3 2 3}
svg polyline.line.s0,svg polyline.line.s1,svg polyline.line.s2,svg polyline.line.s3{fill:none}
svg .peak{fill:none;stroke-width:2}
svg .bar{fill:#7d9cc4;stroke:#1f3f68;stroke-width:1}
svg .pt.s0{fill-opacity:.75;stroke:none}
svg .avg{fill:none;stroke:var(--s1);stroke-width:2.5}
svg .range{stroke:var(--s0);stroke-width:1;opacity:.6}
details{border-bottom:1px solid var(--line);padding:4px 0}
summary{cursor:pointer}
summary .when{font-variant-numeric:tabular-nums;margin-right:.6em}
summary .res{font-weight:bold;margin-left:.6em}
.game{padding:4px 0 8px 18px}
.game p{margin:4px 0}
.hands td:nth-child(4){text-align:right;white-space:nowrap}
footer{margin-top:36px;font-size:12px;color:var(--muted)}
@media print{
 body{font-size:10pt}
 main{max-width:none;padding:0}
 h2{break-after:avoid}
 .card,figure,tr,details{break-inside:avoid}
 .card{background:none}
 th{background:none}
 .wide{overflow:visible}
 figure svg{max-width:17cm}
}
@page{margin:14mm}
)css";

std::string u(const char* cp932) {
    return cp932ToUtf8(cp932);
}

// A text from the log.
std::string text(std::string_view cp932) {
    return htmlEscape(cp932ToUtf8(cp932));
}

std::string dash() {
    return u("―");
}

std::string percent(const std::optional<double>& rate) {
    return percentOrAbsent(rate, dash());
}

std::string fixed(const std::optional<double>& value, int decimals) {
    return orAbsent(value, decimals, dash());
}

std::string signedFixed(const std::optional<double>& value, int decimals) {
    return value ? signedDecimalText(*value, decimals) : dash();
}

std::string sizeName(int players) {
    return std::to_string(players) + u("人打ち");
}

std::string countAndRate(int count, const std::optional<double>& rate) {
    return std::to_string(count) + " (" + percent(rate) + ")";
}

std::string ratingText(const std::optional<RatingPoint>& point) {
    if (!point) {
        return dash();
    }
    return std::to_string(point->rating) +
           (point->date.empty() ? "" : " <span class=\"note\">" + text(point->date) + "</span>");
}

std::string card(const std::string& label, const std::string& value, const std::string& note) {
    return "<div class=\"card\"><div class=\"label\">" + label + "</div><div class=\"value\">" +
           value + "</div><div class=\"note\">" + note + "</div></div>\n";
}

std::string cell(const std::string& html, bool number = true) {
    return number ? "<td class=\"n\">" + html + "</td>" : "<td>" + html + "</td>";
}

// The table size the player played most: the cards show its figures.
const TableSizeStats* mainSize(const PlayerStats& stats) {
    const TableSizeStats* best = nullptr;
    for (const TableSizeStats& s : stats.bySize) {
        if (!best || s.games > best->games) {
            best = &s;
        }
    }
    return best;
}

std::string cards(const PlayerStats& stats) {
    int games = 0, completed = 0, aborted = 0;
    for (const TableSizeStats& s : stats.bySize) {
        games += s.games;
        completed += s.completed;
        aborted += s.aborted;
    }
    std::string out = "<div class=\"cards\">\n";
    out +=
        card(u("半荘数"), std::to_string(games),
             u("完走 ") + std::to_string(completed) + u("・途中終了 ") + std::to_string(aborted));
    const TableSizeStats* m = mainSize(stats);
    if (!m) {
        return out + "</div>\n";
    }
    const std::string size = sizeName(m->players);
    int placed = 0;
    for (int c : m->placeCounts) {
        placed += c;
    }
    out += card(u("平均順位"), fixed(m->averagePlace, 2),
                size + u("・順位のある ") + std::to_string(placed) + u(" 半荘"));
    out += card(u("レート（最新）"), m->lastRating ? std::to_string(m->lastRating->rating) : dash(),
                m->highestRating
                    ? size + u("・最高 ") + std::to_string(m->highestRating->rating) +
                          (m->highestRating->date.empty()
                               ? ""
                               : u("（") + text(m->highestRating->date.substr(0, 10)) + u("）"))
                    : size + u("・レートの記録なし"));
    out += card(u("和了率"), percent(m->winRate),
                size + u("・") + std::to_string(m->wins) + " / " + std::to_string(m->hands) +
                    u(" 局"));
    out += card(u("放銃率"), percent(m->dealInRate),
                paymentsTellTsumo(m->players)
                    ? size + u("・") + std::to_string(m->dealIns) + " / " +
                          std::to_string(m->hands) + u(" 局")
                    : size + u("：ツモとロンを見分けられないため出しません"));
    return out + "</div>\n";
}

// Every figure of each table size: a row per figure, a column per size.
std::string sizeTable(const PlayerStats& stats) {
    const auto& sizes = stats.bySize;
    if (sizes.empty()) {
        return {};
    }
    std::string out = "<div class=\"wide\"><table class=\"sizes\"><thead><tr><th></th>";
    for (const TableSizeStats& s : sizes) {
        out += "<th class=\"n\">" + sizeName(s.players) + "</th>";
    }
    out += "</tr></thead><tbody>\n";
    const auto row = [&](const std::string& label, auto value) {
        out += "<tr><th>" + label + "</th>";
        for (const TableSizeStats& s : sizes) {
            out += cell(value(s));
        }
        out += "</tr>\n";
    };
    row(u("半荘"), [](const TableSizeStats& s) { return std::to_string(s.games); });
    row(u("完走・途中終了"), [](const TableSizeStats& s) {
        return std::to_string(s.completed) + u("・") + std::to_string(s.aborted);
    });
    for (int place = 1; place <= 4; ++place) {
        row(std::to_string(place) + u("位"), [place](const TableSizeStats& s) -> std::string {
            const std::size_t i = static_cast<std::size_t>(place - 1);
            if (i >= s.placeCounts.size()) {
                return "";
            }
            return countAndRate(s.placeCounts[i],
                                i < s.placeRates.size() ? s.placeRates[i] : std::nullopt);
        });
    }
    row(u("順位なし（抜けた・読めない）"),
        [](const TableSizeStats& s) { return std::to_string(s.unplaced); });
    row(u("平均順位"), [](const TableSizeStats& s) { return fixed(s.averagePlace, 2); });
    row(u("連対率"), [](const TableSizeStats& s) { return percent(s.topTwoRate); });
    row(u("ラス回避率"), [](const TableSizeStats& s) { return percent(s.lastAvoidanceRate); });
    row(u("平均得点"), [](const TableSizeStats& s) { return signedFixed(s.averageScore, 1); });
    row(u("合計得点"),
        [](const TableSizeStats& s) { return signedTenthsText(s.totalScoreTenths); });
    row(u("レート 最初"), [](const TableSizeStats& s) { return ratingText(s.firstRating); });
    row(u("レート 最新"), [](const TableSizeStats& s) { return ratingText(s.lastRating); });
    row(u("レート 最高"), [](const TableSizeStats& s) { return ratingText(s.highestRating); });
    row(u("レート 最低"), [](const TableSizeStats& s) { return ratingText(s.lowestRating); });
    row(u("局数"), [](const TableSizeStats& s) { return std::to_string(s.hands); });
    row(u("和了率"), [](const TableSizeStats& s) { return countAndRate(s.wins, s.winRate); });
    row(u("ツモ率（和了のうち）"), [](const TableSizeStats& s) {
        return paymentsTellTsumo(s.players) ? countAndRate(s.tsumoWins, s.tsumoRate) : dash();
    });
    row(u("放銃率"), [](const TableSizeStats& s) {
        return paymentsTellTsumo(s.players) ? countAndRate(s.dealIns, s.dealInRate) : dash();
    });
    row(u("流局率"), [](const TableSizeStats& s) { return countAndRate(s.draws, s.drawRate); });
    row(u("平均和了点"), [](const TableSizeStats& s) { return signedFixed(s.averageWin, 0); });
    row(u("最大和了点"), [](const TableSizeStats& s) -> std::string {
        if (!s.largestWin) {
            return dash();
        }
        return signedFixed(static_cast<double>(*s.largestWin), 0) + " <span class=\"note\">#" +
               std::to_string(s.largestWinGame) + u(" 第") + std::to_string(s.largestWinHand) +
               u("局") + "</span>";
    });
    out += "</tbody></table></div>\n";
    out += "<p class=\"note\">" +
           u("2人打ちでは相手ひとりがツモでもロンでも払うため、ツモ率と放銃率はログから"
             "分からず、―としています。#は半荘の番号（paiview list と同じ）。") +
           "</p>\n";
    return out;
}

std::string ratingSection(const PlayerStats& stats) {
    std::vector<RatingLine> lines;
    const bool tips = stats.ratings.size() <= kMostMarks;
    for (int players : {4, 3, 2}) {
        RatingLine line;
        line.name = sizeName(players);
        for (const RatingPoint& point : stats.ratings) {
            const auto at = parseLogTime(point.date);
            if (point.players != players || !at) {
                continue;
            }
            line.points.push_back({*at, static_cast<double>(point.rating),
                                   tips ? "#" + std::to_string(point.game) + " " + point.date +
                                              " R" + std::to_string(point.rating)
                                        : std::string()});
        }
        if (!line.points.empty()) {
            lines.push_back(std::move(line));
        }
    }
    const std::string svg = ratingChart(lines);
    std::string out = "<section id=\"rating\"><h2>" + u("レートの推移") + "</h2>\n";
    if (svg.empty()) {
        return out + "<p>" + u("レートの記録がありません。") + "</p></section>\n";
    }
    return out + "<figure>" + svg + "<figcaption>" +
           u("各半荘の開始時のレート（プレイヤー行の R）。卓の人数ごとに線と印の形を変え、"
             "いちばん高い点に大きな印と「最高」を付けています。") +
           "</figcaption></figure></section>\n";
}

std::string placeSection(const PlayerStats& stats) {
    std::vector<PlaceGroup> groups;
    for (const TableSizeStats& s : stats.bySize) {
        groups.push_back({sizeName(s.players), s.placeCounts});
    }
    const std::string svg = placeChart(groups);
    std::string out = "<section id=\"places\"><h2>" + u("順位分布") + "</h2>\n";
    if (svg.empty()) {
        return out + "<p>" + u("順位のついた半荘がありません（すべて途中終了など）。") +
               "</p></section>\n";
    }
    return out + "<figure>" + svg + "<figcaption>" +
           u("卓の人数ごとに、順位のついた半荘のうち各順位の割合。棒の上の数は回数。") +
           "</figcaption></figure></section>\n";
}

std::string scoreSection(const PlayerStats& stats) {
    std::vector<ScorePoint> points;
    const bool tips = stats.scores.size() <= kMostMarks;
    for (const GameScore& score : stats.scores) {
        points.push_back({static_cast<double>(score.tenths) / 10,
                          tips ? "#" + std::to_string(score.game) + " " + score.date + " " +
                                     signedTenthsText(score.tenths)
                               : std::string()});
    }
    const std::string svg = scoreChart(points, kAverageWindow);
    std::string out = "<section id=\"scores\"><h2>" + u("半荘ごとの得点") + "</h2>\n";
    if (svg.empty()) {
        return out + "<p>" + u("得点の読める半荘がありません。") + "</p></section>\n";
    }
    return out + "<figure>" + svg + "<figcaption>" +
           u("完走した半荘の得点（試合結果の +40.8 など）を古い順に。破線は得点 0。") +
           "</figcaption></figure></section>\n";
}

std::string opponentSection(const PlayerStats& stats) {
    std::string out = "<section id=\"opponents\"><h2>" + u("対戦相手") + "</h2>\n";
    if (stats.opponents.empty()) {
        return out + "<p>" + u("順位のついた半荘で同卓した相手がいません。") + "</p></section>\n";
    }
    out += "<div class=\"wide\"><table><thead><tr><th>" + u("相手") + "</th><th class=\"n\">" +
           u("同卓") + "</th><th class=\"n\">" + u("上位") + "</th><th class=\"n\">" + u("上位率") +
           "</th><th class=\"n\">" + u("平均得点差") + "</th></tr></thead><tbody>\n";
    const std::size_t shown = std::min(stats.opponents.size(), kListedOpponents);
    for (std::size_t i = 0; i < shown; ++i) {
        const HeadToHead& h = stats.opponents[i];
        out += "<tr>" + cell(text(h.opponent), false) + cell(std::to_string(h.games)) +
               cell(std::to_string(h.above)) + cell(percent(h.aboveRate)) +
               cell(signedFixed(h.scoreDifference, 1)) + "</tr>\n";
    }
    out += "</tbody></table></div>\n<p class=\"note\">" +
           u("順位のついた半荘で同卓した回数の多い順。上位は自分が上の順位だった回数、"
             "平均得点差は（自分－相手）の平均。");
    if (stats.opponents.size() > shown) {
        out += u("ほかに ") + std::to_string(stats.opponents.size() - shown) + u(" 人。");
    }
    return out + "</p></section>\n";
}

std::string yakuSection(const PlayerStats& stats) {
    std::string out = "<section id=\"yaku\"><h2>" + u("役") + "</h2>\n";
    if (stats.yaku.empty()) {
        return out + "<p>" + u("役の数えられる和了がありません。") + "</p></section>\n";
    }
    out += "<div class=\"wide\"><table><thead><tr><th>" + u("役") + "</th><th class=\"n\">" +
           u("和了") + "</th><th class=\"n\">" + u("割合") + "</th></tr></thead><tbody>\n";
    const std::size_t shown = std::min(stats.yaku.size(), kListedYaku);
    for (std::size_t i = 0; i < shown; ++i) {
        const YakuCount& y = stats.yaku[i];
        const std::optional<double> share =
            stats.yakuHands > 0
                ? std::optional<double>(static_cast<double>(y.hands) / stats.yakuHands)
                : std::nullopt;
        out += "<tr>" + cell(text(y.yaku), false) + cell(std::to_string(y.hands)) +
               cell(percent(share)) + "</tr>\n";
    }
    out += "</tbody></table></div>\n<p class=\"note\">" + u("役を数えた和了 ") +
           std::to_string(stats.yakuHands) + u(" 回。ドラ ") + std::to_string(stats.dora) +
           u("・裏ドラ ") + std::to_string(stats.uraDora) + u("・赤ドラ ") +
           std::to_string(stats.akaDora) + u(" 枚（役には数えません）。");
    if (stats.yaku.size() > shown) {
        out += u("ほかに ") + std::to_string(stats.yaku.size() - shown) + u(" 種。");
    }
    return out + "</p></section>\n";
}

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

std::string gameEntry(const GameFacts& game, const std::string& player) {
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
    out += " <span class=\"note\">#" + std::to_string(game.number) + "</span></summary>\n";
    out += "<div class=\"game\"><p>";
    for (const SeatFacts& seat : game.seats) {
        out += "[" + std::to_string(seat.seat) + "]" + text(seat.raw) + " ";
    }
    out += "</p>\n";
    if (!game.hands.empty()) {
        out += "<div class=\"wide\"><table class=\"hands\"><thead><tr><th>" + u("局") +
               "</th><th>" + u("結果") + "</th><th>" + u("役") + "</th><th>" + u("自分") +
               "</th></tr></thead><tbody>\n";
        for (const HandFacts& hand : game.hands) {
            const auto change = ownChange(hand, player);
            out += "<tr><td>" + text(hand.title) + "</td><td>" + text(hand.result) + "</td><td>" +
                   text(hand.yaku) + "</td><td>" +
                   (change && *change != 0 ? signedFixed(static_cast<double>(*change), 0) : "") +
                   "</td></tr>\n";
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

std::string gameList(const ReportInput& input) {
    const std::string& player = input.stats.player;
    int theirs = 0;
    for (const TableSizeStats& s : input.stats.bySize) {
        theirs += s.games;
    }
    std::string out = "<section id=\"games\"><h2>" + u("半荘一覧") + "</h2>\n<p class=\"note\">";
    const std::size_t shown = input.listed.size();
    out += u("新しい順に ") + std::to_string(shown) + u(" 半荘。開くと局ごとの結果が出ます。");
    if (static_cast<std::size_t>(theirs) > shown) {
        out += "</p>\n<p class=\"more\">" + u("このページには新しい ") +
               std::to_string(kListedGames) + u(" 半荘だけを載せています。ほかに ") +
               std::to_string(static_cast<std::size_t>(theirs) - shown) +
               u(" 半荘あります（paiview list や show で見られます）。");
    }
    out += "</p>\n";
    for (const auto& game : input.listed) {
        out += gameEntry(game->facts(), player);
    }
    return out + "</section>\n";
}

std::string whoseText(ReportWhose whose) {
    switch (whose) {
    case ReportWhose::Given:
        return u("--player で指定したプレイヤー");
    case ReportWhose::OwnerInEveryGame:
        return u("ログの持ち主（すべての半荘にいる名前）");
    case ReportWhose::OwnerInMostGames:
        return u("ログの持ち主（最も多くの半荘にいる名前）");
    }
    return {};
}

} // namespace

std::string reportPage(const ReportInput& input) {
    const PlayerStats& stats = input.stats;
    const std::string name = text(stats.player);
    std::string out = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>" +
                      name + u(" の成績") + "</title>\n<style>" + kStyle +
                      "</style>\n</head>\n<body>\n<main>\n";
    out +=
        "<header><h1>" + name + u(" の成績") + "</h1>\n<p class=\"lead\">" + whoseText(input.whose);
    out += u("。選んだ ") + std::to_string(input.selectedGames) + u(" 半荘");
    if (input.firstStart) {
        out += u("（") + text(*input.firstStart) + u(" ～ ") + text(*input.lastStart) + u("）");
    }
    out += u("から。") + "</p></header>\n";

    out += "<section id=\"summary\"><h2>" + u("概要") + "</h2>\n" + cards(stats) + "</section>\n";
    out += ratingSection(stats);
    out += placeSection(stats);
    out += scoreSection(stats);
    out += "<section id=\"sizes\"><h2>" + u("卓の人数ごとの成績") + "</h2>\n" + sizeTable(stats) +
           "</section>\n";
    out += opponentSection(stats);
    out += yakuSection(stats);
    out += gameList(input);
    out +=
        "<footer>" +
        u("paiview report で作成。図はこのページの中の SVG で、外から読み込むものはありません。") +
        "</footer>\n</main>\n</body>\n</html>\n";
    return out;
}
