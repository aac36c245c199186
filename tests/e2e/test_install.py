# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The installation: one folder with both programs, the help file and the sample; launchers,
menu entries and icons; the installed drill program keeps its settings in its own folder."""

import configparser
import os
import shutil
import subprocess
import tempfile
import unittest

import kx

BUILD = os.environ.get("KX_E2E_BUILD", os.path.join(kx.ROOT, "build"))


@unittest.skipUnless(os.path.exists(os.path.join(BUILD, "cmake_install.cmake")),
                     "no configured build folder")
class Installation(kx.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="kx-e2e-prefix-")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True,
                       stdout=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_files_and_menu_entries(self):
        for name in ("Kotobax", "Brelmi", "Kotobax.hlp", "sample.qvw"):
            self.assertTrue(os.path.isfile(self.path("lib", "kotobax", name)), name)
        with open(self.path("lib", "kotobax", "sample.qvw"), "rb") as f, \
                open(os.path.join(kx.ROOT, "examples", "sample.qvw"), "rb") as g:
            self.assertEqual(f.read(), g.read())
        for name in ("kotobax", "brelmi"):
            with self.subTest(name):
                self.assertTrue(os.access(self.path("bin", name), os.X_OK))
                self.assertTrue(os.path.isfile(
                    self.path("share", "icons", "hicolor", "scalable", "apps", name + ".svg")))
                entry_file = self.path("share", "applications", name + ".desktop")
                entry = configparser.ConfigParser(interpolation=None)
                entry.optionxform = str
                entry.read(entry_file, encoding="utf-8")
                group = entry["Desktop Entry"]
                self.assertEqual(group["Exec"], self.path("bin", name) + " %f")
                self.assertEqual(group["Icon"], name)
                self.assertIn("GenericName[ja]", group)
                if shutil.which("desktop-file-validate"):
                    check = subprocess.run(["desktop-file-validate", entry_file],
                                           capture_output=True, text=True)
                    self.assertEqual(check.stdout + check.stderr, "")

    def test_installed_drill_program_keeps_its_settings_beside_itself(self):
        folder = self.path("lib", "kotobax")
        process = subprocess.Popen([self.path("bin", "kotobax")], stdin=subprocess.DEVNULL,
                                   cwd=self.prefix)
        app = kx.App(process.pid, process)
        try:
            self.assertEqual(app.node.description, os.path.join(folder, "Kotobax"))
            app.window("Kotobax4").wait_active()
            kx.keys("alt+m", "x")
            app.wait_exit()
        finally:
            app.kill()
        with open(os.path.join(folder, kx.SETTINGS), "rb") as f:
            settings = f.read()
        self.assertEqual(settings, kx.ansi(folder + "/").ljust(512, b" ") + bytes([0, 1, 0, 0]))


if __name__ == "__main__":
    unittest.main()
