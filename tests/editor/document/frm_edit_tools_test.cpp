#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/document/frm_scan.h"
#include "editor/entries/frm_add_right.h"
#include "editor_window.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

namespace {

using platform::Answer;
using platform::ImeMode;

QList<common::Entry> entries(const QStringList& questions) {
    QList<common::Entry> list;
    for (const QString& q : questions) {
        list.append({q, q + QStringLiteral("1|@2|") + q + QStringLiteral("2"), q + "\\ninfo"});
    }
    return list;
}

// Runs `act` on the modal dialog that the next step opens.
void onModalDialog(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        act(modal);
    });
}

void click(QWidget* dialog, const char* name) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

TEST(FrmEditOptions, CheckMarksSurviveARestartAndReachTheBoxes) {
    EditorWindow editor;
    for (const char* unchecked :
         {"Option_IME_Q_Mode0", "Option_IME_R_Mode0", "Option_IME_I_Mode0"}) {
        EXPECT_TRUE(editor.action(unchecked)->isChecked()) << unchecked;
    }
    EXPECT_FALSE(editor.action("Option_Focus")->isChecked());

    editor.trigger("Option_IME_Q_Mode1");
    editor.trigger("Option_IME_R_Mode2");
    editor.trigger("Option_IME_R_Mode2");  // choosing the checked item keeps it
    editor.trigger("Option_Focus");
    editor.window->close();
    editor.start();
    for (const char* checked :
         {"Option_IME_Q_Mode1", "Option_IME_R_Mode2", "Option_IME_I_Mode0", "Option_Focus"}) {
        EXPECT_TRUE(editor.action(checked)->isChecked()) << checked;
    }
    EXPECT_FALSE(editor.action("Option_IME_Q_Mode0")->isChecked());

    struct Case {
        QWidget* box;
        ImeMode mode;
        QString selected;
    };
    editor.form().txtQuestion()->setText("apple");
    editor.form().txtRight(3)->setText("りんご");
    editor.form().txtInformation()->setPlainText("x");
    const std::vector<Case> cases = {
        {editor.form().txtQuestion(), ImeMode::On, "apple"},
        {editor.form().txtRight(3), ImeMode::Off, "りんご"},
        {editor.form().txtRight(0), ImeMode::Off, ""},
        {editor.form().txtInformation(), ImeMode::NoControl, "x"},
    };
    QApplication::setActiveWindow(editor.window.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box->objectName().toStdString());
        editor.list().setFocus();
        editor.platform.clearRecords();
        c.box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(editor.platform.imeChanges().size(), 1u);
        EXPECT_EQ(platform::imeMode(c.box), c.mode);
        auto* line = qobject_cast<QLineEdit*>(c.box);
        EXPECT_EQ(line ? line->selectedText()
                       : editor.form().txtInformation()->textCursor().selectedText(),
                  c.selected);
    }
}

TEST(FrmEditMoreAnswers, TheDialogWorksOnTheFormOnly) {
    EditorWindow editor;
    editor.document().replaceAll(entries({"A"}));
    editor.type("q", {"", "b", "", "d"});
    editor.form().setExtraRights("e|@2|f");
    onModalDialog([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("lstRight");
        EXPECT_EQ(list->count(), 4);
        list->item(0)->setSelected(true);
        click(dialog, "cmdRemove");
        dialog->findChild<QLineEdit*>("txtQuestion")->setText("q2");
        click(dialog, "cmdOK");
    });
    editor.press("cmdMoreRight");
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("q2"));
    EXPECT_EQ(editor.answerBoxes(), (std::array<QString, 4>{"d", "e", "f", ""}));
    EXPECT_EQ(editor.form().extraRights(), QString());
    EXPECT_EQ(editor.count(), QStringLiteral("3"));
    EXPECT_EQ(editor.document().entries(), entries({"A"}));
    EXPECT_FALSE(editor.document().isModified());

    onModalDialog([](QWidget* dialog) {
        dialog->findChild<QListWidget*>("lstRight")->selectAll();
        click(dialog, "cmdRemove");
        click(dialog, "cmdCancel");
    });
    editor.press("cmdMoreRight");
    EXPECT_EQ(editor.answerBoxes(), (std::array<QString, 4>{"d", "e", "f", ""}));
    EXPECT_EQ(editor.count(), QStringLiteral("3"));
}

TEST(FrmEditReverse, NewEntriesAreAppendedAndSelectedAndTheFormStays) {
    EditorWindow editor;
    editor.document().replaceAll(entries({"A", "B", "C", "D", "E"}));
    EXPECT_FALSE(editor.action("Edit_Reverse")->isEnabled());
    EXPECT_TRUE(editor.action("Edit_ScanNext")->isEnabled());
    editor.clickEntry(1);
    editor.clickEntry(3, Qt::ControlModifier);
    EXPECT_TRUE(editor.action("Edit_Reverse")->isEnabled());
    editor.platform.answers({Answer::Yes});
    editor.press("cmdReverse");
    EXPECT_EQ(editor.questions(), (QStringList{"A", "B", "C", "D", "E", "B1 | B2", "D1 | D2"}));
    EXPECT_EQ(editor.document().entry(6), (common::Entry{"D1 | D2", "D", "D\\ninfo"}));
    EXPECT_EQ(editor.list().selectedPositions(), (QList<int>{5, 6}));
    EXPECT_EQ(editor.list().currentPosition(), 3);
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("D"));
    EXPECT_FALSE(editor.document().isModified());
    EXPECT_EQ(editor.platform.shown().at(0).helpTopic, 12);
    EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());

    editor.trigger("File_New");
    for (const char* item : {"Edit_Scan", "Edit_ScanNext", "Edit_Reverse"}) {
        EXPECT_FALSE(editor.action(item)->isEnabled()) << item;
    }
}

TEST(FrmEditSearch, StepsThroughTheDocumentAndEndsWithTheWindow) {
    EditorWindow editor;
    editor.document().replaceAll(entries({"A", "B", "Cx", "D"}));
    editor.platform.answers({Answer::Ok});
    editor.trigger("Edit_ScanNext");
    EXPECT_EQ(editor.platform.shown().at(0).text, QStringLiteral("検索文字列を指定してください。"));
    auto* dialog = editor.window->findChild<editor::frmScan*>("frmScan");
    ASSERT_NE(dialog, nullptr);

    dialog->findChild<QLineEdit*>("txtScan")->setText("x");
    click(dialog, "cmdScan");
    EXPECT_EQ(editor.list().currentPosition(), 2);
    EXPECT_EQ(editor.list().selectedPositions(), QList<int>{2});
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("Cx"));
    EXPECT_EQ(editor.entryButtons(), (std::array<bool, 4>{true, true, true, true}));

    editor.platform.answers({Answer::Yes});
    editor.trigger("Edit_ScanNext");  // wraps and finds the current entry again
    EXPECT_EQ(editor.list().currentPosition(), 2);
    EXPECT_EQ(editor.window->scanString(), QStringLiteral("x"));

    QPointer<editor::frmScan> open = dialog;
    editor.window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
    EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());
}

}  // namespace
