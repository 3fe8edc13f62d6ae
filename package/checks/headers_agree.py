#!/usr/bin/env python3
"""Proves that our own declarations of the frameworks (adapter/include) say
what the ecosystem's published headers say, for everything we declare:
the same classes and protocols with the same selectors, argument and
return types, the same typedefs and enumerations, the same C signatures.

The Linux check compiles against our declarations; the device build
against the published ones. A difference means the check tests code that
differs from what runs on a device, so it fails the build.

Usage: headers_agree.py --theos DIR --sdk DIR [--arch armv7] [--arch arm64]
Exit status: 0 agree, 1 they differ (each difference is printed), 2 bad
input or no libclang Python bindings (Debian: python3-clang-19).
"""
import argparse
import glob
import os
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
# adapter/frameworks/<name> includes adapter/include/<ours> or the published header.
WRAPPERS = {"activator.h": "Activator.h", "toggles.h": "Flipswitch.h", "substrate.h": "Substrate.h",
            "graphics_services.h": "GraphicsServices.h"}


def load_clang():
    try:
        import clang.cindex as cindex
    except ImportError:
        # Debian's bindings, when another Python runs this.
        for folder in ("/usr/lib/python3/dist-packages",):
            if os.path.isdir(os.path.join(folder, "clang")) and folder not in sys.path:
                sys.path.append(folder)
        import clang.cindex as cindex
    if not cindex.Config.loaded:
        for pattern in ("/usr/lib/llvm-19/lib/libclang-19.so*", "/usr/lib/llvm-19/lib/libclang.so*",
                        "/usr/lib/x86_64-linux-gnu/libclang-19.so*"):
            found = sorted(glob.glob(pattern))
            if found:
                cindex.Config.set_library_file(found[0])
                break
    return cindex


class Declarations:
    """What one translation unit declares, keyed so that the two can be compared."""

    def __init__(self):
        self.methods = {}    # (container, "-sel:" or "+sel") -> signature
        self.containers = set()
        self.functions = {}  # name -> signature
        self.types = {}      # typedef name -> type key


def type_key(cindex, t):
    """A comparable description of a type: its canonical spelling, or for an
    enumeration its underlying type and constants."""
    c = t.get_canonical()
    if c.kind == cindex.TypeKind.ENUM:
        decl = c.get_declaration()
        constants = tuple((e.spelling, e.enum_value) for e in decl.get_children()
                          if e.kind == cindex.CursorKind.ENUM_CONSTANT_DECL)
        return ("enum", decl.enum_type.get_canonical().spelling, constants)
    if c.kind == cindex.TypeKind.POINTER:
        return ("pointer", type_key(cindex, c.get_pointee()))
    return c.spelling


def _property_methods(cindex, cursor):
    """The accessors a property declares: [(selector, result, [arguments])]."""
    tokens = [t.spelling for t in cursor.get_tokens()]
    getter, setter, readonly = cursor.spelling, None, "readonly" in tokens
    for i, token in enumerate(tokens[:-2]):
        if token == "getter" and tokens[i + 1] == "=":
            getter = tokens[i + 2]
        if token == "setter" and tokens[i + 1] == "=":
            setter = tokens[i + 2] + ":"
    kind = type_key(cindex, cursor.type)
    methods = [(getter, kind, [])]
    if not readonly:
        name = cursor.spelling
        methods.append((setter or f"set{name[:1].upper()}{name[1:]}:", "void", [kind]))
    return methods


def _top_level(cindex, cursor):
    """The declarations at file scope, including those inside extern "C"."""
    for child in cursor.get_children():
        if child.kind in (cindex.CursorKind.LINKAGE_SPEC, cindex.CursorKind.UNEXPOSED_DECL):
            yield from _top_level(cindex, child)
        else:
            yield child


def collect(cindex, unit, only_files=None):
    found = Declarations()
    K = cindex.CursorKind
    for cursor in _top_level(cindex, unit.cursor):
        location = cursor.location.file
        if only_files is not None and (location is None or os.path.realpath(location.name) not in only_files):
            continue
        if cursor.kind in (K.OBJC_INTERFACE_DECL, K.OBJC_PROTOCOL_DECL, K.OBJC_CATEGORY_DECL):
            if cursor.kind == K.OBJC_CATEGORY_DECL:
                container = next((c.spelling for c in cursor.get_children() if c.kind == K.OBJC_CLASS_REF), None)
            else:
                container = cursor.spelling
            prefix = "@protocol " if cursor.kind == K.OBJC_PROTOCOL_DECL else ""
            container = prefix + (container or "")
            found.containers.add(container)
            for member in cursor.get_children():
                if member.kind in (K.OBJC_INSTANCE_METHOD_DECL, K.OBJC_CLASS_METHOD_DECL):
                    sign = "-" if member.kind == K.OBJC_INSTANCE_METHOD_DECL else "+"
                    found.methods[(container, sign + member.spelling)] = (
                        type_key(cindex, member.result_type),
                        [type_key(cindex, a.type) for a in member.get_arguments()])
                elif member.kind == K.OBJC_PROPERTY_DECL:
                    for selector, result, arguments in _property_methods(cindex, member):
                        found.methods.setdefault((container, "-" + selector), (result, arguments))
        elif cursor.kind == K.FUNCTION_DECL:
            t = cursor.type
            found.functions[cursor.spelling] = (
                type_key(cindex, t.get_result()), [type_key(cindex, a) for a in t.argument_types()],
                t.is_function_variadic())
        elif cursor.kind == K.TYPEDEF_DECL:
            found.types[cursor.spelling] = type_key(cindex, cursor.underlying_typedef_type)
    return found


