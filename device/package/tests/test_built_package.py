"""The checks on the package ./dev package last built, and on copies of it
damaged the way a broken build would be: an extension that lacks the
hooking loader, a switch that lacks its class. Skipped when no package has
been built or no Theos is at hand to read the stubs from."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import check  # noqa: E402
import check_binaries  # noqa: E402
import deb  # noqa: E402
import macho  # noqa: E402
from package_files import make_deb  # noqa: E402

BUILT = check.newest_package(check.ROOT)
THEOS = os.environ.get("THEOS") or check.kit_theos()


def tools_present():
    try:
        for name in ("lipo", "otool", "nm", "objdump"):
            macho.tool(name)
        return True
    except macho.ToolMissing:
        return False


@unittest.skipUnless(BUILT and THEOS and tools_present(), "no device package built (./dev package) or no Theos")
class BuiltPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.package = deb.Package.open(BUILT)
        cls.archs = check.built_slices(check.ROOT).split()
        cls.stubs = check.stubs_of(THEOS)

    def failures_with(self, path, edit):
        files = dict(self.package.files)
        files[path] = edit(files[path])
        with tempfile.TemporaryDirectory() as folder:
            damaged = os.path.join(folder, "damaged.deb")
            with open(damaged, "wb") as f:
                f.write(make_deb(files, self.package.control_text))
            return check.check(damaged, self.archs, "7.0", self.stubs)

    def test_the_built_package_passes(self):
        self.assertEqual(check.check(BUILT, self.archs, "7.0", self.stubs), [])

    def test_extension_without_the_hooking_loader_fails(self):
        # The loader's load command names a system library instead: the
        # extension as linked without the loader's library.
        loader = check_binaries.HOOKING_LOADER.encode()
        other = b"/usr/lib/libSystem.B.dylib".ljust(len(loader), b"\0")
        found = self.failures_with(check_binaries.EXTENSION.package_path, lambda data: data.replace(loader, other))
        for arch in self.archs:
            self.assertIn(f"Lumivo2.dylib ({arch}): does not load the hooking loader {check_binaries.HOOKING_LOADER}",
                          found)
            self.assertIn(f"Lumivo2.dylib ({arch}): _MSHookMessageEx is not exported by /usr/lib/libSystem.B.dylib "
                          f"for {arch} at iOS 7.0", found)

    def test_switch_without_its_class_fails(self):
        found = self.failures_with(check_binaries.SWITCH.package_path,
                                   lambda data: data.replace(b"LumivoSwitch", b"LumivoToggle"))
        for arch in self.archs:
            self.assertIn(f"Lumivo ({arch}): does not define the Objective-C class LumivoSwitch", found)


if __name__ == "__main__":
    unittest.main()
