// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/sync_panel.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUuid>

#include <optional>

#include "common/messages.h"
#include "drill/history/history_sync.h"
#include "drill/window/save_name.h"
#include "platform/platform.h"

namespace drill {

namespace {

const QString kExportTitle = QStringLiteral("記録を書き出す");
const QString kFolderTitle = QStringLiteral("同期フォルダ");

// A machine id made by the program is long and says nothing: its first part tells machines apart.
QString machineName(const QString& machine) {
    constexpr qsizetype kShown = 8;
    return QUuid::fromString(machine).isNull() ? machine : machine.left(kShown);
}

}  // namespace

SyncPanel::SyncPanel(history::HistorySync& sync, platform::Platform& platform, QWidget* parent)
    : QWidget(parent), sync_(sync), platform_(platform) {
    setObjectName(QStringLiteral("syncPanel"));
    txtSyncFolder = new QLineEdit(this);
    txtSyncFolder->setObjectName(QStringLiteral("txtSyncFolder"));
    txtSyncFolder->setAccessibleName(kFolderTitle);
    txtSyncFolder->setReadOnly(true);
    txtSyncFolder->setPlaceholderText(QStringLiteral("同期しません"));
    auto* folderLabel = new QLabel(QStringLiteral("同期フォルダ(&G):"), this);
    folderLabel->setBuddy(txtSyncFolder);
    const auto button = [this](const QString& caption, const char* name, const QString& spoken) {
        auto* made = new QPushButton(caption, this);
        made->setObjectName(QLatin1String(name));
        made->setAccessibleName(spoken);
        made->setAutoDefault(false);  // Enter stays with the window's 開始
        return made;
    };
    cmdSyncFolder = button(QStringLiteral("フォルダを選ぶ(&O)…"), "cmdSyncFolder",
                           QStringLiteral("同期フォルダを選ぶ"));
    cmdSyncOff =
        button(QStringLiteral("同期しない(&U)"), "cmdSyncOff", QStringLiteral("同期しない"));
    cmdSyncNow =
        button(QStringLiteral("今すぐ同期(&Y)"), "cmdSyncNow", QStringLiteral("今すぐ同期"));
    cmdExportJournal = button(QStringLiteral("書き出す(&E)…"), "cmdExportJournal",
                              QStringLiteral("記録をすべて書き出す"));
    lblSyncMachines = new QLabel(this);
    lblSyncMachines->setObjectName(QStringLiteral("lblSyncMachines"));
    lblSyncMachines->setAccessibleDescription(QStringLiteral("ほかのコンピューターの記録"));
    lblSyncMachines->setWordWrap(true);
    lblSyncProblem = new QLabel(this);
    lblSyncProblem->setObjectName(QStringLiteral("lblSyncProblem"));
    lblSyncProblem->setAccessibleDescription(QStringLiteral("同期できないこと"));
    lblSyncProblem->setWordWrap(true);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(folderLabel, 0, 0);
    layout->addWidget(txtSyncFolder, 0, 1);
    layout->addWidget(cmdSyncFolder, 0, 2);
    layout->addWidget(cmdSyncOff, 0, 3);
    layout->addWidget(lblSyncMachines, 1, 0, 1, 2);
    layout->addWidget(cmdSyncNow, 1, 2);
    layout->addWidget(cmdExportJournal, 1, 3);
    layout->addWidget(lblSyncProblem, 2, 0, 1, 4);
    layout->setColumnStretch(1, 1);

    connect(cmdSyncFolder, &QPushButton::clicked, this, &SyncPanel::cmdSyncFolder_Click);
    connect(cmdSyncOff, &QPushButton::clicked, this, &SyncPanel::cmdSyncOff_Click);
    connect(cmdSyncNow, &QPushButton::clicked, this, &SyncPanel::merge);
    connect(cmdExportJournal, &QPushButton::clicked, this, &SyncPanel::cmdExportJournal_Click);
    connect(&sync_, &history::HistorySync::merged, this, &SyncPanel::showState);
    connect(&sync_, &history::HistorySync::exported, this, &SyncPanel::showExported);
    showState();
}

SyncPanel::~SyncPanel() {
    sync_.stopExport();
}

bool SyncPanel::busy() const {
    return sync_.merging() || sync_.exporting();
}

void SyncPanel::merge() {
    sync_.merge();
    showState();
}

QString SyncPanel::machinesText(const QList<history::MachineMerged>& machines, qint64 now) {
    if (machines.isEmpty()) {
        return QStringLiteral("ほかのコンピューターの記録はまだ取り込んでいません。");
    }
    const int year = QDateTime::fromMSecsSinceEpoch(now).date().year();
    QStringList each;
    for (const history::MachineMerged& machine : machines) {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(machine.mergedAt);
        each.append(machineName(machine.machine) + QLatin1Char(' ') +
                    (machine.mergedAt <= 0      ? QStringLiteral("まだありません")
                     : at.date().year() == year ? at.toString(QStringLiteral("MM/dd HH:mm"))
                                                : at.toString(QStringLiteral("yyyy/MM/dd HH:mm"))));
    }
    return QStringLiteral("最後に取り込んだ日時: ") + each.join(QStringLiteral("、"));
}

void SyncPanel::showState() {
    const bool on = !sync_.folder().isEmpty();
    const bool merging = sync_.merging();
    const bool exporting = sync_.exporting();
    txtSyncFolder->setText(QDir::toNativeSeparators(sync_.folder()));
    txtSyncFolder->setToolTip(txtSyncFolder->text());
    // The folder stays as it is until the merge or export under way has ended; the two take turns.
    cmdSyncFolder->setEnabled(!merging && !exporting);
    cmdSyncOff->setEnabled(on && !merging && !exporting);
    cmdSyncNow->setEnabled(on && !merging && !exporting);
    cmdExportJournal->setEnabled(!merging && !exporting);
    lblSyncMachines->setText(
        exporting ? QStringLiteral("記録を書き出しています…")
        : !on     ? QStringLiteral("同期フォルダを選ぶと、ほかのコンピューターと記録を共有します。")
        : merging ? QStringLiteral("同期しています…")
                  : machinesText(sync_.otherMachines(), QDateTime::currentMSecsSinceEpoch()));
    QStringList problems;
    if (on) {
        const history::SyncReport& report = sync_.lastReport();
        if (!report.error.isEmpty()) {
            problems.append(QStringLiteral("同期フォルダを読めませんでした (%1)。"
                                           "このコンピューターの記録はそのまま使えます。")
                                .arg(report.error));
        }
        if (!sync_.writeFailure().isEmpty()) {
            problems.append(QStringLiteral("同期フォルダに書き込めませんでした (%1)。"
                                           "記録はこのコンピューターに残り、"
                                           "書き込めるようになった時に書き込まれます。")
                                .arg(sync_.writeFailure()));
        }
        if (report.newer > 0) {
            problems.append(QStringLiteral("新しい版の Kotobax が書いた記録が %1 行あり、"
                                           "この版で分かるところだけを取り込みました。")
                                .arg(report.newer));
        }
    }
    lblSyncProblem->setText(problems.join(QLatin1Char('\n')));
    lblSyncProblem->setVisible(!problems.isEmpty());
}

void SyncPanel::keepFolder(const QString& folder) {
    if (!sync_.setFolder(folder)) {
        platform_.warn(this,
                       QStringLiteral("同期フォルダの設定を保存できませんでした。") +
                           common::kCrLf + QDir::toNativeSeparators(platform_.preferencesFile()),
                       kFolderTitle);
    }
    merge();
}

void SyncPanel::cmdSyncFolder_Click() {
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Folder;
    dialog.title = kFolderTitle;
    dialog.initialFolder = sync_.folder().isEmpty() ? QDir::homePath() : sync_.folder();
    const std::optional<QString> chosen = platform_.askFileName(this, dialog);
    if (!chosen || chosen->isEmpty() || busy()) {
        return;
    }
    // A sync program would copy the history itself between the machines, and lose drills in
    // the conflicts; the history's own folder and those holding it are refused.
    QString chosenFolder = QDir(*chosen).absolutePath();
    if (!chosenFolder.endsWith(QLatin1Char('/'))) {
        chosenFolder += QLatin1Char('/');
    }
    if (QFileInfo(sync_.historyPath()).absoluteFilePath().startsWith(chosenFolder)) {
        platform_.warn(
            this,
            QStringLiteral("このフォルダーには Kotobax の記録 (%1) があるため、"
                           "同期フォルダにはできません。別のフォルダーを選んでください。")
                .arg(QFileInfo(sync_.historyPath()).fileName()),
            kFolderTitle);
        return;
    }
    keepFolder(*chosen);
}

void SyncPanel::cmdSyncOff_Click() {
    if (!busy()) {
        keepFolder(QString());
    }
}

void SyncPanel::cmdExportJournal_Click() {
    platform::FileDialog dialog;
    dialog.title = kExportTitle;
    dialog.filter = QStringLiteral("Kotobax の記録|*.kxjournal");
    dialog.defaultSuffix = QStringLiteral("kxjournal");
    dialog.fileName = QStringLiteral("Kotobax の記録 %1.kxjournal")
                          .arg(QDate::currentDate().toString(Qt::ISODate));
    const std::optional<QString> chosen =
        askSaveName(platform_, this, dialog, &common::Preferences::historyJournalFolder);
    if (!chosen) {
        return;
    }
    // In place of this machine's own journal it would take from the other machines what they
    // have not read of it yet.
    if (!sync_.journalPath().isEmpty() && QFileInfo(*chosen).absoluteFilePath() ==
                                              QFileInfo(sync_.journalPath()).absoluteFilePath()) {
        platform_.warn(this,
                       QStringLiteral("このコンピューターの同期用の記録と同じ名前には"
                                      "書き出せません。別の名前を選んでください。"),
                       kExportTitle);
        return;
    }
    // A merge or export begun while the dialog was open holds the history's thread.
    if (!sync_.exportJournal(*chosen)) {
        platform_.warn(this,
                       QStringLiteral("記録を書き出せませんでした。") + common::kCrLf +
                           QStringLiteral("同期か書き出しの最中です。終わってから、もう一度"
                                          "書き出してください。"),
                       kExportTitle);
    }
    showState();
}

void SyncPanel::showExported(const QString& reason) {
    showState();
    if (!reason.isEmpty()) {
        platform_.warn(this,
                       QStringLiteral("記録を書き出せませんでした。") + common::kCrLf + reason,
                       kExportTitle);
    }
}

}  // namespace drill
