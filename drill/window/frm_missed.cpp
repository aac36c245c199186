// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/frm_missed.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

#include "common/entry_text.h"
#include "common/messages.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace drill {

namespace {

const QString kTitle = QStringLiteral("間違えた問題");
const QString kSaveTitle = QStringLiteral("保存");
const QString kJoin = QStringLiteral(" / ");
// An answer left empty is a miss too, and must show as one.
const QString kEmptyAnswer = QStringLiteral("（空欄）");

// Room for the four columns and a dozen entries in the list's own font.
QSize listRoom(const QWidget* list) {
    const QFontMetrics metrics = list->fontMetrics();
    return {metrics.horizontalAdvance(QLatin1Char('M')) * 70, metrics.lineSpacing() * 14};
}

}  // namespace

frmMissed::frmMissed(const QList<MissedEntry>& missed, QString wordFile,
                     platform::Platform& platform, QWidget* parent)
    : QDialog(parent), platform_(platform), wordFile_(std::move(wordFile)) {
    setObjectName(QStringLiteral("frmMissed"));
    setWindowTitle(kTitle);

    lstMissed = new QTreeWidget(this);
    lstMissed->setObjectName(QStringLiteral("lstMissed"));
    lstMissed->setAccessibleName(kTitle);
    lstMissed->setAccessibleDescription(
        QStringLiteral("問題、正解、入力した解答、間違えた回数の一覧"));
    lstMissed->setRootIsDecorated(false);
    lstMissed->setHeaderLabels({QStringLiteral("問題"), QStringLiteral("正解"),
                                QStringLiteral("入力した解答"), QStringLiteral("回数")});
    for (const MissedEntry& m : missed) {
        entries_.append(m.entry);
        QStringList typed;
        for (const QString& answer : m.typed) {
            typed.append(answer.isEmpty() ? kEmptyAnswer : answer);
        }
        auto* item = new QTreeWidgetItem(
            lstMissed, {m.entry.question, common::splitRights(m.entry.rights).join(kJoin),
                        typed.join(kJoin), QString::number(m.misses())});
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    lstMissed->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (lstMissed->topLevelItemCount() > 0) {
        lstMissed->setCurrentItem(lstMissed->topLevelItem(0));
    }

    auto* buttons = new QDialogButtonBox(this);
    cmdAgain = buttons->addButton(QStringLiteral("もう一度(&A)"), QDialogButtonBox::ActionRole);
    cmdAgain->setObjectName(QStringLiteral("cmdAgain"));
    cmdAgain->setAccessibleName(QStringLiteral("もう一度"));
    cmdAgain->setAccessibleDescription(QStringLiteral("間違えた問題だけでもう一度ドリルします"));
    cmdSave = buttons->addButton(QStringLiteral("保存(&S)..."), QDialogButtonBox::ActionRole);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setAccessibleName(QStringLiteral("保存"));
    cmdSave->setAccessibleDescription(QStringLiteral("間違えた問題を単語ファイルに保存します"));
    cmdClose = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("閉じる"));
    for (QPushButton* button : {cmdAgain, cmdSave, cmdClose}) {
        button->setAutoDefault(false);
    }
    connect(cmdAgain, &QPushButton::clicked, this, &frmMissed::againRequested);
    connect(cmdSave, &QPushButton::clicked, this, &frmMissed::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstMissed);
    layout->addWidget(buttons);
    platform::fitToScreen(this, {{lstMissed, listRoom(lstMissed)}});
    lstMissed->setFocus(Qt::OtherFocusReason);
}

void frmMissed::cmdSave_Click() {
    if (const std::optional<QString> refusal =
            common::unstorableRefusal(entries_, common::UnstorableDetail::Characters)) {
        platform_.warn(this, *refusal, kSaveTitle);
        return;
    }
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Save;
    dialog.title = kSaveTitle;
    const QString proposed = missedFileName(wordFile_);
    dialog.fileName = proposed;
    dialog.initialFolder = proposed;
    const std::optional<QString> chosen = platform_.askFileName(this, dialog);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    common::Outcome written;
    {
        const auto busy = platform_.busy();
        written = common::writeWordFile(*chosen, entries_);
    }
    if (!written.ok()) {
        platform_.warn(this, QStringLiteral("保存できませんでした。"), written, kSaveTitle);
    }
}

}  // namespace drill
