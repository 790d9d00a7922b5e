"""paiview stats: the sample's owner worked out by hand, the JSON keys, and logs that
must give sane figures (every half-game aborted, one player in very many)."""
import datetime
import json

from clitest import CliTest, SAMPLE
from test_export import scoregen

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
             "largest_win", "dealer", "draws_tenpai", "wins_by_kind", "deal_in", "limits",
             "by_seat", "busts", "records", "intervals", "periods", "undated", "hours",
             "stable_rating", "all_last", "balance", "luck", "population", "form"]
STRENGTH_KEYS = {
    "stable_rating": ["rule", "value", "interval", "expected_change", "provisional"],
    "all_last": ["games", "from", "keep_top_rate", "reach_top_rate", "escape_last_rate", "usual"],
    "balance": ["points_per_hand", "win_value", "deal_in_cost", "net", "score_sd"],
    "luck": ["ura_per_riichi_win", "ura_rate", "ippatsu_rate", "dora_per_win", "aka_per_win",
             "dealer_hit", "deal_in_to_riichi", "deal_in_to_dama"],
    "population": ["players", "average_place", "win_rate", "deal_in_rate", "points_per_hand",
                   "median"],
    "form": ["newest", "previous", "difference", "changed"],
}


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

    def test_counts_agree_in_number(self):
        for args, line in [(["--all"], " players, each in at least 1 half-game"),
                           (["--all", "--min-games", "2"], " players, each in at least 2 half-games")]:
            first = self.assertRuns("stats", *args, SAMPLE).out.splitlines()[0]
            self.assertTrue(first.endswith(line), first)

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
        # --min-games without --all sets the population a player is read against.
        self.assertRuns("stats", "--min-games", "0", SAMPLE, code=2)
        self.assertRuns("stats", "--block", "0", SAMPLE, code=2)
        self.assertRuns("stats", "--format", "xml", SAMPLE, code=2)
        none = self.stats("--since", "2100-01-01", SAMPLE)
        self.assertEqual((none["player"], none["by_size"]), (None, []))
        self.assertEqual(self.assertRuns("stats", "--since", "2100-01-01", SAMPLE).out,
                         "No half-games to count.\n")


# A small log written for the new figures, with the corner of each rule; P is the owner.
# Half-games in start order: #1 June 30 (P dealer twice in a row, a tsumo paid as dealer,
# a draw with noten payments and one with 聴牌:なし, a double ron into P, a win), #2 July 1
# (a month boundary; a 跳満 dealt in, a dealer tsumo, a bust), #3 Sunday 28 December
# (2003-W52), #4 Monday 29 December, aborted (2004-W01). P sits at seats 1, 2, 1 and 3.
CORNERS = """===== 東風荘 第1卓 開始 2003/06/30 23:50 =====
  [1]P R1500 [2]A R1600 [3]B R1700 [4]C R1800
  東1局 0本場(リーチ0) P +12000 A -12000
    満貫 立直 ドラ1
  東1局 1本場(リーチ0) P -4100 A -2000 B +8100 C -2000
    30符 4飜 門前清自摸和 ドラ3
  東2局 0本場(リーチ0) P +1500 A -1500 B +1500 C -1500
    流局 聴牌:P,B
  東2局 1本場(リーチ0) 流局 0
    流局 聴牌:なし
  東3局 0本場(リーチ0) P -12000 A +8000 C +4000
    満貫 断幺九
  東4局 0本場(リーチ0) P +3900 C -3900
    30符 3飜 役牌 白 ドラ1
  ---- 試合結果 ----
  1位 P +38.0 (48000)
  2位 B +5.0 (35000)
  3位 A -18.0 (12000)
  4位 C -25.0 (5000)
----- 東風荘 第1卓 終了 2003/07/01 00:05 -----

===== 東風荘 第2卓 開始 2003/07/01 00:10 =====
  [1]A R1600 [2]P R1510 [3]B R1700 [4]C R1800
  東1局 0本場(リーチ0) A +18000 P -18000
    跳満 立直 ドラ2
  東2局 0本場(リーチ0) A -2000 P +6000 B -2000 C -2000
    30符 3飜 門前清自摸和
  ---- 試合結果 ----
  1位 A +50.0 (60000)
  2位 B +10.0 (30000)
  3位 C +5.0 (25000)
  4位 P -45.0 (-5000)
----- 東風荘 第2卓 終了 2003/07/01 00:40 -----

===== 東風荘 第3卓 開始 2003/12/28 10:00 =====
  [1]P R1520 [2]A R1600 [3]B R1700 [4]C R1800
  東1局 0本場(リーチ0) A +2000 B -2000
    30符 2飜 断幺九
  ---- 試合結果 ----
  1位 A +20.0 (40000)
  2位 P +5.0 (30000)
  3位 C -5.0 (25000)
  4位 B -20.0 (5000)
----- 東風荘 第3卓 終了 2003/12/28 10:30 -----

===== 東風荘 第4卓 開始 2003/12/29 10:00 =====
  [1]A R1600 [2]B R1700 [3]P R1530 [4]C R1800
  東1局 0本場(リーチ0) 流局 0
    流局
   ユーザ切断により途中終了
----- 東風荘 第4卓 終了 2003/12/29 10:20 -----
"""

