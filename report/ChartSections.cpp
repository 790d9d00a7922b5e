// The page's sections of charts: each gathers its figures per table size from the
// statistics and hands them to a chart of report/Charts.h.
#include <algorithm>

#include "report/Charts.h"
#include "report/PageParts.h"
#include "text/Numbers.h"

namespace page {

namespace {

// The score charts' moving average: about a week of evenings' play.
constexpr int kAverageWindow = 20;
// Whom the player dealt into: the most met, the rest in one row.
constexpr std::size_t kIntoRows = 8;

std::string section(const char* id, const char* heading) {
    return std::string("<section id=\"") + id + "\"><h2>" + u(heading) + "</h2>\n";
}

std::string none(const char* why) {
    return "<p>" + u(why) + "</p></section>\n";
}

std::string figure(const std::string& svg) {
    return svg.empty() ? "" : "<figure>" + svg + "</figure>\n";
}

std::string caption(const char* words) {
    return "<p class=\"note\">" + u(words) + "</p></section>\n";
}

std::string percentWithInterval(const std::optional<double>& rate,
                                const std::optional<Interval>& interval) {
    if (!rate) {
        return dash();
    }
    return percentText(*rate) + (interval ? " (" + decimalText(interval->low * 100, 1) + kEnDash +
                                                decimalText(interval->high * 100, 1) + ")"
                                          : "");
}

// A rate of the catalogue as a bar in percent, with its interval.
BarRow rateRow(std::string_view key, const TableSizeStats& s) {
    const Figure& f = figureNamed(key);
    const std::optional<double> rate = f.value(s);
    const std::optional<Interval> interval = figureInterval(f, s);
    BarValue v;
    v.text = percentWithInterval(rate, interval);
    if (rate) {
        v.value = *rate * 100;
    }
    if (interval) {
        v.interval = Interval{interval->low * 100, interval->high * 100};
    }
    return {u(f.japanese), {v}};
}

// The span of the half-games' months or ratings, shared by the charts of every size.
struct Span {
    LogMinutes first = 0, last = 0;
    bool any = false;
    void add(LogMinutes a, LogMinutes b) {
        first = any ? std::min(first, a) : a;
        last = any ? std::max(last, b) : b;
        any = true;
    }
};

} // namespace

std::string trendSection(const PlayerStats& stats) {
    std::string out = section("trend", "月ごとの推移");
    Span span;
    for (const TableSizeStats& s : stats.bySize) {
        for (const PeriodStats& p : s.periods) {
            if (const auto month = monthSpan(p.period)) {
                span.add(month->first, month->second);
            }
        }
    }
    if (!span.any) {
        return out + none("日時の読める半荘がありません。");
    }
    for (const TableSizeStats& s : stats.bySize) {
        std::vector<MonthFigures> months;
        for (const PeriodStats& p : s.periods) {
            if (const auto month = monthSpan(p.period)) {
                months.push_back({p.period, month->first, month->second, p.games, p.averagePlace,
                                  p.averagePlaceInterval});
            }
        }
        out += figure(trendChart(sizeName(s.players), s.players, months, span.first, span.last));
    }
    return out + caption("卓の人数ごと、半荘を始めた月ごとに、平均順位（●、上が1位）とその95%区間"
                         "（縦の線）、下に遊んだ半荘の数。順位のある半荘がひとつだけの月は区間が"
                         "なく、順位のある半荘のない月は●もありません。");
}

std::string ratingSection(const PlayerStats& stats) {
    std::string out = section("rating", "レートの推移");
    Span span;
    for (const RatingPoint& point : stats.ratings) {
        if (const auto at = parseLogTime(point.date)) {
            span.add(*at, *at);
        }
    }
    if (!span.any) {
        return out + none("レートの記録がありません。");
    }
    for (int players : {4, 3, 2}) {
        RatingPanel panel{sizeName(players), {}};
        for (const RatingPoint& point : stats.ratings) {
            const auto at = parseLogTime(point.date);
            if (point.players == players && at) {
                panel.points.push_back(
                    {*at, static_cast<double>(point.rating),
                     gameRef(point.game) + " " + point.date + " R" + std::to_string(point.rating)});
            }
        }
        if (panel.points.size() > kCrowded) {
            for (TimedValue& p : panel.points) {
                p.tip.clear(); // drawn per period: no mark carries them
            }
        }
        out += figure(ratingChart(panel, span.first, span.last));
    }
    return out + caption("卓の人数ごとに、各半荘の開始時のレート（プレイヤー行の R）。横の日時は"
                         "どの人数でも同じ。点が多いときは期間ごとの中央値の線と、最低から最高の"
                         "帯にまとめます。");
}

std::string placeSection(const PlayerStats& stats) {
    std::vector<PlaceGroup> groups;
    for (const TableSizeStats& s : stats.bySize) {
        groups.push_back({sizeName(s.players), s.placeCounts});
    }
    const std::string svg = placeChart(groups);
    std::string out = section("places", "順位分布");
    if (svg.empty()) {
        return out + none("順位のついた半荘がありません（すべて途中終了など）。");
    }
    return out + figure(svg) +
           caption("卓の人数ごとに、順位のついた半荘のうち各順位の割合。棒の上の数は回数。");
}

std::string seatSection(const PlayerStats& stats) {
    std::string out = section("seats", "席順ごとの平均順位");
    std::string charts;
    for (const TableSizeStats& s : stats.bySize) {
        BarChart chart;
        chart.title = sizeName(s.players);
        chart.dots = true;
        chart.low = 1;
        chart.high = s.players;
        chart.axisTitle = u("平均順位（左ほど良い）");
        if (s.averagePlace) {
            chart.reference = s.averagePlace;
            chart.referenceName = u("全体の平均順位 ") + decimalText(*s.averagePlace, 2);
        }
        for (const SeatPlaces& seat : s.bySeat) {
            BarValue v;
            v.value = seat.averagePlace;
            v.text = orAbsent(seat.averagePlace, 2, dash()) + u("（") + std::to_string(seat.games) +
                     u(" 半荘）");
            chart.rows.push_back({"[" + std::to_string(seat.seat) + u("] の席"), {v}});
        }
        charts += figure(barChart(chart));
    }
    if (charts.empty()) {
        return out + none("順位のついた半荘がありません。");
    }
    return out + charts +
           caption("プレイヤー行の [1]～[4] のどの席に座ったかごとの平均順位。[1] の席が東1局の"
                   "親（起家）です。");
}

std::string scoreSection(const PlayerStats& stats) {
    std::string out = section("scores", "半荘ごとの得点");
    std::string charts;
    for (const TableSizeStats& s : stats.bySize) {
        ScorePanel panel{sizeName(s.players), {}, {}};
        for (const GameScore& score : stats.scores) {
            if (score.players != s.players) {
                continue;
            }
            const double value = static_cast<double>(score.tenths) / 10;
            // The best and the worst; one label when they are the same half-game.
            const auto& best = s.records.bestScore;
            const auto& worst = s.records.worstScore;
            const bool isBest = best && best->game == score.game;
            const bool isWorst = worst && worst->game == score.game;
            if (isBest || isWorst) {
                const char* word = isBest && isWorst ? "最高・最低 " : isBest ? "最高 " : "最低 ";
                panel.marked.push_back(
                    {panel.points.size(),
                     u(word) + signedTenthsText(score.tenths) + "  " + gameRef(score.game),
                     !isBest});
            }
            panel.points.push_back({value, stats.scores.size() <= 2 * kCrowded
                                               ? gameRef(score.game) + " " + score.date + " " +
                                                     signedTenthsText(score.tenths)
                                               : std::string()});
        }
        charts += figure(scoreChart(panel, kAverageWindow));
    }
    if (charts.empty()) {
        return out + none("得点の読める半荘がありません。");
    }
    return out + charts +
           caption("卓の人数ごとに、完走した半荘の得点（試合結果の +40.8 など）を古い順に。"
                   "◆は最高と最低。");
}

std::string dealerSection(const PlayerStats& stats) {
    std::string out = section("dealer", "親と流局");
    std::string charts;
    for (const TableSizeStats& s : stats.bySize) {
        if (s.hands == 0) {
            continue;
        }
        BarChart chart;
        chart.title = sizeName(s.players);
        chart.unit = "%";
        chart.axisTitle = u("割合（線は95%区間）");
        for (std::string_view key : {"win_rate", "dealer.win_rate", "deal_in_rate",
                                     "dealer.deal_in_rate", "draw_rate", "draws_tenpai.rate"}) {
            chart.rows.push_back(rateRow(key, s));
        }
        charts += figure(barChart(chart));
        std::string facts;
        for (std::string_view key : {"dealer.hands", "dealer.longest_run", "dealer.tsumo_paid",
                                     "dealer.tsumo_paid_points", "draws"}) {
            const Figure& f = figureNamed(key);
            facts +=
                (facts.empty() ? "" : u("・")) + u(f.japanese) + " " + figureText(f, s, dash());
        }
        charts += "<p class=\"facts\">" + sizeName(s.players) + u("：") + facts + "</p>\n";
    }
    if (charts.empty()) {
        return out + none("局の記録がありません。");
    }
    return out + charts +
           caption("親の和了率・放銃率は自分が親の局のうち。流局時聴牌率は、聴牌した人がログに"
                   "書かれた流局のうち。―はログから分からないもの（親をしていない、流局が"
                   "ない、2人打ちの放銃など）。");
}

std::string dealInSection(const PlayerStats& stats) {
    std::string out = section("dealins", "放銃");
    std::string charts;
    for (const TableSizeStats& s : stats.bySize) {
        if (!s.dealIn.into.empty()) {
            BarChart into;
            into.title = sizeName(s.players) + u("：放銃した相手");
            into.integral = true;
            into.axisTitle = u("放銃した回数");
            int restCount = 0, restPeople = 0;
            long long restPoints = 0;
            for (std::size_t i = 0; i < s.dealIn.into.size(); ++i) {
                const DealInto& d = s.dealIn.into[i];
                if (i < kIntoRows) {
                    into.rows.push_back({plain(d.winner),
                                         {{static_cast<double>(d.count), std::nullopt,
                                           std::to_string(d.count) + u(" 回・") +
                                               std::to_string(d.points) + u(" 点")}}});
                } else {
                    restCount += d.count;
                    restPoints += d.points;
                    ++restPeople;
                }
            }
            charts += figure(barChart(into));
            // The rest in words: one bar of them all would flatten the others.
            if (restPeople > 0) {
                charts += "<p class=\"facts\">" + u("ほか ") + std::to_string(restPeople) +
                          u(" 人に計 ") + std::to_string(restCount) + u(" 回・") +
                          std::to_string(restPoints) + u(" 点。") + "</p>\n";
            }
        }
        if (!s.limits.empty()) {
            BarChart limits;
            limits.title = sizeName(s.players) + u("：役の大きさごとの和了と放銃");
            limits.integral = true;
            limits.series = {u("和了"), u("放銃")};
            limits.axisTitle = u("局数");
            const bool dealIns = paymentsTellTsumo(s.players);
            for (const LimitCount& l : s.limits) {
                BarValue win{static_cast<double>(l.wins), std::nullopt,
                             u("和了 ") + std::to_string(l.wins)};
                BarValue in{dealIns ? std::optional<double>(l.dealIns) : std::nullopt, std::nullopt,
                            u("放銃 ") + (dealIns ? std::to_string(l.dealIns) : dash())};
                limits.rows.push_back({l.limit ? plain(*l.limit) : u("表記なし"), {win, in}});
            }
            charts += figure(barChart(limits));
        }
    }
    const TableSizeStats* m = mainSize(stats);
    if (charts.empty()) {
        return out + none(m && paymentsTellTsumo(m->players) ? "放銃も満貫以上の和了もありません。"
                                                             : "放銃した局がありません。");
    }
    return out + charts +
           caption("放銃した相手は、自分が放銃した局の和了者（ダブロンではそれぞれ）と、その人が"
                   "それらの局で得た点。満貫以上は役の行の 満貫・跳満・倍満・三倍満・役満 などの"
                   "言葉で数え、言葉のない局は「表記なし」。2人打ちの放銃はログから分かりません。");
}

} // namespace page
