// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/history_sync.h"

#include <QDateTime>
#include <QThread>

#include <utility>

#include "common/preferences.h"
#include "drill/history/sqlite_history.h"

namespace drill::history {

HistorySync::HistorySync(SqliteHistory& history, QString historyPath, QString preferencesPath,
                         QObject* parent)
    : QObject(parent),
      history_(history),
      historyPath_(std::move(historyPath)),
      preferencesPath_(std::move(preferencesPath)) {}

HistorySync::~HistorySync() {
    wait();
    history_.setRecorded({});
}

void HistorySync::configure() {
    const common::PreferencesFile file(preferencesPath_);
    common::Preferences preferences = file.load();
    if (!preferences.syncFolder.isEmpty() && preferences.machineId.isEmpty()) {
        const QString made = newMachineId();
        file.update([&made](common::Preferences& p) {
            if (p.machineId.isEmpty()) {
                p.machineId = made;
            }
        });
        preferences = file.load();  // another program may have made it first
    }
    folder_ = preferences.syncFolder;
    machine_ = preferences.machineId;
    writer_.reset();
    history_.setRecorded({});  // no folder, no copy of each record
    if (!folder_.isEmpty() && !machine_.isEmpty()) {
        writer_ = std::make_unique<JournalWriter>(folder_, machine_,
                                                  historyPath_ + QStringLiteral(".journal"));
        history_.setRecorded([this](std::span<const JournalContent> contents) {
            writeFailure_ = writer_->append(contents);
        });
    }
}

bool HistorySync::setFolder(const QString& folder) {
    wait();
    const bool kept =
        common::PreferencesFile(preferencesPath_).update([&folder](common::Preferences& p) {
            p.syncFolder = folder;
        });
    configure();
    return kept;
}

void HistorySync::merge() {
    if (!writer_ || merging()) {
        return;
    }
    wait();
    thread_.reset(QThread::create([this, folder = folder_, machine = machine_] {
        // What waited for the folder goes first, so that the other machines see it.
        flushFailure_ =
            JournalWriter(folder, machine, historyPath_ + QStringLiteral(".journal")).flush();
        SqliteHistory history(historyPath_);
        report_ = mergeFolder(history, folder, QDateTime::currentMSecsSinceEpoch());
    }));
    connect(thread_.get(), &QThread::finished, this, [this] {
        lastReport_ = report_;
        writeFailure_ = flushFailure_;
        Q_EMIT merged();
    });
    thread_->start(QThread::LowPriority);
}

QList<MachineMerged> HistorySync::otherMachines() {
    QList<MachineMerged> machines = history_.syncState().machines;
    machines.removeIf([this](const MachineMerged& m) { return m.machine == machine_; });
    return machines;
}

QString HistorySync::writeJournal(const QString& path) {
    const QString made =
        QStringLiteral("backup-%1-%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                 newMachineId().left(8));
    return history_.writeJournal(path, made);
}

bool HistorySync::merging() const {
    return thread_ && thread_->isRunning();
}

void HistorySync::wait() {
    if (thread_) {
        thread_->wait();
    }
}

}  // namespace drill::history