# Worked out by reading the log above, rule by rule (docs/stats.md).
CORNERS_BY_HAND = {
    "hands": 10, "wins": 3, "deal_ins": 2, "draws": 3, "busts": 1,
    "dealer": dict(hands=4, wins=2, win_rate=0.5, deal_ins=0, deal_in_rate=0.0, longest_run=2,
                   tsumo_paid=1, tsumo_paid_points=4100),
    "draws_tenpai": dict(draws=3, tenpai=1, rate=0.5),
    "wins_by_kind": dict(ron=2, tsumo=1, average_ron=7950.0, average_tsumo=6000.0,
                         riichi_wins=1, riichi_rate=1 / 3),
    "deal_in": dict(average=15000.0, largest=dict(points=18000, game=2, hand=1),
                    into=[dict(winner="A", count=2, points=26000),
                          dict(winner="C", count=1, points=4000)]),
    "limits": [dict(limit="満貫", wins=1, deal_ins=1), dict(limit="跳満", wins=0, deal_ins=1),
               dict(limit=None, wins=2, deal_ins=0)],
    "by_seat": [dict(seat=1, games=2, average_place=1.5), dict(seat=2, games=1, average_place=4.0),
                dict(seat=3, games=0, average_place=None), dict(seat=4, games=0, average_place=None)],
    "records": dict(best_score=dict(score=38.0, game=1), worst_score=dict(score=-45.0, game=2),
                    longest_top_run=dict(games=1, first_game=1, last_game=1),
                    longest_no_last_run=dict(games=1, first_game=1, last_game=1),
                    most_wins_in_game=dict(wins=2, game=1)),
    "hours": [dict(hour=0, games=1, average_place=4.0), dict(hour=10, games=2, average_place=2.0),
              dict(hour=23, games=1, average_place=1.0)],
}


class NewFiguresTest(CliTest):
    def test_the_corners_of_each_rule(self):
        log = self.write_log("corners.txt", CORNERS)
        out = no_nan(self.assertRuns("stats", "--format", "json", log).out)
        self.assertEqual((out["player"], out["player_rule"]), ("P", "in_every_game"))
        four = out["by_size"][0]
        for key, want in CORNERS_BY_HAND.items():
            with self.subTest(key):
                self.assertEqual(four[key], want)
        # The intervals: mean ± 1.96 s / √n of the places 1, 4, 2, kept within 1-4, and
        # Wilson's for 3 of 10.
        low, high = four["intervals"]["average_place"]
        half = 1.96 * (7 / 3) ** 0.5 / 3 ** 0.5
        self.assertAlmostEqual(low, max(1, 7 / 3 - half))
        self.assertAlmostEqual(high, min(4, 7 / 3 + half))
        z, p, n = 1.96, 0.3, 10
        centre = (p + z * z / (2 * n)) / (1 + z * z / n)
        half = z * (p * (1 - p) / n + z * z / (4 * n * n)) ** 0.5 / (1 + z * z / n)
        self.assertEqual([round(x, 12) for x in four["intervals"]["win_rate"]],
                         [round(centre - half, 12), round(centre + half, 12)])
        months = [(p["period"], p["games"], p["completed"], p["average_place"], p["last_rating"])
                  for p in four["periods"]]
        self.assertEqual(months, [("2003-06", 1, 1, 1.0, 1500), ("2003-07", 1, 1, 4.0, 1510),
                                  ("2003-12", 2, 1, 2.0, 1530)])
        weeks = no_nan(self.assertRuns("stats", "--format", "json", "--by", "week", log).out)
        self.assertEqual([p["period"] for p in weeks["by_size"][0]["periods"]],
                         ["2003-W27", "2003-W52", "2004-W01"])
        table = self.assertRuns("stats", "--by", "week", log).out
        self.assertIn("2004-W01", table)
        self.assertNotIn("Average place", table)

    def test_new_json_keys(self):
        size = self.stats_of(SAMPLE)
        self.assertEqual(list(size["dealer"]), ["hands", "wins", "win_rate", "deal_ins",
                                                "deal_in_rate", "longest_run", "tsumo_paid",
                                                "tsumo_paid_points"])
        self.assertEqual(list(size["draws_tenpai"]), ["draws", "tenpai", "rate"])
        self.assertEqual(list(size["wins_by_kind"]), ["ron", "tsumo", "average_ron",
                                                      "average_tsumo", "riichi_wins",
                                                      "riichi_rate"])
        self.assertEqual(list(size["deal_in"]), ["average", "largest", "into"])
        self.assertEqual(list(size["records"]), ["best_score", "worst_score", "longest_top_run",
                                                 "longest_no_last_run", "most_wins_in_game"])
        self.assertEqual(list(size["intervals"]), ["average_place", "top_two_rate",
                                                   "last_avoidance_rate", "win_rate",
                                                   "deal_in_rate"])
        self.assertEqual(list(size["periods"][0]),
                         ["period", "games", "completed", "average_place",
                          "average_place_interval", "top_two_rate", "last_avoidance_rate",
                          "win_rate", "deal_in_rate", "average_score", "last_rating"])
        self.assertEqual(list(size["hours"][0]), ["hour", "games", "average_place"])
        for key, members in STRENGTH_KEYS.items():
            self.assertEqual(list(size[key]), members, key)
        self.assertEqual(list(size["stable_rating"]["rule"]),
                         ["pairs", "a", "b", "r_squared", "residual_sd", "learnt"])
        self.assertEqual(list(size["form"]["difference"]),
                         ["average_place", "average_place_interval", "win_rate",
                          "win_rate_interval", "deal_in_rate", "deal_in_rate_interval"])

    def stats_of(self, log, *args):
        return no_nan(self.assertRuns("stats", "--format", "json", *args, log).out)["by_size"][0]

    def test_thin_data(self):
        one = self.write_log("one.txt", CORNERS.split("\n\n")[2] + "\n")  # one half-game
        size = self.stats_of(one)
        self.assertEqual((size["games"], size["intervals"]["average_place"]), (1, None))
        self.assertEqual(size["periods"][0]["average_place_interval"], None)
        self.assertEqual(size["dealer"]["hands"], 1)
        never = self.write_log("never.txt", CORNERS.split("\n\n")[3] + "\n")  # aborted, never dealt
        size = self.stats_of(never, "--player", "P")
        self.assertEqual((size["dealer"]["hands"], size["dealer"]["win_rate"],
                          size["draws_tenpai"]["rate"], size["records"]["best_score"],
                          size["by_seat"][2]["average_place"]), (0, None, None, None, None))



