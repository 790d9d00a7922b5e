"""paiview stats: the sample's owner worked out by hand, the JSON keys, and logs that
must give sane figures (every half-game aborted, one player in very many)."""
import datetime
import json

from clitest import CliTest, SAMPLE

# たぬき, the sample's owner (4 of its 16 half-games; リャンメン too, but met later),
# counted by reading the log: half-games 1 (aborted), 4 and 6 at four players,
# 14 at three. Rates as count over count, so no rounding hides a fault.
BY_HAND = {
    4: dict(games=3, completed=2, aborted=1, unplaced=0, places=[0, 1, 0, 1],
            average_place=3.0, top_two_rate=1 / 2, last_avoidance_rate=1 / 2,
            total_score=-58.0, average_score=-29.0,
            rating=dict(first=(1880, "2003-06-06 08:24", 1), last=(1371, "2003-06-06 12:17", 6),
                        highest=(1880, "2003-06-06 08:24", 1), lowest=(1371, "2003-06-06 12:17", 6)),
            hands=28, wins=5, tsumo_wins=2, deal_ins=4, draws=6,
            win_rate=5 / 28, tsumo_rate=2 / 5, deal_in_rate=4 / 28, draw_rate=6 / 28,
            average_win=39300 / 5, largest_win=dict(points=16000, game=4, hand=3)),
    3: dict(games=1, completed=1, aborted=0, unplaced=0, places=[0, 1, 0],
            average_place=2.0, top_two_rate=1.0, last_avoidance_rate=1.0,
            total_score=-8.0, average_score=-8.0,
            rating=dict(first=(1670, "2003-06-06 21:09", 14), last=(1670, "2003-06-06 21:09", 14),
                        highest=(1670, "2003-06-06 21:09", 14), lowest=(1670, "2003-06-06 21:09", 14)),
            hands=13, wins=4, tsumo_wins=2, deal_ins=3, draws=1,
            win_rate=4 / 13, tsumo_rate=2 / 4, deal_in_rate=3 / 13, draw_rate=1 / 13,
            average_win=18500 / 4, largest_win=dict(points=8000, game=14, hand=10)),
}
YAKU_BY_HAND = {"門前清自摸和": 5, "三色同順": 4, "立直": 3, "場風 東": 2, "断幺九": 2,
                "嶺上開花": 2, "七対子": 2, "役牌 中": 2, "一気通貫": 2, "海底摸月": 1,
                "役牌 發": 1, "役牌 白": 1, "小三元": 1}
# opponent: (half-games together, placed above, mean score difference)
OPPONENTS_BY_HAND = {"西風": (1, 0, -13.8), "ドラ爆": (1, 1, 35.8), "Kuma": (1, 1, 49.8),
                     "ハコ下": (1, 0, -113.3), "りんご飴": (1, 0, -90.9), "満月": (1, 0, -64.6),
                     "ぴよ丸": (1, 0, -32.3), "さくら": (1, 1, 22.3)}

TOP_KEYS = ["selected_games", "player_rule", "player", "by_size", "yaku_hands", "yaku", "dora",
            "opponents", "ratings"]
SIZE_KEYS = ["players", "games", "completed", "aborted", "unplaced", "places", "average_place",
             "top_two_rate", "last_avoidance_rate", "scored_games", "total_score",
             "average_score", "rating", "hands", "wins", "tsumo_wins", "deal_ins", "draws",
             "win_rate", "tsumo_rate", "deal_in_rate", "draw_rate", "average_win",
             "largest_win"]


def no_nan(text):
    """Parses JSON, failing on NaN or Infinity, which json.loads would accept."""
    def refuse(word):
        raise ValueError(f"{word} in the output")
    return json.loads(text, parse_constant=refuse)


