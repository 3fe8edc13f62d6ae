#!/usr/bin/env python3
"""Turns link files back into symbolic links in a Theos installation.

A kit copied through a tool that does not keep symbolic links leaves each
link as a small text file holding its target ("pthread/pthread.h"); the
compiler then reads that path as C, and the linker finds no symbols in a
stub that only names another. This finds such files under THEOS (and in the
SDKs it points to, which it first copies in when they are links into a
read-only kit) and makes them links again. A file is taken for a link only
when it is one short line naming an existing file or folder beside it that
stays inside the tree. Safe to rerun.

Usage: restore_links.py THEOS
"""
import os
import shutil
import sys

MAX_LINK_FILE = 256


def link_target(path, root):
    """The target a link file names, or None when the file is not one."""
    try:
        if os.path.islink(path) or os.path.getsize(path) > MAX_LINK_FILE:
            return None
        with open(path, "rb") as f:
            text = f.read().decode("ascii")
    except (OSError, UnicodeDecodeError):
        return None
    target = text.strip()
    if not target or any(c.isspace() for c in target) or target.startswith("/"):
        return None
    if text not in (target, target + "\n"):
        return None
    resolved = os.path.realpath(os.path.join(os.path.dirname(path), target))
    if resolved == os.path.realpath(path) or not os.path.exists(resolved):
        return None
    if os.path.commonpath([resolved, os.path.realpath(root)]) != os.path.realpath(root):
        return None
    return target


def restore(root):
    """Restores every link file under `root`; returns how many."""
    restored = 0
    # Repeat until nothing changes: a link may name another link file.
    while True:
        found = []
        for folder, _, files in os.walk(root):
            found += [(p, t) for p in (os.path.join(folder, f) for f in files)
                      if (t := link_target(p, root)) is not None]
        if not found:
            return restored
        for path, target in found:
            os.chmod(os.path.dirname(path), 0o755)
            os.remove(path)
            os.symlink(target, path)
            restored += 1


def own_sdks(theos):
    """Replaces SDK links into another tree with copies, so they can be mended."""
    sdks = os.path.join(theos, "sdks")
    if not os.path.isdir(sdks):
        return
    for name in os.listdir(sdks):
        path = os.path.join(sdks, name)
        if name.endswith(".sdk") and os.path.islink(path):
            source = os.path.realpath(path)
            if not needs_mending(source):
                continue
            copy = path + ".copy"
            shutil.rmtree(copy, ignore_errors=True)
            shutil.copytree(source, copy, symlinks=True)
            for folder, dirs, _ in os.walk(copy):
                for d in dirs:
                    os.chmod(os.path.join(folder, d), 0o755)
            os.remove(path)
            os.rename(copy, path)


def needs_mending(root):
    for folder, _, files in os.walk(root):
        if any(link_target(os.path.join(folder, f), root) for f in files):
            return True
    return False


def main(argv):
    if len(argv) != 2 or argv[1] in ("-h", "--help"):
        print(__doc__.strip())
        return 0 if len(argv) == 2 else 2
    theos = argv[1]
    if not os.path.isdir(os.path.join(theos, "makefiles")):
        print(f"restore_links: {theos} is not a Theos installation", file=sys.stderr)
        return 2
    own_sdks(theos)
    count = restore(theos)
    for name in sorted(os.listdir(os.path.join(theos, "sdks"))) if os.path.isdir(os.path.join(theos, "sdks")) else []:
        count += restore(os.path.join(theos, "sdks", name))
    if count:
        print(f"restored {count} symbolic links in {theos}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
