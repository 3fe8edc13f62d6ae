"""Checks on the package's two Mach-O files, every slice, as the device's
loader would meet them: architecture, file type, install name, deployment
target, signature, initialiser, Objective-C classes, the libraries loaded,
how symbols are bound, and the size of the arm64 code.

What the linker guarantees is not checked again: that every symbol bound
through two-level namespaces is exported, at the deployment target, by the
library the slice loads it from (it resolves each against the SDK's stubs).
"""
import binary_tools

# The only symbols that may be imported weakly. A weak import is an
# interface newer than the deployment target, null on older systems; each
# listed one is checked before use where noted. Adjust this list, and only
# this list, when such a call is added or removed.
WEAK_IMPORTS_CHECKED_BEFORE_USE: dict[str, str] = {
    # None today: the adapter finds the functions newer systems add by name
    # at run time (adapter/backlight.cpp).
}
# The most machine code (bytes of __TEXT,__text) each deliverable's arm64
# slice may hold.
ARM64_TEXT_LIMIT = 40_000
SYSTEM_PREFIXES = ("/usr/lib/", "/System/Library/Frameworks/", "/System/Library/PrivateFrameworks/")
HOOKING_LOADER = "/Library/Frameworks/CydiaSubstrate.framework/CydiaSubstrate"


class Binary:
    """What one deliverable's file must be."""

    def __init__(self, name, package_path, install_name, classes, loads_hooking_loader):
        self.name = name
        self.package_path = package_path
        self.install_name = install_name
        self.classes = classes
        # Only the extension replaces methods; the switch is loaded into
        # whatever process shows switches and must not drag the loader in.
        self.loads_hooking_loader = loads_hooking_loader


EXTENSION = Binary("Lumivo2.dylib", "Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib",
                   "/Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib", ["BrightnessListener"], True)
SWITCH = Binary("Lumivo", "Library/Switches/Lumivo.bundle/Lumivo",
                "/Library/Switches/Lumivo.bundle/Lumivo", ["LumivoSwitch"], False)
BINARIES = (EXTENSION, SWITCH)


def check_binary(path, binary, archs, minimum_os, ldid, text_limit=ARM64_TEXT_LIMIT):
    """(failures as sentences, {arch: bytes of __text}) of the file at `path` against `binary`.

    `archs` are the slices it must have, `minimum_os` the deployment target
    of each ({"arm64": "7.0"}), `ldid` the path of ldid, `text_limit` the
    most __text bytes of the arm64 slice (None: no limit)."""
    failures = []
    try:
        slices = binary_tools.slices(path, ldid)
    except ValueError as e:
        return [f"{binary.name}: not a Mach-O file the tools can read ({e})"], {}
    found = [s.arch for s in slices]
    if sorted(found) != sorted(archs):
        failures.append(f"{binary.name}: slices {' '.join(found)}, expected {' '.join(archs)}")
    text = {}
    for s in slices:
        try:
            problems = _check_slice(s, binary, minimum_os)
            text[s.arch] = s.section_size("__TEXT", "__text")
        except ValueError as e:
            problems = [f"the tools cannot read it ({e})"]
        if s.arch == "arm64" and text_limit is not None and text.get("arm64", 0) > text_limit:
            problems.append(f"__text is {text['arm64']} bytes, above the limit of {text_limit}")
        failures += [f"{binary.name} ({s.arch}): {p}" for p in problems]
    return failures, text


def _check_slice(s, binary, minimum_os):
    failures = []
    filetype, flags = s.header()
    if filetype not in ("DYLIB", "BUNDLE"):
        failures.append(f"file type {filetype}, expected a dynamic library or bundle")
    if s.install_name() != binary.install_name:
        failures.append(f"install name {s.install_name()}, expected {binary.install_name}")
    want = minimum_os.get(s.arch)
    if want and macho_version(s.minimum_os()) != macho_version(want):
        failures.append(f"minimum iOS {s.minimum_os()}, expected {want}")
    signature = s.signature()
    if signature is None:
        failures.append("no code signature")
    elif not signature:
        failures.append("the code signature holds no code directory")
    if s.section_size("__DATA", "__mod_init_func") == 0:
        failures.append("no initialiser (__DATA,__mod_init_func is empty)")
    defined = s.defined()
    for cls in binary.classes:
        if defined.get(f"_OBJC_CLASS_$_{cls}") != "(__DATA,__objc_data)":
            failures.append(f"does not define the Objective-C class {cls}")
    for symbol in s.weak_imports():
        # libc++'s replaceable operators and type information are imported
        # weakly for coalescing, whatever the target.
        if symbol not in WEAK_IMPORTS_CHECKED_BEFORE_USE and not symbol.startswith("__Z"):
            failures.append(f"imports {symbol} weakly: newer than iOS {want or s.minimum_os()}, null on older systems")
    failures += _check_loads(s, binary)
    if "TWOLEVEL" not in flags or "FORCE_FLAT" in flags:
        failures.append("not linked with two-level namespaces")
    for symbol, kind in s.undefined():
        if kind != "two-level":
            failures.append(f"{symbol} is looked up outside two-level namespaces ({kind})")
    return failures


def _check_loads(s, binary):
    failures = []
    loads = s.loads()
    for command, path in loads:
        if command not in ("LC_LOAD_DYLIB", "LC_LOAD_WEAK_DYLIB"):
            failures.append(f"{command} {path}: only plain loads are expected")
        if path == HOOKING_LOADER:
            if not binary.loads_hooking_loader:
                failures.append(f"loads the hooking loader {path}, which it does not use")
        elif not path.startswith(SYSTEM_PREFIXES):
            failures.append(f"loads {path}, which is neither a system library or framework nor the hooking loader")
    if binary.loads_hooking_loader and HOOKING_LOADER not in [p for _, p in loads]:
        failures.append(f"does not load the hooking loader {HOOKING_LOADER}")
    for path in s.rpaths():
        failures.append(f"has a run path {path}")
    return failures


def macho_version(version):
    parts = (version or "").split(".")
    while len(parts) > 2 and parts[-1] == "0":
        parts.pop()
    return ".".join(parts)
