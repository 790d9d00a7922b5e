// The catalogue of the figures of a table size.
#include "analysis/Figures.h"

#include <cstdlib>

#include "text/Numbers.h"

namespace {

using S = TableSizeStats;
using V = std::optional<double>;

V count(int n) {
    return static_cast<double>(n);
}

// A count the log can tell only where payments tell tsumo from ron.
V paymentCount(const S& s, int n) {
    return paymentsTellTsumo(s.players) ? count(n) : std::nullopt;
}

// The Wilson interval of a rate, where the rate is there at all.
std::optional<Interval> rateInterval(const V& rate, int part, int whole) {
    return rate ? wilsonInterval(part, whole) : std::nullopt;
}

const std::vector<Figure>& catalogue() {
    using F = FigureStyle;
    static const std::vector<Figure> figures = {
        {"games", "Half-games", "半荘", F::Count, [](const S& s) { return count(s.games); }},
        {"completed",
         "completed",
         "完走",
         F::Count,
         [](const S& s) { return count(s.completed); },
         {},
         nullptr,
         true,
         false,
         true},
        {"aborted",
         "aborted",
         "途中終了",
         F::Count,
         [](const S& s) { return count(s.aborted); },
         {},
         nullptr,
         true,
         false,
         true},
        {"unplaced",
         "no place",
         "順位なし（抜けた・読めない）",
         F::Count,
         [](const S& s) { return count(s.unplaced); },
         {},
         nullptr,
         true,
         false,
         true},
        {"places", "Place", "位", F::Part},
        {"average_place",
         "Average place",
         "平均順位",
         F::Place,
         [](const S& s) { return s.averagePlace; },
         {},
         [](const S& s) { return s.intervals.averagePlace; }},
        {"top_two_rate",
         "Top two",
         "連対率",
         F::Rate,
         [](const S& s) { return s.topTwoRate; },
         {},
         [](const S& s) { return s.intervals.topTwoRate; },
         true,
         true},
        {"last_avoidance_rate",
         "Last avoided",
         "ラス回避率",
         F::Rate,
         [](const S& s) { return s.lastAvoidanceRate; },
         {},
         [](const S& s) { return s.intervals.lastAvoidanceRate; },
         true,
         true},
        {"scored_games",
         "Half-games with a score",
         "得点の読める半荘",
         F::Count,
         [](const S& s) { return count(s.scoredGames); },
         {},
         nullptr,
         false},
        {"total_score", "Score total", "合計得点", F::Score,
         [](const S& s) {
             return s.scoredGames > 0 ? V(s.totalScoreTenths / 10.0) : std::nullopt;
         }},
        {"average_score", "Score average", "平均得点", F::Score,
         [](const S& s) { return s.averageScore; }},
        {"rating", "Rating", "レート", F::Part, nullptr, {}, nullptr, false},
        {"hands", "Hands", "局数", F::Count, [](const S& s) { return count(s.hands); }},
        {"wins",
         "Wins",
         "和了",
         F::Count,
         [](const S& s) { return count(s.wins); },
         {},
         nullptr,
         false},
        {"tsumo_wins",
         "Tsumo wins",
         "ツモ和了",
         F::Count,
         [](const S& s) { return paymentCount(s, s.tsumoWins); },
         {},
         nullptr,
         false},
        {"deal_ins",
         "Deal-ins",
         "放銃",
         F::Count,
         [](const S& s) { return paymentCount(s, s.dealIns); },
         {},
         nullptr,
         false},
        {"draws",
         "Draws",
         "流局",
         F::Count,
         [](const S& s) { return count(s.draws); },
         {},
         nullptr,
         false},
        {"win_rate", "Win rate", "和了率", F::Rate, [](const S& s) { return s.winRate; }, "wins",
         [](const S& s) { return s.intervals.winRate; }, true, true},
        {"tsumo_rate", "Tsumo of wins", "ツモ率", F::Rate, [](const S& s) { return s.tsumoRate; },
         "tsumo_wins", [](const S& s) { return rateInterval(s.tsumoRate, s.tsumoWins, s.wins); },
         true, true},
        {"deal_in_rate", "Deal-in rate", "放銃率", F::Rate, [](const S& s) { return s.dealInRate; },
         "deal_ins", [](const S& s) { return s.intervals.dealInRate; }, true, true},
        {"draw_rate", "Draw rate", "流局率", F::Rate, [](const S& s) { return s.drawRate; },
         "draws", [](const S& s) { return rateInterval(s.drawRate, s.draws, s.hands); }, true,
         true},
        {"average_win", "Win average", "平均和了点", F::SignedPoints,
         [](const S& s) { return s.averageWin; }},
        {"largest_win", "Largest win", "最大和了点", F::Part},

        {"dealer.hands", "Hands dealt", "親の局数", F::Count,
         [](const S& s) { return count(s.dealer.hands); }},
        {"dealer.wins",
         "Wins as dealer",
         "親の和了",
         F::Count,
         [](const S& s) { return count(s.dealer.wins); },
         {},
         nullptr,
         false},
        {"dealer.win_rate", "Win rate as dealer", "親の和了率", F::Rate,
         [](const S& s) { return s.dealer.winRate; }, "dealer.wins",
         [](const S& s) { return rateInterval(s.dealer.winRate, s.dealer.wins, s.dealer.hands); },
         true, false, true},
        {"dealer.deal_ins",
         "Deal-ins as dealer",
         "親の放銃",
         F::Count,
         [](const S& s) { return paymentCount(s, s.dealer.dealIns); },
         {},
         nullptr,
         false},
        {"dealer.deal_in_rate", "Deal-in rate as dealer", "親の放銃率", F::Rate,
         [](const S& s) { return s.dealer.dealInRate; }, "dealer.deal_ins",
         [](const S& s) {
             return rateInterval(s.dealer.dealInRate, s.dealer.dealIns, s.dealer.hands);
         },
         true, false, true},
        {"dealer.longest_run",
         "Longest run as dealer",
         "最長連荘",
         F::Count,
         [](const S& s) { return count(s.dealer.longestRun); },
         {},
         nullptr,
         true,
         false,
         true},
        {"dealer.tsumo_paid",
         "Tsumo paid as dealer",
         "親かぶり",
         F::Count,
         [](const S& s) { return paymentCount(s, s.dealer.tsumoPaid); },
         {},
         nullptr,
         true,
         true,
         true},
        {"dealer.tsumo_paid_points",
         "points paid",
         "親かぶりの失点",
         F::Points,
         [](const S& s) {
             return paymentsTellTsumo(s.players) ? V(static_cast<double>(s.dealer.tsumoPaidPoints))
                                                 : std::nullopt;
         },
         {},
         nullptr,
         true,
         false,
         true},
        {"draws_tenpai.draws",
         "Draws",
         "流局",
         F::Count,
         [](const S& s) { return count(s.drawsTenpai.draws); },
         {},
         nullptr,
         false},
        {"draws_tenpai.tenpai",
         "Tenpai at draws",
         "流局時の聴牌",
         F::Count,
         [](const S& s) { return count(s.drawsTenpai.tenpai); },
         {},
         nullptr,
         false},
        {"draws_tenpai.rate", "Tenpai at draws", "流局時聴牌率", F::Rate,
         [](const S& s) { return s.drawsTenpai.rate; }, "draws_tenpai.tenpai",
         [](const S& s) {
             return rateInterval(s.drawsTenpai.rate, s.drawsTenpai.tenpai, s.drawsTenpai.known);
         },
         true, true},
        {"wins_by_kind.ron", "Ron wins", "ロン和了", F::Count,
         [](const S& s) { return paymentCount(s, s.winsByKind.ron); }},
        {"wins_by_kind.tsumo", "Tsumo wins", "ツモ和了", F::Count,
         [](const S& s) { return paymentCount(s, s.winsByKind.tsumo); }},
        {"wins_by_kind.average_ron",
         "Ron average",
         "ロンの平均打点",
         F::SignedPoints,
         [](const S& s) { return s.winsByKind.averageRon; },
         {},
         nullptr,
         true,
         false,
         true},
        {"wins_by_kind.average_tsumo",
         "Tsumo average",
         "ツモの平均打点",
         F::SignedPoints,
         [](const S& s) { return s.winsByKind.averageTsumo; },
         {},
         nullptr,
         true,
         false,
         true},
        {"wins_by_kind.riichi_wins",
         "Riichi wins",
         "立直の和了",
         F::Count,
         [](const S& s) { return count(s.winsByKind.riichiWins); },
         {},
         nullptr,
         false},
        {"wins_by_kind.riichi_rate", "Riichi of wins", "立直率（和了のうち）", F::Rate,
         [](const S& s) { return s.winsByKind.riichiRate; }, "wins_by_kind.riichi_wins",
         [](const S& s) {
             return rateInterval(s.winsByKind.riichiRate, s.winsByKind.riichiWins, s.wins);
         }},
        {"deal_in.average", "Deal-in average", "平均放銃点", F::Points,
         [](const S& s) { return s.dealIn.average; }},
        {"deal_in.largest", "Largest deal-in", "最大放銃点", F::Part},
        {"deal_in.into", "Dealt into", "放銃した相手", F::Part, nullptr, {}, nullptr, false},
        {"limits", "Limit hands", "満貫以上", F::Part, nullptr, {}, nullptr, false},
        {"by_seat", "Place by seat", "席順ごとの平均順位", F::Part, nullptr, {}, nullptr, false},
        {"busts",
         "Busts",
         "飛び",
         F::Count,
         [](const S& s) { return count(s.busts); },
         {},
         nullptr,
         true,
         true},
        {"records", "Records", "記録", F::Part, nullptr, {}, nullptr, false},
        {"intervals", "95% intervals", "95%区間", F::Part, nullptr, {}, nullptr, false},
        {"periods", "By period", "期間ごと", F::Part, nullptr, {}, nullptr, false},
        {"undated",
         "Half-games without a date",
         "日時の読めない半荘",
         F::Count,
         [](const S& s) { return count(s.undated); },
         {},
         nullptr,
         false},
        {"hours", "By hour", "時間帯ごと", F::Part, nullptr, {}, nullptr, false},
    };
    return figures;
}

std::string valueText(FigureStyle style, double value) {
    switch (style) {
    case FigureStyle::Count:
        return std::to_string(static_cast<long long>(value));
    case FigureStyle::Rate:
        return percentText(value);
    case FigureStyle::Place:
        return decimalText(value, 2);
    case FigureStyle::Score:
        return signedDecimalText(value, 1);
    case FigureStyle::SignedPoints:
        return signedDecimalText(value, 0);
    case FigureStyle::Points:
        return decimalText(value, 0);
    case FigureStyle::Part:
        break;
    }
    return {};
}

} // namespace

