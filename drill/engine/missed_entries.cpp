// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/missed_entries.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace drill {

namespace {

const QString kTitle = QStringLiteral("Kotobax4");

}  // namespace

void MissedEntries::add(const common::Entry& entry, const QString& typed) {
    const auto found = std::find_if(list_.begin(), list_.end(),
                                    [&entry](const MissedEntry& m) { return m.entry == entry; });
    if (found != list_.end()) {
        found->typed.append(typed);
    } else {
        list_.append(MissedEntry{entry, {typed}});
    }
}

void MissedEntries::withdrawLast(const common::Entry& entry) {
    const auto found = std::find_if(list_.begin(), list_.end(),
                                    [&entry](const MissedEntry& m) { return m.entry == entry; });
    if (found == list_.end()) {
        return;
    }
    found->typed.removeLast();
    if (found->typed.isEmpty()) {
        list_.erase(found);
    }
}

QList<common::Entry> MissedEntries::entries() const {
    QList<common::Entry> entries;
    entries.reserve(list_.size());
    for (const MissedEntry& missed : list_) {
        entries.append(missed.entry);
    }
    return entries;
}

QString drillWindowTitle(bool drilling, DrillPosition position, bool review, common::DrillWay way) {
    if (!drilling || position.place <= 0) {
        return kTitle;
    }
    QString title = kTitle + QStringLiteral(" - ");
    if (review) {
        title += QStringLiteral("復習 ");
    }
    if (way != common::DrillWay::Typed) {
        title += common::drillWayName(way) + QLatin1Char(' ');
    }
    title += QString::number(position.place);
    if (position.total > 0) {
        title += QStringLiteral(" / ") + QString::number(position.total);
    }
    return title;
}

QString missedFileName(const QString& wordFile) {
    const QFileInfo file(wordFile);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral("_間違い.qvw"));
}

}  // namespace drill
