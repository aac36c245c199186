// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/entry_list_model.h"

namespace editor {

EntryListModel::EntryListModel(Document& document, QObject* parent)
    : QAbstractListModel(parent), document_(document) {
    document_.setObserver(this);
}

EntryListModel::~EntryListModel() {
    document_.setObserver(nullptr);
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : document_.count();
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole) {
        return {};
    }
    // A row shows one line; laying out a damaged file's megabyte-long question would freeze
    // the list, so it gets the beginning only. The document keeps the whole text.
    constexpr qsizetype kShownCharacters = 1000;
    return document_.entry(index.row()).question.left(kShownCharacters);
}

void EntryListModel::aboutToInsert(int first, int count) {
    beginInsertRows({}, first, first + count - 1);
}

void EntryListModel::entryChanged(int position) {
    const QModelIndex changed = index(position);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

}  // namespace editor
