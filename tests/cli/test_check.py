"""paiview check: counts, diagnostics that name the broken line, salvage, bad input."""
import json
import os
import socket
import subprocess

from clitest import PAIVIEW, TIMEOUT, CliTest, SAMPLE, run, sample_text

LINES = sample_text().split("\n")  # half-game 2 is lines 8-44; its placings 40-42


def edited(delete=(), replace=None, keep=None):
    """The sample with 1-based lines deleted or replaced, or cut after keep lines."""
    lines = list(LINES) if keep is None else LINES[:keep]
    for number, text in (replace or {}).items():
        lines[number - 1] = text
    for number in sorted(delete, reverse=True):
        del lines[number - 1]
    return "\n".join(lines)


LONG = "  " + "長" * 100  # 202 bytes in CP932

# (what breaks, the log, the line the diagnostic must name, words it must hold)
BROKEN = [
    ("line over 199 bytes in a hand", edited(replace={10: LINES[9] + " x" * 80}), 10, "at most 199 bytes"),
    ("line over 199 bytes as a header", edited(replace={8: LONG}), 8, "at most 199 bytes"),
    ("line over 199 bytes as a yaku line", edited(replace={11: LONG}), 11, "at most 199 bytes"),
    ("missing footer", edited(delete=[43]), 43, "the footer line"),
    ("bad header", edited(replace={8: "==== 三麻 2番卓 2003/06/06 08:32"}), 8, "the header line"),
    ("bad player line", edited(replace={9: "  [1]リャンメン R1391"}), 9, "the player line"),
    # The input ends inside the last half-game: with --strict (else it is left out).
    ("hand line without its yaku line", edited(keep=10), 11, "the yaku line"),
    ("file ends inside a half-game", edited(keep=20), 21, "inside the half-game from line 8"),
    ("footer where the 3rd placing should be", edited(delete=[42]), 42, "the placing line \"  3位"),
    ("no first placing", edited(replace={40: "  x位 ねこまる"}), 40, "the placing line \"  1位"),
]


