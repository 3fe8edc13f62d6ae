"""dpkg's verdict on packages laid out from the repository: package/control
installs where it should and is refused elsewhere for the firmware alone; a
dependency named after a library file instead of its package is refused
with dpkg's reason naming it. Skipped without the device package database."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import deb  # noqa: E402
import install_check  # noqa: E402
from package_files import control_text, make_deb  # noqa: E402

Profile = install_check.Profile


@unittest.skipIf(install_check.unavailable(), install_check.unavailable() or "")
class Install(unittest.TestCase):
    def verdicts(self, profiles, **control):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "lumivo.deb")
            with open(path, "wb") as f:
                f.write(make_deb(control=control_text(Version="0.1.0", **control)))
            return [(passed, line) for _, passed, line in install_check.check(path, profiles)]

    def test_control_installs_where_it_should_and_a_library_name_is_refused(self):
        (fits, _), (too_new, why) = self.verdicts([Profile("12.4", True), Profile("15.0", False)])
        self.assertTrue(fits)
        self.assertTrue(too_new, why)
        self.assertIn("firmware (<< 15.0)", why)
        depends = deb.parse_control(control_text())["Depends"]
        [(wrong, reason)] = self.verdicts([Profile("12.4", True)],
                                          Depends=depends.replace("com.a3tweaks.flipswitch", "libflipswitch"))
        self.assertFalse(wrong)
        self.assertEqual(reason, "refused: needs libflipswitch, which is not installed")

    def test_without_the_database_it_says_why(self):
        self.assertIn("no device package database", install_check.unavailable("/nonexistent"))


if __name__ == "__main__":
    unittest.main()
