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

    // Greys the items that would change nothing at percent.
    void update(int percent) const;
};

// Each item asks zoomTo for the step it leads to from current(). They go into a submenu of
// menu, where their access letters clash with none of menu's own ("E&dit", "&IMEﾓｰﾄﾞ").
ZoomItems addZoomItems(QMenu* menu, const std::function<int()>& current,
                       const std::function<void(int)>& zoomTo);

// The height of a line of Japanese in font: its glyphs often come from a fallback font taller
// than font itself, and the line takes the tallest of the fonts that draw it.
int japaneseLineHeight(const QFont& font);

// base at percent of its size.
QFont zoomedFont(QFont base, int percent);

}  // namespace platform
