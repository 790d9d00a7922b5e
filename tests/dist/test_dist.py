"""The players' zip as a player gets it: two `make dist` builds from clean folders give
the same bytes; it holds one folder with five files, none naming this machine; the
versions agree; the unpacked page works from file://, and the unpacked executables are
32-bit Windows programs whose resources are the viewer's own. What 64-bit Wine can run
of them, it runs (the win64 build of the same sources stands in for what it cannot).

Usage: test_dist.py DIST_A DIST_B [PART-OF-A-TEST-NAME...]   (DIST_*: output folders of
scripts/dist.sh)
Environment: PAIVIEW (the native command), PAIVIEW_WINDOWS_BUILD (the Windows build whose
tests run under the prefix that scripts/wine-env.sh names). Ends with
"dist: N passed, N failed"."""
import hashlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "web"))
from cdp import Chromium  # noqa: E402

SAMPLE = ROOT / "samples" / "tonpuso.txt"
NATIVE = pathlib.Path(os.environ.get("PAIVIEW", ROOT / "build" / "native" / "paiview"))
# The Windows build whose tests run under Wine: win32, or win64 where 32-bit programs cannot run.
WINDOWS_BUILD = pathlib.Path(os.environ.get("PAIVIEW_WINDOWS_BUILD", ROOT / "build" / "win64"))
FILES = ["Paiview.exe", "paiview-cli.exe", "paiview.html", "readme.txt", "LICENSE.txt"]
SECTIONS = ["名称・版・種別", "動作環境", "内容", "インストールとアンインストール", "使い方",
            "制限", "ライセンス", "履歴"]
TIMEOUT = 120
DIST_A = DIST_B = None


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(Paiview VERSION ([0-9.]+)", text).group(1)


VERSION = project_version()
FOLDER = f"paiview-{VERSION}/"
ZIP_NAME = f"paiview-{VERSION}-windows.zip"


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, timeout=TIMEOUT, **kw)


def objdump(exe):
    """objdump -p in English whatever the locale (Wine's is Japanese)."""
    env = dict(os.environ, LC_ALL="C", LANG="C")
    return run("i686-w64-mingw32-objdump", "-p", exe, check=True, env=env).stdout.decode()


def can_run_32bit_windows():
    """As scripts/test.sh decides: IA-32 emulation in the kernel and Debian's 32-bit Wine."""
    try:
        ok = run("/lib/ld-linux.so.2", "--version").returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False
    return ok and run("dpkg", "-s", "wine32:i386").returncode == 0


def wine(*args, cwd=None):
    """A Windows program under the project's prefix; output to files, never a pipe (Wine's
    background processes would hold it open)."""
    with tempfile.TemporaryFile() as out:
        env = dict(os.environ, PAIVIEW_NO_DESKTOP="1")
        proc = subprocess.run(["wine", *map(str, args)], stdout=out, stderr=subprocess.STDOUT,
                              stdin=subprocess.DEVNULL, timeout=300, cwd=cwd, env=env)
        out.seek(0)
        return proc.returncode, out.read().decode("utf-8", "replace")


def winpath(path):
    return "Z:" + str(path).replace("/", "\\")


def fixed_file_info(exe_bytes):
    """The four numbers of the version record's VS_FIXEDFILEINFO (file, then product)."""
    at = exe_bytes.index(b"\xbd\x04\xef\xfe")
    words = [int.from_bytes(exe_bytes[at + 8 + 4 * i:at + 12 + 4 * i], "little")
             for i in range(4)]
    dotted = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    return dotted(words[0], words[1]), dotted(words[2], words[3])


class ZipTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.zip_path = DIST_A / ZIP_NAME
        cls.tmp = pathlib.Path(tempfile.mkdtemp(prefix="paiview-dist-"))
        # A fresh folder, unpacked as a player's unzip would.
        with zipfile.ZipFile(cls.zip_path) as z:
            z.extractall(cls.tmp / "unpacked")
        cls.unpacked = cls.tmp / "unpacked" / FOLDER
        cls.readme = (cls.unpacked / "readme.txt").read_bytes()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_two_clean_builds_give_the_same_bytes(self):
        a, b = (d / ZIP_NAME for d in (DIST_A, DIST_B))
        digest = hashlib.sha256(a.read_bytes()).hexdigest()
        print(f"\nsha256 {digest} {a.stat().st_size} bytes", file=sys.stderr)
        self.assertEqual(digest, hashlib.sha256(b.read_bytes()).hexdigest(),
                         "two builds of one commit differ: compare the unpacked files")
        for d in (DIST_A, DIST_B):
            self.assertEqual((d / "SHA256SUMS").read_text(), f"{digest}  {ZIP_NAME}\n")
        self.assertEqual(sorted(p.name for p in DIST_A.iterdir()), sorted([ZIP_NAME, "SHA256SUMS"]))

    def test_one_folder_of_five_files_stamped_with_the_last_commit(self):
        epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or
                    run("git", "-C", ROOT, "log", "-1", "--format=%ct", check=True).stdout)
        stamp = time.gmtime(epoch)[:6]
        with zipfile.ZipFile(self.zip_path) as z:
            infos = z.infolist()
        self.assertEqual([i.filename for i in infos], [FOLDER] + [FOLDER + f for f in FILES])
        for info in infos:
            # A zip's clock counts in two seconds.
            self.assertEqual(info.date_time[:5], stamp[:5], info.filename)
            self.assertLessEqual(abs(info.date_time[5] - stamp[5]), 1, info.filename)
            mode = info.external_attr >> 16
            self.assertEqual(mode, {"/": 0o40755, "e": 0o100755}.get(info.filename[-1], 0o100644),
                             info.filename)

    def test_no_file_names_this_machine(self):
        # The checkout, the two build folders and any home or temporary folder (the page's
        # module has a home of its own, /home/web_user, in its memory file system).
        leaks = re.compile("|".join(re.escape(str(p)) for p in (ROOT, DIST_A, DIST_B)) +
                           r"|/(root|tmp|work|build|usr)/|/home/(?!web_user)"
                           r"|[A-Z]:\\(Users|msys|work)")
        for name in FILES:
            found = run("strings", "-a", "-n", "6", self.unpacked / name, check=True).stdout
            found += run("strings", "-a", "-n", "6", "-e", "l", self.unpacked / name,
                         check=True).stdout
            hits = sorted({line for line in found.decode("latin-1").splitlines()
                           if leaks.search(line)})
            self.assertEqual(hits[:5], [], name)

    def test_executables_are_32_bit_windows_programs_with_system_imports(self):
        for name, subsystem in (("Paiview.exe", "Windows GUI"), ("paiview-cli.exe", "Windows CUI")):
            info = objdump(self.unpacked / name)
            self.assertRegex(info.splitlines()[1], r"file format pei-i386$", name)
            self.assertRegex(info, r"Time/Date\s+Thu Jan  1 00:00:00 1970", name)
            self.assertIn(f"({subsystem})", info, name)
            dlls = re.findall(r"DLL Name: (\S+)", info)
            self.assertTrue(dlls, name)
            # Linked statically: no mingw runtime beside it.
            self.assertEqual([d for d in dlls if re.match(r"lib|mingw", d, re.I)], [], name)
        check = run(ROOT / "scripts" / "check-imports.sh", self.unpacked / "Paiview.exe")
        self.assertEqual(check.returncode, 0, check.stdout.decode())

    def test_every_version_agrees_with_cmakelists(self):
        v = VERSION
        readme = self.readme.decode("cp932")
        self.assertIn(f"- 版: {v}\r\n", readme)
        for guide in (readme, (ROOT / "README.ja.md").read_text(encoding="utf-8")):
            history = guide[guide.index("履歴"):]
            self.assertEqual(re.search(r"- ([0-9.]+) \(", history).group(1), v, "履歴")
        self.assertIn(f"\n- 版: {v}\n", (ROOT / "README.ja.md").read_text(encoding="utf-8"))
        changelog = (ROOT / "CHANGELOG.md").read_text(encoding="utf-8")
        self.assertEqual(re.search(r"^## \[([0-9.]+)\]", changelog, re.M).group(1), v,
                         "CHANGELOG.md's newest version")
        page = (self.unpacked / "paiview.html").read_text(encoding="utf-8")
        self.assertIn(f'<footer class="muted">Paiview {v} — ', page)
        self.assertNotIn("@VERSION@", page)
        viewer = (self.unpacked / "Paiview.exe").read_bytes()
        self.assertEqual(fixed_file_info(viewer), (v, v))
        record = ", ".join(v.split("."))
        u16 = lambda text: re.escape(text.encode("utf-16-le"))
        for key in ("FileVersion", "ProductVersion"):
            # The key, its NUL and the padding to 32 bits, then the value.
            self.assertRegex(viewer, u16(key) + b"(\0\0)+" + u16(record + "\0"), key)
        self.assertIn(f"Paiview Ver{v}\0".encode("utf-16-le"), viewer)
        self.assertIn(v.encode(), (self.unpacked / "paiview-cli.exe").read_bytes())
        self.assertEqual(run(NATIVE, "--version", check=True).stdout.decode(), f"paiview {v}\n")
        report = self.tmp / "report.html"
        run(NATIVE, "report", SAMPLE, "-o", report, "--quiet", check=True)
        self.assertIn(f"paiview {v} の report で作成", report.read_text(encoding="utf-8"))

    def test_readme_is_cp932_with_crlf_and_names_every_file(self):
        text = self.readme.decode("cp932")  # strict: every byte a CP932 character
        self.assertNotIn(b"\n", self.readme.replace(b"\r\n", b""))
        self.assertNotIn(b"\r", self.readme.replace(b"\r\n", b""))
        headings = re.findall(r"^【(.+)】\r$", text, re.M)
        self.assertEqual(headings, SECTIONS)
        contents = text.split("【内容】")[1].split("【")[0]
        named = re.findall(r"^- ([\w.-]+): ", contents, re.M)
        self.assertEqual(named, FILES)
        # Every file it names is in the zip (the player's own logs and reports aside).
        named = re.findall(r"(?<![\w.])[A-Za-z][\w-]*\.(?:exe|html|txt)\b", text)
        self.assertEqual(set(named) - set(FILES), set())
        self.assertNotRegex(text, r"!\[|\]\(|`|\*\*|<!--")
        licence = (self.unpacked / "LICENSE.txt").read_bytes()
        self.assertEqual(licence, (ROOT / "LICENSE").read_bytes().replace(b"\n", b"\r\n"))
        self.assertIn(b"MIT License", licence)

    def test_unpacked_page_lists_the_sample_from_file_url(self):
        browser = Chromium(self.tmp / "profile")
        try:
            browser.open_page()
            for domain in ("Page", "Runtime", "DOM"):
                browser.send(f"{domain}.enable")
            page = self.unpacked / "paiview.html"
            browser.send("Page.navigate", url=page.as_uri())
            browser.wait_for("document.body && document.body.dataset.ready === 'true'")
            root = browser.send("DOM.getDocument")["root"]["nodeId"]
            node = browser.send("DOM.querySelector", nodeId=root, selector="#file-input")["nodeId"]
            browser.send("DOM.setFileInputFiles", nodeId=node, files=[str(SAMPLE)])
            count = browser.wait_for("document.querySelector('#list-count').dataset.count")
            self.assertEqual(int(count), 16)
            rows = browser.evaluate("document.querySelectorAll('[data-game]').length")
            self.assertEqual(rows, 16)
            footer = browser.evaluate("document.querySelector('footer').textContent")
            self.assertIn(f"Paiview {VERSION}", footer)
        finally:
            browser.close()

    def test_unpacked_executables_under_wine(self):
        windows = WINDOWS_BUILD
        if not shutil.which("wine") or not (windows / "tests" / "e2e_tests.exe").exists():
            self.skipTest(f"no wine or no Windows build with its tests in {windows}")
        # The 32-bit viewer's dialogs, About box and version record, read as a data file:
        # a 64-bit reader takes a 32-bit program so.
        rc, out = wine(windows / "tests" / "resource_tests.exe", "--gtest_brief=1",
                       winpath(self.unpacked / "Paiview.exe"))
        self.assertEqual(rc, 0, out[-3000:])
        self.assertIn("[  PASSED  ]", out)

        if can_run_32bit_windows():
            exes = self.unpacked
        else:
            print("\nthis machine cannot run 32-bit Windows programs (no IA-32 emulation or no "
                  "32-bit Wine): the unpacked Paiview.exe and paiview-cli.exe are checked by "
                  "their PE headers, imports and resources, and the 64-bit build of the same "
                  f"sources ({windows}) is run from a folder of its own instead",
                  file=sys.stderr)
            exes = self.tmp / "win64"
            exes.mkdir()
            for name in ("Paiview.exe", "paiview-cli.exe"):
                shutil.copy(windows / name, exes / name)
        rc, out = wine(windows / "tests" / "e2e_tests.exe",
                       "--gtest_filter=LoadingTest.BundledSampleLoads", winpath(exes / "Paiview.exe"))
        self.assertEqual(rc, 0, out[-3000:])
        self.assertIn("[  PASSED  ] 1 test", out)

        # A log dropped onto paiview-cli.exe: Explorer starts it with the log's path alone.
        logs = self.tmp / "logs"
        logs.mkdir()
        shutil.copy(SAMPLE, logs / "tonpuso.txt")
        rc, out = wine(exes / "paiview-cli.exe", winpath(logs / "tonpuso.txt"), cwd=self.tmp)
        self.assertEqual(rc, 0, out[-3000:])
        report = (logs / "tonpuso.report.html").read_text(encoding="utf-8")
        self.assertIn(f"paiview {VERSION} の report で作成", report)
        self.assertIn("tonpuso.report.html", out)


def main():
    global DIST_A, DIST_B
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    DIST_A, DIST_B = (pathlib.Path(a).resolve() for a in sys.argv[1:3])
    # Any further argument picks tests by a part of their names.
    loader = unittest.TestLoader()
    loader.testNamePatterns = [f"*{p}*" for p in sys.argv[3:]] or None
    suite = loader.loadTestsFromTestCase(ZipTest)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(result.failures) + len(result.errors)
    print(f"dist: {result.testsRun - failed - len(result.skipped)} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
