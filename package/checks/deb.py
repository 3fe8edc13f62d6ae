"""Reads a Debian package without dpkg: its control fields and the files of
its data archive (ar archive of tar archives, compressed with gzip, xz,
lzma or bzip2, or not at all).
"""
import bz2
import gzip
import io
import lzma
import tarfile

AR_MAGIC = b"!<arch>\n"
# The packages here are a few megabytes; anything far larger is not one.
MAX_MEMBER = 256 * 1024 * 1024


class BadPackage(Exception):
    pass


def _members(data):
    if not data.startswith(AR_MAGIC):
        raise BadPackage("not an ar archive")
    offset, members = len(AR_MAGIC), {}
    while offset + 60 <= len(data):
        header = data[offset:offset + 60]
        name = header[:16].decode("ascii", "replace").strip().rstrip("/")
        try:
            size = int(header[48:58].decode("ascii").strip())
        except ValueError:
            raise BadPackage("damaged ar member header")
        if size < 0 or size > MAX_MEMBER or offset + 60 + size > len(data):
            raise BadPackage(f"ar member {name} runs past the end")
        members[name] = data[offset + 60:offset + 60 + size]
        offset += 60 + size + (size & 1)
    return members


def _decompress(name, data):
    if name.endswith(".gz"):
        return gzip.decompress(data)
    if name.endswith((".xz", ".lzma")):
        return lzma.decompress(data, format=lzma.FORMAT_AUTO)
    if name.endswith(".bz2"):
        return bz2.decompress(data)
    if name.endswith(".tar"):
        return data
    raise BadPackage(f"{name}: compression not supported here")


def _tar(members, stem):
    for name, data in members.items():
        if name.startswith(stem + ".tar"):
            try:
                return tarfile.open(fileobj=io.BytesIO(_decompress(name, data)))
            except (OSError, EOFError, lzma.LZMAError, tarfile.TarError) as e:
                raise BadPackage(f"{name}: {e}")
    raise BadPackage(f"no {stem}.tar member")


class Package:
    """A package's control fields and data files, by path without "./"."""

    def __init__(self, data):
        members = _members(data)
        if members.get("debian-binary", b"").strip() != b"2.0":
            raise BadPackage("not a version 2.0 Debian package")
        control = _tar(members, "control")
        self.control_text = self._read(control, "control").decode("utf-8")
        self.fields = parse_control(self.control_text)
        archive = _tar(members, "data")
        self.entries = {}   # path -> tarfile.TarInfo
        self.files = {}     # path -> bytes, regular files only
        for info in archive.getmembers():
            path = info.name[2:] if info.name.startswith("./") else info.name
            path = path.rstrip("/")
            if not path or path == ".":
                continue
            self.entries[path] = info
            if info.isfile():
                self.files[path] = archive.extractfile(info).read()

    @staticmethod
    def _read(archive, name):
        for info in archive.getmembers():
            if info.name in (name, "./" + name) and info.isfile():
                return archive.extractfile(info).read()
        raise BadPackage(f"no {name} in the control archive")

    @classmethod
    def open(cls, path):
        with open(path, "rb") as f:
            data = f.read(MAX_MEMBER + 1)
        if len(data) > MAX_MEMBER:
            raise BadPackage("too large for a package of this project")
        return cls(data)


def parse_control(text):
    """Control fields by name; continuation lines are joined with newlines."""
    fields, last = {}, None
    for line in text.splitlines():
        if line[:1] in (" ", "\t") and last:
            fields[last] += "\n" + line.strip()
        elif ":" in line:
            last, _, value = line.partition(":")
            last = last.strip()
            fields[last] = value.strip()
    return fields


def dependencies(field):
    """The version constraints of each package a Depends field names:
    "a (>= 1), a (<< 2), b | c" -> {"a": ["(>= 1)", "(<< 2)"], "b": [], "c": []}."""
    names = {}
    for group in field.split(","):
        for alternative in group.split("|"):
            alternative = alternative.strip()
            if alternative:
                name, _, version = alternative.partition(" ")
                constraints = names.setdefault(name, [])
                if version.strip():
                    constraints.append(version.strip())
    return names
