"""Reading LLVM's tools' reports of a slice, from reports as the tools print
them."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import macho  # noqa: E402

BINDS = """slice:

Bind table:
segment  section            address    type       addend dylib            symbol
__DATA   __got              0x0001C068 pointer         0 libSystem        _openat (weak_import)
__DATA   __objc_data        0x0002C864 pointer         0 libobjc          _OBJC_CLASS_$_NSObject
__DATA   __got              0x0001C070 pointer         0 flat-namespace   _flat

Lazy bind table:
segment  section            address     dylib            symbol
__DATA   __la_symbol_ptr    0x0001C100  CydiaSubstrate   _MSHookMessageEx

Weak bind table:
segment  section            address     type       addend   symbol
__DATA   __data             0x0001C200  pointer         0   __ZdlPv
"""

UNDEFINED = """                 (undefined) external _CFRelease (from CoreFoundation)
                 (undefined) weak external _openat (from libSystem)
                 (undefined) external _lookedUp (dynamically looked up)
                 (undefined) external _flat
"""

LOADS = """slice:
Load command 0
      cmd LC_SEGMENT_64
  cmdsize 632
  segname __DATA
Section
  sectname __mod_init_func
   segname __DATA
      size 0x0000000000000020
Load command 1
          cmd LC_ID_DYLIB
      cmdsize 88
         name /Library/Switches/Lumivo.bundle/Lumivo (offset 24)
Load command 2
      cmd LC_VERSION_MIN_IPHONEOS
  cmdsize 16
  version 7.0
      sdk 11.4
Load command 3
          cmd LC_LOAD_WEAK_DYLIB
      cmdsize 56
         name /usr/lib/libc++.1.dylib (offset 24)
"""


class Reports(unittest.TestCase):
    def setUp(self):
        self.original = macho.run
        self.slice = macho.Slice("file", "arm64", "thin")

    def tearDown(self):
        macho.run = self.original

    def answer(self, text):
        macho.run = lambda *args: text

    def test_binds_with_their_libraries_weak_imports_included(self):
        self.answer(BINDS)
        self.assertEqual(self.slice.bind_libraries(),
                         [("_openat", "libSystem"), ("_OBJC_CLASS_$_NSObject", "libobjc"), ("_flat", "flat-namespace"),
                          ("_MSHookMessageEx", "CydiaSubstrate")])

    def test_undefined_symbols_with_how_each_is_found(self):
        self.answer(UNDEFINED)
        self.assertEqual(self.slice.undefined(),
                         [("_CFRelease", "CoreFoundation", "two-level"), ("_openat", "libSystem", "two-level"),
                          ("_lookedUp", None, "dynamic-lookup"), ("_flat", None, "flat")])
        self.assertEqual(self.slice.weak_imports(), ["_openat"])

    def test_load_commands_and_sections(self):
        self.answer(LOADS)
        self.assertEqual(self.slice.install_name(), "/Library/Switches/Lumivo.bundle/Lumivo")
        self.assertEqual(self.slice.minimum_os(), "7.0")
        self.assertEqual(self.slice.loads(), [("LC_LOAD_WEAK_DYLIB", "/usr/lib/libc++.1.dylib")])
        self.assertEqual(self.slice.section_size("__DATA", "__mod_init_func"), 32)
        self.assertEqual(self.slice.section_size("__DATA", "__objc_classlist"), 0)

    def test_a_thin_file_is_one_slice_and_a_fat_one_is_split(self):
        import tempfile
        calls = []

        def answer(name, *args):
            calls.append((name, args[0]))
            return "arm64" if name == "lipo" and args[0] == "-archs" else ""
        macho.run = answer
        with tempfile.TemporaryDirectory() as folder:
            thin = os.path.join(folder, "thin")
            with open(thin, "wb") as f:
                f.write(b"\xcf\xfa\xed\xfe" + bytes(28))
            slices = macho.slices(thin, folder)
            self.assertEqual([(s.arch, open(s.thin, "rb").read(4)) for s in slices], [("arm64", b"\xcf\xfa\xed\xfe")])
            self.assertEqual(calls, [("lipo", "-archs")])
            fat = os.path.join(folder, "fat")
            with open(fat, "wb") as f:
                f.write(b"\xca\xfe\xba\xbe" + bytes(28))
            macho.slices(fat, folder)
            self.assertEqual(calls[-1], ("lipo", fat))

    def test_short_names_as_the_tools_give_them(self):
        self.assertEqual([macho.short_name(p) for p in (
            "/usr/lib/libc++.1.dylib", "/usr/lib/libobjc.A.dylib",
            "/System/Library/Frameworks/UIKit.framework/UIKit",
            "/Library/Frameworks/CydiaSubstrate.framework/CydiaSubstrate")],
            ["libc++", "libobjc", "UIKit", "CydiaSubstrate"])


if __name__ == "__main__":
    unittest.main()
