#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/document/check_number.h"
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
using platform::MessageBox;

const MessageBox kConfirmReverse{"逆問題の生成を行います。\r\nよろしいですか？",
                                 "逆問題",
                                 platform::Icon::Question,
                                 platform::Buttons::YesNo,
                                 Answer::Yes,
                                 12};

QList<common::Entry> entries(const QStringList& questions) {
    QList<common::Entry> list;
    for (const QString& q : questions) {
        list.append({q, q + QStringLiteral("1|@2|") + q + QStringLiteral("2"), q + "\\ninfo"});
    }
    return list;
}

// Runs `act` on the modal dialog that the next step opens.
void onModalDialog(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        act(modal);
    });
}

std::array<QString, 4> answerBoxes(const EditorWindow& editor) {
    std::array<QString, 4> boxes;
    for (int i = 0; i < 4; ++i) {
        boxes[i] = editor.form().txtRight(i)->text();
    }
    return boxes;
}

void click(QWidget* dialog, const char* name) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

TEST(GetCheckNumber, FirstCheckedItemOrZero) {
    const std::vector<std::pair<std::vector<bool>, int>> cases = {
        {{false, false, false}, 0},
        {{false, true, true}, 1},
        {{false, false, true}, 2},
        {{true, false, true}, 0},
        {{}, 0},
    };
    for (const auto& [checked, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(checked));
        QObject owner;
        QList<QAction*> items;
        for (bool c : checked) {
            items.append(new QAction(&owner));
            items.back()->setCheckable(true);
            items.back()->setChecked(c);
        }
        EXPECT_EQ(editor::getCheckNumber(items), expected);
    }
}

TEST(FrmEditOptions, CheckMarksSurviveARestartAndReachTheBoxes) {
    EditorWindow editor;
    for (const char* unchecked :
         {"Option_IME_Q_Mode0", "Option_IME_R_Mode0", "Option_IME_I_Mode0"}) {
        EXPECT_TRUE(editor.find<QAction>(unchecked)->isChecked()) << unchecked;
    }
    EXPECT_FALSE(editor.find<QAction>("Option_Focus")->isChecked());

    editor.trigger("Option_IME_Q_Mode1");
    editor.trigger("Option_IME_R_Mode2");
    editor.trigger("Option_IME_R_Mode2");  // choosing the checked item keeps it
    editor.trigger("Option_Focus");
    editor.window->close();
    editor.start();
    for (const char* checked :
         {"Option_IME_Q_Mode1", "Option_IME_R_Mode2", "Option_IME_I_Mode0", "Option_Focus"}) {
        EXPECT_TRUE(editor.find<QAction>(checked)->isChecked()) << checked;
    }
    EXPECT_FALSE(editor.find<QAction>("Option_IME_Q_Mode0")->isChecked());

    // Every gain of the focus applies the mode of the box's kind and, when on, the selection.
    struct Case {
        const char* toggle;  // a menu item chosen first
        QWidget* box;
        ImeMode mode;
        QString selected;
    };
    editor.form().txtQuestion()->setText("apple");
    editor.form().txtRight(3)->setText("りんご");
    editor.form().txtInformation()->setPlainText("a\nb");
    const std::vector<Case> cases = {
        {nullptr, editor.form().txtQuestion(), ImeMode::On, "apple"},
        {nullptr, editor.form().txtRight(3), ImeMode::Off, "りんご"},
        {nullptr, editor.form().txtRight(0), ImeMode::Off, ""},
        {nullptr, editor.form().txtInformation(), ImeMode::NoControl, "a\u2029b"},
        {"Option_Focus", editor.form().txtRight(3), ImeMode::Off, ""},
        {"Option_IME_Q_Mode0", editor.form().txtQuestion(), ImeMode::NoControl, ""},
    };
    QApplication::setActiveWindow(editor.window.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box->objectName().toStdString());
        if (c.toggle) {
            editor.trigger(c.toggle);
        }
        editor.form().txtInformation()->moveCursor(QTextCursor::End);
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

    // A click selects once it is done; the search text takes the selection but no mode.
    editor.trigger("Option_Focus");
    QLineEdit* question = editor.form().txtQuestion();
    editor.list().setFocus();
    QTest::mouseClick(question, Qt::LeftButton, {}, QPoint(5, question->height() / 2));
    EXPECT_EQ(question->selectedText(), QStringLiteral("apple"));
    editor.window->setScanString("pear");
    editor.document().replaceAll(entries({"A"}));  // the search needs entries
    editor.trigger("Edit_Scan");
    auto* txtScan = editor.window->findChild<QLineEdit*>("txtScan");
    ASSERT_NE(txtScan, nullptr);
    QApplication::setActiveWindow(txtScan->window());
    editor.platform.clearRecords();
    txtScan->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(txtScan->selectedText(), QStringLiteral("pear"));
    EXPECT_THAT(editor.platform.imeChanges(), testing::IsEmpty());
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
    EXPECT_EQ(answerBoxes(editor), (std::array<QString, 4>{"d", "e", "f", ""}));
    EXPECT_EQ(editor.form().extraRights(), QString());
    EXPECT_EQ(editor.form().lblRightCount()->text(), QStringLiteral("3"));
    EXPECT_EQ(editor.document().entries(), entries({"A"}));
    EXPECT_FALSE(editor.document().isModified());

    onModalDialog([](QWidget* dialog) {
        dialog->findChild<QListWidget*>("lstRight")->selectAll();
        click(dialog, "cmdRemove");
        click(dialog, "cmdCancel");
    });
    editor.press("cmdMoreRight");
    EXPECT_EQ(answerBoxes(editor), (std::array<QString, 4>{"d", "e", "f", ""}));
    EXPECT_EQ(editor.form().lblRightCount()->text(), QStringLiteral("3"));
}

