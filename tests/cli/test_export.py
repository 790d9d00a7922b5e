"""paiview export: SQLite, CSV and JSON read back by the sqlite3 shell and Python's csv and
json modules; targets that cannot be written; nothing half-written after a failure."""
import csv
import hashlib
import json
import os
import pathlib
import re
import resource
import shutil
import signal
import subprocess
import time
import unittest

from clitest import CliTest, PAIVIEW, ROOT, SAMPLE, TIMEOUT, sample_text

TABLES = ("games", "seats", "hands", "deltas", "yaku", "tenpai")
# The generator of large logs, beside the binary under test or in the native build.
SCOREGEN = next((p for p in (pathlib.Path(PAIVIEW).resolve().parent / "scoregen",
                             ROOT / "build" / "native" / "scoregen") if p.exists()), None)


def sqlite(db, *sql, options=()):
    """Runs statements through the sqlite3 shell; returns its output lines."""
    proc = subprocess.run(["sqlite3", *options, str(db), *sql], capture_output=True,
                          timeout=TIMEOUT)
    if proc.returncode != 0:
        raise AssertionError(proc.stderr.decode())
    return proc.stdout.decode("utf-8").splitlines()


def hand_changes(text):
    """(name, change) of every hand's result line, read from the log text with no help
    from paiview: a hand line starts with its wind and 局, the changes follow."""
    changes = []
    for line in text.splitlines():
        if re.match(r"  [東南西北]\d+局 ", line):
            changes += [(name, int(value))
                        for name, value in re.findall(r"(\S+) ([+-]\d+)(?= |$)", line)]
    return changes


DRAWS = """===== 東風荘 第7卓 開始 2003/07/01 08:24 =====
  [1]甲 R1500 [2]乙 R1500 [3]丙 R1500 [4]丁 R1500
  東1局 0本場(リーチ0) 流局 0
    流局 聴牌:なし
  東1局 1本場(リーチ0) 流局 0
    流局
  東2局 0本場(リーチ0) 甲 -1000 乙 千点
    30符 1飜 立直
  ---- 試合結果 ----
  1位 乙 +16.0 (26000)
  2位 丙 +5.0 (25000)
  3位 丁 -5.0 (25000)
  4位 甲 -16.0 (24000)
----- 東風荘 第7卓 終了 2003/07/01 08:40 -----
"""


def cell(value):
    """A JSON value as the CSV export writes it."""
    return "" if value is None else str(int(value)) if isinstance(value, bool) else str(value)


def csv_rows(folder, table):
    with open(folder / f"{table}.csv", newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def seat_count(text):
    return sum(len(re.findall(r"\[\d\]", line)) for line in text.splitlines()
               if line.startswith("  [1]"))


def scoregen(test, path, games, *extra):
    if SCOREGEN is None:
        test.skipTest("scoregen is not built")
    subprocess.run([str(SCOREGEN), "--games", str(games), "--seed", "7", *extra, "-o", str(path)],
                   check=True, capture_output=True, timeout=TIMEOUT)
    return path


def limit_file_size():
    """In the child: files of at most 1 MiB, as `ulimit -f 1024` sets."""
    hard = resource.getrlimit(resource.RLIMIT_FSIZE)[1]
    resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 20, hard))


def mount_tmpfs(test, folder, options):
    """A small tmpfs of our own at folder, unmounted after the test; skips unless root."""
    folder.mkdir()
    if os.geteuid() != 0 or subprocess.run(
            ["mount", "-t", "tmpfs", "-o", options, "tmpfs", str(folder)],
            capture_output=True, timeout=30).returncode != 0:
        test.skipTest("mounting a tmpfs needs root")
    # Cleanups run after tearDown, whose removal of the test's folder stops at the mount.
    test.addCleanup(shutil.rmtree, test.tmp, ignore_errors=True)
    test.addCleanup(subprocess.run, ["umount", str(folder)], timeout=30)


