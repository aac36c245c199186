# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Word lists in the programs people use beside ours: the editor's kvtml export opened in
KWordQuiz (each column named by its language), its CSV export split by LibreOffice Calc as its
import dialog preselects (comma, semicolon and tab), CSVs Calc writes in Shift_JIS, UTF-8 and
UTF-16 imported back whole, its Anki text read by Anki's text-import rules, and an Anki deck with
meanings on lines imported."""

import csv
import html
import html.parser
import os
import shutil
import subprocess
import tempfile
import unittest

import kx
from kx import keys, type_text

EDITOR_TITLE = "Kotobax 4  単語ﾌｧｲﾙ編集"
# (question, answers, information): Japanese, several answers, answers holding the CSV's and
# kvtml's own separator, comment and formula marks, information over two lines.
ENTRIES = [
    ("apple", ["りんご", "林檎"], "果物"),
    ("run", ["走る", "駆ける", "運営する"], "過去形は ran\\n過去分詞は run"),
    ("#1 fan", ["一番のファン"], ""),
    ("say \"hi\", then", ["「やあ」と言う; それから", "挨拶する"], "a, b; c"),
    ("=1+1", ["～する", "a、b"], "@home"),
]


def answers_cell(answers):
    """The answers as the exports join them: one holding ";" or a quote quoted."""
    def one(answer):
        if ";" in answer or '"' in answer:
            return '"' + answer.replace('"', '""') + '"'
        return answer
    return "; ".join(one(a) for a in answers)


def write_word_file(path, entries=ENTRIES):
    lines = ["Version 2.00"] + ["|@1|".join((q, "|@2|".join(a), i)) for q, a, i in entries]
    with open(path, "wb") as f:
        f.write(kx.ansi("\r\n".join(lines) + "\r\n"))


class _Cells(html.parser.HTMLParser):
    """The cells of the tables in a spreadsheet saved as HTML."""

    def __init__(self):
        super().__init__()
        self.rows, self.cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self.cell = ""
        elif tag == "br" and self.cell is not None:
            self.cell += "\n"

    def handle_endtag(self, tag):
        if tag == "td":
            # Calc writes an empty cell as a lone <br>.
            self.rows[-1].append("" if self.cell == "\n" else self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


class Exchange(kx.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = kx.ProgramFolder()
        cls.words = os.path.join(cls.folder.documents, "words.qvw")
        write_word_file(cls.words)
        # Japanese questions, English answers: the same words the other way round.
        cls.reversed = os.path.join(cls.folder.documents, "reversed.qvw")
        write_word_file(cls.reversed, [(a[0], [q], "") for q, a, _ in ENTRIES[:2]])
        cls.office_home = tempfile.mkdtemp(prefix="kx-e2e-office-")

    @classmethod
    def tearDownClass(cls):
        cls.folder.remove()
        shutil.rmtree(cls.office_home, ignore_errors=True)

    def export(self, name, words=None):
        """The word file exported through the editor's File menu; returns the path."""
        editor = kx.App.start(self.folder, "Brelmi", [words or self.words])
        try:
            window = editor.window(EDITOR_TITLE).wait_active()
            keys("alt+f", "e")
            editor.dialog(window)
            keys("ctrl+a")
            path = os.path.join(self.folder.documents, name)
            type_text(path)
            keys("Return")
            if not name.endswith(".txt"):
                # The type is still Anki text's: the box asks, and its default is the name's.
                editor.window("エクスポート").wait_active()
                keys("Return")
            kx.wait_for(lambda: os.path.exists(path), f"{name} to be written")
            return path
        finally:
            editor.kill()

    def office(self, *arguments):
        subprocess.run(["soffice", f"-env:UserInstallation=file://{self.office_home}",
                        "--headless", *arguments], check=True, capture_output=True, timeout=180)

    def kwordquiz_table(self, path, expected):
        """The column names of KWordQuiz's table once it shows the expected rows."""
        quiz = subprocess.Popen(["kwordquiz", path], cwd=self.folder.documents,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            app = kx.App(quiz.pid, quiz)

            def headers():
                for table in kx.find_all(app.node, "table"):
                    cells = [c.name for c in kx.find_all(table, "table cell", visible=False)]
                    found = [cells[i:i + 2] for i in range(0, len(cells) - 1, 2)]
                    if found[:len(expected)] == expected:
                        names = [h.name for h in
                                 kx.find_all(table, "column header", visible=False)]
                        if not names:
                            columns = table.queryTable()
                            names = [columns.getColumnDescription(i)
                                     for i in range(columns.nColumns)]
                        return names
                return None
            return kx.wait_for(headers, "KWordQuiz's table to show every entry", timeout=60)
        finally:
            quiz.kill()
            quiz.wait(5)

    @unittest.skipUnless(shutil.which("kwordquiz"), "KWordQuiz (Debian kwordquiz) is not installed")
    def test_kwordquiz_shows_every_entry(self):
        path = self.export("words.kvtml")
        names = self.kwordquiz_table(path, [[q, answers_cell(a)] for q, a, _ in ENTRIES])
        self.assertEqual(names[:2], ["English", "日本語"])

    @unittest.skipUnless(shutil.which("kwordquiz"), "KWordQuiz (Debian kwordquiz) is not installed")
    def test_kwordquiz_names_japanese_questions_japanese(self):
        path = self.export("reversed.kvtml", self.reversed)
        names = self.kwordquiz_table(path, [[a[0], q] for q, a, _ in ENTRIES[:2]])
        self.assertEqual(names[:2], ["日本語", "English"])

    @unittest.skipUnless(shutil.which("soffice"), "LibreOffice Calc is not installed")
    def test_libreoffice_splits_the_csv_export_into_three_cells(self):
        path = self.export("words.csv")
        out = os.path.join(self.folder.documents, "calc")
        # Comma, semicolon and tab as separators, quotes around text, UTF-8: the import
        # dialog's defaults.
        self.office("--infilter=CSV:44/59/9,34,76,1", "--convert-to", "html", "--outdir", out,
                    path)
        cells = _Cells()
        with open(os.path.join(out, "words.html"), encoding="utf-8") as f:
            cells.feed(f.read())
        guarded = lambda text: " " + text if text and text[0] in "=+-@" else text  # noqa: E731
        expected = [[guarded(q), guarded(answers_cell(a)), guarded(i.replace("\\n", "\n"))]
                    for q, a, i in ENTRIES]
        self.assertEqual(cells.rows, expected)

    @unittest.skipUnless(shutil.which("soffice"), "LibreOffice Calc is not installed")
    def test_csv_written_by_libreoffice_imports_whole(self):
        source = self.export("source.csv")
        for name, charset in (("Shift_JIS", 64), ("UTF-8", 76), ("UTF-16", 65535)):
            with self.subTest(name):
                out = os.path.join(self.folder.documents, name)
                self.office("--infilter=CSV:44,34,76,1", "--convert-to",
                            f"csv:Text - txt - csv (StarCalc):44,34,{charset}", "--outdir", out,
                            source)
                written = os.path.join(out, "source.csv")
                saved = os.path.join(self.folder.documents, f"imported-{name}")
                self.import_and_save(written, saved)
                self.assertEqual(kx.read_word_file(saved + ".qvw"),
                                 [(q, a, i) for q, a, i in ENTRIES])

    def test_anki_reads_the_export_as_two_fields_without_tags(self):
        """Anki's rules for a text file: "#key:value" header lines first, then records split
        at the separator with "#" starting a comment; without "#columns:" the columns fill the
        note type's fields in order (its stock one has two), and a column beyond the last
        field becomes the tags."""
        path = self.export("deck.txt")
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        header = {}
        while lines and lines[0].startswith("#"):
            key, _, value = lines.pop(0)[1:].partition(":")
            header[key.strip().lower()] = value
        self.assertEqual((header.get("separator"), header.get("html")), ("tab", "true"))
        self.assertNotIn("columns", header)
        records = list(csv.reader((line for line in lines if line and not line.startswith("#")),
                                  delimiter="\t"))
        fields = 2
        self.assertEqual([len(r) for r in records], [fields] * len(ENTRIES))  # no tags column

        def text(field):
            return html.unescape(field.replace("<br>", "\n"))
        for record, (question, answers, information) in zip(records, ENTRIES):
            back = "\n".join(answers)
            if information:
                back += "<hr id=information>" + information.replace("\\n", "\n")
            self.assertEqual([text(record[0]), text(record[1])], [question, back])

    def test_anki_meanings_on_lines_import_split(self):
        deck = os.path.join(self.folder.documents, "abandon.txt")
        with open(deck, "w", encoding="utf-8") as f:
            f.write("#separator:tab\n#html:true\n"
                    "abandon\t<div>見捨てる</div><div>放棄する</div>\n"
                    "acquire\t習得する<br>獲得する\n")
        saved = os.path.join(self.folder.documents, "abandon-imported")
        self.import_and_save(deck, saved, 2, information=False)
        self.assertEqual(kx.read_word_file(saved + ".qvw"),
                         [("abandon", ["見捨てる", "放棄する"], ""),
                          ("acquire", ["習得する", "獲得する"], "")])

    def import_and_save(self, path, saved, count=len(ENTRIES), information=True):
        editor = kx.App.start(self.folder, "Brelmi")
        try:
            window = editor.window(EDITOR_TITLE).wait_active()
            keys("alt+f", "i")
            editor.dialog(window)
            keys("ctrl+a")
            type_text(path)
            keys("Return")
            editor.window("インポート").wait_active()
            if information:
                keys("alt+n", "End")  # the information from the last column
            keys("alt+i")  # everything else as the preview proposes
            window.wait_active()
            kx.wait_for(lambda: len(kx.find_all(window.find("list", "問題の一覧"), "list item"))
                        == count, "the entries to be imported")
            keys("ctrl+s")
            editor.dialog(window)
            keys("ctrl+a")
            type_text(saved)
            keys("Return")
            kx.wait_for(lambda: os.path.exists(saved + ".qvw"), "the word file to be written")
        finally:
            editor.kill()
