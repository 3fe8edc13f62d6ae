"""Text-based library stubs (.tbd): what each library of an SDK exports.

Reads the YAML subset Apple's and the ecosystem's stubs are written in
(formats 1 to 4, one or more documents per file) without a YAML library,
and answers whether a library, with everything it re-exports, exports a
symbol to one architecture at one deployment target, honouring the
linker's `$ld$hide$os<V>$` and `$ld$add$os<V>$` markers for that target.
"""
import os
import re


class Stub:
    """One library: its install name and, per architecture, its exports."""

    def __init__(self, install_name):
        self.install_name = install_name
        self.symbols = {}     # arch -> set of symbol names
        self.reexports = {}   # arch -> list of install names

    def add(self, arch, names):
        self.symbols.setdefault(arch, set()).update(names)

    def add_reexports(self, arch, libraries):
        self.reexports.setdefault(arch, []).extend(libraries)


def _split_flow(text):
    """The items of a YAML flow sequence '[ a, 'b', c ]'."""
    inner = text.strip()[1:-1]
    items, current, quote = [], "", None
    for c in inner:
        if quote:
            if c == quote:
                quote = None
            else:
                current += c
        elif c in "'\"":
            quote = c
        elif c == ",":
            items.append(current.strip())
            current = ""
        else:
            current += c
    if current.strip():
        items.append(current.strip())
    return items


def _value(text):
    text = text.strip()
    if text.startswith("["):
        return _split_flow(text)
    if len(text) >= 2 and text[0] == text[-1] and text[0] in "'\"":
        return text[1:-1]
    return text


def _logical_lines(lines):
    """Lines with flow sequences that span several lines joined into one."""
    pending = ""
    for line in lines:
        pending = pending + " " + line.strip() if pending else line.rstrip("\n")
        if pending.count("[") <= pending.count("]"):
            yield pending
            pending = ""
    if pending:
        yield pending


def _documents(text):
    """(tag, lines) of each document; the tag is what follows '---'."""
    tag, doc = None, []
    for line in text.splitlines():
        if line.startswith("---") or line.startswith("..."):
            if doc:
                yield tag, doc
            tag = line[3:].strip() if line.startswith("---") else None
            doc = []
        else:
            doc.append(line)
    if doc:
        yield tag, doc


def _parse_document(lines):
    """A document as {key: value}, where a block sequence is a list of dicts."""
    doc, items, item = {}, None, None
    for line in _logical_lines(lines):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        indent = len(line) - len(line.lstrip())
        body = line.strip()
        if indent == 0:
            key, _, rest = body.partition(":")
            if rest.strip():
                doc[key] = _value(rest)
                items = None
            else:
                items = doc[key] = []
            continue
        if items is None:
            continue
        if body.startswith("- "):
            item = {}
            items.append(item)
            body = body[2:]
        if item is not None and ":" in body:
            key, _, rest = body.partition(":")
            item[key.strip()] = _value(rest)
    return doc


_OBJC_PREFIXES = {
    "objc-classes": ("_OBJC_CLASS_$_", "_OBJC_METACLASS_$_"),
    "objc-eh-types": ("_OBJC_EHTYPE_$_",),
    "objc-ivars": ("_OBJC_IVAR_$_",),
}
_PLAIN = ("symbols", "weak-def-symbols", "weak-symbols", "thread-local-symbols")


def _archs(section, doc):
    if "targets" in section:
        return [t.split("-")[0] for t in section["targets"]]
    return section.get("archs", doc.get("archs", []))


def parse(text):
    """Every library the stub text describes."""
    stubs = []
    for tag, lines in _documents(text):
        doc = _parse_document(lines)
        name = doc.get("install-name")
        if not isinstance(name, str):
            continue
        # Formats 1 and 2 write Objective-C names with the symbol's underscore.
        old_objc = tag in (None, "", "!tapi-tbd-v2")
        stub = Stub(name)
        for section in doc.get("exports", []) or []:
            if not isinstance(section, dict):
                continue
            for arch in _archs(section, doc):
                for key in _PLAIN:
                    stub.add(arch, section.get(key, []))
                for key, prefixes in _OBJC_PREFIXES.items():
                    for entry in section.get(key, []):
                        if old_objc and entry.startswith("_"):
                            entry = entry[1:]
                        stub.add(arch, (p + entry for p in prefixes))
                stub.add_reexports(arch, section.get("re-exports", []))
        for section in doc.get("reexported-libraries", []) or []:
            if isinstance(section, dict):
                for arch in _archs(section, doc):
                    stub.add_reexports(arch, section.get("libraries", []))
        stubs.append(stub)
    return stubs


class Library:
    """Stubs by install name: those given, those under some folders, and
    those of an SDK, read when first asked for."""

    def __init__(self, stubs=(), sdk=None):
        self.stubs = {}
        self.sdk = sdk
        self._read = set()
        for stub in stubs:
            self.add(stub)

    def add(self, stub):
        known = self.stubs.get(stub.install_name)
        if known is None:
            self.stubs[stub.install_name] = stub
            return
        for arch, names in stub.symbols.items():
            known.add(arch, names)
        for arch, libraries in stub.reexports.items():
            known.add_reexports(arch, libraries)

    def read_file(self, path):
        real = os.path.realpath(path)
        if real in self._read:
            return
        self._read.add(real)
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            return
        for stub in parse(text):
            self.add(stub)

    @classmethod
    def scan(cls, folders, sdk=None):
        """Every stub under `folders`; an SDK's are read as they are needed."""
        library = cls(sdk=sdk)
        for folder in folders:
            for root, _, files in os.walk(folder, followlinks=True):
                for name in files:
                    if name.endswith(".tbd"):
                        library.read_file(os.path.join(root, name))
        return library

    def _stub(self, install_name):
        if install_name not in self.stubs and self.sdk:
            base = os.path.join(self.sdk, install_name.lstrip("/"))
            for path in (os.path.splitext(base)[0] + ".tbd", base + ".tbd"):
                if os.path.isfile(path):
                    self.read_file(path)
        return self.stubs.get(install_name)

    def __contains__(self, install_name):
        return self._stub(install_name) is not None

    def exports(self, install_name, arch, os_version, symbol, _seen=None):
        """Whether `install_name` (with its re-exports) exports `symbol` to
        `arch` at deployment target `os_version` ("7.0")."""
        seen = _seen if _seen is not None else set()
        if install_name in seen:
            return False
        seen.add(install_name)
        stub = self._stub(install_name)
        if stub is None:
            return False
        names = stub.symbols.get(arch, set())
        marker = f"$os{normal_version(os_version)}${symbol}"
        if "$ld$add" + marker in names:
            return True
        if symbol in names and "$ld$hide" + marker not in names:
            return True
        return any(self.exports(lib, arch, os_version, symbol, seen) for lib in stub.reexports.get(arch, []))


def normal_version(version):
    """"7.0.0" and "7" as "7.0", the form the linker's markers use."""
    parts = re.findall(r"\d+", version)[:3]
    while len(parts) > 2 and parts[-1] == "0":
        parts.pop()
    if len(parts) == 1:
        parts.append("0")
    return ".".join(parts)
