// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/sqlite_history.h"
#include "editor_window.h"
#include "review/review_clock.h"
#include "review/word_key.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>

namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using drill::history::SqliteHistory;

const QString kKept = u"次の復習: 今日　復習 2 回・間違い 1 回"_s;
const QString kFresh = u"復習: まだありません"_s;

// The drill program's history with apple answered twice (once wrong) long ago, and the editor
// reading it as Brelmi does, with apple and pear saved in words.qvw.
struct EditedWords {
    QTemporaryDir folder;
    SqliteHistory drill{folder.filePath(u"history.sqlite"_s)};
    SqliteHistory reader{folder.filePath(u"history.sqlite"_s), QTimeZone::systemTimeZone(),
                         SqliteHistory::Access::ReadOnly};
    EditorWindow editor{{u"apple"_s, u"pear"_s}, &reader};
    QString wordFile = editor.path(u"words.qvw"_s);
    QByteArray apple = review::wordKey(entryOf(u"apple"_s));

    EditedWords() {
        save();
        for (const review::Grade grade : {review::Grade::Again, review::Grade::Good}) {
            EXPECT_EQ(drill.recordReview({review::ReviewTime{std::chrono::days(20000)}, apple,
                                          grade, 0, wordFile}),
                      "");
        }
    }
    void save(const QString& path = {}) {
        editor.platform.fileNames({path.isEmpty() ? wordFile : path});
        editor.trigger(u"File_Save"_s);
    }
    // Adds an answer to apple, as 更新 stores it.
    void editApple() {
        editor.clickEntry(0);
        EditorWindow::typeText(editor.form().txtRight(3), u"アップル"_s);
        editor.press(u"cmdChange"_s);
    }
    QByteArray firstKey() const { return review::wordKey(editor.document().entry(0)); }
    QString line() {
        editor.clickEntry(1);
        editor.clickEntry(0);
        return editor.find<QLabel>(u"lblReview"_s)->text();
    }
};

// The edited word's reviews follow it: the editor's line keeps them from 更新 on, and after the
// save the drill program counts them for the new text, in the same state; the old text keeps
// its own progress in a file that still holds it.
TEST(WordRenames, AnEditedWordKeepsItsReviews) {
    EditedWords words;
    words.editApple();
    const QByteArray edited = words.firstKey();
    ASSERT_NE(edited, words.apple);
    EXPECT_EQ(words.editor.find<QLabel>(u"lblReview"_s)->text(), kKept);
    EXPECT_EQ(words.drill.wordReviews(edited).reviews, 0);  // nothing before the save

    words.save();
    EXPECT_EQ(words.line(), kKept);  // read through the renames waiting for the drill program
    const review::WordReviews kept = words.drill.wordReviews(edited);
    EXPECT_EQ(kept.reviews, 2);
    EXPECT_EQ(kept.missed, 1);
    const auto states = words.drill.wordStates({edited, words.apple});
    ASSERT_TRUE(states.size() == 2 && states[0] && states[1]);
    EXPECT_EQ(std::tuple(states[0]->due, states[0]->reps, states[0]->lapses),
              std::tuple(states[1]->due, states[1]->reps, states[1]->lapses));
    EXPECT_FALSE(QFileInfo::exists(words.drill.renamesPath()));
    EXPECT_EQ(words.line(), kKept);
    // Answered again in a file that still holds the old text: its own, not the edited one's,
    // also through a replay.
    ASSERT_EQ(words.drill.recordReview({review::ReviewTime{std::chrono::days(20001)}, words.apple,
                                        review::Grade::Good, 0, words.editor.path(u"other.qvw"_s)}),
              "");
    words.drill.setDesiredRetention(0.8);
    EXPECT_EQ(words.drill.wordReviews(words.apple).reviews, 3);
    EXPECT_EQ(words.drill.wordReviews(edited).reviews, 2);
    const auto after = words.drill.wordStates({edited, words.apple});
    ASSERT_TRUE(after.size() == 2 && after[0] && after[1]);
    EXPECT_EQ(std::pair(after[0]->reps, after[1]->reps), std::pair(2, 3));
}

// A save hands the history no rename for an edit undone before it, for a new entry of the
// same question, nor for text the file stores as it stored the old (a UTF-8 file's 〜 stored
// by 更新 as ～).
TEST(WordRenames, OnlyASavedEditMovesProgress) {
    const struct {
        const char* name;
        std::function<void(EditedWords&)> steps;
    } cases[] = {
        {"undone before the save",
         [](EditedWords& w) {
             w.editApple();
             w.editor.trigger(u"Edit_Undo"_s);
         }},
        {"a new entry of the old question",
         [](EditedWords& w) {
             w.editor.type(u"apple"_s, {u"林檎"_s});
             w.editor.press(u"cmdAdd"_s);
         }},
        {"the same word as the file stores it",
         [](EditedWords& w) {
             w.editor.open(w.editor.writeFile(
                 u"utf8.qvw"_s, u"Version 2.00\r\nwave\u301C|@1|a|@1|\r\n"_s.toUtf8()));
             w.editor.clickEntry(0);
             w.editor.press(u"cmdChange"_s);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditedWords words;
        c.steps(words);
        words.save();
        EXPECT_FALSE(QFileInfo::exists(words.drill.renamesPath()));
        EXPECT_EQ(words.drill.wordReviews(words.apple).reviews, 2);
        const QByteArray last = review::wordKey(words.editor.document().entries().constLast());
        EXPECT_EQ(words.drill.wordReviews(last).reviews, 0);
    }
}

// A history that cannot take the renames never stops the save; they wait for the next one, as
// of the edit's save: an answer the old text is given meanwhile in another file stays its own.
TEST(WordRenames, AnUnwritableHistoryDoesNotStopTheSave) {
    EditedWords words;
    ASSERT_TRUE(QDir().mkpath(words.drill.renamesPath()));  // no file can be written there
    words.editApple();
    words.save();
    EXPECT_FALSE(words.editor.document().isModified());
    EXPECT_EQ(words.drill.wordReviews(words.firstKey()).reviews, 0);
    const review::ReviewTime meanwhile = review::SystemReviewClock().now() + 1ms;
    ASSERT_EQ(words.drill.recordReview({meanwhile, words.apple, review::Grade::Good, 0,
                                        words.editor.path(u"other.qvw"_s)}),
              "");
    QThread::msleep(5);  // the next save comes after the answer

    ASSERT_TRUE(QDir(words.drill.renamesPath()).removeRecursively());
    words.save();
    EXPECT_EQ(words.drill.wordReviews(words.firstKey()).reviews, 2);
}

}  // namespace
