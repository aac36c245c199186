# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""One learner, two machines: two homes whose sync folders Syncthing keeps the same. A drill at
one reaches the other's history when it starts, and back again, as if every answer had been
given on one machine."""

import configparser
import glob
import os
import shutil
import sqlite3
import tempfile

import kx
import syncthing
from kx import keys, type_text

DRILL_TITLE = "Kotobax4"
RIGHTS = {"雲": "cloud", "雪": "snow", "月": "moon"}
WORDS = "Version 2.00\r\n" + "".join(f"{q}|@1|{a}|@1|\r\n" for q, a in RIGHTS.items())
SYNC_TIMEOUT = 20.0


class Home:
    """One machine: its own configuration and data folders, its sync folder named in its
    preferences, and its own copy of the word file."""

    def __init__(self, root, name):
        self.path = os.path.join(root, name)
        self.sync = os.path.join(self.path, "Sync", "kotobax")
        os.makedirs(self.sync)
        self.env = {"HOME": self.path, "XDG_CONFIG_HOME": os.path.join(self.path, "config"),
                    "XDG_DATA_HOME": os.path.join(self.path, "data")}
        self.preferences = os.path.join(self.env["XDG_CONFIG_HOME"], "kotobax", "preferences.ini")
        os.makedirs(os.path.dirname(self.preferences))
        with open(self.preferences, "w") as f:
            f.write(f"[sync]\nfolder={self.sync}\n")
        self.words = os.path.join(self.path, "words.qvw")
        with open(self.words, "wb") as f:
            f.write(kx.ansi(WORDS))

    def machine(self):
        preferences = configparser.ConfigParser(interpolation=None)
        preferences.read(self.preferences)
        return preferences.get("sync", "machineId", fallback="")

    def journal(self):
        """This machine's own journal in its sync folder, as bytes."""
        machine = self.machine()
        if not machine:
            raise AssertionError(f"no machine id kept in {self.preferences}")
        with open(os.path.join(self.sync, machine + ".kxjournal"), "rb") as f:
            return machine, f.read()

    def history(self):
        found = glob.glob(os.path.join(self.env["XDG_DATA_HOME"], "*", "history.sqlite"))
        if len(found) != 1:
            raise AssertionError(f"not one history database in {self.path}: {found}")
        return found[0]

    def reviews_and_states(self):
        """Every review and every word's state, without the rows' local numbers."""
        db = sqlite3.connect(f"file:{self.history()}?mode=ro", uri=True, timeout=5)
        try:
            reviews = db.execute("SELECT r.at, w.word_key, r.grade, r.answer_ms FROM reviews r"
                                 " JOIN words w ON w.id = r.word_id ORDER BY r.at, w.word_key")
            reviews = reviews.fetchall()
            states = db.execute("SELECT word_key, phase, stability, difficulty, due, last_review,"
                                " elapsed_days, scheduled_days, learning_step, reps, lapses"
                                " FROM words ORDER BY word_key").fetchall()
        finally:
            db.close()
        return reviews, states


class Sync(kx.TestCase):

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kx-e2e-sync-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.homes = [Home(self.root, "a"), Home(self.root, "b")]
        self.folder = kx.ProgramFolder()
        self.addCleanup(self.folder.remove)
        self.drill = None
        self.addCleanup(self.kill_drill)
        try:
            self.peers = syncthing.pair([home.path for home in self.homes],
                                        [home.sync for home in self.homes])
        except syncthing.Unavailable as why:
            self.skipTest(str(why))
        for peer in self.peers:
            self.addCleanup(peer.stop)
        a, b = self.peers
        kx.wait_for(lambda: a.connected(b) and b.connected(a), "the two instances to connect",
                    timeout=SYNC_TIMEOUT)

    def kill_drill(self):
        if self.drill is not None:
            self.drill.kill()
            self.drill = None

    def start_program(self, home):
        self.drill = kx.App.start(self.folder, "Kotobax", env=home.env)
        return self.drill.window(DRILL_TITLE).wait_active()

    def review_line(self, window, home):
        """The information line's count of due and new words, the word file opened anew."""
        kx.open_word_file(self.drill, window, home.words)
        return window.text("text", "情報").splitlines()[-1]

    def drill_all(self, window, missed=()):
        """A Normal drill of the whole file, the words in missed answered wrong."""
        kx.start_drill(self.drill, window)
        box = window.find("text", "解答")
        asked = []
        while True:
            kx.wait_for(lambda: kx.text_of(box) == "", "an empty answer box")
            question = kx.wait_for(lambda: window.text("text", "問題"), "a question")
            if question not in RIGHTS:
                break
            asked.append(question)
            answer = "wrong" if question in missed else RIGHTS[question]
            type_text(answer)
            kx.wait_for(lambda: kx.text_of(box) == answer, "the answer typed")
            keys("Return")
            kx.wait_for(lambda: window.label("判定") in ("○", "×"), "the verdict")
            keys("Return")
        if missed:
            self.drill.window("間違えた問題").wait_active()
            keys("Escape")
            window.wait_active()
        self.assertEqual(sorted(asked), sorted(RIGHTS))

    def exit_program(self):
        keys("alt+m", "x")
        self.drill.wait_exit()
        self.drill = None

    def wait_synced(self, sender, receiver, peer):
        """Until the receiver's folder holds the sender's journal byte for byte."""
        machine, journal = sender.journal()
        peer.scan()
        target = os.path.join(receiver.sync, machine + ".kxjournal")

        def arrived():
            with open(target, "rb") as f:
                return f.read() == journal
        kx.wait_for(arrived, f"{machine}.kxjournal in {receiver.path}", timeout=SYNC_TIMEOUT,
                    interval=0.2)

    def wait_merged(self, home, expected):
        """Until the history merged at the start holds the expected reviews and states."""
        try:
            kx.wait_for(lambda: home.reviews_and_states() == expected,
                        f"the start merge at {home.path}", timeout=SYNC_TIMEOUT, interval=0.2)
        except AssertionError:
            self.assertEqual(home.reviews_and_states(), expected)  # says what differs
            raise

    def test_a_drill_at_one_home_is_in_the_others_history_after_a_sync(self):
        a, b = self.homes
        fresh = f"復習: 0 語　新しい語: {len(RIGHTS)} 語"

        window = self.start_program(a)
        self.assertEqual(self.review_line(window, a), fresh)
        self.drill_all(window)
        # Every word met and right: none due again for minutes, at either home.
        seen = self.review_line(window, a)
        self.assertNotEqual(seen, fresh)
        self.exit_program()
        at_a = a.reviews_and_states()
        self.assertEqual(len(at_a[0]), len(RIGHTS))

        self.wait_synced(a, b, self.peers[0])
        window = self.start_program(b)
        self.wait_merged(b, at_a)
        self.assertEqual(self.review_line(window, b), seen)

        # And back: a word missed at the second home reaches the first.
        self.drill_all(window, missed={"雪"})
        self.exit_program()
        at_b = b.reviews_and_states()
        self.assertEqual(len(at_b[0]), 2 * len(RIGHTS))
        self.wait_synced(b, a, self.peers[1])
        self.start_program(a)
        self.wait_merged(a, at_b)
        self.exit_program()

        # Each home wrote only its own journal; nothing came back as a conflict.
        for home in self.homes:
            self.assertEqual(sorted(os.listdir(home.sync)),
                             sorted([".stfolder"] + [h.machine() + ".kxjournal"
                                                     for h in self.homes]))
