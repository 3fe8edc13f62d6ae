"""The checks on the package ./dev package last built, and on copies of it
damaged the way a broken build would be: an extension that lacks the
hooking loader, a switch that lacks its class. Skipped when no package has
been built or the tools are missing. The size of the machine code is not
limited here: it is what the sources make it, and check.py limits it."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import binary_tools  # noqa: E402
import check  # noqa: E402
import check_binaries  # noqa: E402
import deb  # noqa: E402
from package_files import make_deb  # noqa: E402

BUILT = check.newest_package(check.ROOT)


def tools_present():
    try:
        for name in ("lipo", "nm", "objdump"):
            binary_tools.tool(name)
        return True
    except binary_tools.ToolMissing:
        return False


LDID = check.find_ldid() if BUILT else None


@unittest.skipUnless(BUILT and tools_present(), "no device package built (./dev package), or no LLVM tools")
class BuiltPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.package = deb.Package.open(BUILT)
        cls.archs = check.built_slices(check.ROOT).split()

    def failures_with(self, path, edit):
        files = dict(self.package.files)
        files[path] = edit(files[path])
        with tempfile.TemporaryDirectory() as folder:
            damaged = os.path.join(folder, "damaged.deb")
            with open(damaged, "wb") as f:
                f.write(make_deb(files, self.package.control_text))
            return self.failures_of(damaged)

    def failures_of(self, path):
        return check.check(path, self.archs, "7.0", LDID, text_limit=None)[0]

    def test_the_built_package_passes(self):
        self.assertEqual(self.failures_of(BUILT), [])

    def test_extension_without_the_hooking_loader_fails(self):
        # The loader's load command names a system library instead: the
        # extension as linked without the loader's library.
        loader = check_binaries.HOOKING_LOADER.encode()
        other = b"/usr/lib/libSystem.B.dylib".ljust(len(loader), b"\0")
        found = self.failures_with(check_binaries.EXTENSION.package_path, lambda data: data.replace(loader, other))
        for arch in self.archs:
            self.assertIn(f"Lumivo2.dylib ({arch}): does not load the hooking loader {check_binaries.HOOKING_LOADER}",
                          found)

    def test_switch_without_its_class_fails(self):
        found = self.failures_with(check_binaries.SWITCH.package_path,
                                   lambda data: data.replace(b"LumivoSwitch", b"LumivoToggle"))
        for arch in self.archs:
            self.assertIn(f"Lumivo ({arch}): does not define the Objective-C class LumivoSwitch", found)


if __name__ == "__main__":
    unittest.main()
