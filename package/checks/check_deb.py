"""Checks on the package file itself: control fields, the exact file list,
and the property lists the frameworks read, against the repository's own
files and the settings contract (settings/keys.h).
"""
import os
import plistlib
import re

import deb

LISTENERS = ("com.vantorel.brightnesslistener.up", "com.vantorel.brightnesslistener.down")
PANE = "Library/PreferenceLoader/Preferences/Lumivo2.plist"
FILTER = "Library/MobileSubstrate/DynamicLibraries/Lumivo2.plist"
SWITCH_INFO = "Library/Switches/Lumivo.bundle/Info.plist"
EXECUTABLES = ("Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib", "Library/Switches/Lumivo.bundle/Lumivo")
# The modes in which the event framework offers an action; both work in all.
ACTION_MODES = ["springboard", "application", "lockscreen"]


def _scaled(base, points):
    """A PNG at 1, 2 and 3 pixels per point: path -> its width and height in pixels."""
    return {f"{base}{suffix}.png": points * scale for scale, suffix in ((1, ""), (2, "@2x"), (3, "@3x"))}


# The icons rendered from package/art: path -> size in pixels (square), None
# for the glyph, a PDF the toggle framework scales.
ICONS = {
    "Library/Switches/Lumivo.bundle/glyph.pdf": None,
    **{path: size for name in LISTENERS for base, points in (("icon", 60), ("icon-small", 29))
       for path, size in _scaled(f"Library/Activator/Listeners/{name}/{base}", points).items()},
    **_scaled("Library/PreferenceLoader/Preferences/Lumivo2", 29),
}
FILES = {
    EXECUTABLES[0], FILTER, EXECUTABLES[1], SWITCH_INFO, PANE, *ICONS,
    *(f"Library/Activator/Listeners/{name}/Info.plist" for name in LISTENERS),
}
# Where each property list comes from in the repository.
SOURCES = {
    FILTER: "extension/Lumivo2.plist",
    SWITCH_INFO: "switch/Info.plist",
    PANE: "package/layout/" + PANE,
    **{f"Library/Activator/Listeners/{n}/Info.plist": f"package/layout/Library/Activator/Listeners/{n}/Info.plist"
       for n in LISTENERS},
}
# The packages as published (the toggle framework's package is not named
# after its library), with the oldest versions that have what the package uses.
DEPENDS = {
    "mobilesubstrate": ["(>= 0.9.5000)"],
    "libactivator": ["(>= 1.8.3)"],
    "com.a3tweaks.flipswitch": [],
    "preferenceloader": ["(>= 2.2.3)"],
    "applist": [],
}
# The first release without the frameworks the package builds on (rootless only).
FIRMWARE_BELOW = "15.0"


class Contract:
    """The settings contract as settings/keys.h states it."""

    def __init__(self, header_text):
        strings = dict(re.findall(r'constexpr const char (k\w+)\[\]\s*=\s*"([^"]*)"', header_text))
        values = dict(re.findall(r"constexpr (?:bool|float) (k\w+)\s*=\s*([\w.]+?)f?;", header_text))
        self.path = strings["kSettingsPath"]
        self.notification = strings["kChangedNotification"]
        self.prefix = strings["kAppDisablePrefix"]
        self.domain = os.path.splitext(os.path.basename(self.path))[0]
        # Each kFooKey with a kFooDefault is a key the pane sets.
        self.defaults = {key: _literal(values[name[:-3] + "Default"]) for name, key in strings.items()
                         if name.endswith("Key") and name[:-3] + "Default" in values}
        self.app_default = _literal(values["kAppDisableDefault"])

    @classmethod
    def read(cls, root):
        with open(os.path.join(root, "settings", "keys.h"), encoding="utf-8") as f:
            return cls(f.read())


def _literal(raw):
    return {"true": True, "false": False}[raw] if raw in ("true", "false") else float(raw)


def check_package(package, root, minimum_os):
    """Every failure of `package` (a deb.Package) against the repository at `root`."""
    failures = []
    failures += _check_control(package, root, minimum_os)
    failures += _check_files(package, root)
    failures += _check_plists(package, Contract.read(root))
    return failures


