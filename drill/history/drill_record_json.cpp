// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/history/drill_record_json.h"

#include <QJsonArray>

namespace drill::history {

QJsonObject toJson(const DrillRecord& drill) {
    return {{QStringLiteral("started"), drill.started.toUTC().toString(Qt::ISODateWithMs)},
            {QStringLiteral("seconds"), drill.seconds},
            {QStringLiteral("wordFile"), drill.wordFile},
            {QStringLiteral("mode"), static_cast<int>(drill.mode)},
            {QStringLiteral("again"), drill.again},
            {QStringLiteral("way"), static_cast<int>(drill.way)},
            {QStringLiteral("asked"), drill.asked},
            {QStringLiteral("right"), drill.right},
            {QStringLiteral("rate"), drill.rate},
            {QStringLiteral("missed"), QJsonArray::fromStringList(drill.missed)},
            {QStringLiteral("slips"), QJsonArray::fromStringList(drill.slips)}};
}

DrillRecord fromJson(const QJsonObject& json) {
    DrillRecord drill;
    drill.started =
        QDateTime::fromString(json.value(QLatin1String("started")).toString(), Qt::ISODateWithMs);
    drill.seconds = json.value(QLatin1String("seconds")).toInteger();
    drill.wordFile = json.value(QLatin1String("wordFile")).toString();
    drill.mode = static_cast<common::DrillModeValue>(json.value(QLatin1String("mode")).toInt());
    drill.again = json.value(QLatin1String("again")).toBool();
    // Absent from the lines of earlier versions: the typed way.
    drill.way = static_cast<common::DrillWay>(json.value(QLatin1String("way")).toInt());
    drill.asked = json.value(QLatin1String("asked")).toInteger();
    drill.right = json.value(QLatin1String("right")).toInteger();
    drill.rate = json.value(QLatin1String("rate")).toInt();
    for (const QJsonValue& question : json.value(QLatin1String("missed")).toArray()) {
        drill.missed.append(question.toString());
    }
    // Absent from the lines of earlier versions.
    for (const QJsonValue& slip : json.value(QLatin1String("slips")).toArray()) {
        drill.slips.append(slip.toString());
    }
    return drill;
}

}  // namespace drill::history
