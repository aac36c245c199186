// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/frm_scan.h"

#include "editor/logic/search.h"
#include "editor/window/focus_behaviour.h"
#include "platform/window_fit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace editor {

frmScan::frmScan(const QString& scanString, FocusBehaviour& focus, QWidget* parent)
    : QDialog(parent),
      txtScan_(new QLineEdit(scanString, this)),
      chkQuestion_(new QCheckBox(QStringLiteral("問題(&Q)"), this)),
      chkRight_(new QCheckBox(QStringLiteral("解答(&R)"), this)),
      chkInfo_(new QCheckBox(QStringLiteral("情報(&I)"), this)),
      cmdScan_(new QPushButton(QStringLiteral("次を検索(&S)"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("閉じる(&C)"), this)) {
    setObjectName(QStringLiteral("frmScan"));
    setWindowTitle(QStringLiteral("検索"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    txtScan_->setObjectName(QStringLiteral("txtScan"));
    chkQuestion_->setObjectName(QStringLiteral("chkQuestion"));
    chkRight_->setObjectName(QStringLiteral("chkRight"));
    chkInfo_->setObjectName(QStringLiteral("chkInfo"));
    cmdScan_->setObjectName(QStringLiteral("cmdScan"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    for (QCheckBox* box : {chkQuestion_, chkRight_, chkInfo_}) {
        box->setChecked(true);
    }
    cmdScan_->setDefault(true);

    auto* label = new QLabel(QStringLiteral("検索する文字列(&T)"), this);
    label->setBuddy(txtScan_);
    auto* frame = new QGroupBox(QStringLiteral("検索の対象"), this);
    auto* fields = new QHBoxLayout(frame);
    fields->addWidget(chkQuestion_);
    fields->addWidget(chkRight_);
    fields->addWidget(chkInfo_);

    auto* left = new QGridLayout;
    left->addWidget(label, 0, 0);
    left->addWidget(txtScan_, 0, 1);
    left->addWidget(frame, 1, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdScan_);
    buttons->addWidget(cmdCancel_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    platform::fitToScreen(this);

    focus.attach(txtScan_, std::nullopt);  // the search text has no input-method mode

    connect(cmdScan_, &QPushButton::clicked, this,
            [this] { Q_EMIT scanRequested(txtScan_->text(), scanFields()); });
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    txtScan_->setFocus();
}

int frmScan::scanFields() const {
    return (chkQuestion_->isChecked() ? kScanQuestion : 0) |
           (chkRight_->isChecked() ? kScanRights : 0) |
           (chkInfo_->isChecked() ? kScanInformation : 0);
}

}  // namespace editor
