#include "editor/logic/search.h"
#include "editor/window/frm_scan.h"
#include "editor_window.h"

#include <QCheckBox>

namespace {

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::ImeMode;
using platform::MessageBox;
using testing::IsEmpty;

// Every gain of the focus applies the mode of the box's kind and, when on, the selection.
TEST(FrmEditOptions, FocusAppliesTheModeAndTheSelection) {
    EditorWindow editor({"A"});
    for (const QString item : {"Option_IME_Q_Mode1", "Option_IME_R_Mode2", "Option_Focus"}) {
        editor.trigger(item);
    }
    editor::EntryFormView& form = editor.form();
    form.txtQuestion()->setText(u"apple"_s);
    form.txtRight(3)->setText(u"りんご"_s);
    form.txtInformation()->setPlainText(u"a\nb"_s);
    const struct {
        const char* toggle;  // a menu item chosen first
        QWidget* box;
        ImeMode mode;
        QString selected;
    } table[] = {{nullptr, form.txtQuestion(), ImeMode::On, u"apple"_s},
                 {nullptr, form.txtRight(3), ImeMode::Off, u"りんご"_s},
                 {nullptr, form.txtInformation(), ImeMode::NoControl, u"a\u2029b"_s},
                 {"Option_Focus", form.txtRight(3), ImeMode::Off, ""},
                 {"Option_IME_Q_Mode0", form.txtQuestion(), ImeMode::NoControl, ""}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.box->objectName().toStdString());
        if (row.toggle) {
            editor.trigger(QString::fromLatin1(row.toggle));
        }
        form.txtInformation()->moveCursor(QTextCursor::End);
        editor.list().setFocus();
        editor.platform.clearRecords();
        row.box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(editor.platform.imeChanges().size(), 1u);
        EXPECT_EQ(platform::imeMode(row.box), row.mode);
        auto* line = qobject_cast<QLineEdit*>(row.box);
        EXPECT_EQ(line ? line->selectedText() : form.txtInformation()->textCursor().selectedText(),
                  row.selected);
    }

    // A click selects once it is done; the search text takes the selection but no mode.
    editor.trigger(u"Option_Focus"_s);
    editor.list().setFocus();
    QTest::mouseClick(form.txtQuestion(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.txtQuestion()->selectedText(), u"apple"_s);
    editor.window->setScanString(u"pear"_s);
    editor.trigger(u"Edit_Scan"_s);
    auto* txtScan = editor.find<QLineEdit>(u"txtScan"_s);
    QApplication::setActiveWindow(txtScan->window());
    editor.platform.clearRecords();
    txtScan->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(txtScan->selectedText(), u"pear"_s);
    EXPECT_THAT(editor.platform.imeChanges(), IsEmpty());
}

TEST(FrmEditReverse, NewEntriesAreAppendedAndSelectedAndTheFormStays) {
    const MessageBox confirm = question(u"逆問題の生成を行います。\r\nよろしいですか？"_s,
                                        u"逆問題"_s, platform::Buttons::YesNo, 12);
    EditorWindow editor({"A", "B", "C", "D", "E"});
    EXPECT_FALSE(editor.find<QAction>(u"Edit_Reverse"_s)->isEnabled());
    editor.clickEntry(1);
    editor.clickEntry(3, Qt::ControlModifier);
    EXPECT_TRUE(editor.find<QAction>(u"Edit_Reverse"_s)->isEnabled());
    editor.platform.answers({Answer::Yes});
    editor.press(u"cmdReverse"_s);
    // The entries and the selection it leaves: the undo table.
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"D"_s);
    EXPECT_TRUE(editor.document().isModified());  // closing asks before dropping them
    EXPECT_EQ(editor.platform.shown(), std::vector<MessageBox>{confirm});
    EXPECT_EQ(editor.platform.busyCount(), 1);

    // Nothing changes when the user says No, or when the result would not fit.
    const MessageBox refusal{u"項目の数が 32767 を超えるため、逆問題を生成できません。"_s,
                             u"逆問題"_s, platform::Icon::Warning};
    const std::tuple<int, Answer, MessageBox> table[] = {
        {7, Answer::No, confirm}, {common::kMaxEntries - 1, Answer::Ok, refusal}};
    for (const auto& [count, answer, shown] : table) {
        editor.document().replaceAll(QList<common::Entry>(count, entryOf("e")));
        editor.list().setSelectedPositions({0, 1});
        editor.platform.clearRecords();
        editor.platform.answers({answer});
        editor.trigger(u"Edit_Reverse"_s);
        EXPECT_EQ(editor.document().count(), count);
        EXPECT_FALSE(editor.document().isModified());
        EXPECT_EQ(editor.list().selectedPositions(), (QList<int>{0, 1}));
        EXPECT_EQ(editor.platform.shown(), std::vector<MessageBox>{shown});
    }
    editor.trigger(u"File_New"_s);
    for (const QString item : {"Edit_Scan", "Edit_ScanNext", "Edit_Reverse"}) {
        EXPECT_FALSE(editor.find<QAction>(item)->isEnabled()) << item.toStdString();
    }
}

