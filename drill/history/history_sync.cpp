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

namespace {
constexpr int kSendWaitMilliseconds = 5000;
}  // namespace

HistorySync::HistorySync(SqliteHistory& history, QString historyPath, QString preferencesPath,
                         QObject* parent)
    : QObject(parent),
      history_(history),
      historyPath_(std::move(historyPath)),
      preferencesPath_(std::move(preferencesPath)) {}

HistorySync::~HistorySync() {
    stop_ = true;
    wait();
    history_.setRecorded({});
    if (writer_) {
        writer_->keep({});  // a last try for records whose keeping failed
    }
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
    history_.setRecorded({});  // no folder, no copy of each record
    sender_.reset();
    writer_.reset();
    keepFailure_.clear();
    mergeFlushFailure_.clear();
    if (!folder_.isEmpty() && !machine_.isEmpty()) {
        writer_ = std::make_unique<JournalWriter>(folder_, machine_,
                                                  historyPath_ + QStringLiteral(".journal"));
        sender_ = std::make_unique<JournalSender>(*writer_);
        // Kept before the history records it (a kill between the two leaves it in the journal),
        // written to the folder beside the window.
        history_.setRecorded([this](std::span<const JournalContent> contents) {
            keepFailure_ = writer_->keep(contents);
            mergeFlushFailure_.clear();  // the sender tells from now on
            sender_->send();
        });
    }
}

QString HistorySync::writeFailure() const {
    if (!keepFailure_.isEmpty() || !sender_) {
        return keepFailure_;
    }
    const QString sent = sender_->failure();
    return sent.isEmpty() ? mergeFlushFailure_ : sent;
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
    if (!writer_ || merging() || exporting_) {
        return;
    }
    keepFailure_ = writer_->keep({});  // records whose keeping failed go with this merge
    wait();
    stop_ = false;
    thread_.reset(QThread::create([this, folder = folder_, machine = machine_] {
        // What waited for the folder goes first, so that the other machines see it. A send under
        // way beside the window is waited for, so that how it went is told with the merge.
        flushFailure_ = JournalWriter(folder, machine, historyPath_ + QStringLiteral(".journal"))
                            .flush(kSendWaitMilliseconds);
        SqliteHistory history(historyPath_);
        report_ = mergeFolder(history, folder, QDateTime::currentMSecsSinceEpoch(), stop_);
    }));
    connect(thread_.get(), &QThread::finished, this, [this] {
        lastReport_ = report_;
        mergeFlushFailure_ = flushFailure_;
        Q_EMIT merged();
    });
    thread_->start(QThread::LowPriority);
}

QList<MachineMerged> HistorySync::otherMachines() {
    QList<MachineMerged> machines = history_.syncState().machines;
    machines.removeIf([this](const MachineMerged& m) { return m.machine == machine_; });
    return machines;
}

bool HistorySync::exportJournal(const QString& path) {
    if (merging() || exporting_) {
        return false;
    }
    wait();
    stop_ = false;
    exporting_ = true;
    const QString made =
        QStringLiteral("backup-%1-%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                 newMachineId().left(8));
    thread_.reset(QThread::create([this, path, made] {
        if (exportStarted) {
            exportStarted();
        }
        SqliteHistory history(historyPath_);
        exportFailure_ = history.writeJournal(path, made, stop_);
    }));
    connect(thread_.get(), &QThread::finished, this, [this] {
        exporting_ = false;
        Q_EMIT exported(exportFailure_);
    });
    thread_->start(QThread::LowPriority);
    return true;
}

void HistorySync::stopExport() {
    if (exporting_) {
        stop_ = true;
    }
}

bool HistorySync::merging() const {
    return !exporting_ && thread_ && thread_->isRunning();
}

void HistorySync::wait() {
    if (thread_) {
        thread_->wait();
    }
}

}  // namespace drill::history
