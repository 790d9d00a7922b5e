"""paiview list: filters, the table, CSV and JSON read back, odd half-games."""
import csv
import io
import json

from clitest import CliTest, SAMPLE, run

ODD = """===== 東風荘 第9卓 開始 2003/07/01 08:24 =====
  [1]甲 R- [2]乙 R99999999999 [3]丙 R1500 [4]丁 R1600 [5]戊 R1700
  東1局 0本場(リーチ0) 甲 +1000 乙 -1000
    30符 1飜 立直
  ---- 試合結果 ----
  1位 甲 40.8 (60800)
  2位 乙 +1.0 (30000)
  3位 丙 -1.0 (10000)
  4位 丁 -40.8 (-1000)
----- 東風荘 第9卓 終了 2003/07/01 08:29 -----
"""


def numbers(result):
    return [int(line.split()[0]) for line in result.out.splitlines()[1:]]


class ListTest(CliTest):
    def test_filters(self):
        cases = [
            ([], list(range(1, 17))),
            (["--player", "たぬき"], [1, 4, 6, 14]),
            (["--with", "たぬき", "--with", "ねこまる"], [1]),
            (["--with", "Kuma", "--with", "麻雀太郎"], [8, 13]),
            (["--since", "2003-06-06 21:00"], [14, 15, 16]),
            (["--until", "2003-06-06 09:52"], [1, 2, 3]),
            (["--since", "2003-06-06", "--until", "2003-06-06"], list(range(1, 17))),
            (["--since", "2003-06-07"], []),
            (["--last", "2", "--players", "3"], [14, 15]),
            (["--table", "二人打ち"], [3, 7, 10]),
            (["--players", "2"], [3, 7, 10]),
            (["--aborted"], [1, 3, 10]),
            (["--completed", "--player", "リャンメン"], [2, 5, 11, 15]),
        ]
        for args, expected in cases:
            with self.subTest(args):
                self.assertEqual(numbers(self.assertRuns("list", *args, SAMPLE)), expected)

    def test_with_takes_one_value_and_logs_may_follow(self):
        r = self.assertRuns("list", SAMPLE, "--with", "たぬき", SAMPLE)
        self.assertEqual(numbers(r), [1, 4, 6, 14])  # the second copy counted once

    def test_bad_usage(self):
        for args in (["--since", "2003-06-31"], ["--players", "5"], ["--last", "0"],
                     ["--format", "xml"], ["--completed", "--aborted"]):
            with self.subTest(args):
                r = self.assertRuns("list", *args, SAMPLE, code=2)
                self.assertEqual(r.err.count("\n"), 1, r.err)

    def test_table_aligns_by_display_width(self):
        lines = run("list", SAMPLE).out.splitlines()
        # Each column starts at the same display column: double-byte characters are 2.
        width = lambda text: len(text.encode("cp932"))
        starts = {width(line[:line.index("2003")]) for line in lines[1:]}
        self.assertEqual(starts, {4})
        tables = {width(line[:line.index(" R1")].rsplit("  ", 1)[0]) for line in lines[1:]}
        self.assertEqual(len(tables), 1)
        self.assertIn("aborted", lines[1])

    def test_csv_read_back(self):
        rows = list(csv.DictReader(io.StringIO(self.assertRuns("list", "--format", "csv", SAMPLE).out)))
        self.assertEqual(len(rows), 16)
        row = rows[1]
        self.assertEqual((row["number"], row["start"], row["table"], row["players"], row["aborted"]),
                         ("2", "2003-06-06 08:32", "三麻 2番卓", "3", "0"))
        self.assertEqual((row["seat1_name"], row["seat1_rating"], row["seat4_name"]), ("リャンメン", "1391", ""))
        self.assertEqual((row["place1_name"], row["place1_score"], row["place1_points"]), ("ねこまる", "40.8", "60800"))
        self.assertEqual(row["place3_score"], "-45.2")
        self.assertEqual((rows[0]["aborted"], rows[0]["place1_name"]), ("1", ""))
        self.assertEqual(list(row)[-1], "start_points")
        self.assertEqual((row["start_points"], rows[0]["start_points"]), ("35000", ""))

    def test_json_read_back(self):
        games = json.loads(self.assertRuns("list", "--format", "json", "--player", "ねこまる", SAMPLE).out)
        self.assertEqual([g["number"] for g in games], [1, 2])
        g = games[1]
        self.assertEqual((g["start"], g["end"], g["table"], g["playerCount"], g["aborted"]),
                         ("2003-06-06 08:32", "2003-06-06 09:45", "三麻 2番卓", 3, False))
        self.assertEqual(g["seats"][2], {"seat": 3, "name": "ねこまる", "rating": 1665, "raw": "ねこまる R1665",
                                         "bust": False})
        # New keys come after the old ones.
        self.assertEqual(list(g)[-1], "startPoints")
        self.assertEqual((g["startPoints"], games[0]["startPoints"], games[0]["seats"][0]["bust"]),
                         (35000, None, None))
        self.assertEqual(g["placings"][0], {"place": 1, "name": "ねこまる", "score": 40.8,
                                            "points": 60800, "raw": "1位 ねこまる +40.8 (60800)"})
        self.assertNotIn("hands", g)
        self.assertEqual(games[0]["placings"], [])

    def test_odd_half_game_keeps_raw_text(self):
        log = self.write_log("odd.txt", ODD)
        g = json.loads(self.assertRuns("list", "--format", "json", log).out)[0]
        self.assertEqual([(s["seat"], s["name"], s["rating"]) for s in g["seats"]],
                         [(1, "甲", None), (2, "乙", None), (3, "丙", 1500), (4, "丁", 1600)])
        self.assertEqual(g["seats"][1]["raw"], "乙 R99999999999")
        self.assertEqual((g["placings"][0]["score"], g["placings"][0]["raw"]), (None, "1位 甲 40.8 (60800)"))
        self.assertEqual(g["placings"][3]["points"], -1000)
        table = self.assertRuns("list", log).out
        self.assertIn("甲 R-, 乙 R99999999999, 丙 R1500", table)
        self.assertIn("1位 甲 40.8 (60800), 2位 乙 +1.0", table)
        self.assertEqual(self.assertRuns("list", "--format", "csv", log).out.count("\r\n"), 2)
