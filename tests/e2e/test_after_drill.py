# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""After a drill with mistakes: the missed entries saved as a word file of their own, drilled
again, and the history of results with its chart."""

import os

import kx
from kx import keys, type_text

DRILL_TITLE = "Kotobax4"
WORDS = ("Version 2.00\r\n"
         "apple|@1|りんご|@2|林檎|@1|\r\n"
         "river|@1|川|@1|\r\n"
         "dog|@1|犬|@1|\r\n"
         "water|@1|水|@1|\r\n")
WRONG = {"river": "かわ", "water": ""}
MISSED_FILE = ("Version 2.00\r\n"
               "river|@1|川|@1|\r\n"
               "water|@1|水|@1|\r\n")


class AfterDrill(kx.TestCase):

    def setUp(self):
        self.folder = kx.ProgramFolder()
        self.words = os.path.join(self.folder.documents, "words.qvw")
        with open(self.words, "wb") as f:
            f.write(kx.ansi(WORDS))
        self.drill = kx.App.start(self.folder, "Kotobax")

    def tearDown(self):
        self.drill.kill()
        self.folder.remove()

    def run_drill(self, window, answers, start=("ctrl+s",)):
        """Starts a drill, answers every question, and returns what was asked and the
        results line."""
        keys(*start)
        self.drill.window("Start!").wait_active()
        keys("Return")
        window.wait_active()
        asked = []
        box = window.find("text", "解答")
        while True:
            # The box empties when the next question or the results are shown.
            kx.wait_for(lambda: kx.text_of(box) == "", "an empty answer box")
            question = kx.wait_for(lambda: window.text("text", "問題"), "a question")
            if question.startswith("正解率"):
                return asked, question
            kx.wait_for(lambda: window.node.name.startswith(DRILL_TITLE + " - "),
                        "the position in the title")
            asked.append(question)
            answer = answers.get(question, answers["*"].get(question))
            if answer:
                type_text(answer)
                kx.wait_for(lambda: kx.text_of(box) == answer, "the answer typed")
            keys("Return")
            kx.wait_for(lambda: window.label("判定") in ("○", "×"), "the verdict")
            keys("Return")

    def test_missed_entries_saved_drilled_again_and_history(self):
        window = self.drill.window(DRILL_TITLE).wait_active()
        keys("ctrl+o")
        self.drill.dialog(window)
        keys("ctrl+a")
        type_text(self.words)
        keys("Return")
        window.wait_active()
        kx.wait_for(lambda: window.text("text", "情報").startswith("ﾌｧｲﾙをﾛｰﾄﾞしました。"),
                    "the word file to load")

        rights = {"apple": "林檎", "river": "川", "dog": "犬", "water": "水"}
        asked, results = self.run_drill(window, dict(WRONG, **{"*": rights}))
        self.assertEqual(sorted(asked), sorted(rights))
        self.assertEqual(results, "正解率  50 %")

        missed = self.drill.window("間違えた問題").wait_active()
        self.assertEqual(kx.unnamed_controls(missed.node), [])
        listed = kx.wait_for(lambda: [n for n in kx.find_all(missed.node, name="間違えた問題")
                                      if n.getRoleName() not in ("frame", "dialog")],
                             "the list of missed entries")[0]
        cells = [kx.text_of(cell) for cell in kx.walk(listed)]
        for expected in ("river", "川", "かわ", "water", "水", "（空欄）"):
            self.assertIn(expected, cells)
        kx.screenshot(missed, "missed")

        keys("alt+s")
        self.drill.dialog(missed)
        keys("ctrl+a")
        saved = os.path.join(self.folder.documents, "missed.qvw")
        type_text(saved)
        keys("Return")
        missed.wait_active()
        kx.wait_for(lambda: os.path.exists(saved), saved + " to be written")
        with open(saved, "rb") as f:
            written = f.read()
        order = [q for q in asked if q in WRONG]
        expected = "Version 2.00\r\n" + "".join(
            f"{q}|@1|{rights[q]}|@1|\r\n" for q in order)
        self.assertEqual(written, kx.ansi(expected))

        again, results = self.run_drill(window, {"*": rights}, start=("alt+a",))
        self.assertEqual(sorted(again), sorted(WRONG))
        self.assertEqual(results, "正解率  100 %")

        keys("alt+m", "k")
        history = self.drill.window("成績の記録").wait_active()
        self.assertEqual(kx.unnamed_controls(history.node), [])
        table = history.find("table", "ドリルの記録")
        kx.wait_for(lambda: table.queryTable().nRows == 2, "two drills in the table")
        kx.screenshot(history, "history")
        keys("Escape")
        window.wait_active()
