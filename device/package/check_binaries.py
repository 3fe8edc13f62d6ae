"""Checks on the package's two Mach-O files, every slice, as the device's
loader would meet them: architecture, file type, install name, deployment
target, signature, initialiser, Objective-C classes, the libraries loaded
and whether each of them really exports what the slice takes from it.
"""
import macho

# Interfaces newer than the deployment target are imported weakly and are
# null on older systems; only those the code checks before calling may be.
CHECKED_WEAK_IMPORTS = {
    "_openat": "settings/atomic_file.cpp",
    "_unlinkat": "settings/atomic_file.cpp",
    "_fstatat": "settings/atomic_file.cpp",
    "_renameat": "settings/atomic_file.cpp",
    "_fdopendir": "settings/atomic_file.cpp",
}
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


def check_binary(path, binary, archs, minimum_os, stubs, folder):
    """Every failure of the file at `path` against `binary`, as sentences.

    `archs` are the slices it must have, `minimum_os` the deployment target
    of each ({"arm64": "7.0"}), `stubs` a tbd.Library holding the SDK's and
    the loader's stubs, `folder` a scratch folder for thin copies."""
    failures = []
    try:
        slices = macho.slices(path, folder)
    except ValueError as e:
        return [f"{binary.name}: not a Mach-O file the tools can read ({e})"]
    found = [s.arch for s in slices]
    if sorted(found) != sorted(archs):
        failures.append(f"{binary.name}: slices {' '.join(found)}, expected {' '.join(archs)}")
    for s in slices:
        failures += [f"{binary.name} ({s.arch}): {f}" for f in _check_slice(s, binary, minimum_os, stubs)]
    return failures


def _check_slice(s, binary, minimum_os, stubs):
    failures = []
    filetype, flags = s.header()
    if filetype not in ("DYLIB", "BUNDLE"):
        failures.append(f"file type {filetype}, expected a dynamic library or bundle")
    if s.install_name() != binary.install_name:
        failures.append(f"install name {s.install_name()}, expected {binary.install_name}")
    want = minimum_os.get(s.arch)
    if want and macho_version(s.minimum_os()) != macho_version(want):
        failures.append(f"minimum iOS {s.minimum_os()}, expected {want}")
    magics = s.signature()
    if magics is None:
        failures.append("no code signature")
    elif macho.CODE_DIRECTORY_MAGIC not in magics:
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
        if symbol not in CHECKED_WEAK_IMPORTS and not symbol.startswith("__Z"):
            failures.append(f"imports {symbol} weakly: newer than iOS {want or s.minimum_os()}, null on older systems")
    failures += _check_loads(s, binary)
    failures += _check_binds(s, flags, stubs, minimum_os.get(s.arch) or s.minimum_os() or "0.0")
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


def _check_binds(s, flags, stubs, os_version):
    failures = []
    if "TWOLEVEL" not in flags or "FORCE_FLAT" in flags:
        failures.append("not linked with two-level namespaces")
    by_short = {}
    for _, path in s.loads():
        by_short.setdefault(macho.short_name(path), path)
    for path in by_short.values():
        if path not in stubs:
            failures.append(f"no stub (.tbd) for {path} to check its symbols against")
    for symbol, origin, kind in s.undefined():
        if kind != "two-level":
            failures.append(f"{symbol} is looked up outside two-level namespaces ({kind})")
            continue
        path = by_short.get(origin)
        if path is None:
            failures.append(f"{symbol} comes from {origin}, which the slice does not load")
        elif path in stubs and not stubs.exports(path, s.arch, os_version, symbol):
            failures.append(f"{symbol} is not exported by {path} for {s.arch} at iOS {os_version}")
    for symbol, library in s.bind_libraries():
        if library in ("flat-namespace", "dynamic-lookup"):
            failures.append(f"{symbol} has a {library} bind")
        elif library not in by_short and library != "this-image":
            failures.append(f"{symbol} is bound to {library}, which the slice does not load")
    return failures


def macho_version(version):
    parts = (version or "").split(".")
    while len(parts) > 2 and parts[-1] == "0":
        parts.pop()
    return ".".join(parts)
