"""What the binary tools say about each slice of a Mach-O file: LLVM's
llvm-lipo, llvm-objdump and llvm-nm (version 19 or unsuffixed), and ldid
for the code signature. The file's bytes are read by the tools only.
"""
import os
import re
import shutil
import subprocess

DYLIB_LOADS = ("LC_LOAD_DYLIB", "LC_LOAD_WEAK_DYLIB", "LC_REEXPORT_DYLIB", "LC_LOAD_UPWARD_DYLIB",
               "LC_LAZY_LOAD_DYLIB")


class ToolMissing(Exception):
    pass


def tool(name):
    """The path of LLVM tool `name` ("nm"), or ToolMissing."""
    for candidate in (f"llvm-{name}-19", f"llvm-{name}"):
        path = shutil.which(candidate)
        if path:
            return path
    raise ToolMissing(f"llvm-{name}-19 (or llvm-{name}) is not installed")


def ldid(theos=None):
    """The path of ldid: on the PATH, else Theos's toolchain's; or ToolMissing."""
    path = shutil.which("ldid")
    if path:
        return path
    if theos:
        path = os.path.join(theos, "toolchain", "linux", "iphone", "bin", "ldid")
        if os.access(path, os.X_OK):
            return path
    raise ToolMissing("ldid is neither on the PATH nor in Theos's toolchain")


def run(command):
    """The standard output of `command`; ValueError with its error when it fails."""
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise ValueError(f"{os.path.basename(command[0])}: {result.stderr.strip() or 'failed'}")
    return result.stdout


class Slice:
    """One architecture of a Mach-O file (thin or universal)."""

    def __init__(self, path, arch, ldid_path):
        self.path = path
        self.arch = arch
        self._ldid = ldid_path
        self._header = None
        self._commands = None
        self._symbols = None

    def _private_headers(self):
        """The Mach header and each load command (a dict of its fields, with its sections)."""
        out = run([tool("objdump"), "--macho", "--private-headers", f"--arch={self.arch}", self.path])
        lines = iter(out.splitlines())
        commands, current, section, header = [], None, None, None
        for line in lines:
            stripped = line.strip()
            if stripped.startswith("magic ") and header is None:
                fields = next(lines, "").split()
                header = (fields[4], set(fields[7:])) if len(fields) >= 7 else None
            elif stripped.startswith("Load command"):
                current, section = {"sections": []}, None
                commands.append(current)
            elif current is None:
                continue
            elif stripped == "Section":
                section = {}
                current["sections"].append(section)
            else:
                key, _, value = stripped.partition(" ")
                (section if section is not None else current).setdefault(key, value.strip())
        if header is None:
            raise ValueError(f"{self.path}: no Mach header for {self.arch}")
        self._header, self._commands = header, commands

    def header(self):
        """(file type, set of flags), e.g. ("DYLIB", {"TWOLEVEL", ...})."""
        if self._header is None:
            self._private_headers()
        return self._header

    def commands(self, *kinds):
        if self._commands is None:
            self._private_headers()
        return [c for c in self._commands if not kinds or c.get("cmd") in kinds]

    def install_name(self):
        ids = self.commands("LC_ID_DYLIB")
        return _path(ids[0].get("name", "")) if ids else None

    def loads(self):
        """(load command, library path) of every library the slice loads."""
        return [(c["cmd"], _path(c.get("name", ""))) for c in self.commands(*DYLIB_LOADS)]

    def rpaths(self):
        return [_path(c.get("path", "")) for c in self.commands("LC_RPATH")]

    def minimum_os(self):
        for c in self.commands("LC_VERSION_MIN_IPHONEOS"):
            return c.get("version")
        for c in self.commands("LC_BUILD_VERSION"):
            return c.get("minos")
        return None

    def section_size(self, segment, name):
        for c in self.commands():
            for s in c["sections"]:
                if s.get("segname") == segment and s.get("sectname") == name:
                    return int(s.get("size", "0"), 0)
        return 0

    def signature(self):
        """None without a code signature, else whether it holds a code directory
        (taken as true when there is no ldid to read it with)."""
        if not self.commands("LC_CODE_SIGNATURE"):
            return None
        if self._ldid is None:
            return True
        try:
            out = run([self._ldid, "-arch", self.arch, "-h", self.path])
        except ValueError:
            return False
        return any(line.startswith("CodeDirectory ") for line in out.splitlines())

    def _nm(self):
        if self._symbols is None:
            self._symbols = run([tool("nm"), "-m", f"--arch={self.arch}", self.path]).splitlines()
        return self._symbols

    def undefined(self):
        """(symbol, how it is looked up: "two-level", "flat" or "dynamic-lookup") for every undefined symbol."""
        symbols = []
        for line in self._nm():
            m = re.match(r"\s*\(undefined\)\s+(?:weak\s+)?external\s+(\S+)(?:\s+\((.*)\))?", line)
            if m:
                origin = m.group(2) or ""
                kind = ("two-level" if origin.startswith("from ") else
                        "dynamic-lookup" if "dynamically looked up" in origin else "flat")
                symbols.append((m.group(1), kind))
        return symbols

    def weak_imports(self):
        """The undefined symbols imported weakly: null at run time where the system lacks them."""
        return [m.group(1) for line in self._nm()
                if (m := re.match(r"\s*\(undefined\)\s+weak\s+external\s+(\S+)", line))]

    def defined(self):
        """The symbols the slice defines, with their section, e.g. {"_x": "(__TEXT,__text)"}."""
        defined = {}
        for line in self._nm():
            m = re.match(r"\s*[0-9a-fA-F]+\s+(\([^)]*\))\s+(?:weak\s+)?(?:private\s+)?(?:non-)?external\s+"
                         r"(?:\[.*?\]\s+)?(\S+)", line)
            if m:
                defined[m.group(2)] = m.group(1)
        return defined


def _path(value):
    """The path of an objdump "name /usr/lib/x.dylib (offset 24)" field."""
    return re.sub(r"\s+\(offset \d+\)$", "", value)


def slices(path, ldid_path):
    """Every slice of the Mach-O file at `path`; ValueError when the tools cannot read it."""
    return [Slice(path, arch, ldid_path) for arch in run([tool("lipo"), "-archs", path]).split()]
