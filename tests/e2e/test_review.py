# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Spaced review as a learner meets it: a drill, days passing, today's review of the words that
are due (the weakest first), and the review window with its forecast."""

import glob
import os
import re
import sqlite3

import kx
from kx import keys, type_text

DRILL_TITLE = "Kotobax4"
RIGHTS = {"cloud": "雲", "snow": "雪", "moon": "月", "star": "星", "tree": "木", "fish": "魚"}
WORDS = "Version 2.00\r\n" + "".join(f"{q}|@1|{a}|@1|\r\n" for q, a in RIGHTS.items())
MISSED = {"snow": "あめ", "fish": ""}
OVERRULED = {"moon": "つき"}  # counted as right with Shift+Enter: a hard one
DAYS_LATER = 3
DAY_MS = 24 * 60 * 60 * 1000
AGAIN, HARD, GOOD = 1, 2, 3
EDITOR_TITLE = "Kotobax 4  単語ﾌｧｲﾙ編集"


class Review(kx.TestCase):

    def setUp(self):
        self.folder = kx.ProgramFolder()
        self.words = os.path.join(self.folder.documents, "review.qvw")
        with open(self.words, "wb") as f:
            f.write(kx.ansi(WORDS))
        # A history of its own: the words of other tests' drills are not these words' past.
        self.data = os.path.join(self.folder.root, "data")
        self.drill = None

    def tearDown(self):
        if self.drill is not None:
            self.drill.kill()
        self.folder.remove()

    def start_program(self, zone=None):
        env = {"XDG_DATA_HOME": self.data}
        if zone:
            env["TZ"] = zone
        self.drill = kx.App.start(self.folder, "Kotobax", env=env)
        window = self.drill.window(DRILL_TITLE).wait_active()
        kx.open_word_file(self.drill, window, self.words)
        return window

    def exit_program(self):
        keys("alt+m", "x")
        self.drill.wait_exit()
        self.drill = None

    def answer_all(self, window, answers, overruled=(), title=None):
        """Answers every question of a drill just started, and returns the questions asked."""
        asked = []
        box = window.find("text", "解答")
        while True:
            kx.wait_for(lambda: kx.text_of(box) == "", "an empty answer box")
            question = kx.wait_for(lambda: window.text("text", "問題"), "a question")
            if question not in RIGHTS:
                return asked
            asked.append(question)
            if title:
                expected = title(len(asked))
                kx.wait_for(lambda: window.node.name == expected,
                            f"the title {expected!r} (shows {window.node.name!r})")
            # A word asked again in the same review is answered right the second time.
            answer = answers.pop(question, RIGHTS[question])
            if answer:
                type_text(answer)
                kx.wait_for(lambda: kx.text_of(box) == answer, "the answer typed")
            keys("Return")
            kx.wait_for(lambda: window.label("判定") in ("○", "×"), "the verdict")
            if question in overruled:
                keys("shift+Return")
                kx.wait_for(lambda: window.label("判定") == "○", "the answer overruled")
            keys("Return")

    def move_days(self, days):
        """Days pass: every answer moves back, and the states are rebuilt from them."""
        history = glob.glob(os.path.join(self.data, "*", "history.sqlite"))
        self.assertEqual(len(history), 1, "one history database in the private data folder")
        with sqlite3.connect(history[0]) as db:
            db.execute("UPDATE reviews SET at = at - ?", (days * DAY_MS,))
            db.execute("DELETE FROM review_meta WHERE name = 'scheduler'")
        db.close()

    def due_in_editor(self, zone):
        """The words whose line in Brelmi says they are due today."""
        editor = kx.App.start(self.folder, "Brelmi", [self.words],
                              env={"XDG_DATA_HOME": self.data, "TZ": zone})
        try:
            window = editor.window(EDITOR_TITLE).wait_active()
            due = set()
            for question in RIGHTS:
                kx.click(window.find("list item", question))
                window.wait_text("text", "問題", question)
                line = kx.wait_for(lambda: [n.name for n in kx.find_all(window.node, "label")
                                            if n.name.startswith(("次の復習:", "復習:"))],
                                   "the line on the word's reviews")[0]
                if line.startswith("次の復習: 今日"):
                    due.add(question)
            keys("alt+f", "x")
            editor.wait_exit()
        finally:
            editor.kill()
        return due

    def close_missed(self, window):
        self.drill.window("間違えた問題").wait_active()
        keys("Escape")
        window.wait_active()

    def test_drill_days_later_review_due_words_weakest_first(self):
        # Day one: a Normal drill with two misses and one overruled answer.
        window = self.start_program()
        kx.start_drill(self.drill, window)
        asked = self.answer_all(window, dict(MISSED, **OVERRULED), overruled=OVERRULED)
        self.assertEqual(sorted(asked), sorted(RIGHTS))
        self.close_missed(window)
        self.exit_program()

        history = glob.glob(os.path.join(self.data, "*", "history.sqlite"))
        self.assertEqual(len(history), 1, "one history database in the private data folder")
        with sqlite3.connect(history[0]) as db:
            grades = sorted(g for (g,) in db.execute("SELECT grade FROM reviews"))
            self.assertEqual(grades, [AGAIN, AGAIN, HARD, GOOD, GOOD, GOOD])
            # Days pass: every answer moves back, and the states are rebuilt from them.
            db.execute("UPDATE reviews SET at = at - ?", (DAYS_LATER * DAY_MS,))
            db.execute("DELETE FROM review_meta WHERE name = 'scheduler'")
        db.close()

        # Every word is past its same-day step; none is new.
        window = self.start_program()
        information = window.text("text", "情報").splitlines()
        self.assertEqual(information[-1], "復習: 6 語　新しい語: 0 語")

        keys("alt+m", "t")
        self.drill.window("Start!").wait_active()
        keys("Return")
        window.wait_active()
        wrong = {"star": "ほし"}
        asked = self.answer_all(window, wrong,
                                title=lambda n: f"{DRILL_TITLE} - 復習 {n} / {max(n, 6)}")
        # The least likely to be remembered first: missed, then hard, then right; words due
        # again within minutes (the missed one, those still in their same-day steps) come back
        # after all six.
        self.assertEqual(set(asked[:2]), set(MISSED))
        self.assertEqual(asked[2:3], list(OVERRULED))
        self.assertEqual(sorted(asked[:6]), sorted(RIGHTS))
        self.assertIn("star", asked[6:])
        self.assertTrue(set(asked[6:]) <= set(RIGHTS))
        rate = 100 * (len(asked) - 1) // len(asked)
        window.wait_text("text", "問題", f"正解率  {rate} %")
        self.close_missed(window)

        keys("alt+m", "p")
        plan = self.drill.window("復習の予定").wait_active()
        self.assertEqual(kx.unnamed_controls(plan.node), [])
        files = plan.find("tree", "単語ファイル")
        row = kx.wait_for(lambda: [kx.text_of(cell) for cell in kx.walk(files)
                                   if cell.getRoleName() == "table cell"], "the file's row")
        self.assertEqual((row[0], row[2]), ("review.qvw", "0 語"))
        # Each answer of today's review was due: one of six missed.
        self.assertEqual(plan.label("実際の記憶率").split("　")[0],
                         "「review.qvw」の実際の記憶率: 83 % (期日の復習 6 回・正解 5 回)")
        self.assertRegex(plan.label("今後の復習"), r"^今日: \d+ 語　.*30 日間: [1-9]\d* 語$")
        kx.screenshot(plan, "review")
        keys("Escape")
        window.wait_active()

    # Three days in Tokyo: on each, the information line, 復習の予定, Brelmi and 今日の復習 name
    # the same due words; a word missed is asked again before the review closes.
    def test_three_days_in_tokyo_every_place_says_the_same(self):
        zone = "Asia/Tokyo"
        window = self.start_program(zone)
        kx.start_drill(self.drill, window)
        self.answer_all(window, dict(MISSED))
        self.close_missed(window)
        self.exit_program()

        promised = None  # what the last review's closing line said of tomorrow
        for day in (2, 3):
            self.move_days(1)
            window = self.start_program(zone)
            information = window.text("text", "情報").splitlines()[-1]
            due = int(re.fullmatch(r"復習: (\d+) 語　新しい語: 0 語", information).group(1))
            if day == 2:
                self.assertEqual(due, len(RIGHTS), "every word past yesterday's same-day step")
            else:
                self.assertEqual(due, promised)

            keys("alt+m", "p")
            plan = self.drill.window("復習の予定").wait_active()
            files = plan.find("tree", "単語ファイル")
            row = kx.wait_for(lambda: [kx.text_of(cell) for cell in kx.walk(files)
                                       if cell.getRoleName() == "table cell"], "the file's row")
            self.assertEqual(row[1], f"{due} 語")
            forecast = plan.label("今後の復習")
            self.assertTrue(forecast.startswith(f"今日: {due} 語　"), forecast)
            keys("Escape")
            window.wait_active()

            in_editor = self.due_in_editor(zone)
            self.assertEqual(len(in_editor), due, "Brelmi's lines")
            window.activate()
            window.wait_active()

            keys("alt+m", "t")
            self.drill.window("Start!").wait_active()
            keys("Return")
            window.wait_active()
            # One word missed: asked again in the same review, after the others.
            missed = sorted(in_editor)[0] if in_editor else None
            asked = self.answer_all(window, {missed: "ちがう"} if missed else {})
            self.assertEqual(set(asked[:due]), in_editor)
            self.assertEqual(len(set(asked[:due])), due)
            if missed:
                self.assertIn(missed, asked[due:])
                self.close_missed(window)
            closing = kx.wait_for(
                lambda: [line for line in window.text("text", "情報").splitlines()
                         if line.startswith("今日の復習は終わりました。")], "the closing line")[0]
            self.assertRegex(closing, r"^今日の復習は終わりました。(次は .*|明日 \d+ 語です。)?$")
            promised = int(re.search(r"明日 (\d+) 語", closing + "明日 0 語").group(1))
            self.exit_program()
