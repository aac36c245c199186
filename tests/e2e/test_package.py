# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The Debian package: what it holds and needs, its metadata passing the desktop's own
validators, word files recognised by their type, and the drill program opening the file it is
started with (as a double-click in the file manager does)."""

import configparser
import glob
import os
import shutil
import subprocess
import tempfile
import unittest

import kx

BUILD = os.environ.get("KX_E2E_BUILD", os.path.join(kx.ROOT, "build"))
MIME = "application/x-kotobax-words"


@unittest.skipUnless(os.path.exists(os.path.join(BUILD, "CPackConfig.cmake"))
                     and shutil.which("dpkg-deb"), "no configured build folder or dpkg-deb")
class Package(kx.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="kx-e2e-deb-")
        subprocess.run(["cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                        "-B", cls.work], check=True, stdout=subprocess.DEVNULL)
        cls.deb = glob.glob(os.path.join(cls.work, "kotobax_*.deb"))[0]
        cls.root = os.path.join(cls.work, "root")
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.root, "usr", *parts)

    def test_contents(self):
        listing = subprocess.run(["dpkg-deb", "--contents", self.deb], check=True,
                                 capture_output=True, text=True).stdout
        for name in ("./usr/lib/kotobax/Kotobax", "./usr/lib/kotobax/Brelmi",
                     "./usr/lib/kotobax/Kotobax.hlp", "./usr/lib/kotobax/sample.qvw",
                     "./usr/bin/kotobax", "./usr/bin/brelmi",
                     "./usr/share/applications/kotobax.desktop",
                     "./usr/share/applications/brelmi.desktop",
                     "./usr/share/icons/hicolor/scalable/apps/kotobax.svg",
                     "./usr/share/mime/packages/kotobax-words.xml",
                     "./usr/share/metainfo/org.kotobax.Kotobax.metainfo.xml",
                     "./usr/share/metainfo/org.kotobax.Brelmi.metainfo.xml",
                     "./usr/share/doc/kotobax/copyright"):
            with self.subTest(name):
                self.assertIn(name, listing)

    def test_runtime_dependencies(self):
        depends = subprocess.run(["dpkg-deb", "-f", self.deb, "Depends"], check=True,
                                 capture_output=True, text=True).stdout
        for package in ("libqt6widgets6", "libqt6printsupport6", "qt6-qpa-plugins",
                        "fonts-noto-cjk", "qt6-translations-l10n"):
            with self.subTest(package):
                self.assertIn(package, depends)

    @unittest.skipUnless(shutil.which("apt-get"), "no apt-get")
    def test_apt_finds_every_dependency(self):
        check = subprocess.run(["apt-get", "install", "--simulate", "-q", self.deb],
                               capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)

    @unittest.skipUnless(shutil.which("appstreamcli"), "no appstreamcli")
    def test_metainfo_validates(self):
        for name in ("Kotobax", "Brelmi"):
            with self.subTest(name):
                check = subprocess.run(
                    ["appstreamcli", "validate", "--no-net",
                     self.path("share", "metainfo", f"org.kotobax.{name}.metainfo.xml")],
                    capture_output=True, text=True)
                self.assertEqual(check.returncode, 0, check.stdout + check.stderr)

    @unittest.skipUnless(shutil.which("desktop-file-validate"), "no desktop-file-validate")
    def test_desktop_entries_open_word_files(self):
        for name in ("kotobax", "brelmi"):
            with self.subTest(name):
                entry_file = self.path("share", "applications", name + ".desktop")
                check = subprocess.run(["desktop-file-validate", entry_file],
                                       capture_output=True, text=True)
                self.assertEqual(check.stdout + check.stderr, "")
                entry = configparser.ConfigParser(interpolation=None)
                entry.optionxform = str
                entry.read(entry_file, encoding="utf-8")
                self.assertEqual(entry["Desktop Entry"]["Exec"], f"/usr/bin/{name} %f")
                self.assertEqual(entry["Desktop Entry"]["MimeType"], MIME + ";")

    @unittest.skipUnless(shutil.which("update-mime-database") and shutil.which("xdg-mime")
                         and shutil.which("gio"), "no shared-mime-info, xdg-utils or gio")
    def test_word_files_have_their_own_type(self):
        data = os.path.join(self.work, "data")
        os.makedirs(os.path.join(data, "mime", "packages"))
        shutil.copy(self.path("share", "mime", "packages", "kotobax-words.xml"),
                    os.path.join(data, "mime", "packages"))
        subprocess.run(["update-mime-database", os.path.join(data, "mime")], check=True)
        env = dict(os.environ, XDG_DATA_HOME=data, XDG_DATA_DIRS="/usr/share",
                   XDG_CURRENT_DESKTOP="GNOME")
        # By name, and by the first line when the name says nothing.
        unnamed = os.path.join(self.work, "words")
        shutil.copy(os.path.join(kx.ROOT, "examples", "sample.qvw"), unnamed)
        for path in (os.path.join(kx.ROOT, "examples", "sample.qvw"), unnamed):
            with self.subTest(path):
                query = subprocess.run(["xdg-mime", "query", "filetype", path], env=env,
                                       capture_output=True, text=True, check=True)
                self.assertEqual(query.stdout.strip(), MIME)


class CommandLine(kx.TestCase):
    def test_drill_program_opens_the_file_it_is_started_with(self):
        folder = kx.ProgramFolder()
        try:
            path = os.path.join(folder.documents, "sample.qvw")
            shutil.copy(os.path.join(kx.ROOT, "examples", "sample.qvw"), path)
            process = subprocess.Popen([os.path.join(folder.path, "Kotobax"), "sample.qvw"],
                                       cwd=folder.documents, stdin=subprocess.DEVNULL)
            app = kx.App(process.pid, process)
            try:
                window = app.window("Kotobax4").wait_active()
                kx.wait_for(lambda: window.text("text", "情報").startswith(
                    "ﾌｧｲﾙをﾛｰﾄﾞしました。"), "the word file to load")
                self.assertIn(path, window.text("text", "情報"))
                kx.keys("ctrl+s")
                app.window("Start!").wait_active()
                kx.keys("Return")
            finally:
                app.kill()
        finally:
            folder.remove()