MessageBox told(const char* text, platform::Icon icon = platform::Icon::Warning) {
    return {QString::fromUtf8(text), u"検索"_s, icon};
}

// Warnings open the dialog (with every field ticked); a match becomes the current and only
// selected entry, shown in the form; F3 wraps after the question; the dialog goes with the
// window.
TEST(FrmEditSearch, StepsThroughTheDocumentAndEndsWithTheWindow) {
    EditorWindow editor({"A", "B", "Cx", "D"});
    editor.window->setScanFields(editor::kScanRights);
    editor.platform.answers({Answer::Ok, Answer::Ok});
    editor.trigger(u"Edit_ScanNext"_s);  // before the dialog was ever used
    auto* dialog = editor.find<editor::frmScan>(u"frmScan"_s);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    for (const QString name : {"chkQuestion", "chkRight", "chkInfo"}) {
        EXPECT_TRUE(dialog->findChild<QCheckBox*>(name)->isChecked()) << name.toStdString();
        dialog->findChild<QCheckBox*>(name)->setChecked(false);
    }
    dialog->findChild<QLineEdit*>(u"txtScan"_s)->setText(u"x"_s);
    click(dialog, u"cmdScan"_s);
    EXPECT_EQ(editor.platform.shown(),
              (std::vector<MessageBox>{told("検索文字列を指定してください。"),
                                       told("検索の対象を指定してください。")}));
    EXPECT_EQ(editor.window->findChild<editor::frmScan*>(), dialog);

    dialog->findChild<QCheckBox*>(u"chkQuestion"_s)->setChecked(true);
    click(dialog, u"cmdScan"_s);
    EXPECT_EQ(editor.list().currentPosition(), 2);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{2});
    EXPECT_EQ(editor.form().txtQuestion()->text(), u"Cx"_s);
    EXPECT_EQ(editor.entryButtons(), (std::array<bool, 4>{true, true, true, true}));

    editor.platform.clearRecords();
    editor.platform.answers({Answer::Yes});
    editor.trigger(u"Edit_ScanNext"_s);  // wraps and finds the current entry again
    EXPECT_EQ(editor.list().currentPosition(), 2);
    EXPECT_EQ(editor.platform.shown().at(0).text,
              u"検索が完了しました。\r\nﾘｽﾄの最初から再検索しますか？"_s);

    editor.window->setScanString(u"none"_s);
    editor.platform.answers({Answer::Yes, Answer::Ok});
    editor.trigger(u"Edit_ScanNext"_s);
    EXPECT_EQ(editor.platform.shown().back(), told("検索が完了しました。", platform::Icon::None));

    QPointer<editor::frmScan> open = dialog;
    editor.window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
}

// Window events are handled while a search runs: a change of the document stops it without
// touching any entry, another search is not started, and closing the window ends it quietly.
TEST(FrmEditSearch, EventsDuringASearchCannotBreakIt) {
    QStringList questions(200, u"q"_s);
    questions.append(u"x"_s);
    const struct {
        const char* name;
        std::function<void(EditorWindow&)> during;
        std::optional<int> found;
    } table[] = {
        {"the document changes", [](EditorWindow& e) { e.document().add(entryOf("y")); }, {}},
        {"F3 again, the dialog closes",
         [](EditorWindow& e) {
             e.trigger(u"Edit_ScanNext"_s);
             EXPECT_FALSE(e.list().currentPosition());  // not started again
             e.window->findChild<editor::frmScan*>()->close();
         },
         200},
        {"the window closes", [](EditorWindow& e) { e.window->close(); }, {}}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EditorWindow editor(questions);
        editor.trigger(u"Edit_Scan"_s);
        auto* dialog = editor.find<editor::frmScan>(u"frmScan"_s);
        dialog->findChild<QLineEdit*>(u"txtScan"_s)->setText(u"x"_s);
        QTimer::singleShot(0, editor.window.get(), [&] { row.during(editor); });
        click(dialog, u"cmdScan"_s);
        EXPECT_EQ(editor.list().currentPosition(), row.found);
        EXPECT_THAT(editor.platform.shown(), IsEmpty());
    }

    // The restart question is a moment for events too.
    EditorWindow editor(questions);
    editor.window->setScanString(u"x"_s);
    editor.window->setCurrentPosition(200);
    editor.platform.answers({Answer::Yes});
    editor.platform.setOnMessage([&](const MessageBox&) { editor.document().add(entryOf("y")); });
    editor.trigger(u"Edit_ScanNext"_s);
    EXPECT_EQ(editor.platform.shown().size(), 1u);
    EXPECT_FALSE(editor.list().hasSelection());
}

}  // namespace
