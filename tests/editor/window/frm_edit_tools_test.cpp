// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/preferences.h"
#include "drill/history/sqlite_history.h"
#include "editor/window/frm_scan.h"
#include "editor_window.h"
#include "line_edit_text.h"
#include "platform/zoom_items.h"

#include <QCheckBox>
#include <QLabel>
#include <QScreen>

#include <utility>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::MessageBox;
using testing::IsEmpty;

// The undo table covers what Reverse leaves; here, the question and the refusal.
// Every gain of the focus applies the mode of the box's kind and, when on, the selection.
TEST(FrmEditOptions, FocusAppliesTheModeAndTheSelection) {
    EditorWindow editor({"A"});
    for (const QString item : {"Option_IME_Q_Mode1", "Option_IME_R_Mode2", "Option_Focus"}) {
        editor.trigger(item);
    }
    editor::EntryFormView& form = editor.form();
    form.txtQuestion()->setText(u"apple"_s);
    form.txtRight(3)->setText(u"りんご"_s);
    const struct {
        QLineEdit* box;
        platform::ImeMode mode;
    } table[] = {{form.txtQuestion(), platform::ImeMode::On},
                 {form.txtRight(3), platform::ImeMode::Off}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.box->objectName().toStdString());
        editor.list().setFocus();
        row.box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(platform::imeMode(row.box), row.mode);
        EXPECT_EQ(row.box->selectedText(), row.box->text());
    }
}

// F5 speaks the question box in the language of its text.
TEST(EditorSpeech, F5SpeaksTheQuestionBoxInItsLanguage) {
    EditorWindow editor;
    editor.platform.setSpokenLanguages(
        {platform::SpeechLanguage::English, platform::SpeechLanguage::Japanese});
    editor.form().txtQuestion()->setText(u"走る"_s);
    editor.trigger(u"Option_Speak"_s);
    EXPECT_EQ(editor.platform.spoken(), (std::vector<platform::ScriptedPlatform::Utterance>{
                                            {u"走る"_s, platform::SpeechLanguage::Japanese}}));
}

TEST(FrmEditReverse, NoOrTooManyChangesNothing) {
    const std::tuple<int, Answer, MessageBox> table[] = {
        // clang-format off
        {7, Answer::No, question(u"逆問題の生成を行います。\r\nよろしいですか？"_s, u"逆問題"_s, platform::Buttons::YesNo, 12)},
        {common::kMaxEntries - 1, Answer::Ok,
         {u"項目の数が 32767 を超えるため、逆問題を生成できません。"_s, u"逆問題"_s, platform::Icon::Warning}},
        // clang-format on
    };
    for (const auto& [count, answer, shown] : table) {
        EditorWindow editor;
        editor.document().replaceAll(QList<common::Entry>(count, entryOf("e")));
        editor.list().setSelectedPositions({0, 1});
        editor.platform.answers({answer});
        editor.trigger(u"Edit_Reverse"_s);
        EXPECT_EQ(editor.document().count(), count);
        EXPECT_FALSE(editor.document().isModified());
        EXPECT_EQ(editor.platform.shown(), std::vector<MessageBox>{shown});
    }
}

MessageBox told(const char* text) {
    return {QString::fromUtf8(text), u"検索"_s, platform::Icon::Warning};
}

// Warnings open the dialog; a match becomes the current and only selected entry, shown in the
// form (the walk itself is the logic's table).
TEST(FrmEditSearch, WarnsAndFinds) {
    EditorWindow editor({"A", "B", "Cx", "D"});
    editor.platform.answers({Answer::Ok, Answer::Ok});
    editor.trigger(u"Edit_ScanNext"_s);  // before the dialog was ever used
    auto* dialog = editor.find<editor::frmScan>(u"frmScan"_s);
    ASSERT_TRUE(dialog && dialog->isVisible());
    for (const QString name : {"chkQuestion", "chkRight", "chkInfo"}) {
        dialog->findChild<QCheckBox*>(name)->setChecked(false);
    }
    dialog->findChild<QLineEdit*>(u"txtScan"_s)->setText(u"x"_s);
    click(dialog, u"cmdScan"_s);
    EXPECT_EQ(editor.platform.shown(),
              (std::vector<MessageBox>{told("検索文字列を指定してください。"),
                                       told("検索の対象を指定してください。")}));

    dialog->findChild<QCheckBox*>(u"chkQuestion"_s)->setChecked(true);
    click(dialog, u"cmdScan"_s);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{2});
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"Cx"_s);
}

