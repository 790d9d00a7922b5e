"""The page in headless Chromium, opened from file:// and worked through the DevTools
protocol as a player would: logs chosen through the file input (two of one name, one
chosen again after it grew, bad ones among good ones), the list, one half-game, a
search, the report and the exports checked against the native command; every message
in Japanese; a 390 px phone; the keyboard alone; a 100,000 half-game log that leaves
the page answering, can be stopped and exports whole. No request leaves the page, and
hostile names stay text."""
import base64
import hashlib
import json
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from cdp import Chromium
from webtest import (HOSTILE_NAMES, NATIVE, PAGE, ROOT, SAMPLE, TIMEOUT, WEB, generated_log,
                     sample_with)

DOCS = ROOT / "docs"
# What the player can do on the page, never the command's flags or its English.
FLAG = re.compile(r"--[a-z]")
ENGLISH = re.compile(r"\b(?:expected|found|line|skipped|half-games?|warning|error)\b", re.I)


def half_games():
    """The sample's half-games, each as its bytes."""
    games = []
    for line in SAMPLE.read_bytes().splitlines(True):
        if line.startswith(b"=====") or not games:
            games.append(b"")
        games[-1] += line
    return games


KEYS = {"Enter": 13, " ": 32, "Tab": 9, "ArrowRight": 39, "ArrowLeft": 37, "ArrowDown": 40,
        "ArrowUp": 38, "Home": 36, "End": 35}


def native_json(*args):
    proc = subprocess.run([str(NATIVE), *map(str, args), "--format", "json"], check=True,
                          capture_output=True, timeout=TIMEOUT)
    return json.loads(proc.stdout)


def texts(node):
    """Every text of a DOM.getDocument tree (frames included), and its element names."""
    found, tags = [], []
    stack = [node]
    while stack:
        n = stack.pop()
        if n.get("nodeType") == 3:
            found.append(n.get("nodeValue", ""))
        elif n.get("nodeType") == 1:
            tags.append(n["nodeName"].lower())
        stack += n.get("children", []) + ([n["contentDocument"]] if "contentDocument" in n else [])
    return "".join(found), tags