class ExportReadBackTest(CliTest):
    def export(self, fmt, name, *extra, log=SAMPLE):
        out = self.tmp / name
        r = self.assertRuns("export", log, "--format", fmt, "-o", out, *extra)
        self.assertIn("exported", r.out)
        return out

    def test_sqlite_tables_keys_and_sums(self):
        db = self.export("sqlite", "x.db")
        text = sample_text()
        changes = hand_changes(text)
        counts = [int(sqlite(db, f"SELECT count(*) FROM {t}")[0]) for t in TABLES]
        self.assertEqual(counts[:4], [16, seat_count(text), 170, len(changes)])
        self.assertEqual(sqlite(db, "PRAGMA foreign_key_check"), [])
        self.assertEqual(sqlite(db, "PRAGMA integrity_check"), ["ok"])
        self.assertEqual(sqlite(db, "SELECT name FROM sqlite_master WHERE type = 'index' "
                                    "AND sql IS NOT NULL ORDER BY name"),
                         ["games_start_time", "seats_name"])
        for player in ("ねこまる", "リャンメン"):
            total = sqlite(db, "SELECT sum(d.change) FROM deltas d JOIN seats s "
                               "ON s.game_id = d.game_id AND s.seat = d.seat "
                               f"WHERE s.name = '{player}'")
            self.assertEqual(int(total[0]), sum(c for n, c in changes if n == player), player)
        # Numbers as numbers, times as ISO text, absent facts as NULL beside their raw text.
        self.assertEqual(sqlite(db, "SELECT typeof(score), score, points, typeof(rating), "
                                    "placing_raw FROM seats WHERE game_id = 2 AND seat = 3"),
                         ["real|40.8|60800|integer|1位 ねこまる +40.8 (60800)"])
        self.assertEqual(sqlite(db, "SELECT start_time, start_raw, aborted FROM games "
                                    "WHERE game_id = 1"), ["2003-06-06 08:24|2003/06/06 08:24|1"])
        self.assertEqual(sqlite(db, "SELECT count(*) FROM seats s JOIN games g USING (game_id) "
                                    "WHERE g.aborted AND s.place IS NULL AND s.placing_raw IS NULL"),
                         sqlite(db, "SELECT sum(player_count) FROM games WHERE aborted"))
        # The filters of list select what is exported; games keep their numbers.
        db = self.export("sqlite", "last.db", "--last", "3")
        self.assertEqual(sqlite(db, "SELECT group_concat(game_id) FROM games"), ["14,15,16"])

    def test_csv_files_with_and_without_bom(self):
        db = self.export("sqlite", "x.db")
        for extra, encoding in (((), "utf-8"), (("--bom",), "utf-8-sig")):
            folder = self.export("csv", "csv" + "".join(extra), *extra)
            self.assertEqual(sorted(p.name for p in folder.iterdir()),
                             sorted(t + ".csv" for t in TABLES))
            for table in TABLES:
                raw = (folder / f"{table}.csv").read_bytes()
                self.assertEqual(raw.startswith(b"\xef\xbb\xbf"), bool(extra))
                self.assertEqual(raw.count(b"\n"), raw.count(b"\r\n"))
                with open(folder / f"{table}.csv", newline="", encoding=encoding) as f:
                    rows = list(csv.reader(f))
                # The same columns as the database's table, and the same rows.
                columns = [line.split("|")[1] for line in sqlite(db, f"PRAGMA table_info({table})")]
                self.assertEqual(rows[0], columns, table)
                self.assertEqual(len(rows) - 1, int(sqlite(db, f"SELECT count(*) FROM {table}")[0]))
            with open(folder / "hands.csv", newline="", encoding=encoding) as f:
                hands = list(csv.DictReader(f))
            self.assertEqual(hands[1]["yaku"], "満貫 清一色 三暗刻")
            self.assertEqual(hands[1]["title"], "東1局 0本場(リーチ0)")

    def test_json_document_and_lines(self):
        games = json.loads(self.export("json", "x.json").read_text(encoding="utf-8"))
        self.assertEqual(len(games), 16)
        self.assertEqual(sum(len(g["hands"]) for g in games), 170)
        self.assertEqual(games[1]["hands"][0]["yaku"], "満貫 清一色 三暗刻")
        lines = self.export("json", "x.jsonl", "--lines").read_text(encoding="utf-8").splitlines()
        self.assertEqual([json.loads(line) for line in lines], games)

    def test_hand_facts_in_every_format(self):
        games = json.loads(self.export("json", "x.json").read_text(encoding="utf-8"))
        folder = self.export("csv", "csv")
        # What the log says of game 2's first hands, and of its players' points.
        g = games[1]
        first, draw = g["hands"][0], g["hands"][2]
        self.assertEqual((first["dealer"], first["kind"], first["fu"], first["limit"],
                          first["yakuNames"], first["winnerRiichi"], first["pointsAfter"]),
                         (1, "ron", None, "満貫", ["清一色", "三暗刻"], False, [47000, 23000, 35000]))
        self.assertEqual([(c["seat"], c["role"]) for c in first["changes"]], [(1, "win"), (2, "deal_in")])
        self.assertEqual((draw["kind"], draw["tenpai"], draw["winnerRiichi"]), ("draw", [1, 2, 3], None))
        self.assertEqual((g["startPoints"], games[0]["startPoints"]), (35000, None))
        self.assertEqual([s["bust"] for s in games[5]["seats"]], [False, False, False, True])
        # The tables hold the same facts as the JSON, row for row.
        hands = [(g, h) for g in games for h in g["hands"]]
        columns = {"dealer_seat": "dealer", "kind": "kind", "fu": "fu", "han": "han",
                   "limit_name": "limit", "dora": "dora", "ura": "ura", "aka": "aka",
                   "winner_riichi": "winnerRiichi"}
        for row, (g, h) in zip(csv_rows(folder, "hands"), hands):
            self.assertEqual({c: row[c] for c in columns}, {c: cell(h[k]) for c, k in columns.items()})
            points = [cell(p) for p in h["pointsAfter"] or []]
            self.assertEqual([row[f"points_{n}"] for n in range(1, 5)], points + [""] * (4 - len(points)))
            self.assertEqual(row["tenpai_count"], cell(h["tenpai"] if h["tenpai"] is None else len(h["tenpai"])))
        keys = lambda rows, *names: [tuple(r[n] for n in names) for r in rows]
        self.assertEqual(keys(csv_rows(folder, "yaku"), "game_id", "hand_no", "name"),
                         [(str(g["number"]), str(h["number"]), n) for g, h in hands for n in h["yakuNames"]])
        self.assertEqual(keys(csv_rows(folder, "tenpai"), "game_id", "hand_no", "seat"),
                         [(str(g["number"]), str(h["number"]), str(s)) for g, h in hands for s in h["tenpai"] or []])
        self.assertEqual(keys(csv_rows(folder, "deltas"), "seat", "role"),
                         [(cell(c["seat"]), c["role"]) for _, h in hands for c in h["changes"]])
        self.assertEqual(keys(csv_rows(folder, "games"), "start_points"), [(cell(g["startPoints"]),) for g in games])
        self.assertEqual(keys(csv_rows(folder, "seats"), "bust"), [(cell(s["bust"]),) for g in games for s in g["seats"]])

    def test_absent_facts_are_null(self):
        # A draw with no one in tenpai, one that does not say, and a result that does not read.
        log = self.write_log("draws.txt", DRAWS)
        hands = json.loads(self.export("json", "x.json", log=log).read_text(encoding="utf-8"))[0]["hands"]
        self.assertEqual([(h["kind"], h["tenpai"], h["pointsAfter"]) for h in hands],
                         [("draw", [], None), ("draw", None, None), (None, None, None)])
        db = self.export("sqlite", "x.db", log=log)
        self.assertEqual(sqlite(db, "SELECT quote(kind), quote(tenpai_count), quote(points_1), "
                                    "quote(fu) FROM hands"),
                         ["'draw'|0|NULL|NULL", "'draw'|NULL|NULL|NULL", "NULL|NULL|NULL|30"])
        self.assertEqual(sqlite(db, "SELECT quote(start_points) FROM games"), ["NULL"])
        self.assertEqual(sqlite(db, "SELECT count(*) FROM seats WHERE bust IS NULL"), ["4"])

    def test_running_points_end_at_the_placings(self):
        db = self.export("sqlite", "x.db")
        # After the last hand, each seat holds its placing's points.
        mismatches = sqlite(db, """
            SELECT s.game_id, s.seat FROM seats AS s
            JOIN hands AS h ON h.game_id = s.game_id
                 AND h.hand_no = (SELECT max(hand_no) FROM hands WHERE game_id = s.game_id)
            WHERE h.points_1 IS NOT NULL
              AND s.points <> CASE s.seat WHEN 1 THEN h.points_1 WHEN 2 THEN h.points_2
                                          WHEN 3 THEN h.points_3 ELSE h.points_4 END""")
        self.assertEqual(mismatches, [])
        self.assertEqual(sqlite(db, "SELECT count(*) FROM games WHERE start_points IS NOT NULL"), ["13"])

    def test_documented_queries(self):
        db = self.export("sqlite", "x.db")
        doc = (ROOT / "docs" / "export.md").read_text(encoding="utf-8")
        queries = re.findall(r"```sql\n(.*?)```\n```\n(.*?)```", doc, re.S)
        self.assertGreaterEqual(len(queries), 6)
        for query, output in queries:
            with self.subTest(query.split("\n")[0]):
                self.assertEqual(sqlite(db, query, options=["-header"]), output.splitlines())

    def test_utf8_copy_exports_the_same(self):
        utf8 = self.write_log("utf8.txt", sample_text(), encoding="utf-8")
        dumps = [sqlite(self.export("sqlite", f"{i}.db", log=log), ".dump")
                 for i, log in enumerate((SAMPLE, utf8))]
        self.assertEqual(dumps[0], dumps[1])
        for name in ("a", "b"):
            self.export("csv", name, log=SAMPLE if name == "a" else utf8)
        for table in TABLES:
            self.assertEqual((self.tmp / "a" / f"{table}.csv").read_bytes(),
                             (self.tmp / "b" / f"{table}.csv").read_bytes())


