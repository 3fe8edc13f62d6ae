"""The Mach-O checks on slices described directly, as LLVM's tools would
read them: a slice shaped like the release build passes, and each fault a
link can leave is named."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import check_binaries  # noqa: E402
import macho  # noqa: E402
import tbd  # noqa: E402

SYSTEM = "/usr/lib/libSystem.B.dylib"
OBJC = "/usr/lib/libobjc.A.dylib"
CXX = "/usr/lib/libc++.1.dylib"
LOADER = check_binaries.HOOKING_LOADER
GS = "/System/Library/PrivateFrameworks/GraphicsServices.framework/GraphicsServices"


class Slice:
    """A slice as the tools would describe it; tests change the fields."""

    def __init__(self, binary, arch="arm64"):
        self.arch = arch
        self.filetype, self.flags = "DYLIB", {"TWOLEVEL", "DYLDLINK", "NOUNDEFS"}
        self.id = binary.install_name
        self.min_os = "7.0"
        self.magics = [macho.CODE_DIRECTORY_MAGIC, 0xFADE0C01]
        self.init_size = 16
        self.classes = {f"_OBJC_CLASS_$_{c}": "(__DATA,__objc_data)" for c in binary.classes}
        self.libraries = [OBJC, CXX, SYSTEM] + ([LOADER, GS] if binary.loads_hooking_loader else [])
        self.commands = {}
        self.symbols = [("_objc_msgSend", "libobjc", "two-level"), ("_memcpy", "libSystem", "two-level")]
        if binary.loads_hooking_loader:
            self.symbols += [("_MSHookMessageEx", "CydiaSubstrate", "two-level"),
                             ("_GSEventSetBacklightLevel", "GraphicsServices", "two-level")]
        self.binds = [(s, lib) for s, lib, _ in self.symbols]
        self.run_paths = []
        self.weak = []

    def header(self):
        return self.filetype, self.flags

    def install_name(self):
        return self.id

    def minimum_os(self):
        return self.min_os

    def signature(self):
        return self.magics

    def section_size(self, segment, name):
        return self.init_size if (segment, name) == ("__DATA", "__mod_init_func") else 0

    def defined(self):
        return self.classes

    def loads(self):
        return [(self.commands.get(p, "LC_LOAD_DYLIB"), p) for p in self.libraries]

    def rpaths(self):
        return self.run_paths

    def undefined(self):
        return self.symbols

    def weak_imports(self):
        return self.weak

    def bind_libraries(self):
        return self.binds


def stubs():
    made = []
    for path, names in ((SYSTEM, ["_memcpy"]), (OBJC, ["_objc_msgSend"]), (CXX, []),
                        (LOADER, ["_MSHookMessageEx"]), (GS, ["_GSEventSetBacklightLevel"])):
        stub = tbd.Stub(path)
        for arch in ("armv7", "arm64"):
            stub.add(arch, names)
        made.append(stub)
    return tbd.Library(made)


def failures(s, binary=check_binaries.EXTENSION):
    return check_binaries._check_slice(s, binary, {"armv7": "7.0", "arm64": "7.0"}, stubs())


class AsBuilt(unittest.TestCase):
    def test_extension_and_switch_shaped_as_the_release_build_pass(self):
        self.assertEqual(failures(Slice(check_binaries.EXTENSION)), [])
        self.assertEqual(failures(Slice(check_binaries.SWITCH), check_binaries.SWITCH), [])


class Identity(unittest.TestCase):
    def test_file_type_install_name_and_deployment_target(self):
        s = Slice(check_binaries.EXTENSION)
        s.filetype, s.id, s.min_os = "EXECUTE", "@rpath/Lumivo2.dylib", "9.0"
        found = failures(s)
        self.assertIn("file type EXECUTE, expected a dynamic library or bundle", found)
        self.assertIn("install name @rpath/Lumivo2.dylib, expected "
                      "/Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib", found)
        self.assertIn("minimum iOS 9.0, expected 7.0", found)

    def test_unsigned_uninitialised_and_classless(self):
        s = Slice(check_binaries.SWITCH)
        s.magics, s.init_size, s.classes = None, 0, {"_OBJC_CLASS_$_LumivoSwitch": "(__DATA,__bss)"}
        found = failures(s, check_binaries.SWITCH)
        self.assertIn("no code signature", found)
        self.assertIn("no initialiser (__DATA,__mod_init_func is empty)", found)
        self.assertIn("does not define the Objective-C class LumivoSwitch", found)
        s.magics = []
        self.assertIn("the code signature holds no code directory", failures(s, check_binaries.SWITCH))


    def test_an_interface_newer_than_the_target_is_named_unless_checked_before_use(self):
        s = Slice(check_binaries.SWITCH)
        s.weak = ["_openat", "_unlinkat", "__Znwm", "__ZTISt12length_error"]
        self.assertEqual(failures(s, check_binaries.SWITCH), [])
        s.weak.append("_clonefile")
        self.assertEqual(failures(s, check_binaries.SWITCH),
                         ["imports _clonefile weakly: newer than iOS 7.0, null on older systems"])


class Loads(unittest.TestCase):
    def test_extension_without_the_hooking_loader(self):
        s = Slice(check_binaries.EXTENSION)
        s.libraries.remove(LOADER)
        found = failures(s)
        self.assertIn(f"does not load the hooking loader {LOADER}", found)
        self.assertIn("_MSHookMessageEx comes from CydiaSubstrate, which the slice does not load", found)

    def test_switch_must_not_load_the_hooking_loader(self):
        s = Slice(check_binaries.SWITCH)
        s.libraries.append(LOADER)
        self.assertIn(f"loads the hooking loader {LOADER}, which it does not use",
                      failures(s, check_binaries.SWITCH))

    def test_only_system_libraries_plain_loads_and_no_run_paths(self):
        s = Slice(check_binaries.EXTENSION)
        s.libraries.append("/usr/local/lib/libplist-2.0.dylib")
        s.libraries.append("@rpath/libfoo.dylib")
        s.commands[SYSTEM] = "LC_REEXPORT_DYLIB"
        s.run_paths = ["@loader_path"]
        found = "\n".join(failures(s))
        self.assertIn("loads /usr/local/lib/libplist-2.0.dylib, which is neither", found)
        self.assertIn("loads @rpath/libfoo.dylib", found)
        self.assertIn(f"LC_REEXPORT_DYLIB {SYSTEM}: only plain loads are expected", found)
        self.assertIn("has a run path @loader_path", found)
        self.assertIn("no stub (.tbd) for /usr/local/lib/libplist-2.0.dylib", found)


class Binds(unittest.TestCase):
    def test_flat_and_dynamic_lookups(self):
        s = Slice(check_binaries.EXTENSION)
        s.flags = {"DYLDLINK"}
        s.symbols.append(("_MSHookFunction", None, "dynamic-lookup"))
        s.binds.append(("_MSHookFunction", "dynamic-lookup"))
        s.binds.append(("_other", "flat-namespace"))
        found = failures(s)
        self.assertIn("not linked with two-level namespaces", found)
        self.assertIn("_MSHookFunction is looked up outside two-level namespaces (dynamic-lookup)", found)
        self.assertIn("_MSHookFunction has a dynamic-lookup bind", found)
        self.assertIn("_other has a flat-namespace bind", found)

    def test_a_symbol_the_library_does_not_export_at_the_target(self):
        s = Slice(check_binaries.EXTENSION)
        s.symbols.append(("_GSEventSetBrightness", "GraphicsServices", "two-level"))
        self.assertIn(f"_GSEventSetBrightness is not exported by {GS} for arm64 at iOS 7.0", failures(s))


class Slices(unittest.TestCase):
    def test_missing_slice_is_named(self):
        original = macho.slices
        try:
            macho.slices = lambda path, folder: [Slice(check_binaries.EXTENSION, "arm64")]
            found = check_binaries.check_binary("x", check_binaries.EXTENSION, ["armv7", "arm64"],
                                                {"armv7": "7.0", "arm64": "7.0"}, stubs(), "/tmp")
        finally:
            macho.slices = original
        self.assertEqual(found, ["Lumivo2.dylib: slices arm64, expected armv7 arm64"])


if __name__ == "__main__":
    unittest.main()
