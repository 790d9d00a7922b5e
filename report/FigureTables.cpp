// The page's figures as text: the summary cards, the table of every figure per table
// size (a row per entry of the catalogue) and the records, each rate with its interval.
#include <algorithm>

#include "report/Html.h"
#include "report/PageParts.h"
#include "text/Encoding.h"
#include "text/Numbers.h"

namespace page {

const char kEnDash[] = "\xE2\x80\x93";

std::string u(const char* cp932) {
    return cp932ToUtf8(cp932);
}

std::string text(std::string_view cp932) {
    return htmlEscape(cp932ToUtf8(cp932));
}

std::string plain(std::string_view cp932) {
    return cp932ToUtf8(cp932);
}

std::string dash() {
    return u("―");
}

std::string sizeName(int players) {
    return std::to_string(players) + u("人打ち");
}

std::string gameRef(int game) {
    return "#" + std::to_string(game);
}

std::string handRef(int game, int hand) {
    return gameRef(game) + u(" の") + std::to_string(hand) + u("局目");
}

namespace {

using S = TableSizeStats;
using I = std::optional<Interval>;

int placed(const S& s) {
    int n = 0;
    for (int c : s.placeCounts) {
        n += c;
    }
    return n;
}

std::string ci(const std::string& interval) {
    return interval.empty() ? "" : " <span class=\"ci\">(" + interval + ")</span>";
}

std::string card(const std::string& label, const std::string& value, const std::string& note) {
    return "<div class=\"card\"><div class=\"label\">" + label + "</div><div class=\"value\">" +
           value + "</div><div class=\"note\">" + note + "</div></div>\n";
}

std::string cell(const std::string& html) {
    return "<td class=\"n\">" + html + "</td>";
}

std::string ratingText(const std::optional<RatingPoint>& point) {
    if (!point) {
        return dash();
    }
    return std::to_string(point->rating) +
           (point->date.empty() ? "" : " <span class=\"note\">" + text(point->date) + "</span>");
}

std::string scoreRecord(const std::optional<ScoreRecord>& r) {
    return r ? signedTenthsText(r->tenths) + " <span class=\"note\">" + gameRef(r->game) + "</span>"
             : dash();
}

std::string runRecord(const std::optional<RunRecord>& r) {
    if (!r) {
        return dash();
    }
    const std::string span = r->firstGame == r->lastGame
                                 ? gameRef(r->firstGame)
                                 : gameRef(r->firstGame) + u("～") + gameRef(r->lastGame);
    return std::to_string(r->games) + u(" 半荘") + " <span class=\"note\">" + span + "</span>";
}

std::string handRecord(const std::optional<long long>& points, int game, int hand,
                       bool signedPoints) {
    if (!points) {
        return dash();
    }
    return (signedPoints ? signedPointsText(*points) : std::to_string(*points)) +
           " <span class=\"note\">" + handRef(game, hand) + "</span>";
}

std::string largestWin(const S& s) {
    return handRecord(s.largestWin ? std::optional<long long>(*s.largestWin) : std::nullopt,
                      s.largestWinGame, s.largestWinHand, true);
}

std::string largestDealIn(const S& s) {
    const auto& l = s.dealIn.largest;
    return handRecord(l ? std::optional<long long>(l->points) : std::nullopt, l ? l->game : 0,
                      l ? l->hand : 0, false);
}

} // namespace

std::optional<Interval> figureInterval(const Figure& figure, const TableSizeStats& stats) {
    const Figure f = (figure);
    if (!f.interval || !f.value || !f.value(stats)) {
        return std::nullopt;
    }
    return f.interval(stats);
}

std::string figureIntervalText(const Figure& figure, const TableSizeStats& stats) {
    const Figure f = (figure);
    if (!f.value || !f.value(stats)) {
        return {};
    }
    return intervalText(f, stats, kEnDash);
}

std::string figureCell(const Figure& figure, const TableSizeStats& stats) {
    Figure bare = figure;
    bare.count = {};
    const std::string value = figureText(bare, stats, dash());
    if (value == dash()) {
        return value;
    }
    std::string out;
    if (!figure.count.empty()) {
        const Figure& count = figureNamed(figure.count);
        out = "<span class=\"cnt\">" + figureText(count, stats, dash()) + u("回") + "</span> ";
    }
    return out + value + ci(figureIntervalText(figure, stats));
}

std::string rateCell(int count, int total) {
    if (total <= 0) {
        return dash();
    }
    const std::optional<Interval> i = wilsonInterval(count, total);
    return percentText(static_cast<double>(count) / total) +
           ci(i ? decimalText(i->low * 100, 1) + kEnDash + decimalText(i->high * 100, 1) : "");
}

const TableSizeStats* mainSize(const PlayerStats& stats) {
    const TableSizeStats* best = nullptr;
    for (const TableSizeStats& s : stats.bySize) {
        if (!best || s.games > best->games) {
            best = &s;
        }
    }
    return best;
}

int gamesOf(const PlayerStats& stats) {
    int games = 0;
    for (const TableSizeStats& s : stats.bySize) {
        games += s.games;
    }
    return games;
}

std::string summarySection(const PlayerStats& stats) {
    int completed = 0, aborted = 0;
    for (const TableSizeStats& s : stats.bySize) {
        completed += s.completed;
        aborted += s.aborted;
    }
    std::string out = "<section id=\"summary\"><h2>" + u("概要") + "</h2>\n<div class=\"cards\">\n";
    out +=
        card(u("半荘数"), std::to_string(gamesOf(stats)),
             u("完走 ") + std::to_string(completed) + u("・途中終了 ") + std::to_string(aborted));
    const TableSizeStats* m = mainSize(stats);
    if (!m) {
        return out + "</div>\n</section>\n";
    }
    const std::string size = sizeName(m->players);
    // The figures of the table size played most, with their intervals.
    const auto figureCard = [&](std::string_view key, const std::string& note) {
        const Figure& f = figureNamed(key);
        Figure bare = f;
        bare.count = {};
        return card(u(f.japanese), figureText(bare, *m, dash()) + ci(figureIntervalText(f, *m)),
                    size + u("・") + note);
    };
    out += figureCard("average_place", u("順位のある ") + std::to_string(placed(*m)) + u(" 半荘"));
    out += figureCard("top_two_rate", u("順位のある ") + std::to_string(placed(*m)) + u(" 半荘"));
    out += card(u("レート（最新）"), m->lastRating ? std::to_string(m->lastRating->rating) : dash(),
                m->highestRating
                    ? size + u("・最高 ") + std::to_string(m->highestRating->rating) +
                          (m->highestRating->date.empty()
                               ? ""
                               : u("（") + text(m->highestRating->date.substr(0, 10)) + u("）"))
                    : size + u("・レートの記録なし"));
    out += figureCard("win_rate",
                      std::to_string(m->wins) + " / " + std::to_string(m->hands) + u(" 局"));
    out += paymentsTellTsumo(m->players)
               ? figureCard("deal_in_rate", std::to_string(m->dealIns) + " / " +
                                                std::to_string(m->hands) + u(" 局"))
               : card(u(figureNamed("deal_in_rate").japanese), dash(),
                      size + u("：ツモとロンを見分けられないため出しません"));
    out += "</div>\n<p class=\"note\">" +
           u("かっこの中は95%区間（この成績が偶然の揺れでどこまで動きうるか）。") +
           "</p></section>\n";
    return out;
}

std::string sizeSection(const PlayerStats& stats) {
    const auto& sizes = stats.bySize;
    std::string out = "<section id=\"sizes\"><h2>" + u("卓の人数ごとの成績") + "</h2>\n";
    if (sizes.empty()) {
        return out + "</section>\n";
    }
    out += "<div class=\"wide\"><table class=\"sizes\"><thead><tr><th></th>";
    int most = 0;
    bool two = false, unplaced = false;
    for (const TableSizeStats& s : sizes) {
        out += "<th class=\"n\">" + sizeName(s.players) + "</th>";
        most = std::max(most, s.players);
        two = two || s.players == 2;
        unplaced = unplaced || s.unplaced > 0;
    }
    out += "</tr></thead><tbody>\n";
    const auto row = [&](const std::string& label, bool indent, auto value) {
        out += indent ? "<tr class=\"sub\"><th>" : "<tr><th>";
        out += label + "</th>";
        for (const TableSizeStats& s : sizes) {
            out += cell(value(s));
        }
        out += "</tr>\n";
    };
    for (const Figure& f : sizeFigures()) {
        const std::string label = u(f.japanese);
        if (f.key == "rating") {
            for (const auto& [word, point] :
                 {std::pair{"最初", &S::firstRating}, std::pair{"最新", &S::lastRating},
                  std::pair{"最高", &S::highestRating}, std::pair{"最低", &S::lowestRating}}) {
                row(label + " " + u(word), false,
                    [point = point](const S& s) { return ratingText(s.*point); });
            }
        }
        if (!f.row || (f.key == "unplaced" && !unplaced)) {
            continue;
        }
        if (f.key == "places") {
            for (int place = 1; place <= most; ++place) {
                row(std::to_string(place) + label, false, [place](const S& s) -> std::string {
                    const int* counted = numbered(s.placeCounts, place);
                    if (!counted) {
                        return {}; // a place past this table's size
                    }
                    const int count = *counted;
                    return "<span class=\"cnt\">" + std::to_string(count) + u("回") + "</span> " +
                           rateCell(count, placed(s));
                });
            }
        } else if (f.key == "largest_win") {
            row(label, f.indent, largestWin);
        } else if (f.key == "deal_in.largest") {
            row(label, f.indent, largestDealIn);
        } else if (f.style != FigureStyle::Part) {
            row(label, f.indent, [&f](const S& s) { return figureCell(f, s); });
        }
    }
    out += "</tbody></table></div>\n<p class=\"note\">" +
           u("かっこの中は95%区間。#は半荘の番号（paiview list と同じ）、「の3局目」はその半荘の"
             "3番目の局（東3局ではありません）。");
    if (two) {
        out += u("2人打ちでは相手ひとりがツモでもロンでも払うため、ツモと放銃に関わる数字は"
                 "ログから分からず、―としています。");
    }
    return out + "</p></section>\n";
}

std::string recordsSection(const PlayerStats& stats) {
    std::string out = "<section id=\"records\"><h2>" + u("記録") + "</h2>\n";
    if (stats.bySize.empty()) {
        return out + "</section>\n";
    }
    out += "<div class=\"wide\"><table class=\"records\"><thead><tr><th></th>";
    for (const TableSizeStats& s : stats.bySize) {
        out += "<th class=\"n\">" + sizeName(s.players) + "</th>";
    }
    out += "</tr></thead><tbody>\n";
    const auto row = [&](const char* label, auto value) {
        out += "<tr><th>" + u(label) + "</th>";
        for (const TableSizeStats& s : stats.bySize) {
            out += cell(value(s));
        }
        out += "</tr>\n";
    };
    row("最高得点", [](const S& s) { return scoreRecord(s.records.bestScore); });
    row("最低得点", [](const S& s) { return scoreRecord(s.records.worstScore); });
    row("連続トップ", [](const S& s) { return runRecord(s.records.longestTopRun); });
    row("連続ラス回避", [](const S& s) { return runRecord(s.records.longestNoLastRun); });
    row("1半荘の最多和了", [](const S& s) {
        const auto& r = s.records.mostWinsInGame;
        return r ? std::to_string(r->wins) + u(" 回") + " <span class=\"note\">" +
                       gameRef(r->game) + "</span>"
                 : dash();
    });
    row(figureNamed("largest_win").japanese, largestWin);
    row(figureNamed("deal_in.largest").japanese, largestDealIn);
    out += "</tbody></table></div>\n<p class=\"note\">" +
           u("同じ記録が複数あるときは先の半荘。連続の記録は同じ人数の完走した半荘が続く間で、"
             "途中終了の半荘は数えず、続きも切りません。最高・最低得点は得点の図に◆で示して"
             "います。") +
           "</p></section>\n";
    return out;
}

} // namespace page
