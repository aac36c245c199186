# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Every way of drilling a word, by keyboard only: the answers shown and the question typed,
the question heard from the speech server and typed, one of four choices, and a card the
learner grades himself. Each drill is in the history under its way, and each way's answers
are reviews of their own."""

import collections
import glob
import hashlib
import os
import sqlite3

import pyatspi

import kx
from kx import keys, type_text
from speech import SpeechServer, TIMEOUT as SPEECH_TIMEOUT

DRILL_TITLE = "Kotobax4"
RIGHTS = {"cloud": "くも", "river": "かわ", "mountain": "やま", "flower": "はな"}
EXAMPLES = {"cloud": "a white cloud 白い雲", "river": "cross the river 川を渡る",
            "mountain": "climb a mountain 山に登る", "flower": "pick a flower 花を摘む"}
WORDS = "Version 2.00\r\n" + "".join(f"{q}|@1|{a}|@1|{EXAMPLES[q]}\r\n" for q, a in RIGHTS.items())
AGAIN, GOOD = 1, 3

# number: the way's number in the history; key: its item in 出題の向き(&Q); missed: the word
# answered wrong. Listening comes last, so that the voices asked for when the menu first
# opened have come by then.
Way = collections.namedtuple("Way", "name number key missed")
WAYS = [
    Way("答え→問題", 1, "b", "river"),
    Way("選択式", 3, "m", "cloud"),
    Way("カード", 4, "c", "flower"),
    Way("聞き取り", 2, "l", "mountain"),
]


def word_key(question):
    """The key a word's typed reviews are kept under: its question and answers as stored."""
    return hashlib.sha1(f"{question}|@1|{RIGHTS[question]}".encode()).digest()


def way_key(question, number):
    return hashlib.sha1(word_key(question) + b"way" + str(number).encode()).hexdigest()


class Ways(kx.TestCase):

    def setUp(self):
        self.folder = kx.ProgramFolder()
        self.words = os.path.join(self.folder.documents, "ways.qvw")
        with open(self.words, "wb") as f:
            f.write(kx.ansi(WORDS))
        self.data = os.path.join(self.folder.root, "data")
        self.saved_environment = dict(os.environ)
        self.drill = None

    def tearDown(self):
        if self.drill is not None:
            self.drill.kill()
        os.environ.clear()
        os.environ.update(self.saved_environment)
        preferences = os.path.join(os.environ["XDG_CONFIG_HOME"], "kotobax", "preferences.ini")
        if os.path.exists(preferences):  # the other tests start from the defaults
            os.remove(preferences)
        self.folder.remove()

    def asked_word(self, window, way):
        """The word the question stands for, and for choices the keys of the right choice and
        of a wrong one."""
        question = window.text("text", "問題")
        if way.name == "答え→問題":
            return next(q for q, a in RIGHTS.items() if a == question), None
        if way.name == "聞き取り":
            self.assertEqual(question, "（聞き取り）", "the question is heard, not shown")
            kx.wait_for(lambda: len(self.server.spoken()) > self.heard, "the question spoken",
                        timeout=SPEECH_TIMEOUT)
            self.heard = len(self.server.spoken())
            return self.server.spoken()[-1], None
        if way.name == "選択式":
            choices = kx.wait_for(lambda: [n.name for n in kx.find_all(window.node, "push button")
                                           if n.name.startswith("選択肢 ")], "the choices")
            self.assertEqual(len(choices), 4, choices)
            right = [name.split()[1] for name in choices if name.split()[2] == RIGHTS[question]]
            wrong = [name.split()[1] for name in choices if name.split()[2] != RIGHTS[question]]
            self.assertEqual(len(right), 1, choices)
            return question, (right[0], wrong[0])
        return question, None

    def answer(self, window, way, word, keys_of_choices):
        right = word != way.missed
        if way.name == "選択式":
            keys(keys_of_choices[0] if right else keys_of_choices[1])
        elif way.name == "カード":
            keys("space")
            window.wait_text("text", "正解 1", RIGHTS[word])
            keys("Return" if right else "2")
        else:
            answer = word if right else "wrong"
            type_text(answer)
            window.wait_text("text", "解答", answer)
            keys("Return")
        verdict = "○" if right else "×"
        kx.wait_for(lambda: window.label("判定") == verdict, f"{way.name}: {verdict} for {word}")

    def first_question(self, window, way, word):
        """What only the first question of a way shows: the speech repeated, the README's
        pictures."""
        if way.name == "聞き取り":
            keys("F5", "shift+F5")  # again, and again slowly
            kx.wait_for(lambda: self.server.spoken()[-3:] == [word] * 3,
                        "the question spoken again", timeout=SPEECH_TIMEOUT)
            self.heard += 2
        elif way.name == "カード":
            keys("space")
            window.wait_text("text", "正解 1", RIGHTS[word])
            kx.screenshot(window, "card")
        elif way.name == "選択式":
            kx.screenshot(window, "choices")

    def drill_way(self, window, way):
        """Chooses the way, drills the whole file in it, and returns the words asked."""
        keys("alt+o", "q")
        if way.name == "聞き取り":
            # A speech server slow with its first answer greys the item until it answers.
            item = kx.find(self.drill.node, "menu item", "聞き取り(L)")
            kx.wait_for(lambda: kx.has_state(item, pyatspi.STATE_SENSITIVE),
                        "聞き取り available", timeout=SPEECH_TIMEOUT)
        keys(way.key)
        kx.start_drill(self.drill, window)
        asked = []
        for place in range(1, len(RIGHTS) + 1):
            title = f"{DRILL_TITLE} - {way.name} {place} / {len(RIGHTS)}"
            kx.wait_for(lambda: window.node.name == title,
                        f"the title {title!r} (shows {window.node.name!r})")
            word, choices = self.asked_word(window, way)
            asked.append(word)
            if place == 1:
                self.first_question(window, way, word)
            self.answer(window, way, word, choices)
            keys("Return")
        self.drill.window("間違えた問題").wait_active()
        keys("Escape")
        window.wait_active()
        window.wait_text("text", "問題", f"{way.name}  正解率  75 %")
        return asked

    def test_each_way_by_keyboard_recorded_under_its_own_way(self):
        self.server = SpeechServer(self, self.folder.root)
        self.addCleanup(self.server.stop)
        self.server.start()
        self.heard = 0
        self.drill = kx.App.start(self.folder, "Kotobax", env={"XDG_DATA_HOME": self.data})
        window = self.drill.window(DRILL_TITLE).wait_active()
        kx.open_word_file(self.drill, window, self.words)
        for way in WAYS:
            self.assertEqual(sorted(self.drill_way(window, way)), sorted(RIGHTS), way.name)
        keys("alt+m", "x")
        self.drill.wait_exit()
        self.drill = None

        history = glob.glob(os.path.join(self.data, "*", "history.sqlite"))
        self.assertEqual(len(history), 1, "one history database in the private data folder")
        with sqlite3.connect(history[0]) as db:
            drills = db.execute("SELECT way, asked, right_answers FROM drills ORDER BY id")
            self.assertEqual(drills.fetchall(), [(way.number, 4, 3) for way in WAYS])
            reviews = dict(db.execute("SELECT w.word_key, r.grade FROM reviews r"
                                      " JOIN words w ON w.id = r.word_id").fetchall())
        db.close()
        # Each way's answers apart from the others', none under the typed way's key.
        self.assertEqual(reviews, {way_key(word, way.number): AGAIN if word == way.missed
                                   else GOOD for way in WAYS for word in RIGHTS})