// Window events are handled while a search runs: a change of the document stops it without
// touching any entry, and closing the window ends it quietly.
TEST(FrmEditSearch, EventsDuringASearchCannotBreakIt) {
    const QStringList questions = QStringList(200, u"q"_s) << u"x"_s;
    const std::function<void(EditorWindow&)> table[] = {
        [](EditorWindow& e) { e.window->session().append({entryOf("y")}, {}); },
        [](EditorWindow& e) { e.window->close(); }};
    for (const auto& during : table) {
        EditorWindow editor(questions);
        editor.window->session().setScanString(u"x"_s);
        QTimer::singleShot(0, editor.window.get(), [&] { during(editor); });
        editor.trigger(u"Edit_ScanNext"_s);
        EXPECT_FALSE(editor.list().currentPosition());
        EXPECT_THAT(editor.platform.shown(), IsEmpty());
    }
}

// Every box holds a line of Japanese in the fonts that draw it; captions fit their controls.
void expectUnclipped(const EditorWindow& editor) {
    for (QLineEdit* box : editor.form().findChildren<QLineEdit*>()) {
        const QRect text = lineEditTextArea(box);
        EXPECT_GE(text.height(), platform::japaneseLineHeight(box->font()))
            << box->objectName().toStdString();
    }
    for (QWidget* control : editor.window->centralWidget()->findChildren<QWidget*>()) {
        const bool caption = qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control);
        if (caption && !control->isHidden()) {
            const QSize least = control->minimumSizeHint();
            EXPECT_TRUE(control->height() >= least.height() && control->width() >= least.width())
                << control->objectName().toStdString();
        }
    }
}

// Run on a large screen and on a small one at scale 2 too (see CMakeLists.txt): the zoom grows
// to the largest step the window fits and stays there with 拡大 greyed; the normal size gives
// back the window's first size.
TEST(EditorZoom, FontsGrowStepByStepUnclippedWithinTheScreenAndAreRemembered) {
    drill::history::SqliteHistory reviews(u":memory:"_s);  // with the reviews' line
    EditorWindow editor({u"漢字の問題"_s}, &reviews);
    editor.clickEntry(0);
    const QSize first = editor.window->size();
    const QRect available = editor.window->screen()->availableGeometry();
    const double normal = editor.form().txtQuestion()->font().pointSizeF();
    int reached = 100;
    for (int wanted = 125; wanted <= 300; wanted += 25) {
        SCOPED_TRACE(wanted);
        QTest::keyClick(editor.form().txtQuestion(), Qt::Key_Equal, Qt::ControlModifier);
        QApplication::processEvents();
        const double size = editor.form().txtQuestion()->font().pointSizeF();
        const int before = std::exchange(reached, qRound(size / normal * 100));
        EXPECT_TRUE(reached == wanted || reached == before) << reached;
        const QSize frame = editor.window->frameGeometry().size();
        EXPECT_TRUE(frame.boundedTo(available.size()) == frame);
        expectUnclipped(editor);
    }
    if (available.height() >= 1500) {
        EXPECT_EQ(reached, 300);
    }
    EXPECT_FALSE(editor.find<QAction>(u"Option_ZoomIn"_s)->isEnabled());
    EXPECT_EQ(common::PreferencesFile(editor.platform.preferencesFile()).load().editorZoom,
              reached);

    editor.start();  // the next window opens at it
    EXPECT_EQ(editor.form().txtQuestion()->font().pointSizeF(), normal * reached / 100);
    editor.trigger(u"Option_ZoomNormal"_s);
    EXPECT_EQ(editor.window->size(), first);
}

}  // namespace
