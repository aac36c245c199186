#include "editor/document/search_command.h"
#include "editor/document/focus_behaviour.h"
#include "editor/document/frm_scan.h"
#include "platform/scripted_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace editor {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::MessageBox;

MessageBox box(const char* text, Icon icon, Buttons buttons = Buttons::Ok) {
    return {text, "検索", icon, buttons, buttons == Buttons::Ok ? Answer::Ok : Answer::Yes, {}};
}
const MessageBox kNeedText = box("検索文字列を指定してください。", Icon::Warning);
const MessageBox kNeedFields = box("検索の対象を指定してください。", Icon::Warning);
const MessageBox kFinished = box("検索が完了しました。", Icon::None);
const MessageBox kRestart =
    box("検索が完了しました。\r\nﾘｽﾄの最初から再検索しますか？", Icon::Question, Buttons::YesNo);

struct NoOptions : InputOptions {
    platform::ImeMode imeMode(BoxKind) const override { return platform::ImeMode::NoControl; }
    bool focusSelect() const override { return true; }
};

// The questions are the whole document; a found entry becomes the current one.
class FakeHost : public SearchHost {
public:
    QStringList questions;
    int current = -1;
    quint64 changes = 0;
    QString text;
    int fields = kScanAllFields;
    QList<int> found;
    std::function<void(int)> onRead;  // runs as an entry is read

    int entryCount() const override { return int(questions.size()); }
    QString question(int p) const override {
        if (onRead) {
            onRead(p);
        }
        return questions.at(p);
    }
    QString rights(int) const override { return {}; }
    QString information(int) const override { return {}; }
    QString scanString() const override { return text; }
    void setScanString(const QString& t) override { text = t; }
    int scanFields() const override { return fields; }
    void setScanFields(int f) override { fields = f; }
    int currentPosition() const override { return current; }
    quint64 revision() const override { return changes; }
    void showFound(int p) override {
        found.append(p);
        current = p;
    }
};

class SearchCommandTest : public testing::Test {
protected:
    void SetUp() override {
        host.questions = {"A", "B", "Cx", "D"};
        window.show();
    }

