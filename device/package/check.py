#!/usr/bin/env python3
"""Checks a built device package as a device would load it.

Usage: check.py [--archs "armv7 arm64"] [--min-os 7.0] [--theos DIR] [DEB]

DEB defaults to the newest device/packages/*.deb. The Mach-O checks run
LLVM's binary tools and ldid (from the PATH, else from the toolchain of
$THEOS, --theos or the iOS kit beside the repository), and print the size
of each binary's machine code.
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

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import binary_tools  # noqa: E402
import check_binaries  # noqa: E402
import check_deb  # noqa: E402
import deb  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
NOTHING_BUILT = 77


def newest_package(root):
    packages = glob.glob(os.path.join(root, "device", "packages", "*.deb"))
    return max(packages, key=os.path.getmtime) if packages else None


def built_slices(root):
    try:
        with open(os.path.join(root, "device", "packages", "slices"), encoding="ascii") as f:
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


def find_ldid(theos=None):
    """ldid from the PATH, from the toolchain of `theos` or of the iOS kit; or ToolMissing."""
    try:
        return binary_tools.ldid(theos)
    except binary_tools.ToolMissing:
        return binary_tools.ldid(kit_theos())


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
    parser.add_argument("deb", nargs="?", help="the package (default: newest device/packages/*.deb)")
    parser.add_argument("--archs", help='slices both binaries must have (default: those the last build made, '
                        'from device/packages/slices, else "armv7 arm64")')
    parser.add_argument("--min-os", default="7.0", help="deployment target of every slice (default 7.0)")
    parser.add_argument("--theos", default=os.environ.get("THEOS"),
                        help="the Theos installation whose ldid to use (default $THEOS)")
    try:
        args = parser.parse_args(argv[1:])
    except SystemExit as e:
        return 0 if e.code == 0 else 2
    if args.archs is None:
        args.archs = built_slices(ROOT)
    path = args.deb or newest_package(ROOT)
    if path is None:
        print("device package: nothing to check (no device/packages/*.deb; build one with ./dev package)")
        return NOTHING_BUILT
    try:
        failures, text = check(path, args.archs.split(), args.min_os, find_ldid(args.theos))
    except (OSError, deb.BadPackage, binary_tools.ToolMissing) as e:
        print(f"check.py: {path}: {e}", file=sys.stderr)
        return 2
    name = os.path.relpath(path, ROOT)
    for binary, sizes in text.items():
        print(f"device package: {binary} __text " + ", ".join(f"{arch} {size} bytes" for arch, size in sizes.items())
              + f" (arm64 limit {check_binaries.ARM64_TEXT_LIMIT})")
    for failure in failures:
        print(f"FAIL {failure}")
    if failures:
        print(f"device package {name}: {len(failures)} checks failed")
        return 1
    print(f"device package {name}: passed (slices {args.archs}, iOS {args.min_os} to below "
          f"{check_deb.FIRMWARE_BELOW})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
