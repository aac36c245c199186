// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/help_topic.h"
#include "editor/logic/answer_list.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {
class Platform;
}

namespace editor {

class FocusBehaviour;

// The additional-answers dialog: all right answers of the entry form in one list, to append
// and delete. It changes nothing itself: on OK the caller takes question() and answers().
class frmAddRight : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = common::topicNumber(common::HelpTopic::Box);

    // focus applies the input options to the dialog's boxes; it must outlive the dialog.
    frmAddRight(const QString& question, const FormAnswers& form, FocusBehaviour& focus,
                platform::Platform& platform, const QString& helpFile, QWidget* parent);

    QString question() const;
    FormAnswers answers() const;

private:
    void cmdAdd_Click();
    void lstRight_Click();
    void cmdRemove_Click();

    QLineEdit* txtRight_;
    QPushButton* cmdAdd_;
    QListWidget* lstRight_;
    QPushButton* cmdRemove_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QLineEdit* txtQuestion_;
    // Whether the input box holds text the user typed, not an answer clicked in the list.
    bool typed_ = false;
};

}  // namespace editor
