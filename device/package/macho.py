"""What the package checks read from a Mach-O file, one slice at a time,
through LLVM's tools (llvm-lipo, llvm-otool, llvm-nm and llvm-objdump,
version 19 or unsuffixed) and the file's own bytes.
"""
import os
import re
import shutil
import struct
import subprocess

DYLIB_LOADS = ("LC_LOAD_DYLIB", "LC_LOAD_WEAK_DYLIB", "LC_REEXPORT_DYLIB", "LC_LOAD_UPWARD_DYLIB",
               "LC_LAZY_LOAD_DYLIB")
SUPERBLOB_MAGIC = 0xFADE0CC0
CODE_DIRECTORY_MAGIC = 0xFADE0C02


class ToolMissing(Exception):
    pass


def tool(name):
    """The path of LLVM tool `name` ("nm"), or ToolMissing."""
    for candidate in (f"llvm-{name}-19", f"llvm-{name}"):
        path = shutil.which(candidate)
        if path:
            return path
    theos = os.environ.get("THEOS")
    if theos:
        path = os.path.join(theos, "toolchain", "linux", "iphone", "bin", name)
        if os.access(path, os.X_OK):
            return path
    raise ToolMissing(f"llvm-{name}-19 (or llvm-{name}) is not installed")


def run(name, *args):
    result = subprocess.run([tool(name), *args], capture_output=True, text=True)
    if result.returncode != 0:
        raise ValueError(f"llvm-{name} {' '.join(args)}: {result.stderr.strip()}")
    return result.stdout