def _check_control(package, root, minimum_os):
    failures = []
    with open(os.path.join(root, "package", "control"), encoding="utf-8") as f:
        source = deb.parse_control(f.read())
    fields = package.fields
    for name in ("Package", "Name", "Architecture", "Depends", "Maintainer", "Section", "Description", "Icon"):
        if fields.get(name) != source.get(name):
            failures.append(f"control: {name} is {fields.get(name)!r}, package/control says {source.get(name)!r}")
    if fields.get("Architecture") != "iphoneos-arm":
        failures.append(f"control: Architecture {fields.get('Architecture')!r}, expected 'iphoneos-arm'")
    if not fields.get("Version", "").startswith(source.get("Version", "?")):
        failures.append(f"control: Version {fields.get('Version')!r} is not package/control's {source.get('Version')!r}")
    depends = deb.dependencies(fields.get("Depends", ""))
    for name, versions in DEPENDS.items():
        if name not in depends:
            failures.append(f"control: does not depend on {name}")
        elif sorted(depends[name]) != sorted(versions):
            failures.append(f"control: {name} {' '.join(depends[name]) or 'unversioned'}, "
                            f"expected {' '.join(versions) or 'unversioned'}")
    icon = fields.get("Icon", "")
    if not icon.startswith("file:///") or icon[len("file:///"):] not in package.files:
        failures.append(f"control: Icon {icon!r} is not a file:/// URL of a file in the package")
    firmware = [f"(>= {minimum_os})", f"(<< {FIRMWARE_BELOW})"]
    if sorted(depends.get("firmware", [])) != sorted(firmware):
        failures.append(f"control: firmware {' '.join(depends.get('firmware', [])) or 'unconstrained'}, "
                        f"expected {' '.join(firmware)}")
    return failures


