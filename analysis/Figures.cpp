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

// How strong (analysis/Strength.h): each a row of the table with its interval, or a part.
using Value = std::optional<double> (*)(const S&);
using Range = std::optional<Interval> (*)(const S&);
Figure row(std::string_view key, const char* english, const char* japanese, FigureStyle style,
           Value value, Range interval = nullptr, bool indent = false, bool shown = true) {
    return {key, english, japanese, style, value, {}, interval, shown, false, indent};
}
Figure part(std::string_view key, const char* english, const char* japanese) {
    return {key, english, japanese, FigureStyle::Part, nullptr, {}, nullptr, false};
}
V flag(const std::optional<bool>& b) {
    return b ? V(*b ? 1.0 : 0.0) : std::nullopt;
}
template <V Balance::*Field> V medianBalance(const S& s) {
    return s.strength.population.medianBalance.*Field;
}
template <V Luck::*Field> V medianLuck(const S& s) {
    return s.strength.population.medianLuck.*Field;
}
template <FormBlock Form::*Block> V blockGames(const S& s) {
    return count((s.strength.form.*Block).games);
}
template <FormBlock Form::*Block, V FormBlock::*Field> V blockValue(const S& s) {
    return (s.strength.form.*Block).*Field;
}

// The population's medians: in the JSON and the report, beside the player's.
void addMedians(std::vector<Figure>& to) {
    using F = FigureStyle;
    const auto median = [&](std::string_view key, const char* english, const char* japanese,
                            F style, Value value) {
        to.push_back(row(key, english, japanese, style, value, nullptr, true, false));
    };
    median("population.median.points_per_hand", "Median: points per hand",
           "中央値: 1局あたりの収支", F::SignedPoints, medianBalance<&Balance::pointsPerHand>);
    median("population.median.win_value", "Median: won per hand", "中央値: 和了の収入", F::Points,
           medianBalance<&Balance::winValue>);
    median("population.median.deal_in_cost", "Median: dealt in per hand", "中央値: 放銃の支出",
           F::Points, medianBalance<&Balance::dealInCost>);
    median("population.median.net", "Median: wins less deal-ins", "中央値: 和了－放銃",
           F::SignedPoints, medianBalance<&Balance::net>);
    median("population.median.score_sd", "Median: score spread", "中央値: 得点の標準偏差",
           F::Rating, medianBalance<&Balance::scoreSd>);
    median("population.median.ura_per_riichi_win", "Median: ura per riichi win",
           "中央値: 裏ドラ平均", F::Ratio, medianLuck<&Luck::uraPerRiichiWin>);
    median("population.median.ura_rate", "Median: riichi wins with ura", "中央値: 裏ドラ率",
           F::Rate, medianLuck<&Luck::uraRate>);
    median("population.median.ippatsu_rate", "Median: riichi wins with ippatsu", "中央値: 一発率",
           F::Rate, medianLuck<&Luck::ippatsuRate>);
    median("population.median.dora_per_win", "Median: dora per win", "中央値: ドラ平均", F::Ratio,
           medianLuck<&Luck::doraPerWin>);
    median("population.median.aka_per_win", "Median: aka per win", "中央値: 赤ドラ平均", F::Ratio,
           medianLuck<&Luck::akaPerWin>);
}