class JsonDocumentTest(CliTest):
    """The JSON documents stay what they were when they were first written by another
    writer: byte for byte where the half-games are written, and as values where figures
    are (a number's last digit may be written differently, never its value). Update the
    digests only when a document changes on purpose."""

    BYTES = {  # (log, command): sha256 of standard output
        ("sample", "export"): "9e5d9531e4dea5d5e32a79eebc099a6edfb77e23cbec8df3a7d3628ccc37ead7",
        ("sample", "lines"): "e3dcc8b668f90a12eaf9ec731162b2696e83d36df7a8967b7b5298ddf3b54682",
        ("sample", "list"): "046699ffcd944591d793dea261dd28ca5e7e027aea3a52d9ba1ae90ae2f1513d",
        ("sample", "show"): "138e3ff8a738f526e08caef8a8a91bb527f01363da4a7eb14526398598254104",
        ("generated", "export"): "eae208892e2de4b3d03c208514df4cd6632a13ff8a00ba9a4be5b2e766bc0b07",
        ("generated", "lines"): "1c6c85463c8fc018736bd3ba74755bd838b644919caff6302f7b2f9c88a5fc31",
        ("generated", "list"): "530a4d6e5150f75e4acaa0ab7f2a0135af7a324ad322f1bada421de94157e44f",
        ("generated", "show"): "3ab3765077c2f5329f24782d0b7d86fc4b3291933ca168e0b0b0668def5ffc6d",
    }
    VALUES = {  # (log, command): sha256 of the document as Python writes its values
        ("sample", "stats"): "5ca418db30c8ee951d8c77680ee726824b25316156f0f7663e8c99cfe9c119b4",
        ("sample", "all"): "419953c93801105eae11055b944d46c0ed73e124275d0b35688ccd37b7014b5d",
        ("sample", "weeks"): "86d09baf1be7768a181340c6a49db10d6dab9a3a3c28be1a6ca7eb9ec4b37f54",
        ("sample", "search"): "4f2e386b0c2c0468c936d59c6252837bc3bfbeafcd99006db23ec64e01f969ce",
        ("generated", "stats"): "7b202eca9f35afea19f5ba5e88f68f78b4cc04b94a2d18af1795a4f582899277",
        ("generated", "all"): "99c6288364a30541b3e7ce4b288599008ca788cb84cb4d2baec6888f70c580ed",
        ("generated", "weeks"): "33502458ca1e941de5688eb561078d4dcb67f270444ded467e7f8bb0d3aba0ef",
        ("generated", "search"): "59689778a70fdb6ef493d7849ea18f0d2d0daa000471b8203e7f8d38160f3cbf",
    }
    COMMANDS = {
        "export": ["export", "--format", "json", "-o", "-"],
        "lines": ["export", "--format", "json", "--lines", "-o", "-"],
        "list": ["list", "--format", "json"],
        "show": ["show", "--format", "json", "{log}", "2"],
        "stats": ["stats", "--format", "json"],
        "all": ["stats", "--all", "--format", "json"],
        "weeks": ["stats", "--by", "week", "--format", "json"],
        "search": ["search", "--format", "json", "{log}", "yaku", "立直"],
    }

    def test_documents(self):
        logs = {"sample": SAMPLE, "generated": None}
        for (name, command), digest in {**self.BYTES, **self.VALUES}.items():
            with self.subTest(log=name, command=command):
                if logs[name] is None:
                    logs[name] = scoregen(self, self.tmp / "gen.txt", 2000)
                args = [str(logs[name]) if a == "{log}" else a for a in self.COMMANDS[command]]
                if "{log}" not in self.COMMANDS[command]:
                    args.append(str(logs[name]))
                proc = subprocess.run([PAIVIEW, *args], capture_output=True, timeout=TIMEOUT)
                self.assertEqual(proc.returncode, 0, proc.stderr)
                out = proc.stdout
                if (name, command) in self.VALUES:
                    document = json.loads(out)
                    for hit in document if command == "search" else []:
                        hit["file"] = os.path.basename(hit["file"])  # where the test runs
                    out = json.dumps(document, ensure_ascii=False).encode()
                self.assertEqual(hashlib.sha256(out).hexdigest(), digest)


