"""Runs every test_*.py here: the page's module under Node and the page in Chromium.
Ends with "web: N passed, N failed"."""
import pathlib
import sys
import unittest

here = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(here))
suite = unittest.defaultTestLoader.discover(str(here), pattern=sys.argv[1] if len(sys.argv) > 1 else "test_*.py")
result = unittest.TextTestRunner(verbosity=2).run(suite)
failed = len(result.failures) + len(result.errors)
print(f"web: {result.testsRun - failed - len(result.skipped)} passed, {failed} failed")
sys.exit(1 if failed else 0)
