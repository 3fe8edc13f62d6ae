"""Builds packages for the tests: the repository's own files laid out as the
release package lays them out, as a .deb (ar of tar archives), with any
file replaced, added or removed."""
import functools
import io
import os
import subprocess
import sys
import tarfile
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import deb  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
BINARY_STAND_IN = b"\xcf\xfa\xed\xfe not a real binary"


@functools.lru_cache(maxsize=None)
def _staged_data():
    """The data files package/stage_data.sh lays out, as the device build stages them."""
    with tempfile.TemporaryDirectory() as stage:
        subprocess.run([os.path.join(ROOT, "package", "stage_data.sh"), stage], check=True)
        files = {}
        for folder, _, names in os.walk(stage):
            for name in names:
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    files[os.path.relpath(path, stage)] = f.read()
        return files


def repository_files():
    """Path in the package -> bytes, from the repository (binaries stand-ins)."""
    def read(relative):
        with open(os.path.join(ROOT, relative), "rb") as f:
            return f.read()
    files = dict(_staged_data())
    files["Library/MobileSubstrate/DynamicLibraries/Lumivo2.plist"] = read("extension/Lumivo2.plist")
    files["Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib"] = BINARY_STAND_IN
    files["Library/Switches/Lumivo.bundle/Lumivo"] = BINARY_STAND_IN
    return files


def control_text(**changes):
    """package/control with fields changed (None removes one)."""
    with open(os.path.join(ROOT, "package", "control"), encoding="utf-8") as f:
        fields = deb.parse_control(f.read())
    for name, value in changes.items():
        if value is None:
            fields.pop(name, None)
        else:
            fields[name] = value
    return "".join(f"{name}: {value.replace(chr(10), chr(10) + ' ')}\n" for name, value in fields.items())


def _tar(entries):
    buffer = io.BytesIO()
    with tarfile.open(fileobj=buffer, mode="w:gz") as tar:
        folders = set()
        for path in sorted(entries):
            parts = path.split("/")
            for i in range(1, len(parts)):
                folder = "/".join(parts[:i])
                if folder not in folders:
                    folders.add(folder)
                    info = tarfile.TarInfo("./" + folder)
                    info.type, info.mode, info.mtime = tarfile.DIRTYPE, 0o755, int(time.time())
                    tar.addfile(info)
            value = entries[path]
            info = tarfile.TarInfo("./" + path)
            info.mtime = int(time.time())
            if isinstance(value, tuple) and value[0] == "link":
                info.type, info.linkname = tarfile.SYMTYPE, value[1]
                tar.addfile(info)
                continue
            info.size = len(value)
            executable = path.endswith((".dylib", "bundle/Lumivo"))
            info.mode = 0o755 if executable else 0o644
            tar.addfile(info, io.BytesIO(value))
    return buffer.getvalue()


def _ar(members):
    out = bytearray(b"!<arch>\n")
    for name, data in members:
        header = f"{name:<16}{0:<12}{0:<6}{0:<6}{100644:<8}{len(data):<10}`\n".encode("ascii")
        out += header + data + (b"\n" if len(data) & 1 else b"")
    return bytes(out)


def make_deb(files=None, control=None):
    """A package holding `files` (path -> bytes, or ("link", target))."""
    files = repository_files() if files is None else files
    control = control_text(Version="0.1.0") if control is None else control
    control_tar = io.BytesIO()
    with tarfile.open(fileobj=control_tar, mode="w:gz") as tar:
        data = control.encode("utf-8")
        info = tarfile.TarInfo("./control")
        info.size = len(data)
        tar.addfile(info, io.BytesIO(data))
    return _ar([("debian-binary", b"2.0\n"), ("control.tar.gz", control_tar.getvalue()),
                ("data.tar.gz", _tar(files))])
