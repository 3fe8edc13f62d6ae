"""The .deb checks: a package laid out from the repository passes, and each
kind of damage a build or an edit could do is caught and named."""
import os
import plistlib
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import check_deb  # noqa: E402
import deb  # noqa: E402
from package_files import ROOT, control_text, make_deb, repository_files  # noqa: E402

PANE = check_deb.PANE
LISTENERS = check_deb.LISTENERS


def failures_of(files=None, control=None, minimum_os="7.0"):
    return check_deb.check_package(deb.Package(make_deb(files, control)), ROOT, minimum_os)


def with_pane(edit):
    files = repository_files()
    pane = plistlib.loads(files[PANE])
    edit(pane)
    files[PANE] = plistlib.dumps(pane)
    return files


def pane_item(pane, key):
    return next(i for i in pane["items"] if i.get("key") == key)


class PackageAsBuilt(unittest.TestCase):
    def test_repository_layout_passes(self):
        self.assertEqual(failures_of(), [])

    def test_binary_encoded_plists_pass_as_a_release_build_may_write_them(self):
        files = repository_files()
        for path in check_deb.SOURCES:
            files[path] = plistlib.dumps(plistlib.loads(files[path]), fmt=plistlib.FMT_BINARY)
        self.assertEqual(failures_of(files), [])


class FileList(unittest.TestCase):
    def test_extra_missing_and_linked_files_are_named(self):
        files = repository_files()
        files["Library/Switches/Lumivo.bundle/.DS_Store"] = b"x"
        del files["Library/Activator/Listeners/com.vantorel.brightnesslistener.down/Info.plist"]
        files["Library/Switches/Lumivo.bundle/Resources"] = ("link", "/var/mobile")
        found = "\n".join(failures_of(files))
        self.assertIn("unexpected file Library/Switches/Lumivo.bundle/.DS_Store", found)
        self.assertIn("missing file Library/Activator/Listeners/com.vantorel.brightnesslistener.down/Info.plist", found)
        self.assertIn("Library/Switches/Lumivo.bundle/Resources is neither a file nor a folder", found)

    def test_a_plist_that_drifted_from_its_source_is_named(self):
        files = repository_files()
        files[check_deb.FILTER] = plistlib.dumps({"Filter": {"Bundles": ["com.apple.springboard", "com.apple.Preferences"]}})
        found = failures_of(files)
        self.assertIn(f"{check_deb.FILTER} differs from extension/Lumivo2.plist", found)
        self.assertIn(f"{check_deb.FILTER}: the filter does not name exactly com.apple.springboard", found)

    def test_switch_without_its_principal_class_or_executable(self):
        files = repository_files()
        info = plistlib.loads(files[check_deb.SWITCH_INFO])
        info["NSPrincipalClass"], info["CFBundleExecutable"] = "OtherSwitch", "Other"
        files[check_deb.SWITCH_INFO] = plistlib.dumps(info)
        found = "\n".join(failures_of(files))
        self.assertIn("principal class 'OtherSwitch', expected 'LumivoSwitch'", found)
        self.assertIn("executable 'Other' is not in the bundle", found)


class ActionsAndIcons(unittest.TestCase):
    def test_icon_of_wrong_size_or_format_and_action_without_its_modes(self):
        files = repository_files()
        up = "Library/Activator/Listeners/com.vantorel.brightnesslistener.up"
        files[f"{up}/icon@2x.png"] = files["Library/Switches/Lumivo.bundle/glyph.pdf"] = files[f"{up}/icon.png"]
        files[f"{up}/Info.plist"] = plistlib.dumps({**plistlib.loads(files[f"{up}/Info.plist"]),
                                                    "compatible-modes": ["springboard"]})
        found = failures_of(files)
        self.assertIn(f"{up}/icon@2x.png: 60x60 pixels, expected 120x120", found)
        self.assertIn("Library/Switches/Lumivo.bundle/glyph.pdf: not a PDF", found)
        self.assertIn(f"{up}/Info.plist: compatible-modes ['springboard'], "
                      "expected ['springboard', 'application', 'lockscreen']", found)


