#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

#include "common/ansi_text.h"
#include "drill/window/drill_clock.h"
#include "drill/window/frm_main.h"
#include "given_random.h"
#include "platform/scripted_platform.h"

namespace drill::test {

class WindowTest : public ::testing::Test {
public:
    platform::ScriptedPlatform platform;
    GivenRandom random;
    std::unique_ptr<frmMain> window;
    qint64 now = 5000;  // the clock's milliseconds

    void TearDown() override {
        window.reset();
        EXPECT_TRUE(platform.unexpected().empty()) << platform.unexpected().front();
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
        if (auto* box = qobject_cast<QPlainTextEdit*>(object)) {
            return box->toPlainText();
        }
        return object->property("text").toString();
    }
    QString programFile(const QString& name) const { return platform.programFolder() + name; }

    QString writeWordFile(const QStringList& lines) {
        const QString path = programFile("words.qvw");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(common::encodeAnsi("Version 2.00\r\n" + lines.join("\r\n") + "\r\n"));
        return path;
    }

    // Keys go to whatever has the focus, as a learner's do.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    void startDrill(const QStringList& lines, const QString& modeItem = "Option_Normal") {
        platform.fileNames({writeWordFile(lines)});
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
        action("Menu_GiveUp")->trigger();
    }
    void tick(qint64 milliseconds) {
        now += milliseconds;
        window->clock().TIM_Timer();
    }
};

}  // namespace drill::test
