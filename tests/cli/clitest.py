"""Shared helpers of the command's tests: run the real paiview on real files."""
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
# The binary under test: the native build unless PAIVIEW names another (sanitizers, Wine).
PAIVIEW = os.environ.get("PAIVIEW", str(ROOT / "build" / "native" / "paiview"))
SAMPLE = ROOT / "samples" / "tonpuso.txt"
TIMEOUT = 120


def sample_text():
    """The sample log as Python text."""
    return SAMPLE.read_bytes().decode("cp932")


class Result:
    def __init__(self, proc):
        self.code = proc.returncode
        self.out = proc.stdout.decode("utf-8")
        self.err = proc.stderr.decode("utf-8")


def run(*args, stdin=None, cwd=None, timeout=TIMEOUT):
    """Runs paiview with args; stdout and stderr must be UTF-8."""
    proc = subprocess.run([PAIVIEW, *map(str, args)], input=stdin, capture_output=True,
                          cwd=cwd, timeout=timeout)
    return Result(proc)


class CliTest(unittest.TestCase):
    """A test with its own temporary folder."""

    def setUp(self):
        self.tmp = pathlib.Path(tempfile.mkdtemp(prefix="paiview-cli-"))

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def write_log(self, name, text, encoding="cp932", newline="\n"):
        """Writes a log from Python text; returns its path."""
        path = self.tmp / name
        path.write_bytes(text.replace("\n", newline).encode(encoding))
        return path

    def assertRuns(self, *args, code=0, **kwargs):
        result = run(*args, **kwargs)
        self.assertEqual(result.code, code, f"paiview {' '.join(map(str, args))}\n"
                         f"stdout: {result.out}\nstderr: {result.err}")
        return result
