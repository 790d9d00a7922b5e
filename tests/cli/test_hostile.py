"""Hostile and imperfect input through the real binary, one row a case: the exit code, a
piece of the message, the log byte for byte as it was, and no temporary file left."""
import csv
import json
import os
import pty
import select
import shutil
import signal
import sqlite3
import subprocess
import time

from clitest import CliTest, PAIVIEW, SAMPLE, TIMEOUT, run, sample_text
from test_export import scoregen

LINES = sample_text().split("\r\n")  # half-game 2 is lines 8-44, 16 in all
GAME_2 = "\r\n".join(LINES[7:44]) + "\r\n"


def log_of(lines):
    return "\r\n".join(lines)


# (what, the log as Python text or bytes, args ({log} stands for it), exit code, a piece
#  of standard error or None for none at all, a piece of standard output)
CASES = [
    # Nothing is ever written over a log, however the output names it.
    ("export json over the log", None, ["export", "{log}", "--format", "json", "-o", "{log}"],
     2, "would write over the log", ""),
    ("export sqlite over the log", None, ["export", "{log}", "--format", "sqlite", "-o", "{log}"],
     2, "never writes over a log it reads", ""),
    ("report over the log", None, ["report", "{log}", "-o", "{log}"], 2, "would write over", ""),
    ("report over the log spelled otherwise", None, ["report", "{log}", "-o", "{dir}/./x/../log.txt"],
     2, "would write over the log", ""),
    ("export over a link to the log", None, ["export", "{log}", "--format", "json", "-o", "{dir}/link"],
     2, "would write over the log", ""),
    ("export over a hard link to the log", None,
     ["export", "{log}", "--format", "json", "-o", "{dir}/hard"], 2, "would write over", ""),
    ("csv into the log's folder, over it", None,
     ["export", "{dir}/games.csv", "--format", "csv", "-o", "{dir}"], 2, "would write over", ""),
    # Imperfect logs: read what can be read, say what was left out.
    ("blank lines between and after", log_of(LINES[:7] + ["", ""] + LINES[7:] + ["", "", ""]),
     ["check", "{log}"], 0, None, "OK: 16 half-games"),
    ("blank lines before the first", log_of(["", "  "] + LINES), ["check", "{log}"], 0, None,
     "OK: 16 half-games"),
    ("the last half-game still being played", log_of(LINES[:480]), ["check", "{log}"], 0,
     "the last half-game has not ended (still being played, or cut off), so it is left out "
     "(--strict", "OK: 15 half-games"),
    ("--strict: the unfinished one fails", log_of(LINES[:480]), ["check", "--strict", "{log}"], 1,
     "found the end of the file inside the half-game from line 465 (--salvage", ""),
    ("a broken half-game names --salvage", log_of(LINES[:41] + LINES[42:]), ["list", "{log}"], 1,
     "line 42 (byte 1766): expected the placing line", ""),
    ("a missing separator line", log_of(LINES[:43] + LINES[44:]), ["check", "{log}"], 0, None,
     "OK: 16 half-games, 170 hands"),
    ("a missing footer, found the next header", log_of(LINES[:42] + LINES[44:]), ["check", "{log}"],
     1, 'line 43 (byte 1798): expected the footer line "----- … 終了 …", found "===== 二人打ち 3卓', ""),
    ("salvage keeps the rest around a missing footer", log_of(LINES[:42] + LINES[44:]),
     ["check", "--salvage", "{log}"], 0, "skipped lines 8-42 of", "OK: 15 half-games"),
    ("a byte 0x1A in the middle", ("\r\n".join(LINES[:7]) + "\r\n\x1a" + "\r\n".join(LINES[7:])),
     ["check", "{log}"], 0, "line 8: a byte 0x1A ends the log here: the 21", "OK: 1 half-game,"),
    ("a seat past [4]", log_of(LINES[:1] + [LINES[1] + " [5]ごにん R1500"] + LINES[2:]),
     ["list", "{log}"], 0, "line 2: 1 seat past [4] (the first here) cannot be read", "ねこまる"),
    ("a UTF-8 log with characters CP932 cannot hold",
     sample_text().replace("ねこまる", "𠮷ねこ").encode("utf-8"), ["check", "{log}"], 0,
     "line 2: 12 characters that a CP932 log cannot hold (the first on this line)", "OK: 16"),
    ("an empty log", "", ["list", "{log}"], 1, "no half-game: is this a score log?", ""),
    ("a log of blank lines", "\r\n\r\n", ["report", "{log}", "-o", "{dir}/r.html"], 1,
     "no half-game: is this a score log?", ""),
    # Flags: impossible values are named with their flag, in plain words.
    ("a month 13", None, ["list", "--since", "2003-13-01", "{log}"], 2,
     "--since: 2003-13-01 is not a date: there is no month 13", ""),
    ("a 30 February", None, ["list", "--until", "2003-02-30", "{log}"], 2,
     "--until: 2003-02-30 is not a date: 2003-02 has 28 days", ""),
    ("an hour 25", None, ["stats", "--since", "2003-06-06 25:00", "{log}"], 2,
     "there is no hour 25", ""),
    ("an empty date", None, ["export", "--since", "", "--format", "json", "-o", "-", "{log}"], 2,
     "--since: expected YYYY-MM-DD or YYYY/MM/DD", ""),
    ("the log's own date form", None, ["list", "--since", "2003/06/06 21:00", "{log}"], 0, None,
     "2003-06-06 21:09"),
    ("since after until", None, ["list", "--since", "2003-06-07", "--until", "2003-06-06", "{log}"],
     2, "--since 2003-06-07 is later than --until 2003-06-06", ""),
    ("--last 0", None, ["list", "--last", "0", "{log}"], 2,
     'list: --last: expected a number of half-games from 1 up, got "0"\n', ""),
    ("--players 5", None, ["list", "--players", "5", "{log}"], 2, 'expected 2, 3 or 4, got "5"', ""),
    ("two flags that exclude each other", None, ["stats", "--all", "--player", "Kuma", "{log}"], 2,
     "--player and --all cannot be used together", ""),
    ("an unknown flag", None, ["list", "--palyer", "Kuma", "{log}"], 2,
     "unknown option --palyer; did you mean --player?", ""),
    ("an unknown command", None, ["lsit", "{log}"], 2, '"lsit" is neither a command nor a score '
     "log; did you mean list?", ""),
    ("show with two numbers", None, ["show", "{log}", "2", "3"], 2, "takes one number N", ""),
    # Players: nobody seated is an error for stats and report alike, with the nearest names.
    ("stats of nobody", None, ["stats", "--player", "nobody", "{log}"], 1,
     "nobody is not in any of the 16 half-games", ""),
    ("report of nobody", None, ["report", "--player", "nobody", "{log}", "-o", "{dir}/r.html"], 1,
     "nobody is not in any of the 16 half-games", ""),
    ("a name in the wrong case", None, ["stats", "--player", "kuma", "{log}"], 1,
     "did you mean Kuma?", ""),
    ("a name in full width", None, ["report", "--player", "ＫＵＭＡ", "{log}", "-o", "{dir}/r.html"],
     1, "did you mean Kuma?", ""),
    # Writes that fail say why, for report as for export.
    ("report into a folder that is not there", None, ["report", "{log}", "-o", "{dir}/no/r.html"],
     1, "r.html: cannot be written: No such file or directory", ""),
    ("export into a folder that is not there", None,
     ["export", "{log}", "--format", "json", "-o", "{dir}/no/x.json"], 1,
     "the folder", ""),
    # Help and streams.
    ("--version", None, ["--version"], 0, None, "paiview 1."),
    ("json to standard output", None, ["export", "{log}", "--format", "json", "-o", "-", "--last",
                                       "1"], 0, "exported 1 half-game, ", '"number":16'),
]