TEST(FrmEditReverse, NewEntriesAreAppendedAndSelectedAndTheFormStays) {
    EditorWindow editor;
    editor.document().replaceAll(entries({"A", "B", "C", "D", "E"}));
    EXPECT_FALSE(editor.find<QAction>("Edit_Reverse")->isEnabled());
    EXPECT_TRUE(editor.find<QAction>("Edit_ScanNext")->isEnabled());
    editor.clickEntry(1);
    editor.clickEntry(3, Qt::ControlModifier);
    EXPECT_TRUE(editor.find<QAction>("Edit_Reverse")->isEnabled());
    editor.platform.answers({Answer::Yes});
    editor.press("cmdReverse");
    EXPECT_EQ(editor.questions(), (QStringList{"A", "B", "C", "D", "E", "B1 | B2", "D1 | D2"}));
    EXPECT_EQ(editor.document().entry(6), (common::Entry{"D1 | D2", "D", "D\\ninfo"}));
    EXPECT_EQ(editor.list().selectedPositions(), (QList<int>{5, 6}));
    EXPECT_EQ(editor.list().currentPosition(), 3);
    EXPECT_EQ(editor.form().txtQuestion()->text(), QStringLiteral("D"));
    EXPECT_TRUE(editor.document().isModified());  // closing asks before dropping them
    EXPECT_EQ(editor.platform.shown(), std::vector<MessageBox>{kConfirmReverse});
    EXPECT_EQ(editor.platform.busyCount(), 1);

    // Nothing changes when the user says No, or when the result would not fit.
    struct Case {
        int count;
        Answer answer;
        MessageBox shown;
    };
    const MessageBox refusal{"項目の数が 32767 を超えるため、逆問題を生成できません。",
                             "逆問題",
                             platform::Icon::Warning,
                             platform::Buttons::Ok,
                             Answer::Ok,
                             {}};
    for (const Case& c : {Case{7, Answer::No, kConfirmReverse},
                          Case{common::kMaxEntries - 1, Answer::Ok, refusal}}) {
        SCOPED_TRACE(c.count);
        QStringList questions;
        for (int i = 0; i < c.count; ++i) {
            questions.append(QString::number(i));
        }
        editor.document().replaceAll(entries(questions));
        editor.list().setSelectedPositions({0, 1});
        editor.platform.clearRecords();
        editor.platform.answers({c.answer});
        editor.trigger("Edit_Reverse");
        EXPECT_EQ(editor.document().count(), c.count);
        EXPECT_FALSE(editor.document().isModified());
        EXPECT_EQ(editor.list().selectedPositions(), (QList<int>{0, 1}));
        EXPECT_EQ(editor.platform.shown(), std::vector<MessageBox>{c.shown});
    }
    EXPECT_THAT(editor.platform.unexpected(), testing::IsEmpty());

    editor.trigger("File_New");
    for (const char* item : {"Edit_Scan", "Edit_ScanNext", "Edit_Reverse"}) {
        EXPECT_FALSE(editor.find<QAction>(item)->isEnabled()) << item;
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