template <FormBlock Form::*Block>
void addBlock(std::vector<Figure>& to, const char* name, const char* english,
              const char* japanese) {
    using F = FigureStyle;
    // The keys are views: they must outlive the catalogue.
    static const std::string games = std::string("form.") + name + ".games";
    static const std::string place = std::string("form.") + name + ".average_place";
    static const std::string win = std::string("form.") + name + ".win_rate";
    static const std::string dealIn = std::string("form.") + name + ".deal_in_rate";
    to.push_back(row(games, english, japanese, F::Count, blockGames<Block>));
    // The Japanese labels name the block: the page's tables tell rows by their label.
    static const std::string placeLabel = std::string(japanese) + "の平均順位";
    static const std::string winLabel = std::string(japanese) + "の和了率";
    static const std::string dealInLabel = std::string(japanese) + "の放銃率";
    to.push_back(row(place, "average place", placeLabel.c_str(), F::Place,
                     blockValue<Block, &FormBlock::averagePlace>, nullptr, true));
    to.push_back(row(win, "win rate", winLabel.c_str(), F::Rate,
                     blockValue<Block, &FormBlock::winRate>, nullptr, true));
    to.push_back(row(dealIn, "deal-in rate", dealInLabel.c_str(), F::Rate,
                     blockValue<Block, &FormBlock::dealInRate>, nullptr, true));
}

