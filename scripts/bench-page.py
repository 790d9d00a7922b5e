#!/usr/bin/env python3
"""The page's row of make bench in headless Chromium: a log chosen through the file input
of build/web/paiview.html, the time until the list's first rows are drawn, and the
slowest answer to a click while the page's worker reads it. The yardstick is the native
`paiview list LOG --last 1` on the same log in the same run: the page does the same read
and more, in WebAssembly.
Usage: scripts/bench-page.py NATIVE_PAIVIEW PAGE LOG OUT_CSV"""
import csv
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "web"))
from cdp import Chromium  # noqa: E402

FIRST_ROWS_LIMIT = 1.0  # seconds
CLICK_LIMIT = 0.1


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    native, page, log, out = sys.argv[1:]
    start = time.monotonic()
    subprocess.run([native, "list", log, "--last", "1"], check=True, capture_output=True, timeout=300)
    native_seconds = time.monotonic() - start

    profile = pathlib.Path(tempfile.mkdtemp(prefix="paiview-bench-page-"))
    browser = Chromium(profile)
    try:
        browser.open_page()
        browser.send("DOM.enable")
        browser.send("Page.enable")
        browser.send("Page.navigate", url=pathlib.Path(page).resolve().as_uri())
        browser.wait_for("document.body && document.body.dataset.ready === 'true'")
        root = browser.send("DOM.getDocument")["root"]["nodeId"]
        node = browser.send("DOM.querySelector", nodeId=root, selector="#file-input")["nodeId"]
        start = time.monotonic()
        browser.send("DOM.setFileInputFiles", nodeId=node, files=[str(pathlib.Path(log).resolve())])
        slowest = 0.0
        first_rows = None
        while time.monotonic() - start < 300:
            asked = time.monotonic()
            browser.send("Input.dispatchMouseEvent", type="mousePressed", x=5, y=5, button="left",
                         clickCount=1)
            browser.send("Input.dispatchMouseEvent", type="mouseReleased", x=5, y=5, button="left",
                         clickCount=1)
            slowest = max(slowest, time.monotonic() - asked)
            if browser.evaluate("!!document.querySelector('#games [data-index=\"0\"][data-game]')"):
                first_rows = time.monotonic() - start
                break
            time.sleep(0.05)
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)
    if first_rows is None:
        sys.exit("bench-page.py: no rows within 300 s")
    rows = [("page first rows (Chromium)", f"{first_rows:.3f} s", f"{FIRST_ROWS_LIMIT:.3f} s",
             first_rows / FIRST_ROWS_LIMIT, 1.0),
            ("page first rows / native list", f"{first_rows:.3f} s", f"{native_seconds:.3f} s",
             first_rows / native_seconds, 10.0),
            ("page slowest click while reading", f"{slowest * 1000:.0f} ms",
             f"{CLICK_LIMIT * 1000:.0f} ms", slowest / CLICK_LIMIT, 1.0)]
    for name, got, base, ratio, limit in rows:
        print(f"{name:34} {got:>10} {base:>10} {ratio:6.2f} {limit:6.1f}  "
              + ("met" if ratio <= limit else "NOT MET"))
    with open(out, "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["row", "measured", "baseline", "ratio", "limit"])
        for name, got, base, ratio, limit in rows:
            w.writerow([name, got, base, round(ratio, 3), limit])


if __name__ == "__main__":
    main()
