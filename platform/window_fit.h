// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>
#include <QSize>

#include <initializer_list>

class QWidget;

namespace platform {

// A widget that would like more room than it needs: a list or table, which scrolls.
struct Roomy {
    QWidget* widget = nullptr;
    QSize wished;
};

// The size a window's contents may take on its screen: its free area, less the frame, which is
// not known before the window is shown.
QSize roomOnScreen(const QWidget* window);

// Gives window its size hint with the roomy widgets at their wished sizes, or wanted when
// given, bounded by the room on its screen. The roomy widgets shrink and scroll to fit; what
// cannot shrink keeps its minimum.
void fitToScreen(QWidget* window, std::initializer_list<Roomy> roomy = {}, QSize wanted = {});

// Moves window beside anchor, within the screen's free area: right of, left of, below or above
// it, the place that covers least of keepVisible (global coordinates), then least of anchor. Where
// every place covers keepVisible, window is made shorter to fit above or below it.
void placeBeside(QWidget* window, const QWidget* anchor, const QRect& keepVisible);

}  // namespace platform