# Seat marks out of order: the loader keeps a player line from its first [1], so a seat
# before it is dropped; every command reads what is left, with a warning, and none fails.
SEAT_BEFORE_ONE = log_of([
    "===== 東風荘 第1卓 開始 2003/06/06 08:24 =====",
    "  [2]ほたる R1759 [1]ねこまる R1318 [3]たぬき R1880",
    "  東1局 0本場(リーチ0) たぬき -5200 ねこまる +5200",
    "    20符 4飜 立直",
    "  ---- 試合結果 ----",
    "  1位 ねこまる +40.8 (60800)",
    "  2位 ほたる -10.6 (29400)",
    "  3位 たぬき -45.2 (14800)",
    "----- 東風荘 第1卓 終了 2003/06/06 08:29 -----", ""])
SEATS_BEFORE_ONE_OF_FOUR = log_of([
    "===== 東風荘 第2卓 開始 2003/06/06 09:00 =====",
    "  [4][2]スズメ R1930 [4]表裏一体 R1468[1]さくら R1459 [3]ハコ下 R1353",
    "  東1局 0本場(リーチ0) さくら -5200 ハコ下 +5200",
    "    30符 4飜 満貫 立直",
    "  東2局 0本場(リーチ0) 流局 0",
    "    流局 聴牌:さくら,スズメ",
    "  ---- 試合結果 ----",
    "  1位 ハコ下 +40.8 (30200)",
    "  2位 表裏一体 +0.0 (25000)",
    "  3位 スズメ -10.6 (25000)",
    "  4位 さくら -45.2 (19800)",
    "----- 東風荘 第2卓 終了 2003/06/06 09:20 -----", ""])
