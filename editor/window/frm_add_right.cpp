// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/frm_add_right.h"

#include "editor/window/entry_form_view.h"
#include "editor/window/focus_behaviour.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace editor {

frmAddRight::frmAddRight(const QString& question, const FormAnswers& form, FocusBehaviour& focus,
                         platform::Platform& platform, const QString& helpFile, QWidget* parent)
    : QDialog(parent),
      txtRight_(new QLineEdit(this)),
      cmdAdd_(new QPushButton(QStringLiteral("追加"), this)),
      lstRight_(new QListWidget(this)),
      cmdRemove_(new QPushButton(QStringLiteral("削除(&D)"), this)),
      cmdOK_(new QPushButton(QStringLiteral("&OK"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this)),
      txtQuestion_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("frmAddRight"));
    setWindowTitle(QStringLiteral("解答の追加"));
    setModal(true);

    txtRight_->setObjectName(QStringLiteral("txtRight"));
    txtRight_->setMaxLength(kWholeField);
    txtQuestion_->setMaxLength(kWholeField);
    txtQuestion_->setText(question);
    cmdAdd_->setObjectName(QStringLiteral("cmdAdd"));
    lstRight_->setObjectName(QStringLiteral("lstRight"));
    cmdRemove_->setObjectName(QStringLiteral("cmdRemove"));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    txtQuestion_->setObjectName(QStringLiteral("txtQuestion"));

    lstRight_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstRight_->addItems(answersOfForm(form));
    cmdRemove_->setEnabled(false);
    cmdAdd_->setDefault(true);

    auto* label = new QLabel(QStringLiteral("問題(&Q)"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setBuddy(txtQuestion_);
    auto* frame = new QGroupBox(QStringLiteral("解答(&R)"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    // The frame's access key leads to its first box.
    txtRight_->setParent(frame);
    cmdAdd_->setParent(frame);
    lstRight_->setParent(frame);
    cmdRemove_->setParent(frame);
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(txtRight_, 0, 0);
    frameLayout->addWidget(cmdAdd_, 0, 1);
    frameLayout->addWidget(lstRight_, 1, 0);
    auto* removeColumn = new QVBoxLayout;
    removeColumn->addWidget(cmdRemove_);
    removeColumn->addStretch();
    frameLayout->addLayout(removeColumn, 1, 1);

    auto* questionRow = new QHBoxLayout;
    questionRow->addWidget(label);
    questionRow->addWidget(txtQuestion_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(questionRow);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    platform::fitToScreen(this);

    setTabOrder(txtRight_, cmdAdd_);
    setTabOrder(cmdAdd_, lstRight_);
    setTabOrder(lstRight_, cmdRemove_);
    setTabOrder(cmdRemove_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    setTabOrder(cmdCancel_, txtQuestion_);

    // What a screen reader says, without the access-key marks of the captions.
    txtRight_->setAccessibleName(QStringLiteral("新しい解答"));
    lstRight_->setAccessibleName(QStringLiteral("解答の一覧"));
    txtQuestion_->setAccessibleName(QStringLiteral("問題"));

    focus.attach(txtQuestion_, BoxKind::Question);
    focus.attach(txtRight_, BoxKind::Right);

    // Every control shares one help topic.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this,
            [this, &platform, helpFile] { platform.showHelp(this, helpFile, kHelpTopic); });

    connect(cmdAdd_, &QPushButton::clicked, this, &frmAddRight::cmdAdd_Click);
    connect(lstRight_, &QListWidget::itemSelectionChanged, this, &frmAddRight::lstRight_Click);
    connect(lstRight_, &QListWidget::itemClicked, this, &frmAddRight::lstRight_Click);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmAddRight::cmdRemove_Click);
    connect(txtRight_, &QLineEdit::textEdited, this, [this] { typed_ = true; });
    // An answer typed but not yet appended is meant to be kept; one only clicked in the list
    // (and perhaps deleted since) is not.
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (typed_) {
            cmdAdd_Click();
        }
        accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    txtRight_->setFocus();
}

QString frmAddRight::question() const {
    return txtQuestion_->text();
}

FormAnswers frmAddRight::answers() const {
    QStringList items;
    for (int i = 0; i < lstRight_->count(); ++i) {
        items.append(lstRight_->item(i)->text());
    }
    return formOfAnswers(items);
}

void frmAddRight::cmdAdd_Click() {
    if (txtRight_->text().isEmpty()) {
        return;
    }
    lstRight_->addItem(txtRight_->text());
    txtRight_->clear();
    typed_ = false;
    txtRight_->setFocus();
}

void frmAddRight::lstRight_Click() {
    if (QListWidgetItem* current = lstRight_->currentItem()) {
        txtRight_->setText(current->text());
        typed_ = false;
    }
    cmdRemove_->setEnabled(!lstRight_->selectedItems().isEmpty());
}

void frmAddRight::cmdRemove_Click() {
    {
        // Removing is not a click: the input box keeps what it holds.
        const QSignalBlocker blocker(lstRight_);
        for (int p = lstRight_->count() - 1; p >= 0; --p) {
            if (lstRight_->item(p)->isSelected()) {
                delete lstRight_->takeItem(p);
            }
        }
    }
    cmdRemove_->setEnabled(false);
}

}  // namespace editor
