"""paiview show and search: one half-game with its hands; every hit with its line."""
import json

from clitest import CliTest, SAMPLE, run, sample_text


class ShowTest(CliTest):
    def test_show_half_game(self):
        out = self.assertRuns("show", SAMPLE, 2).out.splitlines()
        self.assertEqual(out[0], f"Half-game 2 of 16: {SAMPLE}, lines 8-44")
        self.assertIn("Table     三麻 2番卓", out)
        self.assertIn("Placings  1位 ねこまる +40.8 (60800)", out)
        hands = out[out.index(next(l for l in out if l.lstrip().startswith("#"))):]
        self.assertEqual(hands[0].split(), ["#", "Hand", "Dealer", "リャンメン", "ひよこ豆", "ねこまる", "Yaku"])
        self.assertEqual(len(hands), 15)  # the header, the start points, 13 hands
        self.assertEqual(hands[1].split(), ["Start", "points", "35000", "35000", "35000"])
        # Each seat: the hand's change, then the points after it.
        self.assertEqual(hands[3].split()[:10], ["2", "東1局", "1本場(リーチ0)", "リャンメン",
                                                 "-12300", "34700", "0", "23000", "+12300", "47300"])
        # The running points add up: each is the one before plus the change, from the start
        # points to the placings' final points.
        points = [35000] * 3
        for line in hands[2:]:
            cells = line.split()[4:10]
            for seat in range(3):
                points[seat] += int(cells[2 * seat])
                self.assertEqual(int(cells[2 * seat + 1]), points[seat], line)
        self.assertEqual(points, [14800, 29400, 60800])
        self.assertIn("Placings  1位 ねこまる +40.8 (60800)", out)
        self.assertEqual([line.split()[3] for line in hands[2:5]], ["リャンメン", "リャンメン", "ひよこ豆"])
        # Without running points (an aborted half-game): the dealer and the changes alone.
        aborted = self.assertRuns("show", SAMPLE, 1).out.splitlines()
        self.assertEqual(aborted[-1].split()[:8], ["1", "東1局", "0本場(リーチ0)", "ねこまる", "0", "0", "-5200", "+5200"])
        # JSON: the half-game as export --format json writes it.
        game = json.loads(self.assertRuns("show", SAMPLE, 2, "--format", "json").out)
        self.assertEqual((game["number"], len(game["hands"])), (2, 13))
        self.assertEqual(game["hands"][1]["changes"][1],
                         {"name": "ねこまる", "change": 12300, "seat": 3, "role": "win"})

    def test_number_follows_the_merged_order(self):
        later = self.write_log("later.txt", sample_text().replace("2003/06/06", "2003/06/08"))
        r = self.assertRuns("show", later, SAMPLE, 17)
        self.assertTrue(r.out.startswith(f"Half-game 17 of 32: {later}, lines 1-7\n"))

    def test_bad_number(self):
        for n, words in (("0", "from 1"), ("17", "the logs hold 16"), ("x", "from 1"), ("-1", "")):
            with self.subTest(n):
                r = self.assertRuns("show", SAMPLE, n, code=2)
                self.assertIn(words, r.err)
                self.assertEqual(r.err.count("\n"), 1)
        self.assertRuns("show", "2", code=2)


class SearchTest(CliTest):
    def test_every_hit_with_its_line(self):
        cases = [
            (["table", "二人打ち"], [(45, "half-game 3: 二人打ち 3卓"), (173, "half-game 7: 二人打ち 7卓"),
                                   (287, "half-game 10: 二人打ち 10卓")]),
            (["players", "ねこまる"], [(2, "half-game 1"), (9, "half-game 2")]),
            (["place3", "リャンメン"], [(42, "half-game 2: 3位 リャンメン -45.2 (14800)"), (462, "half-game 15")]),
            (["place1", "途中終了"], [(5, "half-game 1"), (50, "half-game 3"), (289, "half-game 10")]),
            (["end", "2003/06/07"], [(505, "half-game 16: 2003/06/07 00:23")]),
            (["result", "リャンメン +12000"], [(10, "half-game 2, hand 1 (東1局 0本場(リーチ0)): リャンメン +12000"),
                                             (318, "half-game 11, hand 12 (西2局 0本場(リーチ0))")]),
            (["yaku", "三色同順"], None),
            (["hand", "(親:雀鬼"], [(47, "half-game 3, hand 1 (東1局 (親:雀鬼見習い))")]),
            (["yaku", "ないもの"], []),
        ]
        for args, hits in cases:
            with self.subTest(args):
                out = self.assertRuns("search", SAMPLE, *args).out.splitlines()
                if hits is None:
                    self.assertGreater(len(out), 1)
                    continue
                self.assertEqual(len(out), len(hits), out)
                for line, (number, text) in zip(out, hits):
                    self.assertTrue(line.startswith(f"{SAMPLE}:{number}: {text}"), line)
                found = json.loads(self.assertRuns("search", "--format", "json", SAMPLE, *args).out)
                self.assertEqual([(h["line"], h["game"]) for h in found],
                                 [(n, int(t.split()[1].rstrip(",:"))) for n, t in hits])

    def test_hits_agree_with_the_file(self):
        # Every hand hit's line in the file is that hand's line.
        lines = sample_text().split("\r\n")
        for line in run("search", SAMPLE, "yaku", "ドラ").out.splitlines():
            number = int(line.split(":")[1])
            title = line.split(" (", 1)[1].split(")): ")[0]
            self.assertTrue(lines[number - 1].startswith("  " + title + ")"), line)

    def test_bad_usage(self):
        for args in ((SAMPLE, "title", "x"), (SAMPLE, "yaku"), (SAMPLE, "yaku", "🀄")):
            with self.subTest(args):
                r = self.assertRuns("search", *args, code=2)
                self.assertEqual(r.err.count("\n"), 1)
