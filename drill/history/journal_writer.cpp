// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/journal_writer.h"

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
    QFile outbox(localBase_ + QStringLiteral(".outbox"));
    return std::max(
        outbox.open(QIODevice::ReadOnly) ? highestSequence(outbox.readAll(), machine_) : 0,
        highestSequence(tailOf(journalPath()), machine_));
}

QString JournalWriter::append(std::span<const JournalContent> contents) {
    if (contents.empty()) {
        return flush();
    }
    QLockFile lock(localBase_ + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockMilliseconds)) {
        return QStringLiteral("%1 is locked").arg(QDir::toNativeSeparators(lock.fileName()));
    }
    qint64 sequence = lastSequence();
    QByteArray lines;
    for (const JournalContent& content : contents) {
        lines += journalLine({machine_, ++sequence, content});
    }
    const common::Outcome counted = common::writeFileAtomically(localBase_ + QStringLiteral(".seq"),
                                                                QByteArray::number(sequence));
    if (!counted.ok()) {
        return counted.reason;
    }
    if (QString reason = appendLines(localBase_ + QStringLiteral(".outbox"), lines);
        !reason.isEmpty()) {
        return reason;
    }
    return flushLocked();
}

QString JournalWriter::flush() {
    QLockFile lock(localBase_ + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockMilliseconds)) {
        return QStringLiteral("%1 is locked").arg(QDir::toNativeSeparators(lock.fileName()));
    }
    return flushLocked();
}

// A kill between the append and the removal leaves the records to be appended again: the reader
// takes each machine's sequence number once.
QString JournalWriter::flushLocked() {
    QFile outbox(localBase_ + QStringLiteral(".outbox"));
    if (!outbox.exists()) {
        return {};
    }
    if (!outbox.open(QIODevice::ReadOnly)) {
        return outbox.errorString();
    }
    const QByteArray lines = outbox.readAll();
    outbox.close();
    if (!QFileInfo(folder_).isDir()) {
        return QStringLiteral("%1 cannot be found").arg(QDir::toNativeSeparators(folder_));
    }
    if (!lines.isEmpty()) {
        if (QString reason = appendLines(journalPath(), lines); !reason.isEmpty()) {
            return reason;
        }
    }
    return outbox.remove() ? QString() : outbox.errorString();
}

}  // namespace drill::history
