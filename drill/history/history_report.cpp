// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/history_report.h"

#include <QStringList>

namespace drill::history {

namespace {

// A cell that a spreadsheet would take for a formula is kept as text.
QString csvField(QString text) {
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front())) {
        text.prepend(QLatin1Char('\''));
    }
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char(',')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

}  // namespace

QString modeName(common::DrillModeValue mode, bool again, common::DrillWay way) {
    QString name = QStringLiteral("Normal");
    switch (mode) {
        case common::kEndlessMode:
            name = QStringLiteral("Endless");
            break;
        case common::kOvercomingMode:
            name = QStringLiteral("Overcoming");
            break;
        case common::kNormalMode:
            break;
    }
    if (way != common::DrillWay::Typed) {
        name += QStringLiteral("・") + common::drillWayName(way);
    }
    // Grades that say less of what the learner remembers than a typed answer does.
    if (way == common::DrillWay::Card) {
        name += QStringLiteral("（自己採点）");
    } else if (way == common::DrillWay::Choice) {
        name += QStringLiteral("（選択で判定）");
    }
    return again ? name + QStringLiteral("（もう一度）") : name;
}

QString startedText(const QDateTime& started, const QTimeZone& zone) {
    return started.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString rateText(const DrillRecord& record) {
    return record.hasRate() ? QStringLiteral("%1 %").arg(record.rate) : QString();
}

QByteArray historyCsvHeading() {
    return QByteArrayLiteral("\xEF\xBB\xBF") +
           QStringLiteral(
               "開始日時,時間 (秒),単語ファイル,モード,問題数,正解数,正解率 (%),間違えた問題\r\n")
               .toUtf8();
}

QByteArray historyCsvRows(const QList<DrillRecord>& records, const QTimeZone& zone) {
    QString text;
    for (const DrillRecord& r : records) {
        const QStringList cells{startedText(r.started, zone),
                                QString::number(r.seconds),
                                csvField(r.wordFile),
                                modeName(r.mode, r.again, r.way),
                                QString::number(r.asked),
                                QString::number(r.right),
                                r.hasRate() ? QString::number(r.rate) : QString(),
                                csvField(r.missed.join(QStringLiteral(" / ")))};
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

}  // namespace drill::history
