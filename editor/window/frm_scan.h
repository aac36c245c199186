// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace editor {

class FocusBehaviour;

// The search dialog: text and fields; does not block the editor window and stays in front of
// it. Destroyed when closed.
class frmScan : public QDialog {
    Q_OBJECT
public:
    // focus applies the input options to txtScan; it must outlive the dialog.
    frmScan(const QString& scanString, FocusBehaviour& focus, QWidget* parent);

    int scanFields() const;

Q_SIGNALS:
    // "次を検索(&S)": the text and the field bits to search with.
    void scanRequested(const QString& text, int fields);

private:
    QLineEdit* txtScan_;
    QCheckBox* chkQuestion_;
    QCheckBox* chkRight_;
    QCheckBox* chkInfo_;
    QPushButton* cmdScan_;
    QPushButton* cmdCancel_;
};

}  // namespace editor
