"""The page's module under Node against the native command, byte for byte: standard
output, standard error, exit code and every file written."""
import pathlib
import shutil
import subprocess
import tempfile
import unittest

from webtest import (MODULE, NATIVE, NODE_RUN, SAMPLE, TIMEOUT, WINDOWS_NAMES, generated_log,
                     sample_with)

NODE = shutil.which("node")

# name: (arguments, exit code, files the command writes)
CASES = {
    "check": (["check", "sample.txt", "gen.txt"], 0, []),
    "stats_json": (["stats", "--format", "json", "sample.txt"], 0, []),
    "stats_json_generated": (["stats", "--format", "json", "gen.txt"], 0, []),
    "stats_all": (["stats", "--all", "--format", "json", "sample.txt", "gen.txt"], 0, []),
    "list_csv": (["list", "--format", "csv", "sample.txt", "gen.txt"], 0, []),
    "list_filters": (["list", "--format", "json", "--with", "ねこまる", "--players", "3",
                      "--since", "2003-06-06", "--last", "2", "sample.txt"], 0, []),
    "show_json": (["show", "sample.txt", "gen.txt", "2", "--format", "json"], 0, []),
    "search_json": (["search", "sample.txt", "gen.txt", "yaku", "小三元", "--format", "json"], 0,
                    []),
    "export_json": (["export", "--format", "json", "-o", "out.json", "sample.txt", "gen.txt"], 0,
                    ["out.json"]),
    "export_csv": (["export", "--format", "csv", "-o", "csv", "gen.txt"], 0,
                   [f"csv/{t}.csv" for t in ("games", "seats", "hands", "deltas")]),
    "report": (["report", "-o", "r.html", "sample.txt", "gen.txt"], 0, ["r.html"]),
    "report_player": (["report", "-o", "r.html", "--player", "リャンメン", "sample.txt"], 0,
                      ["r.html"]),
    "windows_names": (["export", "--format", "json", "-o", "w.json", "windows.txt"], 0,
                      ["w.json"]),
    "windows_names_report": (["report", "-o", "w.html", "windows.txt"], 0, ["w.html"]),
    "windows_names_filter": (["list", "--format", "csv", "--player", "①髙～－㈱",
                              "windows.txt"], 0, []),
    "utf8_log": (["export", "--format", "json", "-o", "u.json", "utf8.txt"], 0, ["u.json"]),
    "broken": (["check", "broken.txt"], 1, []),
    "salvage": (["list", "--salvage", "--format", "csv", "broken.txt"], 0, []),
    "bad_number": (["show", "sample.txt", "x"], 2, []),
    "text_not_cp932": (["search", "sample.txt", "yaku", "😀"], 2, []),
}


class NodeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = pathlib.Path(tempfile.mkdtemp(prefix="paiview-web-node-"))
        logs = {"sample.txt": SAMPLE.read_bytes(),
                "windows.txt": sample_with(WINDOWS_NAMES).encode("cp932"),
                "utf8.txt": b"\xef\xbb\xbf" + sample_with(WINDOWS_NAMES).encode("utf-8"),
                # The sample without its line 42 (a placing line).
                "broken.txt": b"".join(
                    line for i, line in enumerate(SAMPLE.read_bytes().splitlines(True), 1)
                    if i != 42)}
        generated = generated_log(cls.tmp / "gen.txt", 400, 11).read_bytes()
        for side in ("native", "wasm"):
            (cls.tmp / side).mkdir()
            for name, data in {**logs, "gen.txt": generated}.items():
                (cls.tmp / side / name).write_bytes(data)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def run_side(self, side, args):
        command = [str(NATIVE)] if side == "native" else [NODE, str(NODE_RUN), str(MODULE)]
        return subprocess.run(command + args, cwd=self.tmp / side, capture_output=True,
                              timeout=TIMEOUT)

    def compare(self, args, code, files):
        self.assertIsNotNone(NODE, "node is needed")
        native = self.run_side("native", args)
        wasm = self.run_side("wasm", args)
        self.assertEqual(native.returncode, code, native.stderr.decode(errors="replace"))
        self.assertEqual(wasm.returncode, code, wasm.stderr.decode(errors="replace"))
        self.assertEqual(wasm.stdout, native.stdout)
        self.assertEqual(wasm.stderr, native.stderr)
        for name in files:
            expected = (self.tmp / "native" / name).read_bytes()
            self.assertGreater(len(expected), 0, name)
            self.assertEqual((self.tmp / "wasm" / name).read_bytes(), expected, name)


def _case(args, code, files):
    return lambda self: self.compare(args, code, files)


for _name, (_args, _code, _files) in CASES.items():
    setattr(NodeTest, f"test_{_name}", _case(_args, _code, _files))
