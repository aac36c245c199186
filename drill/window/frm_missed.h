// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "common/word_file.h"
#include "drill/engine/missed_entries.h"

class QPushButton;
class QTreeWidget;

namespace platform {
class Platform;
}

namespace drill {

// "間違えた問題": the entries missed in the drill that just ended, to drill again or to keep
// as a word file of their own.
class frmMissed : public QDialog {
    Q_OBJECT
public:
    frmMissed(const QList<MissedEntry>& missed, QString wordFile, platform::Platform& platform,
              QWidget* parent);

    QList<common::Entry> entries() const { return entries_; }

Q_SIGNALS:
    // "もう一度": a drill over these entries only.
    void againRequested();

private:
    void cmdSave_Click();

    platform::Platform& platform_;
    QList<common::Entry> entries_;
    QString wordFile_;

    QTreeWidget* lstMissed = nullptr;
    QPushButton* cmdAgain = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
};

}  // namespace drill
