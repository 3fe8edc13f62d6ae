#!/usr/bin/env python3
"""Checks a built device package as a device would load it.

Usage: check.py [--archs "armv7 arm64"] [--min-os 7.0] [--theos DIR] [DEB]

DEB defaults to the newest package/packages/*.deb. The Mach-O checks run
LLVM's binary tools and ldid, found as ./dev package's Theos finds it (on
the PATH, else in the toolchain of --theos, of the iOS kit beside the
repository or of $THEOS), and print the size of each binary's machine code;
without ldid the signatures' contents are not checked, and it says so.
Then dpkg says whether the package installs on each device it is for and is
refused on the others (install_check.py), one line per device.
Exit status: 0 every check passed, 1 some failed (each is printed),
2 bad input (no package, a missing tool, a file that is not a package), and
77 when no package has been built (nothing to check).
"""
import argparse
import glob
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import binary_tools  # noqa: E402
import check_binaries  # noqa: E402
import check_deb  # noqa: E402
import deb  # noqa: E402
import install_check  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
NOTHING_BUILT = 77


def newest_package(root):
    packages = glob.glob(os.path.join(root, "package", "packages", "*.deb"))
    return max(packages, key=os.path.getmtime) if packages else None


def built_slices(root):
    try:
        with open(os.path.join(root, "package", "packages", "slices"), encoding="ascii") as f:
            return f.read().strip() or "armv7 arm64"
    except OSError:
        return "armv7 arm64"


def kit_theos(root=ROOT):
    """THEOS as the iOS kit beside the repository lays it out, or None."""
    setup = os.path.join(root, "..", "shared", "ios", "setup")
    if not os.access(setup, os.X_OK):
        return None
    try:
        out = subprocess.run([setup], capture_output=True, text=True, timeout=600)
    except (OSError, subprocess.TimeoutExpired):
        return None
    for line in out.stdout.splitlines():
        if line.startswith("THEOS="):
            return line[len("THEOS="):]
    return None


LDID_HINT = ("no ldid on the PATH or in a Theos toolchain; the iOS kit's setup (../shared/ios/setup) "
             "builds one, or set THEOS or give --theos")


def find_ldid(theos=None):
    """ldid as ./dev package's Theos finds it: on the PATH, else in the toolchain
    of `theos`, of the iOS kit's Theos, or of $THEOS, in that order; None when none has it."""
    for candidate in (lambda: theos, kit_theos, lambda: os.environ.get("THEOS")):
        try:
            return binary_tools.ldid(candidate())
        except binary_tools.ToolMissing:
            continue
    return None


def install(path):
    """Prints whether the package at `path` installs on each device, one line
    each; returns how many devices it failed on."""
    why = install_check.unavailable()
    if why:
        print(f"device package: install check skipped: {why}")
        return 0
    started = time.monotonic()
    results = install_check.check(path)
    for profile, passed, line in results:
        print(f"{'' if passed else 'FAIL '}device package on {profile}: {line}")
    failed = sum(not passed for _, passed, _ in results)
    print(f"device package: install check on {len(results)} devices, {failed} failed "
          f"({time.monotonic() - started:.1f} s)")
    return failed


def check(path, archs, minimum_os, ldid, root=ROOT, text_limit=check_binaries.ARM64_TEXT_LIMIT):
    """(every failure, {binary name: {arch: bytes of __text}}) of the package at `path`."""
    package = deb.Package.open(path)
    failures = check_deb.check_package(package, root, minimum_os)
    text = {}
    with tempfile.TemporaryDirectory() as folder:
        for binary in check_binaries.BINARIES:
            data = package.files.get(binary.package_path)
            if data is None:
                continue  # reported with the file list
            file = os.path.join(folder, binary.name)
            with open(file, "wb") as f:
                f.write(data)
            found, text[binary.name] = check_binaries.check_binary(
                file, binary, archs, {a: minimum_os for a in archs}, ldid, text_limit)
            failures += found
    return failures, text


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0],
                                     epilog="Exit status: 0 passed, 1 failed, 2 bad input, 77 no package built.")
    parser.add_argument("deb", nargs="?", help="the package (default: newest package/packages/*.deb)")
    parser.add_argument("--archs", help='slices both binaries must have (default: those the last build made, '
                        'from package/packages/slices, else "armv7 arm64")')
    parser.add_argument("--min-os", default="7.0", help="deployment target of every slice (default 7.0)")
    parser.add_argument("--theos", help="the Theos installation whose ldid to use "
                        "(default: the iOS kit's, else $THEOS)")
    try:
        args = parser.parse_args(argv[1:])
    except SystemExit as e:
        return 0 if e.code == 0 else 2
    if args.archs is None:
        args.archs = built_slices(ROOT)
    path = args.deb or newest_package(ROOT)
    if path is None:
        print("device package: nothing to check (no package/packages/*.deb; build one with ./dev package)")
        return NOTHING_BUILT
    try:
        ldid = find_ldid(args.theos)
        failures, text = check(path, args.archs.split(), args.min_os, ldid)
    except (OSError, deb.BadPackage, binary_tools.ToolMissing) as e:
        print(f"check.py: {path}: {e}", file=sys.stderr)
        return 2
    name = os.path.relpath(path, ROOT)
    for binary, sizes in text.items():
        print(f"device package: {binary} __text " + ", ".join(f"{arch} {size} bytes" for arch, size in sizes.items())
              + f" (arm64 limit {check_binaries.ARM64_TEXT_LIMIT})")
    if ldid is None:
        print(f"device package: code signatures checked for presence only: {LDID_HINT}")
    for failure in failures:
        print(f"FAIL {failure}")
    failed = len(failures) + install(path)
    if failed:
        print(f"device package {name}: {failed} checks failed")
        return 1
    print(f"device package {name}: passed (slices {args.archs}, iOS {args.min_os} to below "
          f"{check_deb.FIRMWARE_BELOW})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