const std::vector<Figure>& sizeFigures() {
    return catalogue();
}

const Figure& figureNamed(std::string_view key) {
    for (const Figure& figure : catalogue()) {
        if (figure.key == key) {
            return figure;
        }
    }
    std::abort(); // a key the code asks for is missing from the catalogue
}

std::string figureText(const Figure& figure, const TableSizeStats& stats,
                       const std::string& absent) {
    const std::optional<double> value = figure.value ? figure.value(stats) : std::nullopt;
    if (!value) {
        return absent;
    }
    std::string text = valueText(figure.style, *value);
    if (!figure.count.empty()) {
        const Figure& of = figureNamed(figure.count);
        if (const std::optional<double> n = of.value(stats)) {
            text = valueText(of.style, *n) + " (" + text + ")";
        }
    }
    return text;
}

std::string intervalText(const Figure& figure, const TableSizeStats& stats,
                         const std::string& separator) {
    const std::optional<Interval> interval =
        figure.interval ? figure.interval(stats) : std::nullopt;
    if (!interval) {
        return {};
    }
    if (figure.style == FigureStyle::Rate) {
        return decimalText(interval->low * 100, 1) + separator +
               decimalText(interval->high * 100, 1);
    }
    return decimalText(interval->low, 2) + separator + decimalText(interval->high, 2);
}

std::string terminalLabel(const Figure& figure) {
    std::string label = figure.indent ? "  " : "";
    label += figure.english;
    if (figure.term) {
        label += std::string(" (") + figure.japanese + ")";
    }
    return label;
}