def _check_files(package, root):
    failures = []
    files = set(package.files)
    for path in sorted(files - FILES):
        failures.append(f"unexpected file {path}")
    for path in sorted(FILES - files):
        failures.append(f"missing file {path}")
    for path, info in sorted(package.entries.items()):
        if not (info.isfile() or info.isdir()):
            failures.append(f"{path} is neither a file nor a folder")
        elif info.isfile():
            executable = bool(info.mode & 0o111)
            if executable != (path in EXECUTABLES):
                failures.append(f"{path}: mode {oct(info.mode & 0o777)}")
    # By value: a release build may turn the XML into the binary encoding.
    for path, source in SOURCES.items():
        if path in package.files:
            with open(os.path.join(root, source), "rb") as f:
                want = plistlib.load(f)
            try:
                same = plistlib.loads(package.files[path]) == want
            except Exception:
                same = False
            if not same:
                failures.append(f"{path} differs from {source}")
    for path, size in ICONS.items():
        data = package.files.get(path)
        if data is None:
            continue  # reported with the file list
        if size is None:
            if not data.startswith(b"%PDF-"):
                failures.append(f"{path}: not a PDF")
        elif data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
            failures.append(f"{path}: not a PNG")
        elif (int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")) != (size, size):
            failures.append(f"{path}: {int.from_bytes(data[16:20], 'big')}x{int.from_bytes(data[20:24], 'big')} "
                            f"pixels, expected {size}x{size}")
    return failures


def _plist(package, path, failures):
    try:
        value = plistlib.loads(package.files[path])
    except KeyError:
        return None
    except Exception as e:
        failures.append(f"{path}: not a property list ({e})")
        return None
    if not isinstance(value, dict):
        failures.append(f"{path}: not a dictionary")
        return None
    return value


def _check_plists(package, contract):
    failures = []
    filter_plist = _plist(package, FILTER, failures)
    if filter_plist is not None and filter_plist.get("Filter", {}).get("Bundles") != ["com.apple.springboard"]:
        failures.append(f"{FILTER}: the filter does not name exactly com.apple.springboard")
    info = _plist(package, SWITCH_INFO, failures)
    if info is not None:
        if info.get("NSPrincipalClass") != "LumivoSwitch":
            failures.append(f"{SWITCH_INFO}: principal class {info.get('NSPrincipalClass')!r}, expected 'LumivoSwitch'")
        executable = info.get("CFBundleExecutable")
        if f"Library/Switches/Lumivo.bundle/{executable}" not in package.files:
            failures.append(f"{SWITCH_INFO}: executable {executable!r} is not in the bundle")
    titles = set()
    for name in LISTENERS:
        path = f"Library/Activator/Listeners/{name}/Info.plist"
        listener = _plist(package, path, failures)
        if listener is None:
            continue
        for key in ("title", "description", "group"):
            if not isinstance(listener.get(key), str) or not listener.get(key):
                failures.append(f"{path}: no {key}")
        if listener.get("compatible-modes") != ACTION_MODES:
            failures.append(f"{path}: compatible-modes {listener.get('compatible-modes')!r}, expected {ACTION_MODES}")
        titles.add(listener.get("title"))
    if len(titles) != len(LISTENERS):
        failures.append("the two actions do not have two different titles")
    pane = _plist(package, PANE, failures)
    if pane is not None:
        failures += _check_pane(pane, contract, package.files)
    return failures


def _check_pane(pane, contract, files):
    failures = []
    items = [i for i in pane.get("items", []) if isinstance(i, dict)]
    icon = pane.get("entry", {}).get("icon") if isinstance(pane.get("entry"), dict) else None
    if not isinstance(icon, str) or f"{os.path.dirname(PANE)}/{icon}" not in files:
        failures.append(f"{PANE}: the entry's icon {icon!r} is not beside the pane")
    for name in LISTENERS:
        if not any(i.get("cell") == "PSLinkCell" and i.get("bundle") == "LibActivator" and i.get("isController") is True
                   and i.get("activatorListener") == name for i in items):
            failures.append(f"{PANE}: no cell opens Activator's page for {name}")
    # Each setting sits in a group of its own, whose footer says what it does.
    group, seen = None, set()
    for item in items:
        if item.get("cell") == "PSGroupCell":
            group = item
        elif isinstance(item.get("key"), str) or "ALSettingsKeyPrefix" in item:
            setting = item.get("key") or "the application list"
            if group is None or not group.get("footerText") or id(group) in seen:
                failures.append(f"{PANE}: {setting} has no group footer of its own")
            seen.add(id(group))
    keyed = {i["key"]: i for i in items if isinstance(i.get("key"), str)}
    if set(keyed) != set(contract.defaults):
        failures.append(f"{PANE}: keys {sorted(keyed)}, the settings contract has {sorted(contract.defaults)}")
    for key, item in keyed.items():
        if item.get("defaults") != contract.domain:
            failures.append(f"{PANE}: {key} is written to {item.get('defaults')!r}, not {contract.domain!r}")
        if item.get("PostNotification") != contract.notification:
            failures.append(f"{PANE}: {key} does not post {contract.notification}")
        if key in contract.defaults:
            want, got = contract.defaults[key], item.get("default")
            same = (got is want) if isinstance(want, bool) else (
                isinstance(got, (int, float)) and not isinstance(got, bool) and abs(got - want) < 1e-6)
            if not same:
                failures.append(f"{PANE}: {key} defaults to {got!r}, the settings contract to {want!r}")
    lists = [i for i in items if "ALSettingsKeyPrefix" in i]
    if len(lists) != 1:
        failures.append(f"{PANE}: {len(lists)} application lists, expected 1")
    else:
        app_list = lists[0]
        expected = {"ALSettingsKeyPrefix": contract.prefix, "ALSettingsPath": contract.path,
                    "ALChangeNotification": contract.notification, "ALSettingsDefaultValue": contract.app_default}
        for key, want in expected.items():
            if app_list.get(key) != want or type(app_list.get(key)) is not type(want):
                failures.append(f"{PANE}: application list {key} is {app_list.get(key)!r}, expected {want!r}")
    return failures