class Slice:
    """One architecture of a Mach-O file, read from a thin copy of it."""

    def __init__(self, path, arch, thin_path=None):
        self.path = path
        self.arch = arch
        self.thin = thin_path or path
        self._commands = None

    def header(self):
        """(file type, set of flags), e.g. ("DYLIB", {"TWOLEVEL", ...})."""
        out = run("otool", "-hv", self.thin)
        for line in out.splitlines():
            fields = line.split()
            if fields and fields[0].startswith("MH_MAGIC"):
                return fields[4], set(fields[7:])
        raise ValueError(f"{self.path}: no Mach header for {self.arch}")

    def load_commands(self):
        """Each load command as a dict of its otool -l fields, plus its sections."""
        if self._commands is None:
            out = run("otool", "-l", self.thin)
            commands, current, section = [], None, None
            for line in out.splitlines():
                stripped = line.strip()
                if stripped.startswith("Load command"):
                    current = {"sections": []}
                    commands.append(current)
                    section = None
                elif current is None:
                    continue
                elif stripped == "Section":
                    section = {}
                    current["sections"].append(section)
                else:
                    key, _, value = stripped.partition(" ")
                    target = section if section is not None else current
                    target.setdefault(key, value.strip())
            self._commands = commands
        return self._commands

    def commands(self, *kinds):
        return [c for c in self.load_commands() if c.get("cmd") in kinds]

    def install_name(self):
        ids = self.commands("LC_ID_DYLIB")
        return _path(ids[0]["name"]) if ids else None

    def loads(self):
        """(load command, library path) of every library the slice loads, in ordinal order."""
        return [(c["cmd"], _path(c["name"])) for c in self.commands(*DYLIB_LOADS)]

    def minimum_os(self):
        for c in self.commands("LC_VERSION_MIN_IPHONEOS"):
            return c.get("version")
        for c in self.commands("LC_BUILD_VERSION"):
            return c.get("minos")
        return None

    def section_size(self, segment, name):
        for c in self.load_commands():
            for s in c["sections"]:
                if s.get("segname") == segment and s.get("sectname") == name:
                    return int(s.get("size", "0"), 0)
        return 0

    def rpaths(self):
        return [_path(c.get("path", "")) for c in self.commands("LC_RPATH")]

    def undefined(self):
        """(symbol, library short name or None, how it is looked up) for every undefined symbol."""
        out = run("nm", "-m", "-u", self.thin)
        symbols = []
        for line in out.splitlines():
            m = re.match(r"\s*\(undefined\)\s+(?:weak\s+)?external\s+(\S+)(?:\s+\((.*)\))?", line)
            if not m:
                continue
            symbol, origin = m.group(1), m.group(2) or ""
            if origin.startswith("from "):
                symbols.append((symbol, origin[5:], "two-level"))
            elif "dynamically looked up" in origin:
                symbols.append((symbol, None, "dynamic-lookup"))
            else:
                symbols.append((symbol, None, "flat"))
        return symbols

    def weak_imports(self):
        """The undefined symbols imported weakly: null at run time where the system lacks them."""
        out = run("nm", "-m", "-u", self.thin)
        return [m.group(1) for m in re.finditer(r"\(undefined\)\s+weak\s+external\s+(\S+)", out)]

    def defined(self):
        """Names of the symbols the slice defines, with their section, e.g. {"_x": "(__TEXT,__text)"}."""
        out = run("nm", "-m", "-U", self.thin)
        defined = {}
        for line in out.splitlines():
            m = re.match(r"\s*[0-9a-fA-F]+\s+(\([^)]*\))\s+(?:weak\s+)?(?:private\s+)?(?:non-)?external\s+(?:\[.*?\]\s+)?(\S+)", line)
            if m:
                defined[m.group(2)] = m.group(1)
        return defined

    def bind_libraries(self):
        """The library column of every bind and lazy bind: short names, or
        "flat-namespace" and "dynamic-lookup" for binds outside two levels."""
        out = run("objdump", "--macho", "--bind", "--lazy-bind", self.thin)
        libraries, columns = [], None
        for line in out.splitlines():
            fields = line.split()
            if fields[:1] == ["segment"]:
                columns = fields
            elif columns and fields and fields[0].startswith("__") and "dylib" in columns:
                # The symbol is the last field (before a weak import's mark),
                # the library the one before it.
                if fields[-1] == "(weak_import)":
                    fields = fields[:-1]
                libraries.append((fields[-1], fields[-2]))
        return libraries

    def signature(self):
        """The code signature's blob magics, or None when there is none."""
        commands = self.commands("LC_CODE_SIGNATURE")
        if not commands:
            return None
        offset, size = int(commands[0]["dataoff"]), int(commands[0]["datasize"])
        with open(self.thin, "rb") as f:
            f.seek(offset)
            blob = f.read(size)
        if len(blob) < 12 or struct.unpack(">I", blob[:4])[0] != SUPERBLOB_MAGIC:
            return []
        count = struct.unpack(">I", blob[8:12])[0]
        magics = []
        for i in range(min(count, 64)):
            entry = 12 + 8 * i
            if entry + 8 > len(blob):
                break
            blob_offset = struct.unpack(">I", blob[entry + 4:entry + 8])[0]
            if blob_offset + 4 <= len(blob):
                magics.append(struct.unpack(">I", blob[blob_offset:blob_offset + 4])[0])
        return magics


def _path(value):
    """The path of an otool "name /usr/lib/x.dylib (offset 24)" field."""
    return re.sub(r"\s+\(offset \d+\)$", "", value)


def architectures(path):
    return run("lipo", "-archs", path).split()


def slices(path, folder):
    """Every slice of `path`, each copied thin into `folder`."""
    result = []
    with open(path, "rb") as f:
        fat = f.read(4) in (b"\xca\xfe\xba\xbe", b"\xca\xfe\xba\xbf")
    for arch in architectures(path):
        thin = os.path.join(folder, f"{os.path.basename(path)}.{arch}")
        if fat:
            run("lipo", path, "-thin", arch, "-output", thin)
        else:
            shutil.copyfile(path, thin)
        result.append(Slice(path, arch, thin))
    return result


def short_name(install_name):
    """The name nm and objdump give a library: "Foundation", "libc++"."""
    base = os.path.basename(install_name)
    if ".framework/" in install_name:
        return base
    return base.split(".")[0]
