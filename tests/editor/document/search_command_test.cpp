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
using platform::Icon;
using platform::MessageBox;

MessageBox box(const char* text, Icon icon) {
    return {text, "検索", icon, platform::Buttons::Ok, Answer::Ok, {}};
}

struct NoOptions : InputOptions {
    platform::ImeMode imeMode(BoxKind) const override { return platform::ImeMode::NoControl; }
    bool focusSelect() const override { return true; }
};

// The questions are the whole document; `onRead` runs as an entry is read.
class FakeHost : public SearchHost {
public:
    QStringList questions;
    int current = -1;
    quint64 changes = 0;
    QString text;
    int fields = kScanAllFields;
    QList<int> found;
    std::function<void(int)> onRead;

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
    void showFound(int p) override { found.append(p); }
};

class SearchCommandTest : public testing::Test {
protected:
    void SetUp() override {
        host.questions = {"A", "B", "C", "Dx"};
        window.show();
        command.setEntriesBetweenEvents(1);
    }
    frmScan* dialog() { return command.dialog(); }
    template <typename T>
    T* child(const char* name) {
        return dialog()->findChild<T*>(QLatin1String(name));
    }
    void searchFor(const QString& text) {
        command.openDialog();
        child<QLineEdit>("txtScan")->setText(text);
        QTest::mouseClick(child<QPushButton>("cmdScan"), Qt::LeftButton);
    }
    // Runs once, while the search reads the second entry.
    void duringTheSearch(const std::function<void()>& act) {
        host.onRead = [this, act, done = false](int p) mutable {
            if (p == 1 && !done) {
                done = true;
                QTimer::singleShot(0, &window, act);
            }
        };
    }

    platform::ScriptedPlatform platform;
    NoOptions options;
    FocusBehaviour focus{platform, options};
    QWidget window;
    FakeHost host;
    SearchCommand command{&window, host, platform, focus};
};

TEST_F(SearchCommandTest, MissingTextOrFieldsWarnAndOpenTheDialogWithEveryFieldTicked) {
    platform.answers({Answer::Ok, Answer::Ok, Answer::Ok});
    command.scanNext();  // before the dialog was ever used
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    host.fields = kScanRights;
    command.openDialog();  // already open: the same dialog
    for (const char* name : {"chkQuestion", "chkRight", "chkInfo"}) {
        EXPECT_TRUE(child<QCheckBox>(name)->isChecked()) << name;
        child<QCheckBox>(name)->setChecked(false);
    }
    frmScan* opened = dialog();
    searchFor("x");
    EXPECT_EQ(dialog(), opened);
    EXPECT_EQ(host.fields, 0);
    host.questions.clear();
    host.fields = kScanAllFields;
    command.scanNext();
    EXPECT_EQ(platform.shown(),
              (std::vector<MessageBox>{box("検索文字列を指定してください。", Icon::Warning),
                                       box("検索の対象を指定してください。", Icon::Warning),
                                       box("検索が完了しました。", Icon::None)}));
    EXPECT_TRUE(host.found.isEmpty());
}

TEST_F(SearchCommandTest, AChangedDocumentStopsTheSearchWithoutTouchingAnyEntry) {
    duringTheSearch([this] { ++host.changes; });
    searchFor("x");
    EXPECT_THAT(platform.shown(), testing::IsEmpty());
    EXPECT_TRUE(host.found.isEmpty());
    EXPECT_FALSE(command.isRunning());

    // The restart question is a moment for events too.
    host.current = 3;
    platform.answers({Answer::Yes});
    platform.setOnMessage([this](const MessageBox&) { ++host.changes; });
    command.scanNext();
    EXPECT_EQ(platform.shown().size(), 1u);
    EXPECT_TRUE(host.found.isEmpty());
}

TEST_F(SearchCommandTest, EventsDuringASearchCannotStartAnotherOrBreakIt) {
    duringTheSearch([this] {
        command.scanNext();  // F3 again
        dialog()->close();
    });
    searchFor("x");
    EXPECT_EQ(host.found, QList<int>{3});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog(), nullptr);

    duringTheSearch([this] { window.close(); });
    command.scanNext();
    EXPECT_EQ(host.found, QList<int>{3});
    EXPECT_THAT(platform.shown(), testing::IsEmpty());
}

}  // namespace
}  // namespace editor