class CheckTest(CliTest):
    def test_sample_counts(self):
        r = self.assertRuns("check", SAMPLE)
        self.assertEqual(r.out, "OK: 16 half-games, 170 hands (3 aborted)\n")

    def test_broken_logs_name_their_line(self):
        for what, text, line, words in BROKEN:
            with self.subTest(what):
                path = self.write_log("broken.txt", text)
                r = self.assertRuns("check", "--strict", path, code=1)
                self.assertEqual(r.out, "")
                self.assertTrue(r.err.startswith(f"paiview: {path}: line {line} (byte "), r.err)
                self.assertIn(words, r.err)
                self.assertEqual(r.err.count("\n"), 1)

    def test_messages_for_the_page(self):
        """PAIVIEW_MESSAGES=json, as the page's worker sets it: one JSON line a message, its
        text in Japanese naming the page's salvage box, never a flag."""
        env = {**os.environ, "PAIVIEW_MESSAGES": "json"}
        copy = self.write_log("copy.txt", sample_text())
        eof = self.write_log("eof.txt", "\n".join(LINES[:7]) + "\n\x1a" + "\n".join(LINES[7:]))
        # (arguments, exit code, [(code, kind, words of the text)])
        cases = [
            (["check", "--strict", self.write_log("broken.txt", edited(delete=[42]))], 1,
             [("broken-half-game", "error", "「壊れた半荘を飛ばして読む」に印を付けると")]),
            (["list", "--salvage", self.tmp / "broken.txt"], 0,
             [("skipped-half-game", "warning", "8～43 行目の壊れた半荘を飛ばしました")]),
            (["list", self.write_log("playing.txt", edited(keep=20))], 0,
             [("unfinished", "note", "最後の半荘（8～20 行目）はまだ終わっていない")]),
            (["list", eof], 0, [("end-of-file-byte", "warning", "8 行目のバイト 0x1A")]),
            (["list", SAMPLE, copy], 0, [("read-twice", "note", "16 半荘は二度読まれた")]),
            (["list", "--since", "2003-06-07", "--until", "2003-06-06", SAMPLE], 2,
             [("start-after-end", "error", "日付を直してください")]),
            (["stats", "--player", "kuma", SAMPLE], 1, [("not-seated", "error", "kuma はどの半荘（16 半荘）にもいません")]),
        ]
        for args, code, expected in cases:
            with self.subTest(args[0:2]):
                proc = subprocess.run([PAIVIEW, *map(str, args)], capture_output=True, env=env,
                                      timeout=TIMEOUT)
                self.assertEqual(proc.returncode, code, proc.stderr.decode())
                lines = [json.loads(line) for line in proc.stderr.decode().splitlines()]
                self.assertEqual([(m["code"], m["kind"]) for m in lines],
                                 [(c, k) for c, k, _ in expected])
                for message, (_, _, words) in zip(lines, expected):
                    self.assertIn(words, message["text"])
                    self.assertNotRegex(message["text"], r"--[a-z]")  # a log's "-----" may show

    def test_broken_line_in_the_second_log_names_that_file(self):
        bad = self.write_log("bad.txt", edited(delete=[43]))
        r = self.assertRuns("check", SAMPLE, bad, code=1)
        self.assertIn(f"{bad}: line 43 ", r.err)

    def test_salvage_reports_skipped_lines_and_keeps_the_rest(self):
        path = self.write_log("broken.txt", edited(delete=[42]))
        r = self.assertRuns("check", "--salvage", path)
        self.assertEqual(r.out, "OK: 15 half-games, 157 hands (3 aborted), 1 broken half-game skipped\n")
        self.assertIn("skipped lines 8-43 of", r.err)
        self.assertIn("line 42", r.err)

    def test_duplicates_counted_once(self):
        # The sample has CR LF line ends; its LF copy holds the same half-games.
        copy = self.write_log("copy.txt", sample_text().replace("\r\n", "\n"))
        r = self.assertRuns("check", SAMPLE, copy)
        self.assertEqual(r.out.splitlines()[-1],
                         "OK: 16 half-games, 170 hands (3 aborted), 16 duplicate half-games dropped")
        self.assertEqual(r.out.splitlines()[1], f"{copy}: 0 half-games, 0 hands (0 aborted), "
                                                "16 duplicate half-games dropped")

    def test_utf8_copies_read_as_the_original(self):
        expected = run("check", SAMPLE).out
        for name, encoding in (("utf8.txt", "utf-8"), ("bom.txt", "utf-8-sig")):
            with self.subTest(encoding):
                path = self.write_log(name, sample_text(), encoding=encoding)
                self.assertEqual(self.assertRuns("check", path).out, expected)
                self.assertEqual(self.assertRuns("list", path).out, run("list", SAMPLE).out)
        self.assertEqual(self.assertRuns("check", "-", stdin=SAMPLE.read_bytes()).out, expected)

    def test_bad_input_gets_a_clear_message(self):
        junk = self.tmp / "junk.bin"
        junk.write_bytes(bytes(range(256)) * 64)
        sparse = self.tmp / "sparse.txt"
        with open(sparse, "wb") as f:
            f.truncate(2 * 1024 ** 3)
        japanese = self.write_log("東風荘の記録.txt", sample_text())
        cases = [
            ("binary junk", [junk], 1, "expected the header line"),
            ("salvage that keeps nothing", ["--salvage", junk], 1, "no half-game could be read"),
            ("2 GB file", [sparse], 1, "too large for a score log"),
            ("a directory", [self.tmp], 1, "is a folder"),
            ("missing file", [self.tmp / "none.txt"], 1, "no such file"),
            ("empty file", [self.write_log("empty.txt", "")], 1, "no half-game: is this a score log?"),
            ("Japanese name", [japanese], 0, None),
            ("stdin twice", ["-", "-"], 2, "only once"),
            ("no log", [], 2, "LOG"),
        ]
        for what, args, code, words in cases:
            with self.subTest(what):
                r = self.assertRuns("check", *args, code=code, stdin=b"")
                if words:
                    self.assertIn(words, r.err)
                    self.assertTrue(r.err.startswith("paiview: "), r.err)

    def test_unreadable_file(self):
        # Tests run as root, who reads any file whatever its mode bits: a socket is a
        # file that nobody can open for reading.
        path = self.tmp / "socket.txt"
        with socket.socket(socket.AF_UNIX) as sock:
            sock.bind(str(path))
            r = self.assertRuns("check", path, code=1)
        self.assertEqual(r.err, f"paiview: {path}: cannot be opened for reading\n")
