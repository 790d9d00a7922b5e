"""paiview report: the page in headless Chromium, hostile names, large and empty logs."""
import collections
import html.parser
import re
import shutil
import subprocess

from clitest import CliTest, SAMPLE

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
HOSTILE = ["<script>alert(1)</script>", '"><img src=x onerror=alert(1)>', "&amp;"]
HEADINGS = ["概要", "月ごとの推移", "レートの推移", "順位分布", "席順ごとの平均順位", "半荘ごとの得点",
            "親と流局", "放銃", "記録", "実力", "卓の人数ごとの成績", "対戦相手", "役", "半荘一覧"]
# A rate or an average with its 95% interval, as the page writes them.
WITH_INTERVAL = re.compile(r"^\d+\.\d+%? \(\d+\.\d+–\d+\.\d+\)$")


def game(number, names, places=None, hands=(), day=1, month=5, points=None):
    """One half-game in the log's own words. names: (name, rating); places: names in
    place order with their scores, or None for an aborted game; points: the final
    points in place order (default 30000 + score × 1000)."""
    when = f"2004/{month:02d}/{day:02d} {number // 60 % 24:02d}:{number % 60:02d}"
    table = f"東風荘 第{number}卓"
    seats = " ".join(f"[{i + 1}]{n} R{r}" for i, (n, r) in enumerate(names))
    lines = [f"===== {table} 開始 {when} =====", f"  {seats}"]
    for title, result, yaku in hands:
        lines += [f"  {title} {result}", f"    {yaku}"]
    if places is None:
        lines.append("   ユーザ切断により途中終了")
    else:
        lines.append("  ---- 試合結果 ----")
        for place, (name, score) in enumerate(places, 1):
            final = points[place - 1] if points else 30000 + int(score * 1000)
            lines.append(f"  {place}位 {name} {score:+.1f} ({final})")
    lines += [f"----- {table} 終了 {when} -----", ""]
    return "\n".join(lines) + "\n"


def four(number, owner, others, day=1, aborted=False, month=5):
    """A 4-player half-game of one hand the owner (the dealer, at seat 1) won by ron from
    the last of the others: points that add up, so the page can draw them."""
    names = [(owner, 1500 + number % 300)] + [(o, 1600) for o in others]
    hand = ("東1局 0本場(リーチ0)", f"{owner} +8000 {others[2]} -8000", "満貫 立直 ドラ2")
    places = None if aborted else list(zip([owner] + others, [40.0, 10.0, -20.0, -30.0]))
    return game(number, names, places, [hand], day, month, [38000, 30000, 30000, 22000])


