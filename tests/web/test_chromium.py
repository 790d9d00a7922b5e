"""The page in headless Chromium, opened from file:// and worked through the DevTools
protocol: a log chosen through the file input, the list, one half-game, a search and
the report checked against the native command; no request leaves the page, and
hostile names stay text."""
import base64
import json
import pathlib
import shutil
import subprocess
import tempfile
import unittest

from cdp import Chromium
from webtest import HOSTILE_NAMES, NATIVE, PAGE, SAMPLE, TIMEOUT, WEB, sample_with


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


class PageTest(unittest.TestCase):
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
        self.browser.send("Page.navigate", url=PAGE.as_uri())
        self.browser.wait_for("document.body && document.body.dataset.ready === 'true'")

    def load(self, *logs):
        """Chooses logs through the page's file input, as a user would."""
        b = self.browser
        root = b.send("DOM.getDocument")["root"]["nodeId"]
        node = b.send("DOM.querySelector", nodeId=root, selector="#file-input")["nodeId"]
        b.send("DOM.setFileInputFiles", nodeId=node, files=[str(p) for p in logs])
        return int(b.wait_for("document.querySelector('#list-count').dataset.count"))

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
        self.assertEqual([u for u in requests if u != PAGE.as_uri() and not u.startswith("data:")],
                         [])
        # A blocked fetch or inline code shows as an error entry of the page's log.
        errors = [e["params"] for e in self.browser.events
                  if e["method"] == "Runtime.exceptionThrown"
                  or (e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error")]
        self.assertEqual(errors, [])

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
        self.assertIn("broken.txt: line 42 (byte 1766): expected the placing line", problem)
        self.browser.evaluate("document.querySelector('#salvage').click()")
        self.assertEqual(int(self.browser.wait_for(
            "document.querySelector('#list-count').dataset.count !== '0' && "
            "document.querySelector('#list-count').dataset.count")), 15)
        self.assertIn("skipped lines 8-43 of broken.txt",
                      self.browser.evaluate("document.querySelector('#problems').textContent"))

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
        self.assertEqual(tags.count("script"), 1)  # the page's own
        self.assertIsNone(b.evaluate("window.pwned"))
        self.assertNothingLeft()


if __name__ == "__main__":
    unittest.main()
