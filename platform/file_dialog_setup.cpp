// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/file_dialog_setup.h"

#include <QDir>
#include <QFileInfo>

namespace platform::detail {

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
        }
        result.append(QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(QLatin1Char(' '))));
    }
    return result;
}

QString typeSuffix(const QString& filter, int type) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    const QString pattern = parts.value(2 * type + 1).section(QLatin1Char(';'), 0, 0).trimmed();
    const QString suffix = pattern.startsWith(QLatin1StringView("*.")) ? pattern.mid(2) : QString();
    return suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')) ? QString()
                                                                                  : suffix;
}

namespace {

// The folder that path names, or the folder of the file it names (which need not exist).
QString existingFolderOf(const QString& path) {
    if (path.trimmed().isEmpty()) {
        return {};
    }
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (info.isDir()) {
        return info.absoluteFilePath();
    }
    const QFileInfo parent(info.absolutePath());
    return parent.isDir() ? parent.absoluteFilePath() : QString();
}

}  // namespace

DialogStart dialogStart(const FileDialog& dialog) {
    const QString remembered = QDir::fromNativeSeparators(dialog.fileName);
    DialogStart start;
    start.fileName = QFileInfo(remembered).fileName();
    if (remembered.contains(QLatin1Char('/'))) {
        start.folder = existingFolderOf(remembered);
    }
    if (start.folder.isEmpty()) {
        start.folder = existingFolderOf(dialog.initialFolder);
    }
    if (start.folder.isEmpty()) {
        start.folder = QDir::currentPath();
    }
    return start;
}

}  // namespace platform::detail
