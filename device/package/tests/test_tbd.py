"""Reading the stubs: every format's spelling of symbols, Objective-C names
and re-exports, and the linker's per-version markers."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import tbd  # noqa: E402

UMBRELLA_V3 = """--- !tapi-tbd-v3
archs:           [ armv7, arm64 ]
platform:        ios
install-name:    /usr/lib/libSystem.B.dylib
exports:
  - archs:           [ armv7 ]
    re-exports:      [ /usr/lib/system/libold.dylib ]
  - archs:           [ armv7, arm64 ]
    re-exports:      [ /usr/lib/system/libc.dylib,
                       /usr/lib/system/libdyld.dylib ]
    symbols:         [ ___System_version ]
--- !tapi-tbd-v3
archs:           [ armv7, arm64 ]
install-name:    /usr/lib/system/libc.dylib
exports:
  - archs:           [ armv7, arm64 ]
    symbols:         [ _memcpy, _strtod,
                       '$ld$hide$os7.0$_gone', _gone,
                       '$ld$add$os3.0$_early' ]
    objc-classes:    [ NSThing ]
--- !tapi-tbd-v3
archs:           [ armv7, arm64 ]
install-name:    /usr/lib/system/libdyld.dylib
exports:
  - archs:           [ arm64 ]
    symbols:         [ dyld_stub_binder ]
...
"""

LOADER_V1 = """---
archs:                 [ armv7, arm64 ]
platform:              ios
install-name:          /Library/Frameworks/Hooks.framework/Hooks
exports:
  - archs:              [ armv7, arm64 ]
    objc-classes:       [ _HKClass ]
    objc-ivars:         [ _HKClass._field ]
    symbols:            [ _HKHook ]
...
"""

V4 = """--- !tapi-tbd
tbd-version:     4
targets:         [ armv7-ios, arm64-ios ]
install-name:    '/System/Library/Frameworks/Kit.framework/Kit'
reexported-libraries:
  - targets:         [ arm64-ios ]
    libraries:       [ '/usr/lib/libKitCore.dylib' ]
exports:
  - targets:         [ armv7-ios, arm64-ios ]
    symbols:         [ _KitMain ]
    objc-classes:    [ KitView ]
    objc-eh-types:   [ KitError ]
    weak-symbols:    [ _KitWeak ]
...
"""


def library():
    stubs = tbd.parse(UMBRELLA_V3) + tbd.parse(LOADER_V1) + tbd.parse(V4)
    stubs.append(tbd.Stub("/usr/lib/libKitCore.dylib"))
    stubs[-1].add("arm64", ["_KitCoreThing"])
    return tbd.Library(stubs)


class Exports(unittest.TestCase):
    def test_umbrella_reaches_symbols_through_its_reexports_per_architecture(self):
        lib = library()
        system = "/usr/lib/libSystem.B.dylib"
        self.assertTrue(lib.exports(system, "armv7", "7.0", "_memcpy"))
        self.assertTrue(lib.exports(system, "arm64", "7.0", "___System_version"))
        self.assertTrue(lib.exports(system, "arm64", "7.0", "dyld_stub_binder"))
        self.assertFalse(lib.exports(system, "armv7", "7.0", "dyld_stub_binder"), "only arm64 exports it")
        self.assertFalse(lib.exports(system, "arm64", "7.0", "_printf"))

    def test_markers_hide_and_add_symbols_at_exactly_their_version(self):
        lib = library()
        libc = "/usr/lib/system/libc.dylib"
        self.assertFalse(lib.exports(libc, "arm64", "7.0", "_gone"))
        self.assertFalse(lib.exports(libc, "arm64", "7.0.0", "_gone"), "7.0.0 is the same target as 7.0")
        self.assertTrue(lib.exports(libc, "arm64", "8.0", "_gone"))
        self.assertTrue(lib.exports(libc, "armv7", "3.0", "_early"))
        self.assertFalse(lib.exports(libc, "armv7", "7.0", "_early"))

    def test_objective_c_names_in_each_format(self):
        lib = library()
        hooks = "/Library/Frameworks/Hooks.framework/Hooks"
        self.assertTrue(lib.exports(hooks, "arm64", "7.0", "_OBJC_CLASS_$_HKClass"))
        self.assertTrue(lib.exports(hooks, "arm64", "7.0", "_OBJC_METACLASS_$_HKClass"))
        self.assertTrue(lib.exports(hooks, "armv7", "7.0", "_OBJC_IVAR_$_HKClass._field"))
        self.assertFalse(lib.exports(hooks, "arm64", "7.0", "_OBJC_CLASS_$__HKClass"))
        libc = "/usr/lib/system/libc.dylib"
        self.assertTrue(lib.exports(libc, "arm64", "7.0", "_OBJC_CLASS_$_NSThing"))
        kit = "/System/Library/Frameworks/Kit.framework/Kit"
        self.assertTrue(lib.exports(kit, "armv7", "7.0", "_OBJC_CLASS_$_KitView"))
        self.assertTrue(lib.exports(kit, "arm64", "7.0", "_OBJC_EHTYPE_$_KitError"))
        self.assertTrue(lib.exports(kit, "arm64", "7.0", "_KitWeak"))

    def test_format_four_targets_and_reexports(self):
        lib = library()
        kit = "/System/Library/Frameworks/Kit.framework/Kit"
        self.assertTrue(lib.exports(kit, "arm64", "7.0", "_KitCoreThing"))
        self.assertFalse(lib.exports(kit, "armv7", "7.0", "_KitCoreThing"))

    def test_unknown_library_exports_nothing_and_cycles_end(self):
        a, b = tbd.Stub("/a"), tbd.Stub("/b")
        a.add_reexports("arm64", ["/b"])
        b.add_reexports("arm64", ["/a"])
        lib = tbd.Library([a, b])
        self.assertFalse(lib.exports("/a", "arm64", "7.0", "_x"))
        self.assertFalse(lib.exports("/missing", "arm64", "7.0", "_x"))
        self.assertNotIn("/missing", lib)


class SdkFiles(unittest.TestCase):
    def test_a_library_is_read_from_the_sdk_when_first_asked_for(self):
        import tempfile
        with tempfile.TemporaryDirectory() as sdk:
            folder = os.path.join(sdk, "System/Library/Frameworks/Kit.framework")
            os.makedirs(folder)
            with open(os.path.join(folder, "Kit.tbd"), "w") as f:
                f.write(V4)
            lib = tbd.Library.scan([], sdk=sdk)
            self.assertTrue(lib.exports("/System/Library/Frameworks/Kit.framework/Kit", "arm64", "7.0", "_KitMain"))


class Versions(unittest.TestCase):
    def test_normal_forms(self):
        self.assertEqual([tbd.normal_version(v) for v in ("7", "7.0", "7.0.0", "7.1.2", "10.3.0")],
                         ["7.0", "7.0", "7.0", "7.1.2", "10.3"])


if __name__ == "__main__":
    unittest.main()
