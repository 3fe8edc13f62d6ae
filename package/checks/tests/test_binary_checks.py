"""The Mach-O checks on slices described directly, as LLVM's tools would
read them: a slice shaped like the release build passes, and each fault a
link can leave is named."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import binary_tools  # noqa: E402
import check_binaries  # noqa: E402

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
        self.code_directory = True
        self.sizes = {("__DATA", "__mod_init_func"): 16, ("__TEXT", "__text"): 30_000}
        self.classes = {f"_OBJC_CLASS_$_{c}": "(__DATA,__objc_data)" for c in binary.classes}
        self.libraries = [OBJC, CXX, SYSTEM] + ([LOADER, GS] if binary.loads_hooking_loader else [])
        self.commands = {}
        self.symbols = [("_objc_msgSend", "two-level"), ("_memcpy", "two-level")]
        self.run_paths = []
        self.weak = []

    def header(self):
        return self.filetype, self.flags

    def install_name(self):
        return self.id

    def minimum_os(self):
        return self.min_os

    def signature(self):
        return self.code_directory

    def section_size(self, segment, name):
        return self.sizes.get((segment, name), 0)

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


def failures(s, binary=check_binaries.EXTENSION):
    return check_binaries._check_slice(s, binary, {"armv7": "7.0", "arm64": "7.0"})


def file_failures(slices, limit=check_binaries.ARM64_TEXT_LIMIT):
    """check_binary's answer for a file the tools describe as `slices`."""
    original = binary_tools.slices
    try:
        binary_tools.slices = lambda path, ldid: slices
        return check_binaries.check_binary("x", check_binaries.EXTENSION, ["armv7", "arm64"],
                                           {"armv7": "7.0", "arm64": "7.0"}, "ldid", limit)
    finally:
        binary_tools.slices = original


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
        s.code_directory, s.classes = None, {"_OBJC_CLASS_$_LumivoSwitch": "(__DATA,__bss)"}
        del s.sizes[("__DATA", "__mod_init_func")]
        found = failures(s, check_binaries.SWITCH)
        self.assertIn("no code signature", found)
        self.assertIn("no initialiser (__DATA,__mod_init_func is empty)", found)
        self.assertIn("does not define the Objective-C class LumivoSwitch", found)
        s.code_directory = False
        self.assertIn("the code signature holds no code directory", failures(s, check_binaries.SWITCH))

    def test_an_interface_newer_than_the_target_is_named_unless_checked_before_use(self):
        s = Slice(check_binaries.SWITCH)
        s.weak = ["__Znwm", "__ZTISt12length_error"]
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


class Binds(unittest.TestCase):
    def test_flat_and_dynamic_lookups(self):
        s = Slice(check_binaries.EXTENSION)
        s.flags = {"DYLDLINK"}
        s.symbols += [("_MSHookFunction", "dynamic-lookup"), ("_other", "flat")]
        found = failures(s)
        self.assertIn("not linked with two-level namespaces", found)
        self.assertIn("_MSHookFunction is looked up outside two-level namespaces (dynamic-lookup)", found)
        self.assertIn("_other is looked up outside two-level namespaces (flat)", found)


class File(unittest.TestCase):
    def test_missing_slice_is_named(self):
        found, _ = file_failures([Slice(check_binaries.EXTENSION, "arm64")])
        self.assertEqual(found, ["Lumivo2.dylib: slices arm64, expected armv7 arm64"])

    def test_arm64_machine_code_is_measured_and_limited(self):
        armv7, arm64 = Slice(check_binaries.EXTENSION, "armv7"), Slice(check_binaries.EXTENSION, "arm64")
        armv7.sizes[("__TEXT", "__text")] = 50_000
        limit = check_binaries.ARM64_TEXT_LIMIT
        arm64.sizes[("__TEXT", "__text")] = limit
        self.assertEqual(file_failures([armv7, arm64]), ([], {"armv7": 50_000, "arm64": limit}))
        arm64.sizes[("__TEXT", "__text")] = limit + 1
        self.assertEqual(file_failures([armv7, arm64])[0],
                         [f"Lumivo2.dylib (arm64): __text is {limit + 1} bytes, above the limit of {limit}"])
        self.assertEqual(file_failures([armv7, arm64], limit=None)[0], [])


if __name__ == "__main__":
    unittest.main()
