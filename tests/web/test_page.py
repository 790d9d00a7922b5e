"""The page as a file: small enough, one inline script that its policy names (and the
worker's as text, which runs only as a worker from a Blob URL), and no address anywhere
that it could load from."""
import re
import unittest

from webtest import PAGE

LARGEST_PAGE = 3 * 1024 * 1024


class PageFileTest(unittest.TestCase):
    def setUp(self):
        self.html = PAGE.read_text(encoding="utf-8")

    def test_size(self):
        self.assertLessEqual(PAGE.stat().st_size, LARGEST_PAGE)

    def test_policy_allows_no_fetch_and_one_script(self):
        policy = re.search(r'http-equiv="Content-Security-Policy" content="([^"]*)"', self.html)
        self.assertIsNotNone(policy)
        rules = dict(r.strip().split(" ", 1) for r in policy.group(1).split(";"))
        self.assertEqual(rules["default-src"], "'none'")
        self.assertRegex(rules["script-src"], r"^'sha256-[A-Za-z0-9+/=]+' 'wasm-unsafe-eval'$")
        self.assertEqual(rules["worker-src"], "blob:")
        self.assertNotIn("connect-src", rules)  # default-src 'none' holds for fetches

    def test_no_outside_address(self):
        self.assertEqual(re.findall(r"<script[^>]*>", self.html),
                         ['<script id="worker-script" type="text/plain">', "<script>"])
        for tag in re.findall(r"<(?!script)[a-z][^>]*>", self.html):
            self.assertIsNone(re.search(r"\s(src|href)\s*=", tag), tag)
        self.assertNotIn("<link", self.html)
        self.assertNotIn("url(", self.html.split("<script")[0])
