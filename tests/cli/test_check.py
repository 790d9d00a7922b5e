"""paiview check: counts, diagnostics that name the broken line, salvage, encodings."""
from clitest import CliTest, SAMPLE, sample_text


class CheckTest(CliTest):
    def test_sample_counts(self):
        r = self.assertRuns("check", SAMPLE)
        self.assertEqual(r.out, "OK: 16 half-games, 170 hands (3 aborted)\n")
