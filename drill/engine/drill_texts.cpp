// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/drill_texts.h"

#include <QStringList>

namespace drill {

QString elapsedText(qint64 seconds) {
    return QString::number(seconds / 60) + QStringLiteral(" 分 ") + QString::number(seconds % 60) +
           QStringLiteral(" 秒");
}

QString countText(common::DrillModeValue mode, qint64 correct, qint64 answered, qint64 left) {
    if (mode == common::kOvercomingMode) {
        return QStringLiteral("Left : ") + QString::number(left);
    }
    return QString::number(correct) + QStringLiteral(" / ") + QString::number(answered);
}

QString resultsLine(common::DrillModeValue mode, qint64 correct, qint64 answered,
                    common::DrillWay way) {
    const QString lead = way == common::DrillWay::Typed
                             ? QString()
                             : common::drillWayName(way) + QStringLiteral("  ");
    switch (mode) {
        case common::kEndlessMode:
            return lead + QStringLiteral("回答数 : ") + QString::number(answered) +
                   QStringLiteral("  正解数 : ") + QString::number(correct);
        case common::kOvercomingMode:
            return lead + QStringLiteral("問題数 : ") + QString::number(correct) +
                   QStringLiteral("  不正解数 : ") + QString::number(answered - correct);
        case common::kNormalMode:
            break;
    }
    // Whole numbers, so that 29 of 100 is 29 % and not the 28 that 0.29 * 100 gives in
    // floating point.
    const qint64 rate = answered > 0 ? correct * 100 / answered : 0;
    return lead + QStringLiteral("正解率  ") + QString::number(rate) + QStringLiteral(" %");
}

QString reviewCountText(int due, int fresh, bool newUsedUp) {
    if (newUsedUp && fresh > 0) {
        return QStringLiteral("復習: %1 語　新しい語: 今日の分は練習済み (残り %2 語)")
            .arg(due)
            .arg(fresh);
    }
    return QStringLiteral("復習: %1 語　新しい語: %2 語").arg(due).arg(fresh);
}

QString reviewClosingText(std::optional<std::chrono::minutes> next, int today, int tomorrow) {
    QStringList parts;
    if (next) {
        const qint64 minutes = next->count();
        const QString after = minutes < 60 ? QStringLiteral("%1 分後").arg(minutes)
                                           : QStringLiteral("%1 時間後").arg((minutes + 30) / 60);
        parts.append(QStringLiteral("次は %1に %2 語").arg(after).arg(today));
    }
    if (tomorrow > 0) {
        parts.append(QStringLiteral("明日 %1 語").arg(tomorrow));
    }
    QString line = QStringLiteral("今日の復習は終わりました。");
    if (!parts.isEmpty()) {
        line += parts.join(QStringLiteral("、")) + QStringLiteral("です。");
    }
    return line;
}

}  // namespace drill
