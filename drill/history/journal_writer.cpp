// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/journal_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <utility>

#include "common/atomic_file.h"

namespace drill::history {

namespace {

// Two drill programs of one machine take turns; neither waits long.
constexpr int kLockMilliseconds = 2000;
// A lock file still empty this long was left by a kill between its making and its writing: it
// names no process, and Qt would take it for stale only after half a minute.
constexpr qint64 kEmptyLockMilliseconds = 500;
// The end of a journal looked at for its last sequence number when the local count is lost.
constexpr qint64 kTail = 1 << 16;

// The highest sequence number of machine among the lines of data.
qint64 highestSequence(const QByteArray& data, const QString& machine) {
    qint64 highest = 0;
    for (const QByteArray& line : data.split('\n')) {
        if (const ParsedLine parsed = parseJournalLine(line);
            parsed.record && parsed.record->machine == machine) {
            highest = std::max(highest, parsed.record->sequence);
        }
    }
    return highest;
}

QByteArray tailOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    file.seek(std::max<qint64>(0, file.size() - kTail));
    return file.readAll();
}

// After a line cut short, by a kill or a full disk, the next starts on a line of its own.
QString appendLines(const QString& path, QByteArray lines) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        return file.errorString();
    }
    if (file.size() > 0 && (!file.seek(file.size() - 1) || file.read(1) != "\n")) {
        lines.prepend('\n');
    }
    if (file.write(lines) != lines.size() || !file.flush()) {
        return file.errorString();
    }
    return {};
}

bool takeLock(QLockFile& lock, int milliseconds) {
    if (lock.tryLock(milliseconds)) {
        return true;
    }
    const QFileInfo file(lock.fileName());
    if (file.size() != 0 ||
        file.lastModified().msecsTo(QDateTime::currentDateTime()) < kEmptyLockMilliseconds) {
        return false;
    }
    QFile::remove(lock.fileName());
    return lock.tryLock(milliseconds);
}

}  // namespace

JournalWriter::JournalWriter(QString folder, QString machine, QString localBase)
    : folder_(std::move(folder)), machine_(std::move(machine)), localBase_(std::move(localBase)) {}

QString JournalWriter::journalPath() const {
    return QDir(folder_).filePath(journalFileName(machine_));
}

qint64 JournalWriter::lastSequence() const {
    QFile counter(localBase_ + QStringLiteral(".seq"));
    bool ok = false;
    qint64 last = 0;
    if (counter.open(QIODevice::ReadOnly)) {
        last = counter.readAll().trimmed().toLongLong(&ok);
    }
    if (ok) {
        return last;
    }
    // Lost: never below a number already given.
    qint64 highest = highestSequence(tailOf(journalPath()), machine_);
    for (const char* waiting : {".outbox", ".sending"}) {
        QFile file(localBase_ + QLatin1String(waiting));
        if (file.open(QIODevice::ReadOnly)) {
            highest = std::max(highest, highestSequence(file.readAll(), machine_));
        }
    }
    return highest;
}

QString JournalWriter::keep(std::span<const JournalContent> contents) {
    unkept_.insert(unkept_.end(), contents.begin(), contents.end());
    if (unkept_.empty()) {
        return {};
    }
    QLockFile lock(localBase_ + QStringLiteral(".lock"));
    if (!takeLock(lock, kLockMilliseconds)) {
        return QStringLiteral("%1 is locked").arg(QDir::toNativeSeparators(lock.fileName()));
    }
    qint64 sequence = lastSequence();
    QByteArray lines;
    for (const JournalContent& content : unkept_) {
        lines += journalLine({machine_, ++sequence, content});
    }
    const common::Outcome counted = common::writeFileAtomically(localBase_ + QStringLiteral(".seq"),
                                                                QByteArray::number(sequence));
    if (!counted.ok()) {
        return counted.reason;
    }
    // Lines cut short by a failure are read as far as they are whole; the reader takes a record
    // it already holds once, whatever its number.
    if (QString reason = appendLines(localBase_ + QStringLiteral(".outbox"), lines);
        !reason.isEmpty()) {
        return reason;
    }
    unkept_.clear();
    return {};
}

QString JournalWriter::append(std::span<const JournalContent> contents) {
    if (QString reason = keep(contents); !reason.isEmpty()) {
        return reason;
    }
    return flush();
}

// A kill between the append and the removal leaves the records to be appended again: the reader
// takes each machine's sequence number once.
QString JournalWriter::flush(int waitMs) {
    QLockFile sending(localBase_ + QStringLiteral(".send.lock"));
    if (!takeLock(sending, waitMs)) {
        return {};  // another program of this machine is sending: it takes what waits
    }
    const QString sendingPath = localBase_ + QStringLiteral(".sending");
    // Left by a kill or a folder that failed: sent before anything newer.
    if (QString reason = send(sendingPath); !reason.isEmpty()) {
        return reason;
    }
    {
        QLockFile lock(localBase_ + QStringLiteral(".lock"));
        if (!takeLock(lock, kLockMilliseconds)) {
            return QStringLiteral("%1 is locked").arg(QDir::toNativeSeparators(lock.fileName()));
        }
        const QString outbox = localBase_ + QStringLiteral(".outbox");
        if (QFile::exists(outbox) && !QFile::rename(outbox, sendingPath)) {
            return QStringLiteral("%1 cannot be renamed").arg(QDir::toNativeSeparators(outbox));
        }
    }
    return send(sendingPath);
}

// The records of the file at path appended to the journal, and the file removed.
QString JournalWriter::send(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    const QByteArray lines = file.readAll();
    file.close();
    if (!QFileInfo(folder_).isDir()) {
        return QStringLiteral("%1 cannot be found").arg(QDir::toNativeSeparators(folder_));
    }
    if (!lines.isEmpty()) {
        if (QString reason = appendLines(journalPath(), lines); !reason.isEmpty()) {
            return reason;
        }
    }
    return file.remove() ? QString() : file.errorString();
}

}  // namespace drill::history
