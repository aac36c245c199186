// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <memory>

#include "drill/window/difference_view.h"
#include "drill/window/drill_clock.h"
#include "drill/window/drill_layout.h"
#include "drill/window/frm_main.h"
#include "drill_support.h"
#include "line_edit_text.h"

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
    void create() { show(std::make_unique<frmMain>(platform, random)); }
    void show(std::unique_ptr<frmMain> made) {
        window = std::move(made);
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
    // Every text box holds whole lines of Japanese in the fonts that draw it, with "ON"'s
    // scroll bar below the line, and the captions fit their controls. The cursor rectangle is
    // where a box draws its line of text.
    void expectWholeJapaneseLines() {
        const QString sample = QStringLiteral("漢字かなカナ Ágjy|");
        for (const char* name :
             {"txtQuestion1", "txtRight0", "txtRight1", "txtRight2", "txtRight3", "txtAnswer"}) {
            auto* box = find<QLineEdit>(name);
            // Less the line edit's one-pixel margin above and below the line.
            const QRect text = lineEditTextArea(box);
            EXPECT_GE(text.height() - 2, japaneseLineHeight(box->font())) << name;
        }
        QTest::mouseClick(find("optVisibility0"), Qt::LeftButton);
        const std::vector<std::tuple<const char*, int>> multiLine{{"txtQuestion0", 1},
                                                                  {"txtInformation", 3}};
        for (const auto& [name, lines] : multiLine) {
            auto* box = find<QPlainTextEdit>(name);
            const QString shown = box->toPlainText();
            box->setPlainText(QStringList(lines, sample).join('\n'));
            box->grab();
            QTextCursor last(box->document()->lastBlock());
            const QRect line = box->cursorRect(last).translated(box->viewport()->pos());
            EXPECT_GE(line.height(), japaneseLineHeight(box->font())) << name;
            EXPECT_LE(line.bottom(), box->viewport()->geometry().bottom()) << name;
            if (lines == 1) {  // "ON": the scroll bar lies below the line
                EXPECT_GT(box->horizontalScrollBar()->mapTo(box, QPoint(0, 0)).y(), line.bottom());
            }
            box->setPlainText(shown);
        }
        // The longest answers' difference, Japanese and marked throughout, fits its row.
        auto* difference = find<DifferenceView>("lblDifference");
        difference->showDifference(
            differenceToClosest(QStringLiteral("漢字かなカナÁg").repeated(8),
                                {QStringLiteral("かな漢字ÁjカナX").repeated(8)}));
        for (const char* name : {"cmdOK", "lblResult", "lblTime", "lblCount", "lblDifference",
                                 "cmdChoice0", "cmdReveal", "cmdForgotten"}) {
            const QWidget* control = find(name);
            EXPECT_LE(control->sizeHint().height(), control->height()) << name;
        }
        EXPECT_LE(difference->sizeHint().width(), difference->width());
        difference->clear();
    }

    void tick(qint64 milliseconds) {
        now += milliseconds;
        window->clock().TIM_Timer();
    }
};

}  // namespace drill::test
