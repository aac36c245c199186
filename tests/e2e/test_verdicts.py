# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Verdicts a learner can follow: with near misses given one more try, a near miss counts
nothing and shows what differs, the second try is judged, and a screen reader hears each
difference in words."""

import os

import kx
from kx import keys, type_text

DRILL_TITLE = "Kotobax4"
WORDS = ("Version 2.00\r\n"
         "受け取る|@1|receive|@1|\r\n"
         "米|@1|rice|@1|\r\n")
TRY_AGAIN = "惜しい！もう一度入力してください。"
DIFFERENCE = "答えと正解の違い"


def preferences_file():
    return os.path.join(os.environ["XDG_CONFIG_HOME"], "kotobax", "preferences.ini")


class Verdicts(kx.TestCase):
    def setUp(self):
        self.folder = kx.ProgramFolder()
        self.words = os.path.join(self.folder.documents, "words.qvw")
        with open(self.words, "wb") as f:
            f.write(kx.ansi(WORDS))
        self.drill = None

    def tearDown(self):
        if self.drill is not None:
            self.drill.kill()
        # The options are the user's: the other tests start from the defaults.
        if os.path.exists(preferences_file()):
            os.remove(preferences_file())
        self.folder.remove()

    def start(self, env=None):
        self.drill = kx.App.start(self.folder, "Kotobax", env=env)
        return self.drill.window(DRILL_TITLE).wait_active()

    def try_answer(self, window, answer):
        """Types the answer over whatever the box holds and presses Enter."""
        box = window.find("text", "解答")
        keys("ctrl+a")
        type_text(answer)
        kx.wait_for(lambda: kx.text_of(box) == answer, f"the answer {answer!r} typed")
        keys("Return")

    def spoken_difference(self, window):
        label = window.find("label", DIFFERENCE)
        return kx.wait_for(lambda: label.description, "the difference in words")

    def wrong_with_difference(self, window):
        """Answers rice's question wrong twice (a near miss gets one more try) and leaves the
        × with its difference on screen; the other question is answered right."""
        while True:
            question = kx.wait_for(lambda: window.text("text", "問題") in ("米", "受け取る")
                                   and window.text("text", "問題"), "a question")
            if question == "米":
                break
            self.try_answer(window, "receive")
            kx.wait_for(lambda: window.label("判定") == "○", "the verdict")
            keys("Return")
        self.try_answer(window, "lice")
        window.wait_text("text", "情報", TRY_AGAIN)
        self.try_answer(window, "lice")
        kx.wait_for(lambda: window.label("判定") == "×", "the verdict")
        return self.spoken_difference(window)

    def test_near_misses_get_one_more_try_and_the_difference_is_heard(self):
        window = self.start()
        keys("alt+o", "r")  # ほぼ正解ならもう一度(&R)
        kx.wait_for(lambda: os.path.exists(preferences_file()), "the preferences file")
        with open(preferences_file()) as f:
            self.assertIn("nearMiss=retry", f.read())
        kx.open_word_file(self.drill, window, self.words)
        kx.start_drill(self.drill, window)

        question = kx.wait_for(lambda: window.text("text", "問題"), "a question")
        typo = {"受け取る": "recieve", "米": "lice"}[question]
        right = {"受け取る": "receive", "米": "rice"}[question]
        self.try_answer(window, typo)
        window.wait_text("text", "情報", TRY_AGAIN)
        self.assertEqual(window.label("判定"), "")
        self.assertEqual(window.label("正解数"), "0 / 0")
        self.assertIn("文字目", self.spoken_difference(window))
        self.try_answer(window, right)
        kx.wait_for(lambda: window.label("判定") == "○", "the verdict")
        self.assertEqual(window.label("正解数"), "1 / 1")
        keys("Return")

        other = kx.wait_for(lambda: window.text("text", "問題") not in ("", question)
                            and window.text("text", "問題"), "the other question")
        typo = {"受け取る": "recieve", "米": "lice"}[other]
        self.try_answer(window, typo)
        window.wait_text("text", "情報", TRY_AGAIN)
        self.try_answer(window, typo)
        kx.wait_for(lambda: window.label("判定") == "×", "the verdict")
        self.assertEqual(window.label("正解数"), "1 / 2")
        self.assertIn("文字目", self.spoken_difference(window))

    def test_screenshots_of_a_wrong_answer_and_its_difference(self):
        for scale, name in (("1", "verdict"), ("2", "verdict-scale2")):
            with self.subTest(scale=scale):
                window = self.start({"QT_SCALE_FACTOR": scale})
                if scale == "1":
                    keys("alt+o", "r")
                    kx.wait_for(lambda: os.path.exists(preferences_file()),
                                "the preferences file")
                kx.open_word_file(self.drill, window, self.words)
                kx.start_drill(self.drill, window)
                self.assertIn("文字目", self.wrong_with_difference(window))
                kx.screenshot(window, name)
                self.drill.kill()
                self.drill = None
