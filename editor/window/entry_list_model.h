// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/document.h"

#include <QAbstractListModel>

namespace editor {

// The document's questions, one row per entry, for lstQuestion.
class EntryListModel : public QAbstractListModel, private Document::Observer {
    Q_OBJECT
public:
    explicit EntryListModel(Document& document, QObject* parent = nullptr);
    ~EntryListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void aboutToReset() override { beginResetModel(); }
    void resetDone() override { endResetModel(); }
    void aboutToInsert(int first, int count) override;
    void insertDone() override { endInsertRows(); }
    void entryChanged(int position) override;

    Document& document_;
};

}  // namespace editor
