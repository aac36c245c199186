// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Every control that a user can reach has a name that a screen reader reads out in Japanese.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

#include <QMap>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "drill/history/sqlite_history.h"
#include "drill/window/about.h"
#include "drill/window/frm_history.h"
#include "drill/window/frm_main.h"
#include "drill/window/frm_missed.h"
#include "drill/window/frm_review.h"
#include "drill_support.h"
#include "editor/window/focus_behaviour.h"
#include "editor/window/frm_add_right.h"
#include "editor/window/frm_edit.h"
#include "editor/window/frm_scan.h"
#include "exchange/window/exchange_commands.h"
#include "exchange/window/import_dialog.h"
#include "platform/help_viewer.h"
#include "platform/message_dialog.h"
#include "platform/scripted_platform.h"

namespace {

class NoInputOptions final : public editor::InputOptions {
public:
    common::ImeMode imeMode(editor::BoxKind) const override { return common::ImeMode::NoControl; }
    bool focusSelect() const override { return false; }
};

bool isJapanese(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
           (u >= 0xFF66 && u <= 0xFF9F);
}

// Qt's own parts of a composite control (a scroll area's bars, a list's viewport) are read
// through the control that holds them.
bool isInnerPart(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget; w != nullptr && w != window; w = w->parentWidget()) {
        if (w->objectName().startsWith(QLatin1String("qt_"))) {
            return true;
        }
    }
    return false;
}

// Controls reachable by keyboard or mouse whose accessible name is missing or not Japanese.
QStringList unnamedControls(const QWidget* window) {
    QStringList found;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        const bool reachable =
            widget->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(widget);
        if (!reachable || widget->isWindow() || isInnerPart(widget, window)) {
            continue;
        }
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget));
        const QString name =
            accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
        if (name != QLatin1String("OK") && std::none_of(name.begin(), name.end(), isJapanese)) {
            found.append(widget->objectName() + QLatin1Char(' ') +
                         QLatin1String(widget->metaObject()->className()) + QStringLiteral(" \"") +
                         name + QLatin1Char('"'));
        }
    }
    return found;
}

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>(platform::Platform&)> create;
};

// Every window of both programs, each made by create.
class EveryWindow : public testing::Test {
protected:
    drill::test::GivenRandom random;
    NoInputOptions options;
    std::unique_ptr<editor::FocusBehaviour> focus;
    drill::history::SqliteHistory reviews{":memory:"};

    editor::FocusBehaviour& focusOn(platform::Platform& p) {
        focus = std::make_unique<editor::FocusBehaviour>(p, options);
        return *focus;
    }

    std::vector<WindowCase> windows() {
        return {
            {"frmMain",
             [this](platform::Platform& p) { return std::make_unique<drill::frmMain>(p, random); }},
            {"frmEdit",
             [this](platform::Platform& p) {
                 auto window = std::make_unique<editor::frmEdit>(p, reviews);
                 window->document().replaceAll({{"apple", "りんご", ""}});
                 window->chooseEntry(0);  // with the line of its reviews
                 return window;
             }},
            {"frmMissed",
             [](platform::Platform& p) {
                 const drill::MissedEntry missed{{"q", "a", ""}, {"x"}};
                 return std::make_unique<drill::frmMissed>(QList{missed}, "/w.qvw", p, nullptr);
             }},
            {"frmHistory",
             [](platform::Platform& p) {
                 drill::history::DrillRecord drill;
                 drill.started = QDateTime::currentDateTimeUtc();
                 drill.wordFile = "/w.qvw";
                 drill.missed = {"q"};
                 return std::make_unique<drill::frmHistory>(QList{drill}, "/w.qvw", p, nullptr);
             }},
            {"frmReview",
             [this](platform::Platform& p) {
                 const drill::ReviewTime now{std::chrono::days(20000)};
                 for (const char* file : {"/w.qvw", "/x.qvw"}) {
                     reviews.recordReview({now, QByteArray(20, 'k'), drill::Grade::Good, 0, file});
                 }
                 return std::make_unique<drill::frmReview>(reviews, now, p, nullptr);
             }},
            {"frmAddRight",
             [this](platform::Platform& p) {
                 return std::make_unique<editor::frmAddRight>(QString(), editor::FormAnswers{},
                                                              focusOn(p), p, QString(), nullptr);
             }},
            {"frmScan",
             [this](platform::Platform& p) {
                 return std::make_unique<editor::frmScan>(QString(), focusOn(p), nullptr);
             }},
            {"frmImport",
             [](platform::Platform& p) {
                 exchange::Table table;
                 table.columns = {QStringLiteral("列 1"), QStringLiteral("列 2")};
                 table.rows = {{QStringLiteral("apple"), QString()}};
                 table.sourceLines = {1};
                 return std::make_unique<exchange::ImportDialog>(table, 10, p);
             }},
            {"frmPrintOptions",
             [](platform::Platform&) { return exchange::makePrintOptionsDialog(nullptr); }},
            {"helpViewer",
             [](platform::Platform&) { return std::make_unique<platform::detail::HelpViewer>(); }},
            {"about",
             [](platform::Platform&) {
                 const platform::MessageBox box{
                     drill::versionText(4, 0), QStringLiteral("Information"), platform::Icon::None};
                 return std::make_unique<platform::detail::MessageDialog>(nullptr, box);
             }},
        };
    }
};

