// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/entry_list_view.h"

#include <QContextMenuEvent>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace editor {

EntryListView::EntryListView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

std::optional<int> EntryListView::currentPosition() const {
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    return current.row();
}

void EntryListView::setCurrentPosition(std::optional<int> position) {
    const QModelIndex index = position ? model()->index(*position, 0) : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    if (index.isValid()) {
        scrollTo(index);
    }
}

bool EntryListView::hasSelection() const {
    return selectionModel() && selectionModel()->hasSelection();
}

QList<int> EntryListView::selectedPositions() const {
    QList<int> positions;
    if (!selectionModel()) {
        return positions;
    }
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            positions.append(row);
        }
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}

void EntryListView::setSelectedPositions(const QList<int>& positions) {
    QList<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end());
    QItemSelection selection;
    for (qsizetype i = 0; i < sorted.size();) {
        qsizetype last = i;
        while (last + 1 < sorted.size() && sorted.at(last + 1) <= sorted.at(last) + 1) {
            ++last;
        }
        selection.select(model()->index(sorted.at(i), 0), model()->index(sorted.at(last), 0));
        i = last + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void EntryListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton || !mayChoose()) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void EntryListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        Q_EMIT menuRequested(event->globalPosition().toPoint());
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void EntryListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void EntryListView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() != QContextMenuEvent::Keyboard) {
        return;  // the mouse's menu comes with the button's release
    }
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    const QPoint local = current.isValid() ? visualRect(current).bottomLeft() : QPoint(0, 0);
    Q_EMIT menuRequested(viewport()->mapToGlobal(local));
}

void EntryListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT submitted();
        return;
    }
    // Keys that move or select, and type-ahead, may choose another entry; Tab and Esc not.
    const bool typed = !event->text().isEmpty() && event->text().front().isPrint();
    const bool chooses = typed || event->matches(QKeySequence::SelectAll) ||
                         (event->key() >= Qt::Key_Home && event->key() <= Qt::Key_PageDown) ||
                         event->key() == Qt::Key_Select;
    if (chooses && !mayChoose()) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void EntryListView::focusInEvent(QFocusEvent* event) {
    // Taking the focus must not pick an entry: only the user's own choice loads one.
    if (!selectionModel() || selectionModel()->currentIndex().isValid()) {
        QListView::focusInEvent(event);
        return;
    }
    {
        const QSignalBlocker blocker(selectionModel());
        QListView::focusInEvent(event);
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    viewport()->update();
}

}  // namespace editor