def resource_dir():
    """libclang does not always find its own builtin headers (stdarg.h)."""
    for compiler in ("clang-19", "clang"):
        try:
            out = subprocess.run([compiler, "-print-resource-dir"], capture_output=True, text=True)
        except OSError:
            continue
        if out.returncode == 0 and os.path.isdir(out.stdout.strip()):
            return ["-resource-dir", out.stdout.strip()]
    return []


def parse(cindex, arch, sdk, theos, published):
    wrappers = "".join(f'#include "adapter/frameworks/{w}"\n' for w in WRAPPERS)
    args = ["-x", "objective-c++", "-std=c++20", "-target", f"{arch}-apple-ios7.0", "-isysroot", sdk,
            "-I", ROOT, "-I", os.path.join(theos, "vendor", "include"), "-F", os.path.join(theos, "vendor", "lib"),
            "-fno-objc-arc", "-Wno-everything"]
    args += resource_dir()
    if published:
        args.append("-DLUMIVO_PUBLISHED_HEADERS")
    unit = cindex.TranslationUnit.from_source("agree.mm", args, unsaved_files=[("agree.mm", wrappers)])
    errors = [d for d in unit.diagnostics if d.severity >= cindex.Diagnostic.Error]
    if errors:
        raise ValueError("; ".join(f"{d.location.file}:{d.location.line}: {d.spelling}" for d in errors[:5]))
    return unit


def differences(ours, theirs):
    """Each way `ours` differs from `theirs`, as sentences."""
    out = []
    for (container, selector), signature in sorted(ours.methods.items()):
        if container not in theirs.containers:
            out.append(f"{container}: not declared by the published headers")
            continue
        other = theirs.methods.get((container, selector))
        if other is None:
            out.append(f"{container} {selector}: not declared by the published headers")
        elif other != signature:
            out.append(f"{container} {selector}: ours {_show(signature)}, published {_show(other)}")
    for name, signature in sorted(ours.functions.items()):
        other = theirs.functions.get(name)
        if other is None:
            out.append(f"{name}(): not declared by the published headers")
        elif other != signature:
            out.append(f"{name}(): ours {_show(signature)}, published {_show(other)}")
    for name, key in sorted(ours.types.items()):
        other = theirs.types.get(name)
        if other is None:
            out.append(f"typedef {name}: not declared by the published headers")
        elif other != key:
            out.append(f"typedef {name}: ours {_show(key)}, published {_show(other)}")
    return sorted(set(out))


def _show(value):
    return repr(value).replace("'", "")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--theos", default=os.environ.get("THEOS"), help="the Theos installation (default $THEOS)")
    parser.add_argument("--sdk", help="the iOS SDK (default: $THEOS/sdks/iPhoneOS11.4.sdk)")
    parser.add_argument("--arch", action="append", help="architectures to compare for (default armv7 and arm64)")
    try:
        args = parser.parse_args(argv[1:])
    except SystemExit as e:
        return 0 if e.code == 0 else 2
    if not args.theos or not os.path.isdir(os.path.join(args.theos, "vendor", "include")):
        print("headers_agree.py: no Theos with vendor/include (set THEOS or --theos)", file=sys.stderr)
        return 2
    sdk = args.sdk or os.path.join(args.theos, "sdks", "iPhoneOS11.4.sdk")
    try:
        cindex = load_clang()
    except Exception as e:
        print(f"headers_agree.py: libclang's Python bindings are missing ({e}); "
              "install python3-clang-19 (Debian) or the libclang package (pip)", file=sys.stderr)
        return 2
    ours_files = {os.path.realpath(os.path.join(ROOT, "adapter", "include", h)) for h in WRAPPERS.values()}
    problems = []
    for arch in args.arch or ["armv7", "arm64"]:
        try:
            ours = collect(cindex, parse(cindex, arch, sdk, args.theos, False), ours_files)
            theirs = collect(cindex, parse(cindex, arch, sdk, args.theos, True))
        except ValueError as e:
            print(f"headers_agree.py ({arch}): the headers do not compile: {e}", file=sys.stderr)
            return 2
        if not ours.methods or not ours.functions:
            print(f"headers_agree.py ({arch}): found none of our declarations", file=sys.stderr)
            return 2
        problems += [f"{arch}: {d}" for d in differences(ours, theirs)]
    for problem in problems:
        print(f"headers differ: {problem}")
    if problems:
        return 1
    print(f"headers agree: adapter/include and the published headers "
          f"({len(ours.methods)} methods, {len(ours.functions)} functions, {len(ours.types)} types)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
