#!/usr/bin/env python3
"""Measures what keeps the 32-bit slice from running below its deployment
target: for an older iOS (default 3.0 and 4.3), the symbols the armv7 slices
take from a library that system does not have, those the SDK's stubs say a
library only exports from a later version, and the interfaces the sources
call that the headers mark as newer.

Usage: floor.py [--os 3.0 --os 4.3] [--theos DIR] [DEB]
DEB defaults to the newest device/packages/*.deb. Prints a report; exit
status 2 on bad input.
"""
import argparse
import collections
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import check  # noqa: E402
import check_binaries  # noqa: E402
import deb  # noqa: E402
import macho  # noqa: E402

# Libraries the slice loads and the first iOS that ships each, where that is
# later than iOS 3.0 (Apple's release notes; the SDK's stubs do not say).
FIRST_SHIPPED = {"/usr/lib/libc++.1.dylib": "5.0"}
SOURCES = ("extension", "switch", "settings", "device/src/adapter", "device/src/classes")


def version_tuple(v):
    return tuple(int(x) for x in re.findall(r"\d+", v))


def binary_report(package, stubs, systems, folder):
    lines = []
    for binary in check_binaries.BINARIES:
        path = os.path.join(folder, binary.name)
        with open(path, "wb") as f:
            f.write(package.files[binary.package_path])
        armv7 = [s for s in macho.slices(path, folder) if s.arch == "armv7"]
        if not armv7:
            lines.append(f"{binary.name}: no armv7 slice")
            continue
        s = armv7[0]
        by_short = {macho.short_name(p): p for _, p in s.loads()}
        symbols = s.undefined()
        lines.append(f"{binary.name} (armv7): {len(symbols)} undefined symbols from {len(by_short)} libraries")
        for system in systems:
            missing_library = collections.Counter()
            later = []
            for symbol, origin, _ in symbols:
                path = by_short.get(origin)
                first = FIRST_SHIPPED.get(path)
                if first and version_tuple(system) < version_tuple(first):
                    missing_library[f"{path} (from iOS {first})"] += 1
                elif path and not stubs.exports(path, "armv7", system, symbol):
                    later.append(f"{symbol} ({origin})")
            lines.append(f"  at iOS {system}:")
            for library, count in sorted(missing_library.items()):
                lines.append(f"    {count} symbols from {library}, absent")
            lines.append(f"    {len(later)} symbols the stubs do not export at {system}"
                         + (": " + ", ".join(sorted(later)) if later else ""))
    return lines


def source_files(root):
    for folder in SOURCES:
        base = os.path.join(root, folder)
        for name in sorted(os.listdir(base)):
            if name.endswith((".cpp", ".mm")):
                yield os.path.join(base, name)


def availability_report(root, theos, sdk, system):
    """Interfaces the sources use that the headers mark newer than `system`."""
    found = collections.defaultdict(set)
    pattern = re.compile(r"(?:warning|error): (.*?(?:only available on iOS|unavailable: introduced in iOS) ([\d.]+).*?)"
                         r"(?: \[-W[\w-]+\])?$")
    for source in source_files(root):
        language = "objective-c++" if source.endswith(".mm") else "c++"
        args = ["clang++-19", "-x", language, "-std=c++20", "-stdlib=libc++", "-fsyntax-only",
                "-target", f"armv7-apple-ios{system}", "-isysroot", sdk, "-DLUMIVO_PUBLISHED_HEADERS",
                "-I", root, "-I", os.path.join(theos, "vendor", "include"), "-F", os.path.join(theos, "vendor", "lib"),
                "-Wunguarded-availability", "-Wno-error", "-ferror-limit=0", source]
        out = subprocess.run(args, capture_output=True, text=True).stderr
        for line in out.splitlines():
            m = pattern.search(line)
            if m:
                what = re.sub(r"'([^']*)'.*", r"\1", m.group(1))
                found[(what, m.group(2))].add(os.path.relpath(source, root))
    lines = [f"sources compiled for iOS {system}: {len(found)} interfaces newer than it"]
    for (what, since), files in sorted(found.items(), key=lambda i: version_tuple(i[0][1])):
        lines.append(f"    {what} (iOS {since}): {', '.join(sorted(files))}")
    return lines


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("deb", nargs="?")
    parser.add_argument("--os", action="append", help="older iOS versions to measure against (default 3.0, 4.3)")
    parser.add_argument("--theos", default=os.environ.get("THEOS"))
    try:
        args = parser.parse_args(argv[1:])
    except SystemExit as e:
        return 0 if e.code == 0 else 2
    theos = args.theos or check.kit_theos()
    path = args.deb or check.newest_package(check.ROOT)
    if not theos or not path:
        print("floor.py: needs Theos and a built package (./dev package)", file=sys.stderr)
        return 2
    systems = args.os or ["3.0", "4.3"]
    stubs = check.stubs_of(theos)
    sdk = stubs.sdk
    with tempfile.TemporaryDirectory() as folder:
        lines = binary_report(deb.Package.open(path), stubs, systems, folder)
    lines += availability_report(check.ROOT, theos, sdk, systems[0])
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
