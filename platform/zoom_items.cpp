// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/zoom_items.h"

#include <QAction>
#include <QMenu>
#include <QTextLayout>
#include <QtMath>

#include "common/zoom.h"

namespace platform {

namespace {

void enableSteps(const ZoomItems& items, int percent, bool largerFits) {
    items.zoomIn->setEnabled(percent < common::kZoomLargest && largerFits);
    items.zoomOut->setEnabled(percent > common::kZoomNormal);
    items.normalSize->setEnabled(percent != common::kZoomNormal);
}

}  // namespace

void ZoomItems::update(int percent) const {
    enableSteps(*this, percent, percent < common::kZoomLargest && fits(common::zoomedIn(percent)));
}

void ZoomItems::updateOnOpening(int percent, const std::function<int()>& current) const {
    enableSteps(*this, percent, true);
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [items = *this, current] { items.update(current()); });
}

ZoomItems addZoomItems(QMenu* parent, const std::function<int()>& current,
                       const std::function<void(int)>& zoomTo,
                       const std::function<bool(int)>& fits) {
    QMenu* menu = parent->addMenu(QStringLiteral("表示の大きさ(&Z)"));
    menu->setObjectName(QStringLiteral("Option_Zoom"));
    const auto add = [menu](const QString& caption, const char* name, const QString& tip,
                            const QList<QKeySequence>& keys) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setToolTip(tip);
        return action;
    };
    ZoomItems items;
    items.menu = menu;
    items.fits = fits;
    // Ctrl+= is Ctrl++ without Shift on keyboards where + needs it.
    items.zoomIn =
        add(QStringLiteral("拡大(&I)"), "Option_ZoomIn",
            QStringLiteral("ウィンドウの文字を大きくします"),
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    items.zoomOut = add(QStringLiteral("縮小(&D)"), "Option_ZoomOut",
                        QStringLiteral("ウィンドウの文字を小さくします"),
                        {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    items.normalSize = add(QStringLiteral("標準の大きさ(&0)"), "Option_ZoomNormal",
                           QStringLiteral("ウィンドウの文字を標準の大きさに戻します"),
                           {QKeySequence(Qt::CTRL | Qt::Key_0)});
    // A step that does not fit is not taken: the window stays as it is.
    QObject::connect(items.zoomIn, &QAction::triggered, menu, [current, zoomTo, fits] {
        const int larger = common::zoomedIn(current());
        if (fits(larger)) {
            zoomTo(larger);
        }
    });
    QObject::connect(items.zoomOut, &QAction::triggered, menu,
                     [current, zoomTo] { zoomTo(common::zoomedOut(current())); });
    QObject::connect(items.normalSize, &QAction::triggered, menu,
                     [zoomTo] { zoomTo(common::kZoomNormal); });
    return items;
}

int japaneseLineHeight(const QFont& font) {
    QTextLayout layout(QStringLiteral("漢字かなカナ Ágjy|"), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return qCeil(line.height());
}

QFont zoomedFont(QFont base, int percent) {
    const double factor = percent / double(common::kZoomNormal);
    if (base.pointSizeF() > 0) {
        base.setPointSizeF(base.pointSizeF() * factor);
    } else {
        base.setPixelSize(qRound(base.pixelSize() * factor));
    }
    return base;
}

}  // namespace platform