for n, (log, warning, names) in enumerate([
        (SEAT_BEFORE_ONE, "1 seat mark before [1], repeated or past the table's size (the first "
         "here) cannot be read: its player has no seat", ("ねこまる", "たぬき")),
        (SEATS_BEFORE_ONE_OF_FOUR, "3 seat marks before [1], repeated or past the table's size "
         "(the first here) cannot be read: their players have no seat", ("さくら", "ハコ下"))]):
    first, third = names
    CASES += [(f"seats before [1], {3 + n} players: {' '.join(args[:3])}", log, args,
               0, "line 2: " + warning, out) for args, out in [
        (["check", "{log}"], "OK: 1 half-game"),
        (["list", "{log}"], f"{first} R"),
        (["list", "--format", "csv", "{log}"], f",{first},"),
        (["show", "{log}", "1"], f"[3]       {third}"),
        (["search", "{log}", "players", third], f"half-game 1: [1]{first} R"),
        (["stats", "{log}"], f"{first}: the log's owner, in every half-game (1)"),
        (["export", "{log}", "--format", "json", "-o", "-"], '"seat":3,"name":"' + third),
        (["export", "{log}", "--format", "csv", "-o", f"{{dir}}/csv{n}"], ""),
        (["export", "{log}", "--format", "sqlite", "-o", f"{{dir}}/seats{n}.db"], ""),
        (["report", "{log}", "-o", f"{{dir}}/seats{n}.html"], f"{first}, in 1 of 1 half-game")]]


def wait_until_started(proc, read=0):
    """Waits until proc catches SIGINT, SIGTERM and SIGHUP and has read at least read bytes
    (Linux's /proc): a slow start, as under the sanitizers on a busy machine, must not meet
    a signal before the command is under way."""
    wanted = (1 << (signal.SIGINT - 1)) | (1 << (signal.SIGTERM - 1)) | (1 << (signal.SIGHUP - 1))
    deadline = time.monotonic() + TIMEOUT
    while proc.poll() is None and time.monotonic() < deadline:
        try:
            with open(f"/proc/{proc.pid}/status") as status:
                caught = next(int(line.split()[1], 16) for line in status
                              if line.startswith("SigCgt:"))
            with open(f"/proc/{proc.pid}/io") as io:
                done = next(int(line.split()[1]) for line in io if line.startswith("rchar:"))
        except (OSError, StopIteration):
            return  # no /proc: the sleeps alone
        if caught & wanted == wanted and done >= read:
            return
        time.sleep(0.01)