class StatsTest(CliTest):
    def stats(self, *args):
        return no_nan(self.assertRuns("stats", "--format", "json", *args).out)

    def test_sample_owner_matches_the_hand_worked_figures(self):
        out = self.stats(SAMPLE)
        self.assertEqual((out["player"], out["player_rule"], out["selected_games"]),
                         ("たぬき", "in_most_games", 16))
        sizes = {s["players"]: s for s in out["by_size"]}
        self.assertEqual(sorted(sizes), [3, 4])
        for players, want in BY_HAND.items():
            got = sizes[players]
            for key, value in want.items():
                with self.subTest(players=players, key=key):
                    if key == "places":
                        self.assertEqual([p["count"] for p in got["places"]], value)
                    elif key == "rating":
                        self.assertEqual({k: (r["rating"], r["date"], r["game"])
                                          for k, r in got["rating"].items()}, value)
                    elif isinstance(value, float):
                        self.assertAlmostEqual(got[key], value, places=9)
                    else:
                        self.assertEqual(got[key], value)
        self.assertEqual({y["yaku"]: y["hands"] for y in out["yaku"]}, YAKU_BY_HAND)
        counts = [y["hands"] for y in out["yaku"]]
        self.assertEqual(counts, sorted(counts, reverse=True))
        self.assertEqual((out["yaku_hands"], out["dora"]), (9, {"dora": 13, "ura": 0, "aka": 0}))
        got = {o["opponent"]: (o["games"], o["above"], round(o["score_difference"], 1))
               for o in out["opponents"]}
        self.assertEqual(got, OPPONENTS_BY_HAND)
        self.assertEqual([r["rating"] for r in out["ratings"]], [1880, 1777, 1371, 1670])

    def test_table_names_the_rule_and_the_figures(self):
        out = self.assertRuns("stats", SAMPLE).out
        lines = [" ".join(line.split()) for line in out.splitlines()]
        self.assertTrue(out.startswith(
            "たぬき: the log's owner, in the most half-games (4 of 16)"), out)
        for line in ["Win rate (和了率) 5 (17.9%) 4 (30.8%)", "Largest win +16000 +8000",
                     "at #4 hand 3 #14 hand 10", "門前清自摸和 5 55.6%", "西風 1 0 (0.0%) -13.8"]:
            self.assertIn(line, lines)

    def test_json_keys(self):
        out = self.stats("--player", "ひよこ豆", SAMPLE)
        self.assertEqual(list(out), TOP_KEYS)
        self.assertEqual(out["player_rule"], "given")
        for size in out["by_size"]:
            self.assertEqual(list(size), SIZE_KEYS)
            self.assertEqual(list(size["rating"]), ["first", "last", "highest", "lowest"])
            self.assertEqual(list(size["rating"]["first"]), ["rating", "date", "game"])
            self.assertEqual(list(size["largest_win"]), ["points", "game", "hand"])
        two = next(s for s in out["by_size"] if s["players"] == 2)
        self.assertEqual([two[k] for k in ("tsumo_wins", "deal_ins", "tsumo_rate", "deal_in_rate")],
                         [None] * 4)
        self.assertEqual(list(out["opponents"][0]),
                         ["opponent", "games", "above", "above_rate", "score_difference"])
        self.assertEqual(list(out["dora"]), ["dora", "ura", "aka"])
        everyone = self.stats("--all", "--min-games", "3", SAMPLE)
        self.assertEqual(list(everyone), ["selected_games", "min_games", "players"])
        self.assertEqual([p["player"] for p in everyone["players"]][:2], ["たぬき", "リャンメン"])
        self.assertTrue(all(list(p) == TOP_KEYS[2:] for p in everyone["players"]))

    def test_every_half_game_aborted(self):
        log = self.write_log("aborted.txt", "".join(
            f"===== 東風荘 第{i}卓 開始 2003/06/0{i} 08:00 =====\n"
            "  [1]私 R1500 [2]甲 R1600 [3]乙 R1700 [4]丙 R1800\n"
            "  東1局 0本場(リーチ0) 流局 0\n    流局\n"
            "   ユーザ切断により途中終了\n"
            f"----- 東風荘 第{i}卓 終了 2003/06/0{i} 08:10 -----\n\n" for i in range(1, 4)))
        out = self.stats(log)
        self.assertEqual((out["player"], out["player_rule"]), ("私", "in_every_game"))
        four = out["by_size"][0]
        self.assertEqual((four["games"], four["aborted"], four["hands"], four["draws"]), (3, 3, 3, 3))
        for key in ("average_place", "top_two_rate", "average_score", "total_score", "tsumo_rate",
                    "average_win", "largest_win"):
            self.assertIsNone(four[key], key)
        self.assertEqual(out["opponents"], [])
        table = self.assertRuns("stats", log).out.lower()
        self.assertNotIn("nan", table)
        self.assertNotIn("inf", table)

    def test_one_player_in_many_half_games(self):
        games = []
        start = datetime.datetime(2003, 6, 6, 8, 0)
        for i in range(3000):
            # Distinct starts: the loader drops a repeated half-game.
            at = (start + datetime.timedelta(hours=i)).strftime("%Y/%m/%d %H:%M")
            rest = ["甲", "乙", "丙"] if i % 2 else ["丁", "戊", "己"]
            me = "3位 私 -15.0 (15000)" if i % 3 == 0 else "1位 私 +40.0 (60000)"
            them = [f"{n}位 {name} +0.0 (25000)" for n, name in zip([1, 2, 4] if i % 3 == 0 else [2, 3, 4], rest)]
            places = sorted([me] + them)
            games.append(
                f"===== 東風荘 第1卓 開始 {at} =====\n"
                f"  [1]私 R{1500 + i % 700} [2]{rest[0]} R1600 [3]{rest[1]} R1700 [4]{rest[2]} R1800\n"
                f"  東1局 0本場(リーチ0) 私 +8000 {rest[0]} -8000\n    満貫 立直 ドラ2\n"
                "  ---- 試合結果 ----\n  " + "\n  ".join(places) + "\n"
                f"----- 東風荘 第1卓 終了 {at} -----\n\n")
        log = self.write_log("many.txt", "".join(games))
        out = self.stats(log)
        four = out["by_size"][0]
        self.assertEqual((out["player"], out["player_rule"], four["games"]), ("私", "in_every_game", 3000))
        self.assertEqual([p["count"] for p in four["places"]], [2000, 0, 1000, 0])
        self.assertAlmostEqual(four["average_place"], 5000 / 3000)
        self.assertEqual((four["wins"], four["tsumo_wins"], four["win_rate"]), (3000, 0, 1.0))
        self.assertEqual(out["yaku"], [{"yaku": "立直", "hands": 3000}])
        self.assertEqual(out["dora"]["dora"], 6000)
        self.assertEqual(four["rating"]["highest"]["rating"], 2199)
        self.assertEqual(len(out["opponents"]), 6)
        self.assertEqual(len(self.stats("--all", "--min-games", "1000", log)["players"]), 7)

    def test_usage(self):
        self.assertRuns("stats", "--all", "--player", "私", SAMPLE, code=2)
        self.assertRuns("stats", "--min-games", "2", SAMPLE, code=2)
        self.assertRuns("stats", "--format", "xml", SAMPLE, code=2)
        none = self.stats("--since", "2100-01-01", SAMPLE)
        self.assertEqual((none["player"], none["by_size"]), (None, []))
        self.assertEqual(self.assertRuns("stats", "--since", "2100-01-01", SAMPLE).out,
                         "No half-games to count.\n")