class ExportFailureTest(CliTest):
    def assertFails(self, fmt, out, message, *extra, code=1, log=SAMPLE, preexec_fn=None):
        before = {p: p.read_bytes() for p in self.tmp.rglob("*") if p.is_file()}
        proc = subprocess.run([PAIVIEW, "export", str(log), "--format", fmt, "-o", str(out),
                               *extra], capture_output=True, timeout=TIMEOUT,
                              preexec_fn=preexec_fn)
        err = proc.stderr.decode("utf-8")
        self.assertEqual(proc.returncode, code, err)
        self.assertRegex(err, "^paiview: .*(" + message + ")")
        after = {p: p.read_bytes() for p in self.tmp.rglob("*") if p.is_file()}
        self.assertEqual(after, before, "a failed export changed files")

    def test_targets_that_cannot_be_written(self):
        (self.tmp / "folder").mkdir()
        (self.tmp / "file.db").write_bytes(b"not a database")
        (self.tmp / "readonly.db").write_bytes(b"kept")
        (self.tmp / "readonly.db").chmod(0o444)
        cases = [
            ("sqlite", "missing/x.db", "the folder .*missing does not exist"),
            ("csv", "missing/csv", "the folder .*missing does not exist"),
            ("sqlite", "folder", "is a folder; --format sqlite writes a file"),
            ("json", "folder", "is a folder; --format json writes a file"),
            ("csv", "file.db", "is a file; --format csv writes a folder"),
            ("sqlite", "readonly.db", "is read-only"),
        ]
        for fmt, out, message in cases:
            with self.subTest(fmt=fmt, out=out):
                self.assertFails(fmt, self.tmp / out, message)
        self.assertFails("xml", self.tmp / "x", "--format: xml", code=2)
        self.assertFails("sqlite", self.tmp / "x", "--bom applies only to --format csv", "--bom",
                         code=2)
        self.assertFalse((self.tmp / "missing").exists())

    def test_failed_export_keeps_the_old_database(self):
        db = self.tmp / "old.db"
        self.assertRuns("export", SAMPLE, "--format", "sqlite", "-o", db)
        broken = self.write_log("broken.txt", sample_text().replace("----- 東風荘 第1卓 終了", "--"))
        self.assertFails("sqlite", db, "broken.txt", log=broken)

    def test_full_disk(self):
        log = scoregen(self, self.tmp / "big.txt", 3000)
        (self.tmp / "out").mkdir()
        # A file size limit; the same write error as a full disk, without root.
        for fmt, out in (("sqlite", "out/x.db"), ("csv", "out/csv"), ("json", "out/x.json")):
            with self.subTest(fmt=fmt):
                self.assertFails(fmt, self.tmp / out, "cannot be written: .*File too large", log=log,
                                 preexec_fn=limit_file_size)
        sample_db = self.tmp / "out" / "sample.db"
        self.assertRuns("export", SAMPLE, "--format", "sqlite", "-o", sample_db)
        full = self.tmp / "full"
        mount_tmpfs(self, full, "size=1m")
        (full / "x.db").write_bytes(sample_db.read_bytes())
        for fmt, out in (("sqlite", "x.db"), ("csv", "csv"), ("json", "x.json")):
            with self.subTest(fmt=fmt, disk="tmpfs"):
                self.assertFails(fmt, full / out, "No space left on device|disk is full", log=log)
        self.assertEqual(sorted(p.name for p in full.iterdir()), ["x.db"])

    def test_read_only_folder(self):
        ro = self.tmp / "ro"
        mount_tmpfs(self, ro, "size=1m,ro")
        for fmt, out in (("sqlite", "x.db"), ("csv", "csv"), ("json", "x.json")):
            with self.subTest(fmt=fmt):
                self.assertFails(fmt, ro / out, "Read-only file system")

    def test_interrupt_leaves_nothing(self):
        log = scoregen(self, self.tmp / "big.txt", 30000)
        (self.tmp / "out").mkdir()
        old = self.tmp / "out" / "x.db"
        old.write_bytes(b"the database from before")
        for fmt, out in (("sqlite", old), ("csv", self.tmp / "out" / "csv")):
            with self.subTest(fmt=fmt):
                proc = subprocess.Popen([PAIVIEW, "export", str(log), "--format", fmt, "-o",
                                         str(out)], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                # Interrupt once the writing has begun: its temporary file is there.
                deadline = time.monotonic() + TIMEOUT
                while not list(self.tmp.rglob("*.paiview-*.tmp")) and proc.poll() is None:
                    self.assertLess(time.monotonic(), deadline)
                    time.sleep(0.02)
                proc.send_signal(signal.SIGINT)
                _, err = proc.communicate(timeout=TIMEOUT)
                self.assertEqual(proc.returncode, 130, err)
                self.assertIn("interrupted", err.decode())
                self.assertEqual(sorted(p.name for p in (self.tmp / "out").iterdir()), ["x.db"])
                self.assertEqual(old.read_bytes(), b"the database from before")


if __name__ == "__main__":
    unittest.main()
