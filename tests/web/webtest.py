"""Shared parts of the web tests: the built artefacts and the logs they read."""
import os
import pathlib
import subprocess

ROOT = pathlib.Path(__file__).resolve().parents[2]
WEB = pathlib.Path(os.environ.get("PAIVIEW_WEB_BUILD", ROOT / "build" / "web"))
PAGE = WEB / "paiview.html"
MODULE = WEB / "paiview.js"
NODE_RUN = ROOT / "web" / "node-run.js"
NATIVE = pathlib.Path(os.environ.get("PAIVIEW", ROOT / "build" / "native" / "paiview"))
SCOREGEN = NATIVE.parent / "scoregen"
SAMPLE = ROOT / "samples" / "tonpuso.txt"
TIMEOUT = 120

# Names a plain Shift_JIS table reads otherwise (NEC row 13, IBM extensions, the
# Windows forms of ～ and －) and names that would be markup if a page took them so.
WINDOWS_NAMES = {"たぬき": "①髙～－㈱", "ねこまる": "ⅰ∵￢"}
HOSTILE_NAMES = {"たぬき": '<img src=x onerror="window.pwned=1">',
                 "ねこまる": "<script>window.pwned=2</script>", "ほたる": "&amp;"}


def sample_with(names):
    """The sample log as text, with some players renamed."""
    text = SAMPLE.read_bytes().decode("cp932")
    for old, new in names.items():
        text = text.replace(old, new)
    return text


def generated_log(path, games, seed):
    subprocess.run([str(SCOREGEN), "--games", str(games), "--seed", str(seed), "-o", str(path)],
                   check=True, capture_output=True, timeout=TIMEOUT)
    return path