void addStrength(std::vector<Figure>& to) {
    using F = FigureStyle;
    const std::vector<Figure> figures = {
        row("stable_rating.rule.pairs", "Rating rule: pairs", "レート規則の組数", F::Count,
            [](const S& s) { return count(s.strength.stableRating.rule.pairs); }),
        part("stable_rating.rule.a", "Rating rule: a by place", "順位ごとの変動"),
        row(
            "stable_rating.rule.b", "Rating rule: b", "差への係数", F::Decimal,
            [](const S& s) { return s.strength.stableRating.rule.b; }, nullptr, true),
        row(
            "stable_rating.rule.r_squared", "Rating rule: R squared", "決定係数", F::Decimal,
            [](const S& s) { return s.strength.stableRating.rule.rSquared; }, nullptr, true),
        row(
            "stable_rating.rule.residual_sd", "Rating rule: residual sd", "残差の標準偏差",
            F::Decimal, [](const S& s) { return s.strength.stableRating.rule.residualSd; }, nullptr,
            true),
        row(
            "stable_rating.rule.learnt", "Rating rule learnt", "規則を学習", F::Flag,
            [](const S& s) { return flag(s.strength.stableRating.rule.learnt); }, nullptr, true),
        row(
            "stable_rating.value", "Stable rating", "安定レート", F::Rating,
            [](const S& s) { return s.strength.stableRating.value; },
            [](const S& s) { return s.strength.stableRating.interval; }),
        part("stable_rating.interval", "Stable rating: 95% interval", "安定レートの95%区間"),
        row(
            "stable_rating.expected_change", "Expected change per half-game", "1半荘の期待変動",
            F::RatingChange, [](const S& s) { return s.strength.stableRating.expectedChange; },
            nullptr, true),
        row(
            "stable_rating.provisional", "Provisional (under 100 half-games)", "暫定", F::Flag,
            [](const S& s) { return flag(s.strength.stableRating.provisional); }, nullptr, true),
        row("all_last.games", "Last hands", "オーラス", F::Count,
            [](const S& s) { return count(s.strength.allLast.games); }),
        part("all_last.from", "By place before the last hand", "オーラス前の順位ごと"),
        row(
            "all_last.keep_top_rate", "Top kept", "トップ維持率", F::Rate,
            [](const S& s) { return s.strength.allLast.mine.keepTopRate; },
            [](const S& s) { return s.strength.allLast.mine.keepTopInterval; }, true),
        row(
            "all_last.reach_top_rate", "Top reached", "逆転トップ率", F::Rate,
            [](const S& s) { return s.strength.allLast.mine.reachTopRate; },
            [](const S& s) { return s.strength.allLast.mine.reachTopInterval; }, true),
        row(
            "all_last.escape_last_rate", "Last escaped", "ラス抜け率", F::Rate,
            [](const S& s) { return s.strength.allLast.mine.escapeLastRate; },
            [](const S& s) { return s.strength.allLast.mine.escapeLastInterval; }, true),
        row(
            "all_last.usual.keep_top_rate", "Top kept at the table", "卓全体のトップ維持率",
            F::Rate, [](const S& s) { return s.strength.allLast.usual.keepTopRate; },
            [](const S& s) { return s.strength.allLast.usual.keepTopInterval; }, true),
        row(
            "all_last.usual.reach_top_rate", "Top reached at the table", "卓全体の逆転トップ率",
            F::Rate, [](const S& s) { return s.strength.allLast.usual.reachTopRate; },
            [](const S& s) { return s.strength.allLast.usual.reachTopInterval; }, true),
        row(
            "all_last.usual.escape_last_rate", "Last escaped at the table", "卓全体のラス抜け率",
            F::Rate, [](const S& s) { return s.strength.allLast.usual.escapeLastRate; },
            [](const S& s) { return s.strength.allLast.usual.escapeLastInterval; }, true),
        row("balance.points_per_hand", "Points per hand", "1局あたりの収支", F::SignedPoints,
            [](const S& s) { return s.strength.balance.pointsPerHand; }),
        row(
            "balance.win_value", "Won per hand", "和了の収入（1局あたり）", F::Points,
            [](const S& s) { return s.strength.balance.winValue; }, nullptr, true),
        row(
            "balance.deal_in_cost", "Dealt in per hand", "放銃の支出（1局あたり）", F::Points,
            [](const S& s) { return s.strength.balance.dealInCost; }, nullptr, true),
        row(
            "balance.net", "Wins less deal-ins", "和了－放銃", F::SignedPoints,
            [](const S& s) { return s.strength.balance.net; }, nullptr, true),
        row("balance.score_sd", "Score spread (sd)", "得点の標準偏差", F::Rating,
            [](const S& s) { return s.strength.balance.scoreSd; }),
        row("luck.ura_per_riichi_win", "Ura per riichi win", "立直和了の裏ドラ平均", F::Ratio,
            [](const S& s) { return s.strength.luck.uraPerRiichiWin; }),
        row(
            "luck.ura_rate", "Riichi wins with ura", "裏ドラ率", F::Rate,
            [](const S& s) { return s.strength.luck.uraRate; }, nullptr, true),
        row(
            "luck.ippatsu_rate", "Riichi wins with ippatsu", "一発率", F::Rate,
            [](const S& s) { return s.strength.luck.ippatsuRate; }, nullptr, true),
        row("luck.dora_per_win", "Dora per win", "和了のドラ平均", F::Ratio,
            [](const S& s) { return s.strength.luck.doraPerWin; }),
        row("luck.aka_per_win", "Aka per win", "和了の赤ドラ平均", F::Ratio,
            [](const S& s) { return s.strength.luck.akaPerWin; }),
        row("luck.dealer_hit.hands", "Dealer hit by a limit tsumo", "親かぶり（満貫以上）",
            F::Count, [](const S& s) { return paymentCount(s, s.strength.luck.dealerHit.hands); }),
        row(
            "luck.dealer_hit.rate", "per hand dealt", "親かぶり（満貫以上）／親番", F::Rate,
            [](const S& s) { return s.strength.luck.dealerHit.rate; }, nullptr, true),
        row(
            "luck.dealer_hit.average_loss", "average loss", "親かぶり（満貫以上）の平均失点",
            F::Points, [](const S& s) { return s.strength.luck.dealerHit.averageLoss; }, nullptr,
            true),
        row("luck.deal_in_to_riichi.count", "Deal-ins to riichi", "立直への放銃", F::Count,
            [](const S& s) { return paymentCount(s, s.strength.luck.toRiichi.count); }),
        row(
            "luck.deal_in_to_riichi.rate", "of deal-ins", "放銃のうち立直へ", F::Rate,
            [](const S& s) { return s.strength.luck.toRiichi.rate; }, nullptr, true),
        row(
            "luck.deal_in_to_riichi.average", "average paid", "立直への平均放銃点", F::Points,
            [](const S& s) { return s.strength.luck.toRiichi.average; }, nullptr, true),
        row("luck.deal_in_to_dama.count", "Deal-ins to dama", "ダマへの放銃", F::Count,
            [](const S& s) { return paymentCount(s, s.strength.luck.toDama.count); }),
        row(
            "luck.deal_in_to_dama.rate", "of deal-ins", "放銃のうちダマへ", F::Rate,
            [](const S& s) { return s.strength.luck.toDama.rate; }, nullptr, true),
        row(
            "luck.deal_in_to_dama.average", "average paid", "ダマへの平均放銃点", F::Points,
            [](const S& s) { return s.strength.luck.toDama.average; }, nullptr, true),
        row("population.players", "Players with enough half-games", "比較する打ち手", F::Count,
            [](const S& s) { return count(s.strength.population.players); }),
        row(
            "population.average_place", "Better in average place than", "平均順位の順位率", F::Rate,
            [](const S& s) { return s.strength.population.averagePlace; }, nullptr, true),
        row(
            "population.win_rate", "Better in win rate than", "和了率の順位率", F::Rate,
            [](const S& s) { return s.strength.population.winRate; }, nullptr, true),
        row(
            "population.deal_in_rate", "Better in deal-in rate than", "放銃率の順位率", F::Rate,
            [](const S& s) { return s.strength.population.dealInRate; }, nullptr, true),
        row(
            "population.points_per_hand", "Better in points per hand than", "収支の順位率", F::Rate,
            [](const S& s) { return s.strength.population.pointsPerHand; }, nullptr, true)};
    to.insert(to.end(), figures.begin(), figures.end());
    addMedians(to);
    addBlock<&Form::newest>(to, "newest", "Form: newest block", "直近の区間");
    addBlock<&Form::previous>(to, "previous", "Form: block before", "その前の区間");
    const std::vector<Figure> difference = {
        row(
            "form.difference.average_place", "Change: average place", "変化: 平均順位",
            F::SignedPlace, [](const S& s) { return s.strength.form.averagePlace; },
            [](const S& s) { return s.strength.form.averagePlaceInterval; }),
        part("form.difference.average_place_interval", "95% interval", "95%区間"),
        row(
            "form.difference.win_rate", "Change: win rate", "変化: 和了率", F::SignedRate,
            [](const S& s) { return s.strength.form.winRate; },
            [](const S& s) { return s.strength.form.winRateInterval; }),
        part("form.difference.win_rate_interval", "95% interval", "95%区間"),
        row(
            "form.difference.deal_in_rate", "Change: deal-in rate", "変化: 放銃率", F::SignedRate,
            [](const S& s) { return s.strength.form.dealInRate; },
            [](const S& s) { return s.strength.form.dealInRateInterval; }),
        part("form.difference.deal_in_rate_interval", "95% interval", "95%区間"),
        part("form.changed", "Changed beyond chance", "偶然を超える変化")};
    to.insert(to.end(), difference.begin(), difference.end());
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
    static const std::vector<Figure> all = [] {
        std::vector<Figure> out = figures;
        addStrength(out);
        return out;
    }();
    return all;
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
    case FigureStyle::Rating:
        return decimalText(value, 1);
    case FigureStyle::RatingChange:
        return signedDecimalText(value, 1);
    case FigureStyle::Decimal:
        return decimalText(value, 3);
    case FigureStyle::Ratio:
        return decimalText(value, 2);
    case FigureStyle::SignedPlace:
        return signedDecimalText(value, 2);
    case FigureStyle::SignedRate:
        return signedDecimalText(value * 100, 1) + "%";
    case FigureStyle::Flag:
        return value != 0 ? "yes" : "no";
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
    if (figure.style == FigureStyle::SignedRate) {
        return signedDecimalText(interval->low * 100, 1) + separator +
               signedDecimalText(interval->high * 100, 1);
    }
    if (figure.style == FigureStyle::SignedPlace) {
        return signedDecimalText(interval->low, 2) + separator +
               signedDecimalText(interval->high, 2);
    }
    if (figure.style == FigureStyle::Rating) {
        return decimalText(interval->low, 1) + separator + decimalText(interval->high, 1);
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
