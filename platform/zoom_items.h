// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>

#include <functional>

class QAction;
class QMenu;
class QObject;

namespace platform {

// The Option menu's size items that both programs share: larger, smaller and the normal size.
struct ZoomItems {
    QMenu* menu = nullptr;  // the submenu that holds them
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* normalSize = nullptr;
    std::function<bool(int)> fits;  // whether the window fits the screen at a step

    // Greys the items that would change nothing at percent, and 拡大 when the next step does
    // not fit.
    void update(int percent) const;
    // The same, except that whether the next step fits is found out each time the submenu
    // opens, at the step current() gives then: finding out lays the window out at that step,
    // which a program's start need not wait for. Until then 拡大 is available below the
    // largest step (a step that does not fit is not taken either way).
    void updateOnOpening(int percent, const std::function<int()>& current) const;
};

// Each item asks zoomTo for the step it leads to from current(); a larger step is taken only
// when fits says the window fits at it (fits leaves the window as it was). They go into a
// submenu of menu, where their access letters clash with none of menu's own ("E&dit",
// "&IMEﾓｰﾄﾞ").
ZoomItems addZoomItems(QMenu* menu, const std::function<int()>& current,
                       const std::function<void(int)>& zoomTo,
                       const std::function<bool(int)>& fits);

// The height of a line of Japanese in font: its glyphs often come from a fallback font taller
// than font itself, and the line takes the tallest of the fonts that draw it.
int japaneseLineHeight(const QFont& font);

// base at percent of its size.
QFont zoomedFont(QFont base, int percent);

}  // namespace platform
