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
#include <memory>

#include "every_window.h"
#include "platform/scripted_platform.h"

namespace {

using kxtest::EveryWindow;
using kxtest::WindowCase;

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
// CMakeLists.txt), and names every control a user can reach in Japanese.
TEST_F(EveryWindow, EveryWindowFitsTheScreenAndNamesItsControls) {
    for (const WindowCase& c : windows()) {
        SCOPED_TRACE(c.name);
        platform::ScriptedPlatform platform;
        const std::unique_ptr<QWidget> window = c.create(platform);
        window->show();
        EXPECT_EQ(unnamedControls(window.get()), QStringList());
        const QRect frame = window->frameGeometry(), area = window->screen()->availableGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.width() << "x" << frame.height() << " in "
                                          << area.width() << "x" << area.height();
        const QSize least = window->minimumSizeHint();
        EXPECT_TRUE(window->width() >= least.width() && window->height() >= least.height());
    }
}

}  // namespace
