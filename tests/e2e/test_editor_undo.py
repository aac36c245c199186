# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The editor's history in the real program: add, change and remove entries, undo and redo them
with the keys, save exactly what the list shows, and open the saved file named at start."""

import os

import kx
from kx import keys, type_text

EDITOR_TITLE = "Kotobax 4  単語ﾌｧｲﾙ編集"
EXPECTED_FILE = "Version 2.00\r\ndog|@1|犬|@1|\r\ncat|@1|ねこ|@1|\r\n".encode("cp932")


class EditorUndo(kx.TestCase):
    def setUp(self):
        self.folder = kx.ProgramFolder()
        self.editor = kx.App.start(self.folder, "Brelmi")
        self.window = self.editor.window(EDITOR_TITLE).wait_active()
        self.entries = self.window.find("list", "問題の一覧")

    def tearDown(self):
        self.editor.kill()
        self.folder.remove()

    def listed(self):
        return [item.name for item in kx.find_all(self.entries, "list item")]

    def wait_listed(self, questions):
        kx.wait_for(lambda: self.listed() == questions,
                    f"the list to show {questions} (shows {self.listed()})")

    def choose(self, question):
        kx.click(self.window.find("list item", question))
        self.window.wait_text("text", "問題", question)

    def test_add_change_remove_undo_redo_and_save(self):
        for question, answer in (("apple", "りんご"), ("dog", "いぬ"), ("cat", "ねこ")):
            keys("alt+q")
            type_text(question)
            keys("alt+r")
            type_text(answer)
            self.window.wait_text("text", "解答 1", answer)
            keys("Return")
            self.window.wait_text("text", "問題", "")
        self.wait_listed(["apple", "dog", "cat"])

        self.choose("dog")
        keys("alt+r", "ctrl+a")
        type_text("犬")
        self.window.wait_text("text", "解答 1", "犬")
        keys("alt+c")  # a button's access key clicks it a moment later; then the list has the focus
        kx.wait_for(lambda: kx.has_state(self.entries, kx.pyatspi.STATE_FOCUSED),
                    "the list to take the focus after Change")
        self.choose("apple")
        keys("alt+d")
        self.editor.window("削除").wait_active()
        keys("Return")
        self.window.wait_active()
        self.wait_listed(["dog", "cat"])

        keys("ctrl+z")  # the removal
        self.wait_listed(["apple", "dog", "cat"])
        keys("ctrl+z")  # the change
        self.choose("dog")
        self.window.wait_text("text", "解答 1", "いぬ")
        keys("ctrl+y")
        self.window.wait_text("text", "解答 1", "犬")
        keys("ctrl+shift+z")
        self.wait_listed(["dog", "cat"])

        keys("ctrl+s")
        self.editor.dialog(self.window)
        keys("ctrl+a")
        path = os.path.join(self.folder.documents, "animals")
        type_text(path)
        keys("Return")
        self.window.wait_active()
        kx.wait_for(lambda: os.path.exists(path + ".qvw"), "the word file to be written")
        keys("alt+f", "x")  # saved: nothing to ask
        self.editor.wait_exit()
        with open(path + ".qvw", "rb") as f:
            self.assertEqual(f.read(), EXPECTED_FILE)

        # Named on the command line, relative to the working folder, as a file manager would.
        self.editor = kx.App.start(self.folder, "Brelmi", ["animals.qvw"])
        self.window = self.editor.window(EDITOR_TITLE).wait_active()
        self.entries = self.window.find("list", "問題の一覧")
        self.wait_listed(["dog", "cat"])