    frmScan* dialog() { return command.dialog(); }
    QLineEdit* txtScan() { return dialog()->findChild<QLineEdit*>("txtScan"); }
    void press(const char* name) {
        QTest::mouseClick(dialog()->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void searchFor(const QString& text) {
        command.openDialog();
        txtScan()->setText(text);
        press("cmdScan");
    }

    platform::ScriptedPlatform platform;
    NoOptions options;
    FocusBehaviour focus{platform, options};
    QWidget window;
    FakeHost host;
    SearchCommand* command_ = new SearchCommand(&window, host, platform, focus);
    SearchCommand& command = *command_;
};

TEST_F(SearchCommandTest, StepsFromMatchToMatchAndWrapsAfterTheQuestion) {
    struct Case {
        const char* name;
        QStringList questions;
        int current;
        std::vector<Answer> answers;
        std::vector<MessageBox> messages;
        QList<int> found;
    };
    const QStringList abcd = {"A", "B", "Cx", "D"};
    const QList<Case> cases = {
        {"after the current entry", abcd, 1, {}, {}, {2}},
        {"the current entry again after Yes", abcd, 2, {Answer::Yes}, {kRestart}, {2}},
        {"No stops", abcd, 2, {Answer::No}, {kRestart}, {}},
        {"no current entry, no match",
         {"A", "B"},
         -1,
         {Answer::Yes, Answer::Ok},
         {kRestart, kFinished},
         {}},
        {"empty list", {}, -1, {Answer::Ok}, {kFinished}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.questions = c.questions;
        host.current = c.current;
        host.found.clear();
        platform.clearRecords();
        for (Answer a : c.answers) {
            platform.answers({a});
        }
        searchFor("x");
        EXPECT_EQ(platform.shown(), c.messages);
        EXPECT_EQ(host.found, c.found);
        EXPECT_EQ(platform.answersLeft(), 0u);
        EXPECT_THAT(platform.unexpected(), testing::IsEmpty());
    }
}

TEST_F(SearchCommandTest, MissingTextOrFieldsWarnAndOpenTheDialog) {
    platform.answers({Answer::Ok, Answer::Ok});
    command.scanNext();  // before the dialog was ever used
    EXPECT_EQ(platform.shown(), std::vector<MessageBox>{kNeedText});
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_EQ(txtScan()->text(), QString());

    for (const char* name : {"chkQuestion", "chkRight", "chkInfo"}) {
        dialog()->findChild<QCheckBox*>(name)->setChecked(false);
    }
    txtScan()->setText("x");
    frmScan* opened = dialog();
    press("cmdScan");
    EXPECT_EQ(platform.shown(), (std::vector<MessageBox>{kNeedText, kNeedFields}));
    EXPECT_EQ(host.fields, 0);
    EXPECT_EQ(dialog(), opened);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_TRUE(host.found.isEmpty());
}

TEST_F(SearchCommandTest, TheDialogOpensWithTheTextAndAllFieldsAndEndsWithTheWindow) {
    host.current = 0;
    command.openDialog();
    txtScan()->setText("Cx");
    dialog()->findChild<QCheckBox*>("chkInfo")->setChecked(false);
    press("cmdScan");
    EXPECT_EQ(host.fields, kScanQuestion | kScanRights);
    press("cmdCancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog(), nullptr);

    command.openDialog();
    EXPECT_EQ(txtScan()->text(), QStringLiteral("Cx"));
    for (const char* name : {"chkQuestion", "chkRight", "chkInfo"}) {
        EXPECT_TRUE(dialog()->findChild<QCheckBox*>(name)->isChecked()) << name;
    }
    frmScan* opened = dialog();
    command.openDialog();
    EXPECT_EQ(dialog(), opened);

    window.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog(), nullptr);
}

TEST_F(SearchCommandTest, AChangedDocumentStopsTheSearchWithoutTouchingAnyEntry) {
    command.setEntriesBetweenEvents(1);
    host.questions = {"A", "B", "C", "D", "Ex"};
    host.onRead = [this](int p) {
        if (p == 1) {
            QTimer::singleShot(0, &command, [this] { ++host.changes; });
        }
    };
    searchFor("x");
    EXPECT_THAT(platform.shown(), testing::IsEmpty());
    EXPECT_TRUE(host.found.isEmpty());
    EXPECT_FALSE(command.isRunning());

    // The question box is a moment for events too.
    host.onRead = nullptr;
    host.questions = {"A", "B"};
    host.current = 1;
    platform.answers({Answer::Yes});
    platform.setOnMessage([this](const MessageBox&) { ++host.changes; });
    press("cmdScan");
    EXPECT_EQ(platform.shown(), std::vector<MessageBox>{kRestart});
    EXPECT_TRUE(host.found.isEmpty());
}

TEST_F(SearchCommandTest, EventsDuringASearchCannotStartAnotherOrBreakIt) {
    command.setEntriesBetweenEvents(1);
    host.questions = {"A", "B", "C", "Dx"};
    host.onRead = [this](int p) {
        if (p == 1) {
            QTimer::singleShot(0, &command, [this] {
                command.scanNext();  // F3 again while searching
                dialog()->close();   // and the dialog closed
            });
        }
    };
    searchFor("x");
    EXPECT_EQ(host.found, QList<int>{3});
    EXPECT_THAT(platform.shown(), testing::IsEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog(), nullptr);
}

TEST_F(SearchCommandTest, ClosingTheWindowDuringASearchEndsIt) {
    command.setEntriesBetweenEvents(1);
    host.questions = {"A", "B", "C", "Dx"};
    host.onRead = [this](int p) {
        if (p == 1) {
            QTimer::singleShot(0, &window, &QWidget::close);
        }
    };
    searchFor("x");
    EXPECT_TRUE(host.found.isEmpty());
    EXPECT_THAT(platform.shown(), testing::IsEmpty());
}

}  // namespace
}  // namespace editor