class HostileTest(CliTest):
    def setUp(self):
        super().setUp()
        self.log = self.tmp / "log.txt"
        self.log.write_bytes(SAMPLE.read_bytes())

    def arguments(self, args):
        return [a.replace("{log}", str(self.log)).replace("{dir}", str(self.tmp)) for a in args]

    def assertUntouched(self, before):
        self.assertEqual(self.log.read_bytes(), before, "the log changed")
        self.assertEqual([p for p in self.tmp.rglob("*.paiview-*.tmp")], [])

    def test_cases(self):
        (self.tmp / "x").mkdir()
        for what, text, args, code, err, out in CASES:
            with self.subTest(what):
                if text is not None:
                    data = text if isinstance(text, bytes) else text.encode("cp932")
                    self.log.write_bytes(data)
                else:
                    self.log.write_bytes(SAMPLE.read_bytes())
                for extra in ("link", "hard", "games.csv"):
                    (self.tmp / extra).unlink(missing_ok=True)
                os.symlink(self.log, self.tmp / "link")
                os.link(self.log, self.tmp / "hard")
                os.link(self.log, self.tmp / "games.csv")
                before = self.log.read_bytes()
                r = run(*self.arguments(args))
                self.assertEqual(r.code, code, f"{args}\nstdout: {r.out}\nstderr: {r.err}")
                if err is None:
                    self.assertEqual(r.err, "")
                else:
                    self.assertIn(err, r.err)
                    self.assertTrue(r.err.startswith("paiview: "), r.err)
                self.assertIn(out, r.out)
                self.assertUntouched(before)

    def test_seats_before_one_read_back(self):
        """What the exports hold of a line with a seat before [1]: the seats it gives, by
        their own numbers, each hand's changes on them, and no start points."""
        self.log.write_bytes(SEAT_BEFORE_ONE.encode("cp932"))
        db = self.tmp / "seats.db"
        self.assertRuns("export", self.log, "--format", "sqlite", "-o", db)
        with sqlite3.connect(db) as con:
            self.assertEqual(con.execute("SELECT seat, name FROM seats ORDER BY seat").fetchall(),
                             [(1, "ねこまる"), (3, "たぬき")])
            self.assertEqual(con.execute("SELECT name, seat FROM deltas").fetchall(),
                             [("たぬき", 3), ("ねこまる", 1)])
            self.assertEqual(con.execute("SELECT start_points FROM games").fetchall(), [(None,)])
        self.assertRuns("export", self.log, "--format", "csv", "-o", self.tmp / "csv")
        with open(self.tmp / "csv" / "seats.csv", encoding="utf-8", newline="") as f:
            self.assertEqual([(r["seat"], r["name"]) for r in csv.DictReader(f)],
                             [("1", "ねこまる"), ("3", "たぬき")])
        out = self.assertRuns("export", self.log, "--format", "json", "-o", "-").out
        self.assertEqual([s["seat"] for s in json.loads(out)[0]["seats"]], [1, 3])

    def test_failed_writes_of_standard_output(self):
        for args in (["list", "{log}"], ["stats", "{log}"], ["show", "{log}", "2"],
                     ["search", "{log}", "yaku", "ドラ"], ["check", "{log}"],
                     ["export", "{log}", "--format", "json", "-o", "-"]):
            with self.subTest(args[0]), open("/dev/full", "wb") as full:
                proc = subprocess.run([PAIVIEW, *self.arguments(args)], stdout=full,
                                      stderr=subprocess.PIPE, timeout=TIMEOUT)
                self.assertEqual(proc.returncode, 1)
                self.assertIn("No space left on device", proc.stderr.decode())

    def test_closed_pipe_ends_quietly(self):
        log = scoregen(self, self.tmp / "big.txt", 3000)
        proc = subprocess.Popen([PAIVIEW, "list", str(log)], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        proc.stdout.read(100)
        proc.stdout.close()
        err = proc.stderr.read()
        proc.wait(timeout=TIMEOUT)
        self.assertIn(proc.returncode, (-signal.SIGPIPE, 128 + signal.SIGPIPE))
        self.assertEqual(err, b"")

    def test_signals_leave_the_target_as_it_was(self):
        log = scoregen(self, self.tmp / "big.txt", 20000)
        old = self.tmp / "x.db"
        old.write_bytes(b"the database from before")
        cases = [(signal.SIGINT, 130, "interrupted (SIGINT)", "sqlite", old),
                 (signal.SIGTERM, 143, "stopped (SIGTERM)", "csv", self.tmp / "csv"),
                 (signal.SIGHUP, 129, "stopped (SIGHUP)", "json", self.tmp / "x.json"),
                 (signal.SIGTERM, 143, "stopped (SIGTERM)", "report", self.tmp / "r.html")]
        for sig, code, words, fmt, out in cases:
            with self.subTest(fmt=fmt, signal=sig):
                args = (["report", str(log), "-o", str(out)] if fmt == "report" else
                        ["export", str(log), "--format", fmt, "-o", str(out)])
                proc = subprocess.Popen([PAIVIEW, *args], stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
                # Once it has begun: its temporary file is there, or it has read the log.
                wait_until_started(proc, log.stat().st_size if fmt == "report" else 0)
                deadline = time.monotonic() + TIMEOUT
                while (fmt != "report" and not list(self.tmp.rglob("*.paiview-*.tmp"))
                       and proc.poll() is None):
                    self.assertLess(time.monotonic(), deadline)
                    time.sleep(0.01)
                time.sleep(0.1)
                proc.send_signal(sig)
                _, err = proc.communicate(timeout=TIMEOUT)
                self.assertEqual(proc.returncode, code, err)
                self.assertEqual(err.decode().count("\n"), 1, err)
                self.assertIn(f"{words}; {out} is as it was", err.decode())
                self.assertEqual(list(self.tmp.rglob("*.paiview-*.tmp")), [])
                self.assertFalse((self.tmp / "csv").exists())
                self.assertEqual(old.read_bytes(), b"the database from before")
        # While a log is still being read, too.
        proc = subprocess.Popen([PAIVIEW, "stats", str(log)], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        wait_until_started(proc)
        time.sleep(0.05)
        proc.send_signal(signal.SIGINT)
        _, err = proc.communicate(timeout=TIMEOUT)
        self.assertEqual((proc.returncode, err), (130, b"paiview: interrupted (SIGINT)\n"))

    def test_leftovers_of_a_killed_run_are_removed(self):
        out = self.tmp / "x.json"
        dead = self.tmp / "x.json.paiview-999999999-0000abcd.tmp"
        alive = self.tmp / f"x.json.paiview-{os.getpid()}-0000abcd.tmp"
        for leftover in (dead, alive):
            leftover.write_bytes(b"half a file")
        self.assertRuns("export", SAMPLE, "--format", "json", "-o", out)
        self.assertFalse(dead.exists())
        self.assertTrue(alive.exists())  # its run may still be going

    def test_check_reports_every_log(self):
        bad = self.write_log("bad.txt", log_of(LINES[:41] + LINES[42:]))
        empty = self.write_log("empty.txt", "")
        r = run("check", SAMPLE, bad, empty)
        self.assertEqual(r.code, 1)
        self.assertEqual(r.out, f"{SAMPLE}: 16 half-games, 170 hands (3 aborted)\n")
        self.assertIn(f"{bad}: line 42 ", r.err)
        self.assertIn(f"{empty}: no half-game", r.err)
        self.assertIn("2 of 3 logs did not load", r.err)

    def test_at_most_ten_warnings(self):
        lines = list(LINES)
        for i, line in enumerate(lines):
            if line.startswith("  [1]"):
                lines[i] = line + " [5]x R1"
        text = log_of(lines[:480]) + "\r\n\x1a" + "rest"
        # Other days: copies of the same half-games would be counted once.
        files = [self.write_log(f"w{i}.txt", text.replace("2003/06/06", f"2003/06/1{i}"))
                 for i in range(4)]
        r = self.assertRuns("list", *files)
        # Three warnings a file (seats, the end byte, the unfinished one): 12, 10 shown.
        self.assertEqual(r.err.count("\n"), 11, r.err)
        self.assertTrue(r.err.endswith("paiview: 2 more warnings not shown\n"), r.err)

    def test_help_has_examples(self):
        for command in ("check", "list", "show", "search", "export", "stats", "report"):
            with self.subTest(command):
                out = self.assertRuns(command, "--help").out
                self.assertIn("Examples:\n  $ paiview " + command, out)
        top = self.assertRuns("--help").out
        self.assertIn("paiview LOG... with no command writes the report", top)
        self.assertIn("--with NAME", self.assertRuns("list", "--help").out)


def run_on_terminal(args, env):
    """Runs paiview with standard error on a pseudo-terminal; returns its bytes."""
    master, slave = pty.openpty()
    proc = subprocess.Popen([PAIVIEW, *map(str, args)], stdout=subprocess.DEVNULL,
                            stderr=slave, env=env)
    os.close(slave)
    data = b""
    while select.select([master], [], [], TIMEOUT)[0]:
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the child closed the terminal
            break
        if not chunk:
            break
        data += chunk
    os.close(master)
    proc.wait(timeout=TIMEOUT)
    return proc.returncode, data


class ProgressTest(CliTest):
    """Long work shows how far it has read on a terminal, and nowhere else."""

    def test_progress_only_on_a_terminal(self):
        log = scoregen(self, self.tmp / "gen.txt", 2000)
        env = dict(os.environ, PAIVIEW_PROGRESS_AFTER_MS="0")  # draw at once
        commands = [["export", "--format", "csv", "-o", self.tmp / "csv"],
                    ["stats"], ["report", "-o", self.tmp / "r.html"], ["list"]]
        for command in commands:
            with self.subTest(command=command[0]):
                piped = subprocess.run([PAIVIEW, *map(str, command), log], capture_output=True,
                                       env=env, timeout=TIMEOUT)
                self.assertEqual(piped.returncode, 0, piped.stderr)
                self.assertNotIn(b"\r", piped.stderr)
                self.assertNotIn(b"half-games read", piped.stderr)
                for quiet in (False, True):
                    args = [*command, log, *(["--quiet"] if quiet else [])]
                    if command[0] == "report":
                        (self.tmp / "r.html").unlink(missing_ok=True)
                    if command[0] == "export":
                        shutil.rmtree(self.tmp / "csv", ignore_errors=True)
                    code, err = run_on_terminal(args, env)
                    self.assertEqual(code, 0, err)
                    if quiet:
                        self.assertNotIn(b"half-games read", err)
                        continue
                    self.assertRegex(err, rb"^\rpaiview: \d+ of 2000 half-games read \(\d+%\)")
                    # Cleared at the end: the last line drawn is blanked out.
                    last = err.rindex(b"half-games read")
                    self.assertRegex(err[last:], rb"^half-games read \(\d+%\) *\r +\r")


class OnePassTest(CliTest):
    def test_each_command_reads_each_half_game_once(self):
        out = self.tmp / "out"
        commands = [["check"], ["list"], ["list", "--last", "3"], ["show", "{log}", "2"],
                    ["search", "{log}", "yaku", "ドラ"], ["stats"], ["stats", "--all"],
                    ["export", "--format", "json", "-o", out / "x.json"],
                    ["export", "--format", "csv", "-o", out / "csv"],
                    ["report", "-o", out / "r.html"], ["report", "--player", "Kuma", "-o", out / "k.html"]]
        out.mkdir()
        for args in commands:
            with self.subTest(args):
                args = [str(SAMPLE) if a == "{log}" else str(a) for a in args]
                if str(SAMPLE) not in args:
                    args.insert(1, str(SAMPLE))
                proc = subprocess.run([PAIVIEW, *args], capture_output=True, timeout=TIMEOUT,
                                      env={**os.environ, "PAIVIEW_COUNT_READS": "1"})
                self.assertEqual(proc.returncode, 0, proc.stderr)
                self.assertTrue(proc.stderr.decode().endswith("paiview: read 16 half-games\n"),
                                proc.stderr)
        # Dropped logs: the report beside the log, read once too.
        log = self.write_log("dropped.txt", sample_text())
        proc = subprocess.run([PAIVIEW, str(log)], capture_output=True, timeout=TIMEOUT,
                              env={**os.environ, "PAIVIEW_COUNT_READS": "1", "PAIVIEW_NO_DESKTOP": "1"})
        self.assertEqual(proc.returncode, 0, proc.stderr)
        self.assertIn(b"paiview: read 16 half-games\n", proc.stderr)
