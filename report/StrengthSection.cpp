// The page's section 「実力」: the stable rating beside the newest, the last hand against
// the table's usual, balance and luck beside the population's medians, the percentiles
// and form. Every number is a figure of the catalogue (analysis/Figures.cpp).
#include <algorithm>
#include <tuple>

#include "report/Charts.h"
#include "report/PageParts.h"
#include "text/Numbers.h"

namespace page {

namespace {

std::string inBrackets(const std::string& interval) {
    return interval.empty() ? "" : " (" + interval + ")";
}

BarValue ratingValue(const std::optional<double>& value, const std::optional<Interval>& interval) {
    BarValue v;
    v.value = value;
    v.interval = interval;
    v.text = value ? decimalText(*value, 1) : dash();
    if (value && interval) {
        v.text +=
            " (" + decimalText(interval->low, 1) + kEnDash + decimalText(interval->high, 1) + ")";
    }
    return v;
}

BarValue percentValue(const std::optional<double>& rate, const std::optional<Interval>& interval) {
    BarValue v;
    if (rate) {
        v.value = *rate * 100;
        v.text = percentText(*rate);
    } else {
        v.text = dash();
    }
    if (interval) {
        v.interval = Interval{interval->low * 100, interval->high * 100};
        v.text += " (" + decimalText(interval->low * 100, 1) + kEnDash +
                  decimalText(interval->high * 100, 1) + ")";
    }
    return v;
}

std::string stableChart(const TableSizeStats& s) {
    const StableRating& stable = s.strength.stableRating;
    const RatingRule& rule = stable.rule;
    std::string note =
        u("レートの規則：持ち主の連続する半荘 ") + std::to_string(rule.pairs) + u(" 組から");
    if (rule.rSquared) {
        note += u("、決定係数 ") + decimalText(*rule.rSquared, 3);
    }
    note += rule.learnt ? u("（学習できた）")
                        : u("（30組・決定係数0.6 に届かず、安定レートは出しません）");
    if (!stable.value) {
        return "<p class=\"facts\">" + sizeName(s.players) + u("：") + note + "</p>\n";
    }
    BarChart chart;
    chart.title = sizeName(s.players) + u(" の安定レート");
    chart.dots = true;
    chart.axisTitle = u("レート（線は95%区間）");
    chart.rows.push_back({u("安定レート"), {ratingValue(stable.value, stable.interval)}});
    chart.low = stable.interval ? stable.interval->low : *stable.value;
    chart.high = stable.interval ? stable.interval->high : *stable.value;
    if (s.lastRating) {
        const double last = s.lastRating->rating;
        chart.rows.push_back({u("最新のレート"), {ratingValue(last, std::nullopt)}});
        chart.low = std::min(chart.low, last);
        chart.high = std::max(chart.high, last);
    }
    chart.low -= 20;
    chart.high += 20;
    std::string words = note;
    if (stable.expectedChange) {
        words += u("。今のレートからの期待変動は1半荘あたり ") +
                 signedDecimalText(*stable.expectedChange, 1);
    }
    if (stable.provisional.value_or(false)) {
        words += u("（順位のついた半荘が100未満のため暫定）");
    }
    return "<figure>" + barChart(chart) + "</figure>\n<p class=\"facts\">" + words + "</p>\n";
}

std::string lastHandCharts(const TableSizeStats& s) {
    const AllLast& last = s.strength.allLast;
    if (last.games == 0) {
        return {};
    }
    // Each place before the last hand, split by the final place: one bar per final place.
    BarChart from;
    from.title = sizeName(s.players) + u(" オーラス前の順位から最終順位へ");
    from.unit = "%";
    from.low = 0;
    from.high = 100;
    from.axisTitle = u("オーラス前の順位ごとの最終順位の割合");
    for (int place = 1; place <= s.players; ++place) {
        from.series.push_back(std::to_string(place) + u("位で終了"));
    }
    for (const LastHandRow& row : last.from) {
        BarRow r{std::to_string(row.place) + u("位から（") + std::to_string(row.games) + u("）"),
                 {}};
        for (const int count : row.final) {
            BarValue v;
            if (row.games > 0) {
                v.value = 100.0 * count / row.games;
                v.text = std::to_string(count);
            }
            r.values.push_back(v);
        }
        from.rows.push_back(std::move(r));
    }
    BarChart rates;
    rates.title = sizeName(s.players) + u(" オーラスの結果");
    rates.unit = "%";
    rates.series = {u("自分"), u("卓全体")};
    rates.axisTitle = u("割合（線は95%区間）");
    const LastHandRates &mine = last.mine, &usual = last.usual;
    rates.rows.push_back({u("トップ維持"),
                          {percentValue(mine.keepTopRate, mine.keepTopInterval),
                           percentValue(usual.keepTopRate, usual.keepTopInterval)}});
    rates.rows.push_back({u("逆転トップ"),
                          {percentValue(mine.reachTopRate, mine.reachTopInterval),
                           percentValue(usual.reachTopRate, usual.reachTopInterval)}});
    rates.rows.push_back({u("ラス抜け"),
                          {percentValue(mine.escapeLastRate, mine.escapeLastInterval),
                           percentValue(usual.escapeLastRate, usual.escapeLastInterval)}});
    return "<figure>" + barChart(from) + "</figure>\n<figure>" + barChart(rates) + "</figure>\n";
}

// Balance and luck: the player's figure beside the population's median.
std::string balanceTable(const TableSizeStats& s) {
    // A third word where the catalogue's label reads only under its heading.
    static const std::tuple<const char*, const char*, const char*> kRows[] = {
        {"balance.points_per_hand", "population.median.points_per_hand", nullptr},
        {"balance.win_value", "population.median.win_value", nullptr},
        {"balance.deal_in_cost", "population.median.deal_in_cost", nullptr},
        {"balance.net", "population.median.net", nullptr},
        {"balance.score_sd", "population.median.score_sd", nullptr},
        {"luck.ura_per_riichi_win", "population.median.ura_per_riichi_win", nullptr},
        {"luck.ura_rate", "population.median.ura_rate", nullptr},
        {"luck.ippatsu_rate", "population.median.ippatsu_rate", nullptr},
        {"luck.dora_per_win", "population.median.dora_per_win", nullptr},
        {"luck.aka_per_win", "population.median.aka_per_win", nullptr},
        {"luck.dealer_hit.rate", nullptr, nullptr},
        {"luck.deal_in_to_riichi.rate", nullptr, nullptr},
        {"luck.deal_in_to_dama.rate", nullptr, nullptr},
    };
    std::string out = "<div class=\"wide\"><table class=\"sizes strength\"><thead><tr><th>" +
                      sizeName(s.players) + "</th><th class=\"n\">" + u("自分") +
                      "</th><th class=\"n\">" + u("比較する打ち手の中央値") +
                      "</th></tr></thead><tbody>\n";
    for (const auto& [mine, median, label] : kRows) {
        const Figure& f = figureNamed(mine);
        out += "<tr><th>" + u(label ? label : f.japanese) + "</th><td class=\"n\">" +
               figureText(f, s, dash()) + "</td><td class=\"n\">" +
               (median ? figureText(figureNamed(median), s, dash()) : dash()) + "</td></tr>\n";
    }
    return out + "</tbody></table></div>\n";
}

std::string percentileChart(const TableSizeStats& s) {
    const Population& p = s.strength.population;
    if (!p.averagePlace) {
        return "<p class=\"facts\">" + sizeName(s.players) + u("：比べられる打ち手（") +
               std::to_string(p.players) + u(" 人）に自分が入っていないか、ほかにいません。") +
               "</p>\n";
    }
    BarChart chart;
    chart.title =
        sizeName(s.players) + u(" ほかの打ち手との比較（") + std::to_string(p.players) + u(" 人）");
    chart.dots = true;
    chart.unit = "%";
    chart.low = 0;
    chart.high = 100;
    chart.reference = 50;
    chart.referenceName = u("真ん中");
    chart.axisTitle = u("自分より下の打ち手の割合（右ほど良い）");
    for (const char* key : {"population.average_place", "population.win_rate",
                            "population.deal_in_rate", "population.points_per_hand"}) {
        const Figure& f = figureNamed(key);
        chart.rows.push_back({u(f.japanese), {percentValue(f.value(s), std::nullopt)}});
    }
    return "<figure>" + barChart(chart) + "</figure>\n";
}

std::string formChart(const TableSizeStats& s) {
    const Form& form = s.strength.form;
    if (!form.averagePlace) {
        return "<p class=\"facts\">" + sizeName(s.players) + u("：直近 ") +
               std::to_string(form.newest.games) + u(" 半荘とその前 ") +
               std::to_string(form.previous.games) +
               u(" 半荘。どちらかが30に届かないので、調子の変化は比べません。") + "</p>\n";
    }
    BarChart chart;
    chart.title = sizeName(s.players) + u(" 調子：直近 ") + std::to_string(form.newest.games) +
                  u(" 半荘とその前 ") + std::to_string(form.previous.games) + u(" 半荘");
    chart.dots = true;
    chart.low = 1;
    chart.high = s.players;
    chart.axisTitle = u("平均順位（左ほど良い、線は95%区間）");
    for (const auto& [name, block] :
         {std::pair{"直近", &form.newest}, std::pair{"その前", &form.previous}}) {
        BarValue v;
        v.value = block->averagePlace;
        v.text = orAbsent(block->averagePlace, 2, dash());
        chart.rows.push_back({u(name), {v}});
    }
    // The difference's interval, shown on the newest around its value.
    if (form.averagePlaceInterval && form.previous.averagePlace) {
        chart.rows[0].values[0].interval =
            Interval{*form.previous.averagePlace + form.averagePlaceInterval->low,
                     *form.previous.averagePlace + form.averagePlaceInterval->high};
    }
    std::string words;
    for (const char* key : {"form.difference.average_place", "form.difference.win_rate",
                            "form.difference.deal_in_rate"}) {
        const Figure& f = figureNamed(key);
        words += (words.empty() ? "" : u("・")) + u(f.japanese) + " " + figureText(f, s, dash()) +
                 inBrackets(figureIntervalText(f, s));
    }
    words += form.changed.empty() ? u("。どれも95%区間が0をまたぎ、偶然の範囲の変化です。")
                                  : u("。95%区間が0を外れ、偶然を超える変化があります：") +
                                        [&] {
                                            std::string list;
                                            for (const std::string& key : form.changed) {
                                                list += (list.empty() ? "" : ", ") + key;
                                            }
                                            return list;
                                        }() +
                                        u("。");
    return "<figure>" + barChart(chart) + "</figure>\n<p class=\"facts\">" + words + "</p>\n";
}

} // namespace

std::string strengthSection(const PlayerStats& stats) {
    std::string out = "<section id=\"strength\"><h2>" + u("実力") + "</h2>\n";
    if (stats.bySize.empty()) {
        return out + "<p>" + u("半荘がありません。") + "</p></section>\n";
    }
    for (const TableSizeStats& s : stats.bySize) {
        out += "<h3>" + sizeName(s.players) + "</h3>\n";
        out += stableChart(s) + lastHandCharts(s) + balanceTable(s) + percentileChart(s) +
               formChart(s);
    }
    return out + "<p class=\"note\">" +
           u("安定レートは、ログの持ち主のレートの動きから学んだ規則で、順位の割合がこのまま"
             "続いたときに落ち着くレート。区間は順位の数を2,000回引き直した95%区間。卓全体は"
             "選んだ半荘のすべての席。比較する打ち手は、この人数で完走した半荘が既定で20以上の"
             "人。") +
           "</p></section>\n";
}

} // namespace page
