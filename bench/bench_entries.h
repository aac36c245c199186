// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include "common/word_file.h"

// Editor-sized documents: every entry distinct, with two answers and two lines of information.
inline QList<common::Entry> benchEntries(int count) {
    QList<common::Entry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        entries.append({QStringLiteral("question ") + n + QStringLiteral(" 問題"),
                        QStringLiteral("answer ") + n + QStringLiteral("|@2|解答 ") + n,
                        QStringLiteral("information ") + n + QStringLiteral("\\n情報")});
    }
    return entries;
}
