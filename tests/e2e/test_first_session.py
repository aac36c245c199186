# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""A new user's first session, in order: a drill on the sample, a word file of their own made in
the editor, and an Overcoming drill on it. Each step starts where the one before left off."""

import os
import unittest

import kx
from kx import keys, type_text

SAMPLE = os.path.join(kx.ROOT, "examples", "sample.qvw")
DRILL_TITLE = "Kotobax4"
EDITOR_TITLE = "Kotobax 4  単語ﾌｧｲﾙ編集"

# Questions of the sample answered wrong on purpose; every other one is answered right.
WRONG = {"water": "みず", "take": "", "dog": "ねこ"}

# The word file that the user builds: question, answers, information (as typed, CR LF breaks).
ENTRIES = [
    ("apple", ["りんご", "林檎"], ""),
    ("take", ["取る", "持っていく", "連れていく", "かかる", "受け取る", "撮る"],
     "意味の多い動詞\r\n過去形は took"),
    ("river", ["川"], ""),
]
REVERSE = ("りんご | 林檎", ["apple"], "")
EXPECTED_FILE = (
    "Version 2.00\r\n"
    "apple|@1|りんご|@2|林檎|@1|\r\n"
    "take|@1|取る|@2|持っていく|@2|連れていく|@2|かかる|@2|受け取る|@2|撮る|@1|"
    "意味の多い動詞\\n過去形は took\r\n"
    "river|@1|川|@1|\r\n"
    "りんご | 林檎|@1|apple|@1|\r\n").encode("cp932")


def last_path_field(path):
    return kx.ansi(path).ljust(512, b" ")


class FirstSession(kx.TestCase):
    """The steps share one program folder and run in the order of their names."""

    folder = None
    drill = None
    word_file = None
    broken = None

    @classmethod
    def setUpClass(cls):
        cls.folder = kx.ProgramFolder()

    @classmethod
    def tearDownClass(cls):
        for app in (cls.drill,):
            if app is not None:
                app.kill()
        cls.folder.remove()

    def setUp(self):
        if FirstSession.broken:
            self.skipTest("an earlier step failed: " + FirstSession.broken)

    def run(self, result=None):
        failures = len(result.failures) + len(result.errors) if result else 0
        super().run(result)
        if result and len(result.failures) + len(result.errors) > failures:
            FirstSession.broken = self.id().rsplit(".", 1)[-1]

    # --- steps a learner takes in the drill window -------------------------------------------

    def open_word_file(self, window, path):
        kx.open_word_file(self.drill, window, path)

    def start(self, window):
        kx.start_drill(self.drill, window)

    def answer(self, window, answer):
        """Types the answer, has it judged, and returns the verdict mark."""
        box = window.find("text", "解答")
        kx.wait_for(lambda: kx.text_of(box) == "", "an empty answer box")
        if answer:
            type_text(answer)
            kx.wait_for(lambda: kx.text_of(box) == answer, f"the answer {answer!r} typed")
        keys("Return")
        return kx.wait_for(lambda: window.label("判定") in ("○", "×") and window.label("判定"),
                           "the verdict")

    def close_missed(self, window):
        """The missed entries come up over the drill window; Esc puts them away."""
        self.drill.window("間違えた問題").wait_active()
        keys("Escape")
        window.wait_active()

    def shown_rights(self, window):
        return [window.text("text", f"正解 {i}") for i in range(1, 5)]

    # --- scenario 1 ---------------------------------------------------------------------------

    def test_1_new_user_runs_a_normal_drill_on_the_sample(self):
        entries = {q: (a, info) for q, a, info in kx.read_word_file(SAMPLE)}
        FirstSession.drill = self.drill = kx.App.start(self.folder, "Kotobax")
        window = self.drill.window(DRILL_TITLE).wait_active()
        self.assertEqual(kx.unnamed_controls(window.node), [])

        self.open_word_file(window, SAMPLE)
        self.start(window)

        right = 0
        for asked in range(1, len(entries) + 1):
            question = kx.wait_for(lambda: window.text("text", "問題") in entries and
                                   window.text("text", "問題"), "a question")
            answers, information = entries[question]
            given = WRONG.get(question, answers[-1])
            mark = self.answer(window, given)
            with self.subTest(question=question):
                self.assertEqual(mark, "×" if question in WRONG else "○")
                self.assertEqual(self.shown_rights(window), (answers + [""] * 4)[:4])
                self.assertEqual(window.text("text", "情報"), information.replace("\\n", "\n"))
                right += mark == "○"
                self.assertEqual(window.label("正解数"), f"{right} / {asked}")
            if question == "take":  # more than four answers: the second page through the bar
                bar = window.find("scroll bar", "正解のページ")
                bar.queryValue().currentValue = 1
                kx.wait_for(lambda: self.shown_rights(window) == answers[4:] + ["", ""],
                            "the second page of answers")
            if question == "book":
                kx.screenshot(window, "drill")
            keys("Return")

        window.wait_text("text", "問題", "正解率  90 %")
        self.assertFalse(window.find("push button", "OK").getState().contains(
            kx.pyatspi.STATE_ENABLED))
        self.close_missed(window)
        kx.screenshot(window, "results")

        keys("alt+m", "x")
        self.drill.wait_exit()
        FirstSession.drill = None
        settings = self.folder.settings()
        self.assertEqual(len(settings), 516)
        self.assertEqual(settings[:512], last_path_field(SAMPLE))
        self.assertEqual(settings[512:], bytes([0, 1, 0, 0]))


    # --- scenario 2 ---------------------------------------------------------------------------

    def test_2_editor_started_from_the_drill_builds_a_word_file(self):
        FirstSession.drill = self.drill = kx.App.start(self.folder, "Kotobax")
        drill_window = self.drill.window(DRILL_TITLE).wait_active()
        keys("alt+o", "d")
        editor = kx.App.attach("Brelmi", not_pids={self.drill.pid})
        try:
            self.assertEqual(editor.node.description, os.path.join(self.folder.path, "Brelmi"))
            window = editor.window(EDITOR_TITLE).wait_active()
            self.assertEqual(kx.unnamed_controls(window.node), [])
            self.build_entries(editor, window)
            self.make_reverse_of_first(editor, window)
            FirstSession.word_file = self.save_as(editor, window, "mywords")

            kx.click(window.find("list item", "take"))  # six answers, for the picture
            window.wait_text("text", "問題", "take")
            kx.screenshot(window, "editor")
            keys("alt+f", "x")
            editor.wait_exit()
        finally:
            editor.kill()

        with open(self.word_file, "rb") as f:
            written = f.read()
        self.assertEqual(written.decode("cp932", "replace"), EXPECTED_FILE.decode("cp932"))
        self.assertEqual(written, EXPECTED_FILE)
        settings = self.folder.settings()
        self.assertEqual(len(settings), 522)
        self.assertEqual(settings[:512], last_path_field(self.word_file))
        self.assertEqual(settings[512:], bytes([7, 1, 0, 0, 0, 0, 0, 0, 0, 0]))
        drill_window.activate()

    def build_entries(self, editor, window):
        entries = window.find("list", "問題の一覧")
        for question, answers, information in ENTRIES:
            keys("alt+q")
            type_text(question)
            keys("alt+r")
            type_text(answers[0])
            if len(answers) > 4:
                self.add_more_answers(editor, window, answers[1:])
            else:
                for answer in answers[1:]:
                    keys("Tab")
                    type_text(answer)
            window.wait_text("text", f"解答 {min(len(answers), 4)}", answers[min(len(answers), 4) - 1])
            if information:
                keys("alt+o")
                first, *more = information.split("\r\n")
                type_text(first)
                for line in more:
                    keys("ctrl+Return")
                    type_text(line)
                window.wait_text("text", "情報", information.replace("\r\n", "\n"))
            window.wait_text("text", "問題", question)
            keys("Return")
            window.wait_text("text", "問題", "")
        self.assertEqual([item.name for item in kx.find_all(entries, "list item")],
                         [question for question, _, _ in ENTRIES])

    def add_more_answers(self, editor, window, answers):
        keys("alt+m")
        dialog = editor.window("解答の追加").wait_active()
        self.assertEqual(kx.unnamed_controls(dialog.node), [])
        listed = dialog.find("list", "解答の一覧")
        for answer in answers:
            type_text(answer)
            keys("Return")
        kx.wait_for(lambda: len(kx.find_all(listed, "list item")) == len(answers) + 1,
                    "every answer in the list")
        kx.screenshot(dialog, "addright")
        keys("alt+o")
        window.wait_active()
        self.assertEqual(window.label("解答の数"), f"{len(answers) + 1} (+{len(answers) - 3})")
        self.assertEqual([window.text("text", f"解答 {i}") for i in range(1, 5)],
                         [ENTRIES[1][1][i] for i in range(4)])

    def make_reverse_of_first(self, editor, window):
        kx.click(window.find("list item", ENTRIES[0][0]))
        window.wait_text("text", "問題", ENTRIES[0][0])
        keys("alt+e", "r")
        box = editor.window("逆問題").wait_active()
        box.find("label", "逆問題の生成を行います。\nよろしいですか？")
        keys("Return")
        window.wait_active()
        entries = window.find("list", "問題の一覧")
        kx.wait_for(lambda: len(kx.find_all(entries, "list item")) == 4, "the reverse entry")
        self.assertEqual(kx.find_all(entries, "list item")[-1].name, REVERSE[0])

    def save_as(self, editor, window, name):
        keys("ctrl+s")
        editor.dialog(window)
        keys("ctrl+a")
        type_text(os.path.join(self.folder.documents, name))
        keys("Return")
        window.wait_active()
        path = os.path.join(self.folder.documents, name + ".qvw")
        kx.wait_for(lambda: os.path.exists(path), path + " to be written")
        return path

    # --- scenario 3 ---------------------------------------------------------------------------

    def test_3_overcoming_drill_on_the_new_file(self):
        window = self.drill.window(DRILL_TITLE).wait_active()
        self.open_word_file(window, self.word_file)
        keys("alt+o", "o")
        overcoming = window.find("menu item", "Overcoming mode", visible=False)
        kx.wait_for(lambda: overcoming.getState().contains(kx.pyatspi.STATE_CHECKED),
                    "Overcoming mode to be checked")
        answers = {question: rights for question, rights, _ in ENTRIES + [REVERSE]}
        self.start(window)

        missed = set()
        left = len(answers)
        while True:
            question = kx.wait_for(lambda: window.text("text", "問題"), "a question")
            if question.startswith("問題数"):
                break
            wrong = question == "river" and question not in missed
            mark = self.answer(window, "かわ" if wrong else answers[question][0])
            if wrong:
                missed.add(question)
            left -= mark == "○"
            self.assertEqual(mark, "×" if wrong else "○", question)
            self.assertEqual(window.label("正解数"), f"Left : {left}")
            keys("Return")
        self.assertEqual(question, "問題数 : 4  不正解数 : 1")
        window.wait_text("text", "情報", "")  # reloaded
        self.close_missed(window)

        # The reloaded set has every entry again: one mastered leaves three.
        self.start(window)
        question = kx.wait_for(lambda: window.text("text", "問題") in answers and
                               window.text("text", "問題"), "a question")
        self.assertEqual(self.answer(window, answers[question][0]), "○")
        self.assertEqual(window.label("正解数"), "Left : 3")
        keys("ctrl+g")
        self.drill.window("Stop").wait_active()
        keys("alt+y")
        window.wait_text("text", "問題", "問題数 : 1  不正解数 : 0")

        keys("alt+m", "x")
        self.drill.wait_exit()
        FirstSession.drill = None
        settings = self.folder.settings()
        self.assertEqual(len(settings), 522)
        self.assertEqual(settings[:512], last_path_field(self.word_file))
        self.assertEqual(settings[512:], bytes([7, 3, 0, 0, 0, 0, 0, 0, 0, 0]))


if __name__ == "__main__":
    unittest.main()
