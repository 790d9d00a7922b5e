"""paiview report: the page in headless Chromium, hostile names, large and empty logs."""
import html.parser
import re
import shutil
import subprocess

from clitest import CliTest, SAMPLE

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
HOSTILE = ["<script>alert(1)</script>", '"><img src=x onerror=alert(1)>', "&amp;"]
HEADINGS = ["概要", "レートの推移", "順位分布", "半荘ごとの得点", "卓の人数ごとの成績", "対戦相手", "役",
            "半荘一覧"]


def game(number, names, places=None, hands=(), day=1):
    """One half-game in the log's own words. names: (name, rating); places: names in
    place order with their scores, or None for an aborted game."""
    when = f"2004/05/{day:02d} {number // 60 % 24:02d}:{number % 60:02d}"
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
            lines.append(f"  {place}位 {name} {score:+.1f} ({30000 + int(score * 1000)})")
    lines += [f"----- {table} 終了 {when} -----", ""]
    return "\n".join(lines) + "\n"


def four(number, owner, others, day=1, aborted=False):
    """A 4-player half-game the owner won by ron from the first opponent."""
    names = [(owner, 1500 + number % 300)] + [(o, 1600) for o in others]
    hand = ("東1局 0本場(リーチ0)", f"{owner} +8000 {others[0]} -8000", "満貫 立直 ドラ2")
    places = None if aborted else list(zip([owner] + others, [40.0, 10.0, -20.0, -30.0]))
    return game(number, names, places, [hand], day)


class Page(html.parser.HTMLParser):
    """What a test asks of a page: its text, headings, elements, and marks per section."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.tags, self.attrs, self.h2, self.data = [], [], [], []
        self.marks, self.cards = {}, {}
        self._section = None
        self._in = []
        self.feed(text)
        self.text = "".join(self.data)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append(tag)
        self.attrs += [(tag, k, v or "") for k, v in attrs.items()]
        if tag == "section":
            self._section = attrs.get("id")
        cls = (attrs.get("class") or "").split()
        if "pt" in cls:
            self.marks[self._section] = self.marks.get(self._section, 0) + 1
        self._in.append((tag, cls))

    def handle_endtag(self, tag):
        while self._in and self._in.pop()[0] != tag:
            pass

    def handle_data(self, data):
        self.data.append(data)
        if self._in and self._in[-1][0] == "h2":
            self.h2.append(data)
        classes = [c for _, cls in self._in for c in cls]
        if "value" in classes and "card" in classes:
            self.cards.setdefault("values", []).append(data)


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
        """Nothing fetched, nothing run, no figure that failed to compute."""
        text = page.read_text(encoding="utf-8")
        self.assertTrue(text.startswith('<!DOCTYPE html>\n<html lang="ja">'))
        self.assertIn('<meta charset="utf-8">', text)
        # Escaped text holds no "<", so these are the page's own tags.
        for tag in re.findall(r"<[^>]*>", text):
            self.assertIsNone(re.search(r"\s(src|href|on\w+)\s*=|https?:", tag), tag)
        for outside in ("url(", "@import", "<link", "<script"):
            self.assertNotIn(outside, text)
        self.assertIsNone(re.search(r"NaN|Infinity|\bnan\b|\binf\b", text))
        dom = self.dom(page)
        for tag in ("script", "link", "img", "iframe", "object", "embed"):
            self.assertNotIn(tag, dom.tags, tag)
        for tag, name, value in dom.attrs:
            self.assertFalse(name.startswith("on"), (tag, name))
            self.assertFalse(name in ("src", "href") and value, (tag, name, value))
        return dom

    def test_sample_in_chromium(self):
        dom = self.assertStandsAlone(self.report(SAMPLE))
        self.assertEqual(dom.h2, HEADINGS)
        self.assertIn("たぬき の成績", dom.text)
        self.assertIn("最も多くの半荘", dom.text)
        # たぬき sits in 4 of the 16 half-games: the first card counts them.
        self.assertEqual(dom.cards["values"][0], "4")
        # Marks: 4 ratings (3 at 4 players, 1 at 3), 4 + 3 place bars, 3 scores.
        self.assertEqual(dom.marks, {"rating": 4, "places": 7, "scores": 3})
        self.assertEqual(dom.tags.count("details"), 4)
        self.assertIn("最高 1880", dom.text)
        self.assertIn("2003-06-06", dom.text)

    def test_player_and_filters(self):
        out = self.tmp / "r.html"
        r = self.assertRuns("report", SAMPLE, "-o", out, "--player", "リャンメン",
                            "--players", "3")
        self.assertEqual(r.out, f"Wrote {out}: リャンメン, in 3 of 5 half-games\n")
        self.assertIn("リャンメン の成績", out.read_text(encoding="utf-8"))

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
        log = self.write_log("hostile.txt", four(1, owner, HOSTILE) +
                             four(2, owner, ["あ", "い", "う"]) +
                             four(3, owner, HOSTILE[::-1], aborted=True))
        for player in [None, HOSTILE[0], HOSTILE[1], HOSTILE[2]]:
            with self.subTest(player=player):
                page = self.report(log, *(["--player", player] if player else []))
                dom = self.assertStandsAlone(page)
                for name in HOSTILE:
                    self.assertIn(name, dom.text)
                if player:
                    self.assertIn(f"{player} の成績", dom.text)
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
        # Past 600 points a chart draws lines, not one mark each; the bars stay.
        self.assertEqual(dom.marks, {"places": 4})
        self.assertLess(page.stat().st_size, 2_000_000)

    def test_five_hundred_opponents(self):
        games = [four(n, "ぬし", [f"相手{3 * n + i}" for i in range(3)]) for n in range(167)]
        page = self.report(self.write_log("opponents.txt", "".join(games)))
        dom = self.assertStandsAlone(page)
        self.assertIn("ほかに 401 人", dom.text)  # 501 opponents, the first 100 listed
        self.assertEqual(dom.marks, {"rating": 167, "places": 4, "scores": 167})

    def test_every_game_aborted(self):
        games = [four(n, "ぬし", ["甲", "乙", "丙"], aborted=True) for n in range(5)]
        page = self.report(self.write_log("aborted.txt", "".join(games)))
        dom = self.assertStandsAlone(page)
        self.assertEqual(dom.h2, HEADINGS)
        self.assertIn("順位のついた半荘がありません", dom.text)
        self.assertIn("得点の読める半荘がありません", dom.text)
        self.assertEqual(dom.marks, {"rating": 5})
        self.assertEqual(dom.cards["values"][:2], ["5", "―"])
