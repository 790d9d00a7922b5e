"""Logs given with no command (dropped onto paiview-cli.exe): one report, beside the
first log or in Documents, and nothing written when a log is broken."""
import os
import subprocess

from clitest import CliTest, PAIVIEW, SAMPLE, TIMEOUT


class DropTest(CliTest):
    def drop(self, *logs):
        env = dict(os.environ, HOME=str(self.tmp / "home"), PAIVIEW_NO_DESKTOP="1")
        return subprocess.run([PAIVIEW, *map(str, logs)], capture_output=True, env=env,
                              timeout=TIMEOUT)

    def test_report_beside_the_first_log(self):
        first = self.write_log("牌譜 2003.txt", SAMPLE.read_bytes().decode("cp932"))
        second = self.write_log("second.txt", SAMPLE.read_bytes().decode("cp932"))
        proc = self.drop(first, second)
        report = self.tmp / "牌譜 2003.report.html"
        self.assertEqual(proc.returncode, 0, proc.stderr.decode())
        self.assertEqual(proc.stdout.decode().strip(), str(report))
        self.assertIn('lang="ja"', report.read_text(encoding="utf-8"))
        self.assertFalse((self.tmp / "second.report.html").exists())

    def test_documents_when_the_folder_takes_no_file(self):
        locked = self.tmp / "locked"
        locked.mkdir()
        (self.tmp / "home" / "Documents").mkdir(parents=True)
        log = locked / "log.txt"
        log.write_bytes(SAMPLE.read_bytes())
        # Root writes anywhere, except into an immutable folder.
        if subprocess.run(["chattr", "+i", str(locked)], capture_output=True).returncode:
            locked.chmod(0o555)
        try:
            proc = self.drop(log)
        finally:
            subprocess.run(["chattr", "-i", str(locked)], capture_output=True)
            locked.chmod(0o755)
        report = self.tmp / "home" / "Documents" / "log.report.html"
        self.assertEqual(proc.returncode, 0, proc.stderr.decode())
        self.assertEqual(proc.stdout.decode().strip(), str(report))
        self.assertTrue(report.stat().st_size > 0)

    def test_failures(self):
        broken = self.tmp / "broken.txt"
        broken.write_bytes(b"\n".join(SAMPLE.read_bytes().split(b"\n")[:5]))
        cases = [  # args, exit code, text on standard error
            ([broken], 1, "line"),
            (["chekc"], 2, "neither a command nor a score log"),
        ]
        for args, code, text in cases:
            with self.subTest(args=args):
                proc = self.drop(*args)
                self.assertEqual(proc.returncode, code)
                self.assertIn(text, proc.stderr.decode())
                self.assertEqual(proc.stdout, b"")
        self.assertEqual(sorted(p.name for p in self.tmp.iterdir()), ["broken.txt"])