class PageCase(unittest.TestCase):
    """A browser for the class, the page opened afresh for each test, and a player's hands."""
    @classmethod
    def setUpClass(cls):
        cls.tmp = pathlib.Path(tempfile.mkdtemp(prefix="paiview-web-chromium-"))
        cls.browser = Chromium(cls.tmp / "profile")
        cls.browser.open_page()
        for domain in ("Network", "Page", "Runtime", "Log", "DOM"):
            cls.browser.send(f"{domain}.enable")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.browser.events.clear()
        self.browser.send("Emulation.clearDeviceMetricsOverride")
        self.browser.send("Page.navigate", url=PAGE.as_uri())
        self.browser.wait_for("document.body && document.body.dataset.ready === 'true'")

    def choose(self, *logs):
        """Chooses logs through the page's file input, as a user would."""
        b = self.browser
        b.evaluate("document.querySelector('#list-count').dataset.count = ''")
        root = b.send("DOM.getDocument")["root"]["nodeId"]
        node = b.send("DOM.querySelector", nodeId=root, selector="#file-input")["nodeId"]
        b.send("DOM.setFileInputFiles", nodeId=node, files=[str(p) for p in logs])

    def load(self, *logs, timeout=60):
        self.choose(*logs)
        return int(self.browser.wait_for("document.querySelector('#list-count').dataset.count",
                                         timeout=timeout))

    def text_of(self, selector):
        return self.browser.evaluate(f"document.querySelector({selector!r}).innerText")

    def press(self, key):
        """A key pressed and let go, as the keyboard sends it."""
        code = {"Enter": "Enter", " ": "Space"}.get(key, key)
        text = {"Enter": "\r", " ": " "}.get(key)
        for kind in ("keyDown", "keyUp"):
            params = dict(type=kind, key=key, code=code, windowsVirtualKeyCode=KEYS[key])
            if text and kind == "keyDown":
                params["text"] = text
            self.browser.send("Input.dispatchKeyEvent", **params)

    def focused(self, expression="el.id || el.dataset.index || el.textContent"):
        return self.browser.evaluate(f"(() => {{ const el = document.activeElement; return {expression}; }})()")

    def downloads_into(self, folder):
        folder.mkdir(parents=True, exist_ok=True)
        self.browser.send("Browser.setDownloadBehavior", session=False, behavior="allow",
                          downloadPath=str(folder), eventsEnabled=True)
        # A browser without the File System Access API: the Blob goes to the downloads.
        self.browser.evaluate("delete window.showSaveFilePicker; window.showSaveFilePicker = undefined")

    def wait_for_files(self, folder, names, timeout=120):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            done = [e["params"]["guid"] for e in self.browser.events
                    if e["method"] == "Browser.downloadProgress"
                    and e["params"]["state"] == "completed"]
            if len(done) >= len(names) and all((folder / n).exists() for n in names):
                return
            time.sleep(0.2)
        raise AssertionError(f"not downloaded within {timeout} s: {names}")

    def submit(self, form, **fields):
        values = "".join(f"f.elements[{k!r}].value = {json.dumps(v)};" for k, v in fields.items())
        self.browser.evaluate(f"(() => {{ const f = document.querySelector({form!r}); {values}"
                              " f.requestSubmit(); })()")

    def whole_page(self):
        """The page's text and elements with the report's frame, as the browser holds them."""
        return texts(self.browser.send("DOM.getDocument", depth=-1, pierce=True)["root"])

    def assertNothingLeft(self):
        """No request but the page itself, no policy violation, no script error."""
        # data: URLs are read in place (Chromium's own icon of a date field is one).
        requests = [e["params"]["request"]["url"] for e in self.browser.events
                    if e["method"] == "Network.requestWillBeSent"]
        self.assertIn(PAGE.as_uri(), requests)
        # blob: the worker's own script, made by the page from its text.
        self.assertEqual([u for u in requests if u != PAGE.as_uri()
                          and not u.startswith(("data:", "blob:"))], [])
        # A blocked fetch or inline code shows as an error entry of the page's log.
        errors = [e["params"] for e in self.browser.events
                  if e["method"] == "Runtime.exceptionThrown"
                  or (e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error")]
        self.assertEqual(errors, [])


class PageTest(PageCase):
    def test_sample_lists_shows_searches_and_reports(self):
        b = self.browser
        self.assertEqual(self.load(SAMPLE), len(native_json("list", SAMPLE)))
        shot = b.send("Page.captureScreenshot", format="png")
        (WEB / "page.png").write_bytes(base64.b64decode(shot["data"]))

        game = native_json("show", SAMPLE, 2)
        b.evaluate("document.querySelector('[data-game=\"2\"]').click()")
        hands = int(b.wait_for("!document.querySelector('#tab-game').hidden && "
                               "document.querySelector('#hands').dataset.count"))
        self.assertEqual(hands, len(game["hands"]))
        first_row = b.evaluate("document.querySelector('#hands tbody tr').textContent")
        self.assertIn(game["hands"][0]["title"], first_row)
        # The hand's dealer, and each seat's points after it.
        dealer = next(s["name"] for s in game["seats"] if s["seat"] == game["hands"][0]["dealer"])
        self.assertIn(dealer, first_row)
        for points in game["hands"][0]["pointsAfter"]:
            self.assertIn(str(points), first_row)
        shot = b.send("Page.captureScreenshot", format="png")
        (WEB / "game.png").write_bytes(base64.b64decode(shot["data"]))

        hits = native_json("search", SAMPLE, "yaku", "小三元")
        self.submit("#search", field="yaku", text="小三元")
        self.assertEqual(int(b.wait_for("document.querySelector('#search-count').dataset.count")),
                         len(hits))

        self.submit("#report", player="")
        owner = b.wait_for("document.querySelector('#report-owner').dataset.player")
        self.assertEqual(owner, "たぬき")
        text, _ = self.whole_page()
        self.assertIn("たぬき の成績", text)  # inside the report's frame
        self.assertNothingLeft()

    def test_errors_show_the_line(self):
        broken = self.tmp / "broken.txt"
        lines = SAMPLE.read_bytes().splitlines(True)
        broken.write_bytes(b"".join(lines[:41] + lines[42:]))
        self.assertEqual(self.load(broken), 0)
        problem = self.browser.wait_for("document.querySelector('#problems').textContent")
        self.assertIn("broken.txt：42 行目（1766 バイト目）が読めません（3位の行のはずが", problem)
        self.assertIn("「壊れた半荘を飛ばして読む」に印を付けると", problem)
        self.assertIn("broken.txt", self.text_of("#file-list .bad"))
        self.assertTrue(self.browser.evaluate("document.querySelector('#tabs').hidden"))
        self.browser.evaluate("document.querySelector('#salvage').click()")
        self.assertEqual(int(self.browser.wait_for(
            "document.querySelector('#list-count').dataset.count !== '0' && "
            "document.querySelector('#list-count').dataset.count")), 15)
        # The core's CP932 text: its wave dash is the full-width tilde.
        self.assertIn("broken.txt：8～43 行目の壊れた半荘を飛ばしました。",
                      self.browser.evaluate("document.querySelector('#problems').textContent"))
        self.assertEqual(self.browser.evaluate(
            "document.querySelector('#problems div').className"), "warning")

    def test_hostile_names_stay_text(self):
        log = self.tmp / "hostile.txt"
        log.write_bytes(sample_with(HOSTILE_NAMES).encode("cp932"))
        self.assertEqual(self.load(log), 16)
        b = self.browser
        b.evaluate("document.querySelector('[data-game=\"1\"]').click()")
        b.wait_for("!document.querySelector('#tab-game').hidden")
        self.submit("#search", field="players", text="<img")
        self.assertEqual(int(b.wait_for("document.querySelector('#search-count').dataset.count")),
                         len(native_json("search", log, "players", "<img")))
        self.submit("#report", player=HOSTILE_NAMES["たぬき"])
        b.wait_for("document.querySelector('#report-owner').dataset.player")
        text, tags = self.whole_page()
        for name in HOSTILE_NAMES.values():
            self.assertIn(name, text)
        self.assertNotIn("img", tags)
        self.assertEqual(tags.count("script"), 2)  # the page's own, and its worker's as text
        self.assertIsNone(b.evaluate("window.pwned"))
        self.assertNothingLeft()

    def test_two_logs_of_one_name_from_two_folders(self):
        games = half_games()
        for folder, part in (("pc1", games[:10]), ("pc2", games[6:])):
            (self.tmp / folder).mkdir(exist_ok=True)
            (self.tmp / folder / "score.txt").write_bytes(b"".join(part))
        logs = [self.tmp / "pc1" / "score.txt", self.tmp / "pc2" / "score.txt"]
        native = subprocess.run([str(NATIVE), "list", *map(str, logs), "--format", "json"],
                                capture_output=True, check=True, timeout=TIMEOUT)
        self.assertEqual(self.load(*logs), len(json.loads(native.stdout)))
        self.assertEqual(self.browser.evaluate(
            "[...document.querySelectorAll('#file-list .path')].map(e => e.textContent)"),
            ["score.txt", "2/score.txt"])
        note = self.text_of("#problems .note")
        self.assertIn("4 半荘は二度読まれたので", note)
        # The newest first: the sample's last half-game heads the list.
        self.assertEqual(self.browser.evaluate(
            "document.querySelector('#games [data-index=\"0\"]').dataset.game"), "16")

    def test_a_file_chosen_again_after_it_grew_or_was_mended(self):
        games = half_games()
        log = self.tmp / "growing.txt"
        log.write_bytes(b"".join(games[:10]))
        self.assertEqual(self.load(log), 10)
        log.write_bytes(b"".join(games))  # a game was played since
        self.assertEqual(self.load(log), 16)
        self.assertEqual(self.browser.evaluate("document.querySelectorAll('#file-list li').length"), 1)
        # Taken out, then chosen again.
        self.browser.evaluate("document.querySelector('#clear').click()")
        self.browser.wait_for("document.querySelector('#tabs').hidden")
        self.assertEqual(self.load(log), 16)
        # Broken, then mended on disk.
        lines = SAMPLE.read_bytes().splitlines(True)
        log.write_bytes(b"".join(lines[:41] + lines[42:]))
        self.browser.evaluate("document.querySelector('#clear').click()")
        self.assertEqual(self.load(log), 0)
        log.write_bytes(SAMPLE.read_bytes())
        self.assertEqual(self.load(log), 16)
        self.assertEqual(self.browser.evaluate("document.querySelectorAll('#file-list .bad').length"), 0)

    def test_bad_files_are_named_and_do_not_stop_the_good(self):
        bad = {"picture.png": (b"\x89PNG\r\n\x1a\n" + bytes(64), "画像（PNG）"),
               "logs.zip": (b"PK\x03\x04" + bytes(64), "圧縮ファイル（ZIP）"),
               "utf16.txt": (b"\xff\xfe" + SAMPLE.read_bytes().decode("cp932").encode("utf-16-le"),
                             "UTF-16"),
               "utf32.txt": (b"\xff\xfe\0\0" + "東風".encode("utf-32-le"), "UTF-32"),
               "empty.txt": (b"", "空のファイル"),
               "notes.txt": ("ただのメモです。\r\n".encode("cp932"), "見出しの行")}
        paths = []
        for name, (data, _) in bad.items():
            (self.tmp / name).write_bytes(data)
            paths.append(self.tmp / name)
        self.assertEqual(self.load(*paths, SAMPLE), 16)
        rows = self.browser.evaluate(
            "Object.fromEntries([...document.querySelectorAll('#file-list li')].map("
            "li => [li.dataset.path, li.className + ' ' + li.textContent]))")
        for name, (_, reason) in bad.items():
            self.assertIn("bad", rows[name])
            self.assertIn(reason, rows[name])
        self.assertNotIn("bad", rows["tonpuso.txt"])
        # Each file can be taken out alone.
        self.browser.evaluate("document.querySelector('#file-list [data-path=\"tonpuso.txt\"] .remove').click()")
        self.browser.wait_for("document.querySelectorAll('#file-list li').length === 6")
        self.browser.wait_for("document.querySelector('#tabs').hidden")
        self.assertEqual(self.load(SAMPLE), 16)

    def test_every_message_is_japanese(self):
        lines = SAMPLE.read_bytes().splitlines(True)
        logs = {"broken.txt": b"".join(lines[:41] + lines[42:]),
                "playing.txt": b"".join(lines[:480]),
                "copy.txt": SAMPLE.read_bytes(),
                "eof.txt": b"".join(lines[:30]) + b"\x1a" + b"".join(lines[30:])}
        for name, data in logs.items():
            (self.tmp / name).write_bytes(data)
        seen = []
        b = self.browser
        self.load(*(self.tmp / n for n in logs), SAMPLE)
        seen.append(self.text_of("body"))
        b.evaluate("document.querySelector('#salvage').click()")
        b.wait_for("document.querySelector('#problems').textContent.includes('飛ばしました')")
        seen.append(self.text_of("body"))
        kinds = b.evaluate("[...document.querySelectorAll('#problems div')].map(d => d.className)")
        self.assertIn("note", kinds)  # the half-game still being played, the copies
        self.assertIn("warning", kinds)
        self.submit("#filters", since="2003-06-07", until="2003-06-06")
        b.wait_for("!!document.querySelector('#problems .error')")
        self.assertIn("開始日の「から」（2003-06-07）が「まで」（2003-06-06）より後です",
                      self.text_of("#problems"))
        seen.append(self.text_of("body"))
        b.evaluate("document.querySelector('[data-tab=\"report\"]').click()")
        self.submit("#report", player="だれでもない")
        b.wait_for("document.querySelector('#status').classList.contains('failed')")
        seen.append(self.text_of("body"))
        self.assertIn("だれでもない はどの半荘", self.text_of("#problems"))
        for text in seen:
            self.assertIsNone(FLAG.search(text), text)
            self.assertIsNone(ENGLISH.search(text), text)

    def test_failures_end_their_status(self):
        b = self.browser
        self.assertTrue(b.evaluate("getComputedStyle(document.querySelector('#tabs')).display === 'none'"))
        self.load(SAMPLE)
        self.assertFalse(b.evaluate("document.querySelector('#tabs').hidden"))
        b.evaluate("document.querySelector('[data-tab=\"report\"]').click()")
        self.submit("#report", player="だれでもない")
        b.wait_for("document.querySelector('#status').classList.contains('failed')")
        self.assertEqual(self.text_of("#status"), "レポートを作れませんでした。")
        b.evaluate("document.querySelector('[data-tab=\"export\"]').click()")
        self.assertEqual(self.text_of("#status"), "")  # cleared with the view
        # Filters typed but not applied are not used; applied ones are, and said.
        three = len(native_json("list", SAMPLE, "--players", "3"))
        b.evaluate("document.querySelector('[data-tab=\"list\"]').click()")
        self.submit("#filters", players="3")
        b.wait_for(f"document.querySelector('#list-count').dataset.count === '{three}'")
        b.evaluate("document.querySelector('#filters').elements.players.value = '4'")
        b.evaluate("document.querySelector('[data-tab=\"report\"]').click()")
        self.submit("#report", player="")
        b.wait_for("document.querySelector('#report-owner').dataset.player")
        self.assertIn(f"（{three} 半荘のうち", self.text_of("#report-owner"))
        self.assertIn("3人", self.text_of("#status"))

    def test_exports_are_the_commands_own(self):
        folder = self.tmp / "downloads-csv"
        shutil.rmtree(folder, ignore_errors=True)
        native = self.tmp / "native-csv"
        subprocess.run([str(NATIVE), "export", str(SAMPLE), "--format", "csv", "-o", str(native),
                        "--players", "4"], check=True, capture_output=True, timeout=TIMEOUT)
        self.load(SAMPLE)
        self.downloads_into(folder)
        self.submit("#filters", players="4")
        b = self.browser
        b.wait_for("document.querySelector('#list-count').dataset.count === '9' || "
                   "document.querySelector('#status').classList.contains('done')")
        b.evaluate("document.querySelector('[data-tab=\"export\"]').click()")
        b.evaluate("document.querySelector('#export-csv').click()")
        self.assertEqual(b.wait_for("document.querySelector('#export-done').dataset.files"), "6")
        names = sorted(p.name for p in native.iterdir())
        self.assertEqual(len(names), 6)
        b.evaluate("document.querySelectorAll('#downloads a').forEach(a => a.click())")
        self.wait_for_files(folder, names)
        for name in names:
            self.assertEqual((folder / name).read_bytes(), (native / name).read_bytes(), name)

    def test_phone_nothing_wider_than_the_screen(self):
        b = self.browser
        b.send("Emulation.setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=2,
               mobile=True)
        b.send("Page.navigate", url=PAGE.as_uri())
        b.wait_for("document.body && document.body.dataset.ready === 'true'")
        wide = ("(() => [...document.querySelectorAll('body *')].filter(e => e.offsetParent !== null"
                " && e.getBoundingClientRect().right > innerWidth + 0.5).map(e => e.tagName + '.' + "
                "e.className + ' ' + e.textContent.slice(0, 20)))()")
        small = ("(() => [...document.querySelectorAll('button, summary, select, input:not([type=checkbox])"
                 ":not([type=file])')].filter(e => e.offsetParent !== null && e.getBoundingClientRect().height < 43.5)"
                 ".map(e => e.outerHTML.slice(0, 60)))()")
        views = {"phone-list": "list", "phone-game": "game",
                 "phone-search": "search", "phone-report": "report", "phone-export": "export"}
        self.load(SAMPLE)
        for shot, view in views.items():
            if view == "game":
                b.evaluate("document.querySelector('#games [data-index=\"0\"]').click()")
                b.wait_for("!document.querySelector('#tab-game').hidden")
            elif view in ("search", "report", "export"):
                b.evaluate(f"document.querySelector('[data-tab=\"{view}\"]').click()")
                if view == "search":
                    self.submit("#search", field="yaku", text="ドラ")
                    b.wait_for("document.querySelector('#search-count').dataset.count")
                if view == "report":
                    self.submit("#report", player="")
                    b.wait_for("document.querySelector('#report-owner').dataset.player")
            elif view == "list":
                b.evaluate("document.querySelector('[data-tab=\"list\"]').click()")
            self.assertEqual(b.evaluate(wide), [], view)
            self.assertEqual(b.evaluate(small), [], view)
            self.assertLessEqual(b.evaluate("document.documentElement.scrollWidth"), 390, view)
            self.assertEqual(b.evaluate(
                "[...document.querySelectorAll('#tabs button')].filter(e => e.scrollWidth > e.clientWidth"
                " || e.getBoundingClientRect().height > 60).length"), 0)
            if shot in ("phone-list", "phone-game"):
                data = b.send("Page.captureScreenshot", format="png")["data"]
                (WEB / f"{shot}.png").write_bytes(base64.b64decode(data))

    def test_keyboard_alone(self):
        b = self.browser
        self.load(SAMPLE)
        # The tab bar: the arrows, Home and End.
        b.evaluate("document.querySelector('#tab-button-list').focus()")
        self.press("ArrowRight")
        self.assertEqual(self.focused("el.id"), "tab-button-search")
        self.assertFalse(b.evaluate("document.querySelector('#tab-search').hidden"))
        self.press("End")
        self.assertEqual(self.focused("el.id"), "tab-button-export")
        self.press("Home")
        self.assertEqual(self.focused("el.id"), "tab-button-list")
        self.press("ArrowLeft")
        self.assertEqual(self.focused("el.id"), "tab-button-export")
        self.press("ArrowRight")
        # A row of the list opens with Enter, and the focus comes back to it.
        b.evaluate("document.querySelector('#games [data-index=\"0\"]').focus()")
        self.press("ArrowDown")
        self.press("ArrowDown")
        self.assertEqual(self.focused("el.dataset.index"), "2")
        self.press("Enter")
        b.wait_for("!document.querySelector('#tab-game').hidden")
        self.assertEqual(self.focused("el.id"), "back")
        self.assertTrue(b.evaluate("getComputedStyle(document.activeElement).outlineStyle !== 'none'"))
        self.press("Enter")
        b.wait_for("document.activeElement.dataset.index === '2'")
        # A search hit opens with the space bar.
        b.evaluate("document.querySelector('#tab-button-list').focus()")
        self.press("ArrowRight")
        b.evaluate("document.querySelector('#search').elements.text.focus()")
        for ch in "ドラ":
            b.send("Input.insertText", text=ch)
        self.press("Enter")
        b.wait_for("!!document.querySelector('#hits [data-index=\"0\"]:not([data-empty])')")
        b.evaluate("document.querySelector('#hits [data-index=\"0\"]').focus()")
        self.press(" ")
        b.wait_for("!document.querySelector('#tab-game').hidden")
        self.press("Enter")
        b.wait_for("!document.querySelector('#tab-search').hidden && document.activeElement.dataset.index === '0'")
        # The files, folded once read, open with Enter; the file chooser shows its focus.
        b.evaluate("document.querySelector('#files-summary').focus()")
        self.press("Enter")
        self.assertTrue(b.evaluate("document.querySelector('#files').open"))
        self.press("Tab")
        self.assertEqual(self.focused("el.id"), "file-input")
        self.assertNotEqual(b.evaluate("getComputedStyle(document.querySelector('#drop')).outlineStyle"), "none")


class BigLogTest(PageCase):
    """The 100,000 half-game log, as the benchmark writes it: read once for all rows."""
    GAMES = int(os.environ.get("PAIVIEW_WEB_BIG_GAMES", "100000"))

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.log = generated_log(cls.tmp / "big.txt", cls.GAMES, 1000003 + cls.GAMES)

    def test_answers_while_reading_and_stops(self):
        b = self.browser
        self.choose(self.log)
        b.wait_for("document.body.dataset.busy === 'true'")
        # Clicks on the page while the worker reads: each answered within 100 ms.
        slowest = 0
        for _ in range(10):
            start = time.monotonic()
            b.send("Input.dispatchMouseEvent", type="mousePressed", x=20, y=20, button="left", clickCount=1)
            b.send("Input.dispatchMouseEvent", type="mouseReleased", x=20, y=20, button="left", clickCount=1)
            slowest = max(slowest, time.monotonic() - start)
            time.sleep(0.05)
        self.assertTrue(b.evaluate("document.body.dataset.busy === 'true'"), "read before measured")
        self.assertLess(slowest, 0.1)
        b.wait_for("!document.querySelector('#progress').hidden")
        b.evaluate("document.querySelector('#stop').click()")
        b.wait_for("document.querySelector('#status').textContent === '止めました。'", timeout=20)
        self.assertIsNone(b.evaluate("document.body.dataset.busy"))

    def test_list_and_json_export_arrive_whole(self):
        b = self.browser
        self.assertEqual(self.load(self.log, timeout=180), self.GAMES)
        self.assertEqual(b.evaluate("document.querySelector('#games [data-index=\"0\"]').dataset.game"),
                         str(self.GAMES))
        # Few rows drawn, however many there are.
        self.assertLess(b.evaluate("document.querySelectorAll('#games .item').length"), 100)
        native = self.tmp / "native.json"
        subprocess.run([str(NATIVE), "export", str(self.log), "--format", "json", "-o", str(native)],
                       check=True, capture_output=True, timeout=TIMEOUT)
        folder = self.tmp / "downloads-json"
        self.downloads_into(folder)
        b.evaluate("document.querySelector('[data-tab=\"export\"]').click()")
        b.evaluate("document.querySelector('#export-json').click()")
        self.wait_for_files(folder, ["paiview.json"], timeout=240)
        digest = lambda p: hashlib.sha256(p.read_bytes()).hexdigest()
        self.assertEqual(digest(folder / "paiview.json"), digest(native))


if __name__ == "__main__":
    unittest.main()
