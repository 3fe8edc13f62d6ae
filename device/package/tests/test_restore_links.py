"""Restoring links in a kit whose links were copied as files: what is one
is made a link again, what only looks like one is left alone."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import restore_links  # noqa: E402


def quietly(function, *args):
    with contextlib.redirect_stdout(io.StringIO()), contextlib.redirect_stderr(io.StringIO()):
        return function(*args)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


class Restore(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = os.path.join(self.folder.name, "theos")
        os.makedirs(os.path.join(self.root, "makefiles"))

    def tearDown(self):
        self.folder.cleanup()

    def path(self, relative):
        return os.path.join(self.root, relative)

    def test_link_files_become_links_including_links_to_links(self):
        write(self.path("include/pthread/pthread.h"), "/* the header */\n")
        write(self.path("include/pthread.h"), "pthread/pthread.h")
        write(self.path("lib/Kit.framework/Kit.tbd"), "--- stub\n")
        write(self.path("lib/libkit.tbd"), "Kit.framework/Kit.tbd\n")
        write(self.path("lib/libkit.1.tbd"), "libkit.tbd")
        self.assertEqual(quietly(restore_links.main, ["restore_links.py", self.root]), 0)
        for link, target in (("include/pthread.h", "pthread/pthread.h"), ("lib/libkit.tbd", "Kit.framework/Kit.tbd"),
                             ("lib/libkit.1.tbd", "libkit.tbd")):
            self.assertTrue(os.path.islink(self.path(link)), link)
            self.assertEqual(os.readlink(self.path(link)), target)
        with open(self.path("lib/libkit.1.tbd")) as f:
            self.assertEqual(f.read(), "--- stub\n")
        self.assertEqual(quietly(restore_links.restore, self.root), 0, "a second run changes nothing")

    def test_files_that_only_look_like_links_stay(self):
        write(self.path("a/real.h"), "x")
        cases = {"a/missing.h": "nothing/here.h", "a/escape.h": "../../../../etc/passwd",
                 "a/absolute.h": "/etc/passwd", "a/two_lines.h": "real.h\nreal.h\n", "a/spaced.h": "real .h",
                 "a/self.h": "self.h"}
        for name, text in cases.items():
            write(self.path(name), text)
        quietly(restore_links.restore, self.root)
        for name, text in cases.items():
            self.assertFalse(os.path.islink(self.path(name)), name)
            with open(self.path(name)) as f:
                self.assertEqual(f.read(), text)

    def test_an_sdk_linked_from_a_read_only_kit_is_copied_before_mending(self):
        kit_sdk = os.path.join(self.folder.name, "kit", "Phone.sdk")
        write(os.path.join(kit_sdk, "usr/include/pthread/pthread.h"), "/* header */")
        write(os.path.join(kit_sdk, "usr/include/pthread.h"), "pthread/pthread.h")
        os.makedirs(self.path("sdks"))
        os.symlink(kit_sdk, self.path("sdks/Phone.sdk"))
        quietly(restore_links.main, ["restore_links.py", self.root])
        self.assertFalse(os.path.islink(self.path("sdks/Phone.sdk")))
        self.assertTrue(os.path.islink(self.path("sdks/Phone.sdk/usr/include/pthread.h")))
        self.assertFalse(os.path.islink(os.path.join(kit_sdk, "usr/include/pthread.h")), "the kit itself is untouched")

    def test_not_a_theos_folder_is_bad_input(self):
        self.assertEqual(quietly(restore_links.main, ["restore_links.py", self.folder.name]), 2)


if __name__ == "__main__":
    unittest.main()
