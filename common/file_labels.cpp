// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/file_labels.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace common {

namespace {

// The last count folders of a path's folders, all of them when it has fewer.
QString tail(const QStringList& folders, qsizetype count) {
    return folders.mid(std::max<qsizetype>(0, folders.size() - count)).join(QLatin1Char('/'));
}

}  // namespace

QStringList fileLabels(const QStringList& paths) {
    QStringList names;
    QList<QStringList> folders;
    QHash<QString, QList<qsizetype>> byName;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QFileInfo info(QDir::fromNativeSeparators(paths[i]));
        names.append(info.fileName());
        folders.append(info.path().split(QLatin1Char('/'), Qt::SkipEmptyParts));
        byName[names.back()].append(i);
    }
    QStringList labels = names;
    for (const QList<qsizetype>& same : std::as_const(byName)) {
        if (same.size() < 2) {
            continue;
        }
        for (const qsizetype i : same) {
            // One folder more until no other file of the name has the same tail.
            qsizetype count = 1;
            const auto clashes = [&] {
                return std::any_of(same.begin(), same.end(), [&](qsizetype other) {
                    return other != i && tail(folders[other], count) == tail(folders[i], count);
                });
            };
            while (count < folders[i].size() && clashes()) {
                ++count;
            }
            const QString shown = tail(folders[i], count);
            labels[i] += QStringLiteral(" — ") +
                         QDir::toNativeSeparators(shown.isEmpty() ? QStringLiteral("/") : shown);
        }
    }
    return labels;
}

}  // namespace common