class Control(unittest.TestCase):
    def test_architecture_dependencies_firmware_range_and_icon(self):
        control = control_text(Version="0.1.0", Architecture="iphoneos-arm64", Icon="file:///Library/Lumivo.png",
                               Depends="firmware (>= 5.0), mobilesubstrate (>= 0.9.5000), libactivator, "
                                       "libflipswitch, preferenceloader (>= 2.2.3), applist")
        found = "\n".join(failures_of(control=control))
        self.assertIn("Architecture 'iphoneos-arm64', expected 'iphoneos-arm'", found)
        self.assertIn("does not depend on com.a3tweaks.flipswitch", found)
        self.assertIn("libactivator unversioned, expected (>= 1.8.3)", found)
        self.assertIn("firmware (>= 5.0), expected (>= 7.0) (<< 15.0)", found)
        self.assertIn("Icon 'file:///Library/Lumivo.png' is not a file:/// URL of a file in the package", found)

    def test_version_must_be_the_control_files(self):
        found = "\n".join(failures_of(control=control_text(Version="0.2.0")))
        self.assertIn("Version '0.2.0'", found)
        self.assertEqual(failures_of(control=control_text(Version="0.1.0-3+debug")), [])


class PaneAgainstTheSettingsContract(unittest.TestCase):
    def test_renamed_key_wrong_default_and_wrong_domain(self):
        def edit(pane):
            pane_item(pane, "disablekeyboard")["key"] = "disableKeyboard"
            pane_item(pane, "Increment")["default"] = 0.5
            pane_item(pane, "forceMode")["defaults"] = "com.vantorel.other"
            pane_item(pane, "enabled")["default"] = 1
        found = "\n".join(failures_of(with_pane(edit)))
        self.assertIn("keys ['Increment', 'disableKeyboard', 'disableSpringBoard', 'enabled', 'forceMode']", found)
        self.assertIn("Increment defaults to 0.5, the settings contract to 0.05", found)
        self.assertIn("forceMode is written to 'com.vantorel.other'", found)
        self.assertIn("enabled defaults to 1, the settings contract to True", found)

    def test_a_key_that_announces_no_change(self):
        def edit(pane):
            del pane_item(pane, "disableSpringBoard")["PostNotification"]
        self.assertIn(f"{PANE}: disableSpringBoard does not post com.vantorel.lumivo.preferencechanged",
                      failures_of(with_pane(edit)))

    def test_no_icon_activator_link_or_footer_of_its_own(self):
        def edit(pane):
            pane["entry"]["icon"] = "Other.png"
            pane["items"] = [i for i in pane["items"] if i.get("activatorListener") != LISTENERS[1]]
            del pane["items"][pane["items"].index(pane_item(pane, "forceMode")) - 1]
        found = failures_of(with_pane(edit))
        self.assertIn(f"{PANE}: the entry's icon 'Other.png' is not beside the pane", found)
        self.assertIn(f"{PANE}: no cell opens Activator's page for {LISTENERS[1]}", found)
        self.assertIn(f"{PANE}: forceMode has no group footer of its own", found)

    def test_application_list_writes_the_contracts_keys(self):
        def edit(pane):
            app_list = next(i for i in pane["items"] if "ALSettingsKeyPrefix" in i)
            app_list["ALSettingsKeyPrefix"] = "Disable-"
            app_list["ALSettingsDefaultValue"] = 0
        found = "\n".join(failures_of(with_pane(edit)))
        self.assertIn("ALSettingsKeyPrefix is 'Disable-', expected 'LVDisable-'", found)
        self.assertIn("ALSettingsDefaultValue is 0, expected False", found)


class Contract(unittest.TestCase):
    def test_keys_and_defaults_come_from_the_header(self):
        contract = check_deb.Contract('''
            inline constexpr const char kSettingsPath[] = "/var/mobile/Library/Preferences/a.b.plist";
            inline constexpr const char kChangedNotification[] = "a.b.changed";
            inline constexpr const char kOneKey[] = "one";
            inline constexpr const char kTwoKey[] = "Two";
            inline constexpr const char kAppDisablePrefix[] = "X-";
            inline constexpr bool kOneDefault = true;
            inline constexpr float kTwoDefault = 0.25f;
            inline constexpr bool kAppDisableDefault = false;''')
        self.assertEqual(contract.domain, "a.b")
        self.assertEqual(contract.defaults, {"one": True, "Two": 0.25})
        self.assertIs(contract.app_default, False)


class Reading(unittest.TestCase):
    def test_damaged_archives_are_bad_packages(self):
        good = make_deb()
        for damaged in (b"", b"!<arch>\n", good[:200], b"!<arch>\ndebian-binary   0           0     0     100644  999999999 `\n",
                        good.replace(b"2.0\n", b"3.0\n", 1)):
            with self.assertRaises(deb.BadPackage):
                deb.Package(damaged)

    def test_dependencies_with_versions_and_alternatives(self):
        self.assertEqual(deb.dependencies("firmware (>= 7.0), a | b, firmware (<< 15.0), c"),
                         {"firmware": ["(>= 7.0)", "(<< 15.0)"], "a": [], "b": [], "c": []})


if __name__ == "__main__":
    unittest.main()