class Page(html.parser.HTMLParser):
    """What a test asks of a page: its text, headings, elements, marks and charts per
    section, table rows by their first cell, and what is drawn outside its plot."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.tags, self.attrs, self.h2, self.data = [], [], [], []
        self.marks, self.cards, self.svgs, self.svg_text = {}, {"values": []}, {}, {}
        self.classes = collections.Counter()
        self.rows, self.row = {}, None
        self.outside = []  # (section, tag, attributes) drawn off its plot or its chart
        self.points = []   # (section, classes, x, y, plot box) of each mark in a plot
        self._section = None
        self._in = []
        self._plots = []   # the plot boxes the parser is in
        self._view = None  # the viewBox of the chart it is in
        self.feed(text)
        self.text = "".join(self.data)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append(tag)
        self.attrs += [(tag, k, v or "") for k, v in attrs.items()]
        if tag == "section":
            self._section = attrs.get("id")
        cls = (attrs.get("class") or "").split()
        self.classes.update(f"{tag}.{c}" for c in cls)
        if "pt" in cls:
            self.marks[self._section] = self.marks.get(self._section, 0) + 1
        if tag == "svg":
            self.svgs[self._section] = self.svgs.get(self._section, 0) + 1
            self._view = [float(v) for v in attrs["viewbox"].split()]
        if "data-plot" in attrs:
            self._plots.append([float(v) for v in attrs["data-plot"].split()])
        if self._view and tag in ("line", "polyline", "rect", "circle", "polygon", "text"):
            self.drawn(tag, attrs, cls)
        if tag == "tr":
            self.row = []
        if tag in ("th", "td") and self.row is not None:
            self.row.append("")
        if tag == "div" and "value" in cls:
            self.cards["values"].append("")
        self._in.append((tag, cls))

    def drawn(self, tag, attrs, cls):
        """Checks a shape against its plot, and anything against its chart's viewBox."""
        num = lambda k: float(attrs.get(k, 0))
        if tag == "polyline" or tag == "polygon":
            xy = [tuple(map(float, p.split(","))) for p in attrs["points"].split()]
            if tag == "polygon":  # a mark: its centre
                xy = [(sum(x for x, _ in xy) / len(xy), sum(y for _, y in xy) / len(xy))]
        elif tag == "line":
            xy = [(num("x1"), num("y1")), (num("x2"), num("y2"))]
        elif tag == "rect":
            xy = [(num("x"), num("y")), (num("x") + num("width"), num("y") + num("height"))]
        elif tag == "circle":
            xy = [(num("cx"), num("cy"))]
        else:
            xy = [(num("x"), num("y"))]
        box = self._plots[-1] if self._plots else [0, 0, self._view[2], self._view[3]]
        if any(not (box[0] - .51 <= x <= box[2] + .51 and box[1] - .51 <= y <= box[3] + .51)
               for x, y in xy):
            self.outside.append((self._section, tag, attrs))
        if self._plots and tag in ("circle", "polygon") or tag == "rect" and "pt" in cls:
            self.points.append((self._section, cls, *xy[0], box))

    def handle_endtag(self, tag):
        if tag == "g" and self._plots:
            self._plots.pop()
        if tag == "svg":
            self._view = None
        if tag == "tr" and self.row:
            self.rows[self.row[0].strip()] = [c.strip() for c in self.row[1:]]
            self.row = None
        while self._in and self._in.pop()[0] != tag:
            pass

    def handle_data(self, data):
        self.data.append(data)
        if self._in and self._in[-1][0] == "h2":
            self.h2.append(data)
        tags = [t for t, _ in self._in]
        classes = [c for _, cls in self._in for c in cls]
        if "value" in classes and "card" in classes:
            self.cards["values"][-1] += data
        if "svg" in tags:
            self.svg_text[self._section] = self.svg_text.get(self._section, "") + data + "\n"
        if self.row and ("td" in tags or "th" in tags):
            self.row[-1] += data


