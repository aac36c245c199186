// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/platform.h"

#include <QDialog>

class QDialogButtonBox;
class QPushButton;

namespace platform::detail {

// A modal message box whose Help button opens help and leaves the box open, which QMessageBox
// does not allow: it closes on every button.
class MessageDialog : public QDialog {
    Q_OBJECT

public:
    MessageDialog(QWidget* parent, const MessageBox& box);

    // The button pressed; the close box's answer until one was.
    Answer answer() const { return answer_; }

    QPushButton* defaultButton() const { return defaultButton_; }

Q_SIGNALS:
    void helpRequested(int topic);

public Q_SLOTS:
    // Escape and the close box.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // A button's access letter alone presses it, as in the Windows message boxes.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onClicked(QPushButton* button);

    MessageBox box_;
    Answer answer_;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
};

}  // namespace platform::detail
