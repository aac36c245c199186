// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/window_fit.h"

#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <array>
#include <vector>

namespace platform {

namespace {

// The frame around a window's contents: known once shown; before, a title bar's height and
// a thin border stand for it.
QMargins frameOf(const QWidget* window) {
    if (window->isVisible()) {
        const QRect frame = window->frameGeometry(), inner = window->geometry();
        return {inner.left() - frame.left(), inner.top() - frame.top(),
                frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    }
    const int border = 4;
    return {border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border,
            border};
}

QRect freeArea(const QWidget* window) {
    const QScreen* screen = window->screen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

int clamped(int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

}  // namespace

QSize roomOnScreen(const QWidget* window) {
    const QMargins frame = frameOf(window);
    return freeArea(window).size().shrunkBy(frame);
}

void fitToScreen(QWidget* window, std::initializer_list<Roomy> roomy, QSize wanted) {
    if (!wanted.isValid()) {
        std::vector<QSize> minimums;
        for (const Roomy& r : roomy) {
            minimums.push_back(r.widget->minimumSize());
            r.widget->setMinimumSize(r.wished);
        }
        if (QLayout* layout = window->layout()) {
            layout->invalidate();
        }
        wanted = window->sizeHint();
        auto minimum = minimums.begin();
        for (const Roomy& r : roomy) {
            r.widget->setMinimumSize(*minimum++);
        }
        if (QLayout* layout = window->layout()) {
            // Activated with the wished sizes, the layout made them the window's minimum.
            layout->invalidate();
            layout->activate();
        }
    }
    window->resize(wanted.boundedTo(roomOnScreen(window)).expandedTo(window->minimumSizeHint()));
}

void placeBeside(QWidget* window, const QWidget* anchor, const QRect& keepVisible) {
    const QRect area = freeArea(anchor);
    const QRect near = anchor->frameGeometry();
    const QMargins frame = frameOf(window);
    const QSize whole = window->size().grownBy(frame);
    const std::array<QPoint, 4> wishes = {
        QPoint(near.right() + 1, near.top()), QPoint(near.left() - whole.width(), near.top()),
        QPoint(near.left(), near.bottom() + 1), QPoint(near.left(), near.top() - whole.height())};
    QRect best;
    std::pair<qint64, qint64> bestCost{-1, -1};
    for (const QPoint& wish : wishes) {
        const QRect place(QPoint(clamped(wish.x(), whole.width(), area.left(), area.width()),
                                 clamped(wish.y(), whole.height(), area.top(), area.height())),
                          whole);
        const std::pair cost{overlap(place, keepVisible), overlap(place, near)};
        if (bestCost.first < 0 || cost < bestCost) {
            best = place;
            bestCost = cost;
        }
    }
    if (bestCost.first > 0) {
        // Shorter, in the taller band of the screen above or below what must stay visible.
        const int above = keepVisible.top() - area.top();
        const int below = area.bottom() - keepVisible.bottom();
        const int band = std::max(above, below);
        const int height = band - frame.top() - frame.bottom();
        if (height >= window->minimumSizeHint().height()) {
            window->resize(window->width(), std::min(window->height(), height));
            best.setHeight(window->height() + frame.top() + frame.bottom());
            best.moveTop(above >= below ? keepVisible.top() - best.height()
                                        : keepVisible.bottom() + 1);
        }
    }
    window->move(best.topLeft());
}

}  // namespace platform
