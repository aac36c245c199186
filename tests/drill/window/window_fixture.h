#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "drill/window/drill_clock.h"
#include "drill/window/frm_main.h"
#include "drill_support.h"

namespace drill::test {

// The real window on the scripted platform, with a clock the test moves by hand.
class WindowTest : public DrillTest {
public:
    std::unique_ptr<frmMain> window;
    qint64 now = 5000;  // the clock's milliseconds

    void TearDown() override {
        window.reset();
        DrillTest::TearDown();
    }
    void create() {
        window = std::make_unique<frmMain>(platform, random);
        window->clock().setTimeSource([this] { return now; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T = QWidget>
    T* find(const QString& name) const {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    QAction* action(const QString& name) const { return find<QAction>(name); }
    QString text(const QString& name) const {
        QObject* object = find<QObject>(name);
        return object->property(object->inherits("QPlainTextEdit") ? "plainText" : "text")
            .toString();
    }
    QString rights() const {
        return QStringList{text("txtRight0"), text("txtRight1"), text("txtRight2"),
                           text("txtRight3")}
            .join(",");
    }
    // A "1" for each command available: Open, Start, Stop, Version, Help, Exit, the three mode
    // items and Edit.
    QString availability() const {
        QString flags;
        for (const char* name :
             {"Menu_Open", "Menu_Start", "Menu_GiveUp", "Menu_Version", "Menu_Help", "Menu_Exit",
              "Option_Normal", "Option_Endless", "Option_Conquering", "Option_Edit"}) {
            flags += action(name)->isEnabled() ? '1' : '0';
        }
        return flags;
    }
    QString words(const QStringList& lines) { return writeFile("words.qvw", wordFile(lines)); }

    // Keys go to whatever has the focus, as a learner's do.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void startDrill(const QStringList& lines, const QString& modeItem = "Option_Normal") {
        platform.fileNames({words(lines)});
        action("Menu_Open")->trigger();
        action(modeItem)->trigger();
        platform.answers({platform::Answer::Ok});
        action("Menu_Start")->trigger();
    }
    void answer(const QString& typed) {
        find<QLineEdit>("txtAnswer")->setText(typed);
        find<QPushButton>("cmdOK")->click();
    }
    void stop() {
        platform.answers({platform::Answer::Yes});
        press(Qt::Key_G, Qt::ControlModifier);
    }
    void tick(qint64 milliseconds) {
        now += milliseconds;
        window->clock().TIM_Timer();
    }
};

}  // namespace drill::test
