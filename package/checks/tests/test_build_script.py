"""The package build script's answers without Theos and to its arguments,
run from a copy of it placed where no iOS kit sits beside the repository."""
import os
import shutil
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build.sh")


class WithoutTheos(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.script = os.path.join(self.folder.name, "repo", "package", "checks", "build.sh")
        os.makedirs(os.path.dirname(self.script))
        shutil.copy(SCRIPT, self.script)

    def tearDown(self):
        self.folder.cleanup()

    def run_script(self, *args):
        env = {k: v for k, v in os.environ.items() if k != "THEOS"}
        return subprocess.run(["bash", self.script, *args], capture_output=True, text=True, env=env, timeout=60)

    def test_says_in_one_line_how_to_get_theos_and_fails(self):
        result = self.run_script()
        self.assertEqual(result.returncode, 3)
        self.assertEqual(result.stdout, "")
        lines = result.stderr.strip().splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertIn("no Theos", lines[0])
        self.assertIn("../shared/ios", lines[0])
        self.assertIn("THEOS", lines[0])

    def test_help_and_bad_arguments(self):
        help_text = self.run_script("--help")
        self.assertEqual(help_text.returncode, 0)
        self.assertIn("package/packages/", help_text.stdout)
        bad = self.run_script("--fast")
        self.assertEqual(bad.returncode, 2)
        self.assertIn("unknown argument: --fast", bad.stderr)


if __name__ == "__main__":
    unittest.main()
