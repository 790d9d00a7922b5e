// The report page: its style, its heading and the order of its sections, and the tables
// of opponents and yaku. Every text of a log goes through text() (CP932 to UTF-8,
// escaped); the page's own words are CP932 literals converted by u().
#include "report/ReportPage.h"

#include <algorithm>
#include <cstdlib>

#include "PaiviewVersion.h"
#include "report/PageParts.h"
#include "text/Numbers.h"

using namespace page;

namespace {

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
.lead{color:var(--muted);margin:0}
.cards{display:grid;grid-template-columns:repeat(auto-fit,minmax(150px,1fr));gap:12px;margin:16px 0 6px}
.card{border:1px solid var(--line);border-radius:6px;padding:10px 14px;background:var(--band)}
.card .label{font-size:13px;color:var(--muted)}
.card .value{font-size:26px;font-weight:bold;line-height:1.3}
.card .value .ci{display:block;font-size:13px;font-weight:normal;line-height:1.2}
.card .note{font-size:12px;color:var(--muted)}
table{border-collapse:collapse;margin:6px 0;font-size:14px}
th,td{border-bottom:1px solid var(--line);padding:3px 10px;text-align:left;vertical-align:top}
th{background:var(--band);font-weight:bold}
tr.sub th{font-weight:normal;padding-left:2em}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
.ci,.cnt{color:var(--muted);font-size:12px}
.wide{overflow-x:auto}
figure{margin:8px 0}
figure svg{width:100%;height:auto;display:block;max-width:900px}
figure.points svg{max-width:640px}
figcaption,.note,.facts{font-size:13px;color:var(--muted)}
.facts{margin:0 0 14px}
svg text{font-family:inherit;fill:var(--ink)}
svg .tick{font-size:12px}svg .title{font-size:13px;font-weight:bold}
svg .legend,svg .group{font-size:12px}svg .value{font-size:11px}
svg .peak-label{font-size:12px;font-weight:bold}
svg .end{font-size:11px}svg .me-label{font-weight:bold}
svg .axis{stroke:var(--ink);stroke-width:1}
svg .grid{stroke:#e2e2e2;stroke-width:1}
svg .zero{stroke:var(--muted);stroke-width:1;stroke-dasharray:4 3;fill:none}
svg .guide{stroke:#d0d0d0;stroke-width:1;stroke-dasharray:1 3}
svg polyline.line{fill:none;stroke-width:2}
svg line.line{stroke-width:2}
svg .line.thin{stroke:var(--s0);stroke-width:1;opacity:.6}
svg .s0{stroke:var(--s0);fill:var(--s0)}
svg .s1{stroke:var(--s1);fill:var(--s1)}svg .line.s1{stroke-dasharray:7 4}
svg .s2{stroke:var(--s2);fill:var(--s2)}svg .line.s2{stroke-dasharray:2 3}
svg .s3{stroke:var(--s3);fill:var(--s3)}svg .line.s3{stroke-dasharray:9 3 2 3}
svg polyline.line.s0,svg polyline.line.s1,svg polyline.line.s2,svg polyline.line.s3{fill:none}
svg .line.me{stroke:var(--ink);stroke-width:3.5;fill:none}
svg .key.me{stroke:var(--ink);fill:var(--ink)}
svg .peak{fill:none;stroke-width:2}
svg .last{fill:var(--paper);stroke-width:2}
svg .bar{fill:#7d9cc4;stroke:#1f3f68;stroke-width:1}
svg .bar.alt{fill:var(--paper);stroke:#1f3f68;stroke-dasharray:3 2}
svg .pt.s0{fill-opacity:.75;stroke:none}
svg .avg{fill:none;stroke:var(--s1);stroke-width:2.5}
svg line.range{stroke:var(--s0);stroke-width:1;opacity:.6}
svg rect.range{fill:#b8c8de;stroke:none}
svg .whisker{stroke:var(--ink);stroke-width:1.2}
svg .whisker-key{fill:none;stroke:var(--ink)}
svg .shade{fill:#e9ecf1;stroke:none}
svg .dealer{stroke:var(--paper);stroke-width:.8}
svg .dealer-key{fill:var(--muted);stroke:var(--paper)}
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
 svg .shade{fill:#ddd}
}
@page{margin:14mm}
)css";

std::string cell(const std::string& html, bool number = true) {
    return number ? "<td class=\"n\">" + html + "</td>" : "<td>" + html + "</td>";
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
               cell(std::to_string(h.above)) + cell(rateCell(h.above, h.games)) +
               cell(h.scoreDifference ? signedDecimalText(*h.scoreDifference, 1) : dash()) +
               "</tr>\n";
    }
    out += "</tbody></table></div>\n<p class=\"note\">" +
           u("順位のついた半荘で同卓した回数の多い順。上位は自分が上の順位だった回数、"
             "平均得点差は（自分－相手）の平均。かっこの中は95%区間。");
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
        out += "<tr>" + cell(text(y.yaku), false) + cell(std::to_string(y.hands)) +
               cell(rateCell(y.hands, stats.yakuHands)) + "</tr>\n";
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

    for (auto part : {summarySection, trendSection, ratingSection, placeSection, seatSection,
                      scoreSection, dealerSection, dealInSection, recordsSection, strengthSection,
                      sizeSection, opponentSection, yakuSection}) {
        out += part(stats);
    }
    out += gameList(input);
    out += "<footer>" + u("paiview " PAIVIEW_VERSION " の report で作成。") +
           u("図はこのページの中の SVG で、外から読み込むものはありません。") +
           "</footer>\n</main>\n</body>\n</html>\n";
    return out;
}