class ReportTest(CliTest):
    def report(self, log, *args):
        out = self.tmp / "report.html"
        r = self.assertRuns("report", log, "-o", out, *args)
        self.assertTrue(r.out.startswith(f"Wrote {out}: "), r.out)
        return out

    def dom(self, page):
        """The page as headless Chromium leaves it, after any script it holds had run."""
        self.assertIsNotNone(CHROMIUM, "chromium is needed: scripts/deps.sh installs it")
        proc = subprocess.run(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", f"--user-data-dir={self.tmp / 'chromium'}", "--dump-dom",
             page.as_uri()], capture_output=True, timeout=120)
        self.assertEqual(proc.returncode, 0, proc.stderr.decode(errors="replace")[-2000:])
        return Page(proc.stdout.decode("utf-8"))

    def assertStandsAlone(self, page):
        """Nothing fetched, nothing run, no figure that failed to compute, nothing drawn
        outside its plot or its chart."""
        text = page.read_text(encoding="utf-8")
        self.assertTrue(text.startswith('<!DOCTYPE html>\n<html lang="ja">'))
        self.assertIn('<meta charset="utf-8">', text)
        # Escaped text holds no "<", so these are the page's own tags.
        for tag in re.findall(r"<[^>]*>", text):
            self.assertIsNone(re.search(r"\s(src|href|on\w+)\s*=|https?:", tag), tag)
        for outside in ("url(", "@import", "<link", "<script"):
            self.assertNotIn(outside, text)
        self.assertIsNone(re.search(r"NaN|Infinity|\bnan\b|\binf\b", text))
        self.assertIn("@media print", text)
        dom = self.dom(page)
        for tag in ("script", "link", "img", "iframe", "object", "embed"):
            self.assertNotIn(tag, dom.tags, tag)
        for tag, name, value in dom.attrs:
            self.assertFalse(name.startswith("on"), (tag, name))
            self.assertFalse(name in ("src", "href") and value, (tag, name, value))
        self.assertEqual(dom.outside, [])
        return dom

    def marks(self, dom, *sections):
        return {s: dom.marks.get(s, 0) for s in sections}

    def test_sample_in_chromium(self):
        dom = self.assertStandsAlone(self.report(SAMPLE))
        self.assertEqual(dom.h2, HEADINGS)
        self.assertIn("たぬき の成績", dom.text)
        self.assertIn("最も多くの半荘", dom.text)
        # たぬき sits in 4 of the 16 half-games: the first card counts them.
        self.assertEqual(dom.cards["values"][0], "4")
        self.assertEqual(dom.cards["values"][4], "17.9% (7.9–35.6)")  # the win rate
        # Marks: 4 ratings (3 at 4 players, 1 at 3), 4 + 3 place bars, 3 scores.
        self.assertEqual(self.marks(dom, "rating", "places", "scores"),
                         {"rating": 4, "places": 7, "scores": 3})
        # A panel per table size played, for the trend, the ratings and the scores.
        self.assertEqual([dom.svgs[s] for s in ("trend", "rating", "scores", "seats")],
                         [2, 2, 2, 2])
        self.assertEqual(dom.tags.count("details"), 4)
        self.assertIn("最高 1880", dom.svg_text["rating"])
        self.assertIn("最新 1371", dom.svg_text["rating"])
        self.assertIn("2003-06-06", dom.text)
        # Every rate and average place of the table with its interval.
        for label in ("平均順位", "連対率", "和了率", "放銃率", "流局時聴牌率", "親の和了率"):
            self.assertRegex(dom.rows[label][0].split("回 ")[-1], WITH_INTERVAL)
        # A hand by its place in the half-game, not a 第N局 that reads like 東N局.
        self.assertEqual(dom.rows["最大和了点"], ["+16000 #4 の3局目", "+8000 #14 の10局目"])
        self.assertNotIn("第3局", dom.text)
        # たぬき never sat at 2: no word on 2 players.
        self.assertNotIn("2人打ちでは", dom.text)
        self.assertIn("ハコ下", dom.svg_text["dealins"])
        # The points of the three completed half-games; the aborted one says why not.
        self.assertEqual(dom.classes["figure.points"], 3)
        self.assertEqual(dom.text.count("点数の推移の図はありません"), 1)
        self.assertIn("たぬき 32000", dom.svg_text["games"])

    def test_strength_section_of_a_log_whose_ratings_follow_a_rule(self):
        from test_export import scoregen
        log = scoregen(self, self.tmp / "rule.txt", 1000, "--rule", "30,10,-10,-30/4")
        page = self.report(log)
        self.assertIsNone(re.search(r"NaN|Infinity|\bnan\b|\binf\b", page.read_text("utf-8")))
        dom = self.dom(page)
        # Only this section's marks: the half-game list of such a log draws a dealer mark
        # past its frame at the last hand, a fault of the points chart left for its own fix.
        self.assertEqual([o for o in dom.outside if o[0] == "strength"], [])
        self.assertIn("実力", dom.h2)
        # Per size played: the stable rating, the last hand twice, the percentiles, and
        # form where both blocks hold 30 (its words say so where they do not).
        sizes = 3
        words = dom.text.count("調子の変化は比べません") + dom.text.count("比べられる打ち手（")
        self.assertEqual(dom.svgs["strength"], 5 * sizes - words)
        self.assertEqual(dom.text.count("（学習できた）"), sizes)
        self.assertIn("最新のレート", dom.svg_text["strength"])
        self.assertIn("卓全体", dom.svg_text["strength"])
        self.assertIn("比較する打ち手の中央値", dom.text)
        self.assertRegex(dom.text, "偶然の範囲の変化です|偶然を超える変化があります")
        # The sample's owner has too few half-games for a rule or form: words, not charts.
        sample = self.assertStandsAlone(self.report(SAMPLE))
        self.assertIn("届かず、安定レートは出しません", sample.text)
        self.assertIn("調子の変化は比べません", sample.text)

    def test_player_and_filters(self):
        out = self.tmp / "r.html"
        r = self.assertRuns("report", SAMPLE, "-o", out, "--player", "リャンメン",
                            "--players", "3")
        self.assertEqual(r.out, f"Wrote {out}: リャンメン, in 3 of 5 half-games\n")
        self.assertIn("リャンメン の成績", out.read_text(encoding="utf-8"))
        # 黒猫 played at 2: the page says what the log cannot tell there.
        self.assertRuns("report", SAMPLE, "-o", out, "--player", "黒猫")
        self.assertIn("2人打ちでは", out.read_text(encoding="utf-8"))

    def test_failures_leave_no_file(self):
        out = self.tmp / "r.html"
        for args, message in [
            (["-o", out, "--player", "だれでもない"],
             "だれでもない is not in any of the 16 half-games"),
            (["-o", out, "--since", "2010-01-01"], "no half-games to report"),
            (["-o", self.tmp / "no-folder" / "r.html"], "cannot be written"),
        ]:
            with self.subTest(args=args):
                r = self.assertRuns("report", SAMPLE, *args, code=1)
                self.assertIn(message, r.err)
        self.assertEqual(list(self.tmp.iterdir()), [])
        self.assertRuns("report", SAMPLE, code=2)  # no -o

    def test_hostile_names_show_as_text(self):
        owner = "持ち主"
        # In the fourth the owner deals into a hostile name: it is in the deal-in chart.
        dealt_in = game(4, [(owner, 1500)] + [(h, 1600) for h in HOSTILE],
                        list(zip(HOSTILE + [owner], [40.0, 10.0, -20.0, -30.0])),
                        [("東1局 0本場(リーチ0)", f"{HOSTILE[0]} +8000 {owner} -8000", "満貫")],
                        points=[38000, 30000, 30000, 22000])
        log = self.write_log("hostile.txt", four(1, owner, HOSTILE) +
                             four(2, owner, ["あ", "い", "う"]) +
                             four(3, owner, HOSTILE[::-1], aborted=True) + dealt_in)
        for player in [None, HOSTILE[0], HOSTILE[1], HOSTILE[2]]:
            with self.subTest(player=player):
                page = self.report(log, *(["--player", player] if player else []))
                dom = self.assertStandsAlone(page)
                for name in HOSTILE:
                    self.assertIn(name, dom.text)
                if player:
                    self.assertIn(f"{player} の成績", dom.text)
                else:  # the charts write the names as text too
                    self.assertIn(HOSTILE[0], dom.svg_text["dealins"])
                    self.assertIn("<script>", dom.svg_text["games"])
                self.assertEqual(dom.h2, HEADINGS)

    def test_one_player_in_ten_thousand_games(self):
        games = [four(n, "ひとり", ["甲", "乙", "丙"], day=1 + n // 1440,
                      aborted=n % 10 == 0) for n in range(10000)]
        page = self.report(self.write_log("many.txt", "".join(games)))
        dom = self.assertStandsAlone(page)
        self.assertIn("すべての半荘にいる名前", dom.text)
        self.assertEqual(dom.cards["values"][0], "10000")
        self.assertEqual(dom.tags.count("details"), 300)
        self.assertIn("ほかに 9700 半荘あります", dom.text)
        # Past 600 points a chart draws lines, not one mark each; the bars stay. Past
        # 300 ratings the line is each hour's median, inside the range of that hour.
        self.assertEqual(self.marks(dom, "rating", "places", "scores"),
                         {"rating": 0, "places": 4, "scores": 0})
        self.assertIn("時間ごとの中央値", dom.svg_text["rating"])
        self.assertGreater(dom.classes["rect.range"], 100)
        # The newest 50 have their points drawn; the 5 aborted of them say why not.
        self.assertEqual(dom.classes["figure.points"], 45)
        self.assertEqual(dom.text.count("点数の推移の図はありません"), 5)
        self.assertLess(page.stat().st_size, 2_000_000)

    def test_five_hundred_opponents(self):
        games = [four(n, "ぬし", [f"相手{3 * n + i}" for i in range(3)]) for n in range(167)]
        page = self.report(self.write_log("opponents.txt", "".join(games)))
        dom = self.assertStandsAlone(page)
        self.assertIn("ほかに 401 人", dom.text)  # 501 opponents, the first 100 listed
        self.assertEqual(self.marks(dom, "rating", "places", "scores"),
                         {"rating": 167, "places": 4, "scores": 167})

    def test_every_game_aborted(self):
        games = [four(n, "ぬし", ["甲", "乙", "丙"], aborted=True) for n in range(5)]
        page = self.report(self.write_log("aborted.txt", "".join(games)))
        dom = self.assertStandsAlone(page)
        self.assertEqual(dom.h2, HEADINGS)
        self.assertIn("順位のついた半荘がありません", dom.text)
        self.assertIn("得点の読める半荘がありません", dom.text)
        self.assertEqual(self.marks(dom, "rating", "places", "scores", "trend", "seats"),
                         {"rating": 5, "places": 0, "scores": 0, "trend": 0, "seats": 0})
        self.assertEqual(dom.cards["values"][:2], ["5", "―"])

    def test_thin_data(self):
        """Little to count: absent figures, never NaN, sane charts inside their frames."""
        one = four(1, "ぬし", ["甲", "乙", "丙"])
        months = "".join(four(n, "ぬし", ["甲", "乙", "丙"], month=m)
                         for n, m in [(1, 3), (2, 5), (3, 8)])
        cases = [  # name, log, --player, rows of the table, marks of the trend
            ("one half-game", one, None,
             {"平均順位": ["1.00"], "連対率": ["100.0% (20.7–100.0)"]}, 1),
            ("never dealt", one, "甲", {"親の局数": ["0"], "親の和了率": ["―"]}, 1),
            ("no draws", one, None, {"流局時聴牌率": ["―"], "流局率": ["0回 0.0% (0.0–79.3)"]}, 1),
            ("a half-game a month", months, None, {"平均順位": ["1.00 (1.00–1.00)"]}, 3),
        ]
        for name, log, player, rows, trend in cases:
            with self.subTest(name):
                page = self.report(self.write_log("thin.txt", log),
                                   *(["--player", player] if player else []))
                dom = self.assertStandsAlone(page)
                self.assertEqual(dom.h2, HEADINGS)
                for label, cells in rows.items():
                    self.assertEqual(dom.rows[label], cells, label)
                self.assertEqual(dom.marks["trend"], trend)
                # A lone rating sits inside its frame, not on an edge.
                ratings = [(y, box) for s, cls, _, y, box in dom.points
                           if s == "rating" and "pt" in cls]
                self.assertTrue(ratings)
                for y, box in ratings:
                    self.assertTrue(box[1] + 10 < y < box[3] - 10, (y, box))

    def test_head_to_head_reads_as_in_the_terminal(self):
        """A mean difference of exactly 0.85 reads +0.9 on the page and in stats."""
        names = [("ぬし", 1500), ("甲", 1500), ("乙", 1500), ("丙", 1500)]
        log = self.write_log("h2h.txt", "".join(
            game(n, names, list(zip(["ぬし", "甲", "乙", "丙"], scores)),
                 [("東1局 0本場(リーチ0)", "流局 0", "流局 聴牌:なし")])
            for n, scores in [(1, [20.5, 19.5, -10.0, -30.0]), (2, [10.2, 9.5, -1.0, -18.7])]))
        dom = self.assertStandsAlone(self.report(log))
        self.assertEqual(dom.rows["甲"][-1], "+0.9")
        table = self.assertRuns("stats", log).out
        self.assertRegex(table, r"(?m)^\s*甲\s.*\+0\.9\s*$")