class StrengthTest(CliTest):
    """How strong: the rule learnt back from a generated log, form and the population."""
    def stats(self, *args):
        return no_nan(self.assertRuns("stats", "--format", "json", *args).out)

    def stats_of(self, log, *args):
        return no_nan(self.assertRuns("stats", "--format", "json", *args, log).out)["by_size"][0]

    def test_strength_from_a_log_whose_ratings_follow_a_rule(self):
        log = scoregen(self, self.tmp / "rule.txt", 600, "--rule", "30,10,-10,-30/4")
        out = self.stats(log)
        self.assertEqual((out["player"], out["player_rule"]), ("Kuma", "in_every_game"))
        rules = {4: [30, 10, -10, -30], 3: [30, 0, -30], 2: [30, -30]}
        for size in out["by_size"]:
            stable = size["stable_rating"]
            with self.subTest(players=size["players"]):
                self.assertEqual((stable["rule"]["a"], stable["rule"]["b"],
                                  stable["rule"]["r_squared"], stable["rule"]["learnt"]),
                                 (rules[size["players"]], 0.25, 1.0, True))
                low, high = stable["interval"]
                self.assertLess(low, stable["value"])
                self.assertLess(stable["value"], high)
                # Σ p a + b (T̄ − R_last) and T̄ + Σ p a ÷ b: R* − R_last = change ÷ b.
                self.assertAlmostEqual(stable["value"] - size["rating"]["last"]["rating"],
                                       stable["expected_change"] / 0.25, places=6)
                placed = sum(p["count"] for p in size["places"])
                self.assertEqual(stable["provisional"], placed < 100)
        self.assertEqual(self.stats(log), out)  # the bootstrap's seed is fixed
        table = self.assertRuns("stats", log).out
        self.assertIn("Stable rating", table)
        self.assertIn("Rating rule learnt", table)

    def test_form_blocks_and_the_population_threshold(self):
        log = scoregen(self, self.tmp / "gen.txt", 2000)
        for args, given in [(("--block", "40"), True), (("--block", "2000"), False)]:
            size = self.stats_of(log, *args)
            form = size["form"]
            with self.subTest(args=args):
                self.assertEqual(form["newest"]["games"] >= 30 and form["previous"]["games"] >= 30,
                                 given)
                self.assertEqual(form["difference"]["average_place"] is not None, given)
                self.assertTrue(set(form["changed"]) <= {"average_place", "win_rate",
                                                         "deal_in_rate"})
        many = self.stats_of(log, "--min-games", "1")["population"]["players"]
        none = self.stats_of(log, "--min-games", "100000")["population"]
        self.assertGreater(many, 10)
        self.assertEqual((none["players"], none["average_place"]), (0, None))
