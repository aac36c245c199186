// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/word_renames.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

#include <optional>

namespace review {

namespace {

constexpr int kLockMilliseconds = 200;

QString lockPath(const QString& path) {
    return path + QStringLiteral(".lock");
}

QByteArray lineOf(const WordRename& rename) {
    const QJsonObject json{{QStringLiteral("at"), qint64(rename.time.time_since_epoch().count())},
                           {QStringLiteral("wordFile"), rename.wordFile},
                           {QStringLiteral("old"), QString::fromLatin1(rename.oldKey.toHex())},
                           {QStringLiteral("new"), QString::fromLatin1(rename.newKey.toHex())}};
    return QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<WordRename> renameOf(const QByteArray& line) {
    const QJsonDocument document = QJsonDocument::fromJson(line);
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject json = document.object();
    WordRename rename{
        ReviewTime(std::chrono::milliseconds(json.value(QLatin1String("at")).toInteger())),
        json.value(QLatin1String("wordFile")).toString(),
        QByteArray::fromHex(json.value(QLatin1String("old")).toString().toLatin1()),
        QByteArray::fromHex(json.value(QLatin1String("new")).toString().toLatin1())};
    if (rename.oldKey.isEmpty() || rename.newKey.isEmpty() || rename.oldKey == rename.newKey) {
        return std::nullopt;
    }
    return rename;
}

// The caller holds the lock.
QList<WordRename> readLocked(const QString& path) {
    QList<WordRename> renames;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return renames;
    }
    while (!file.atEnd()) {
        if (std::optional<WordRename> rename = renameOf(file.readLine())) {
            renames.append(std::move(*rename));
        }
    }
    return renames;
}

}  // namespace

QString appendRenames(const QString& path, std::span<const WordRename> renames) {
    if (renames.empty()) {
        return {};
    }
    QLockFile lock(lockPath(path));
    if (!lock.tryLock(kLockMilliseconds)) {
        return QStringLiteral("%1 is locked").arg(path);
    }
    QByteArray lines;
    for (const WordRename& rename : renames) {
        lines += lineOf(rename);
    }
    // A file of earlier lines that ends without its line break (a crash) gets one first.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        return file.errorString();
    }
    if (file.size() > 0) {
        file.seek(file.size() - 1);
        if (file.read(1) != "\n") {
            lines.prepend('\n');
        }
    }
    if (file.write(lines) != lines.size() || !file.flush()) {
        return file.errorString();
    }
    return {};
}

QList<WordRename> readRenames(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return {};
    }
    QLockFile lock(lockPath(path));
    if (!lock.tryLock(kLockMilliseconds)) {
        return {};
    }
    return readLocked(path);
}

void removeRenames(const QString& path, qsizetype taken) {
    QLockFile lock(lockPath(path));
    if (!lock.tryLock(kLockMilliseconds) || readLocked(path).size() != taken) {
        return;
    }
    QFile::remove(path);
}

}  // namespace review