TEST_F(EveryWindow, EveryReachableControlIsNamedInJapanese) {
    for (const WindowCase& c : windows()) {
        SCOPED_TRACE(c.name);
        platform::ScriptedPlatform platform;
        const std::unique_ptr<QWidget> window = c.create(platform);
        window->show();
        EXPECT_EQ(unnamedControls(window.get()), QStringList());
    }
}

// Items of one menu without an access letter, as "menu: item", or sharing one, as
// "menu: letter: item, item"; the letter then only highlights. The design's own "&Start" and
// "&Stop" are left as they are.
void collectSharedLetters(const QWidget* menu, const QString& path, QStringList& found) {
    QMap<QString, QStringList> itemsOf;
    for (const QAction* action : menu->actions()) {
        const QString letter = QKeySequence::mnemonic(action->text()).toString().toUpper();
        if (!letter.isEmpty()) {
            itemsOf[letter].append(action->text());
        } else if (!action->isSeparator()) {
            found.append(path + QStringLiteral(": ") + action->text());
        }
        if (action->menu() != nullptr) {
            collectSharedLetters(action->menu(), path + u'/' + action->text(), found);
        }
    }
    const QStringList designPair = {QStringLiteral("&Start"), QStringLiteral("&Stop")};
    for (auto it = itemsOf.cbegin(); it != itemsOf.cend(); ++it) {
        if (it.value().size() > 1 && it.value() != designPair) {
            found.append(path + QStringLiteral(": ") + it.key() + QStringLiteral(": ") +
                         it.value().join(QStringLiteral(", ")));
        }
    }
}

TEST(AccessKeys, EveryMenuItemHasALetterOfItsOwn) {
    drill::test::GivenRandom random;
    platform::ScriptedPlatform platform;
    const std::unique_ptr<QMainWindow> windows[] = {
        std::make_unique<drill::frmMain>(platform, random),
        std::make_unique<editor::frmEdit>(platform)};
    for (const auto& window : windows) {
        QStringList found;
        collectSharedLetters(window->menuBar(), window->objectName(), found);
        EXPECT_EQ(found, QStringList());
    }
}

// Every window opens within the free area of the screen with its contents at no less than
// their minimum, lists and tables scrolling (also run at larger scales on a small screen, see
// CMakeLists.txt).
TEST_F(EveryWindow, EveryWindowFitsTheScreen) {
    for (const WindowCase& c : windows()) {
        SCOPED_TRACE(c.name);
        platform::ScriptedPlatform platform;
        const std::unique_ptr<QWidget> window = c.create(platform);
        window->show();
        const QRect frame = window->frameGeometry(), area = window->screen()->availableGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.width() << "x" << frame.height() << " in "
                                          << area.width() << "x" << area.height();
        const QSize least = window->minimumSizeHint();
        EXPECT_TRUE(window->width() >= least.width() && window->height() >= least.height());
    }
}

}  // namespace
