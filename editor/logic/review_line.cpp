// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/review_line.h"

#include <QDate>

namespace editor {

QString reviewLine(const review::WordReviews& word, const review::LearnerDay& day,
                   review::ReviewTime now) {
    if (!word.error.isEmpty()) {
        return {};
    }
    if (!word.state || word.reviews == 0) {
        return QStringLiteral("復習: まだありません");
    }
    const QDate today = day.date(now);
    const QDate due = day.date(word.state->due);
    QString when;
    if (due <= today) {
        when = QStringLiteral("今日");
    } else if (due.year() == today.year()) {
        when = QStringLiteral("%1/%2").arg(due.month()).arg(due.day());
    } else {
        when = QStringLiteral("%1/%2/%3").arg(due.year()).arg(due.month()).arg(due.day());
    }
    return QStringLiteral("次の復習: %1　復習 %2 回・間違い %3 回")
        .arg(when)
        .arg(word.reviews)
        .arg(word.missed);
}

}  // namespace editor
