// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/drill_way.h"

namespace common {

QString drillWayName(DrillWay way) {
    switch (way) {
        case DrillWay::Typed:
            return QStringLiteral("問題→答え");
        case DrillWay::Reversed:
            return QStringLiteral("答え→問題");
        case DrillWay::Listening:
            return QStringLiteral("聞き取り");
        case DrillWay::Choice:
            return QStringLiteral("選択式");
        case DrillWay::Card:
            return QStringLiteral("カード");
    }
    return QString::number(static_cast<int>(way));
}

DrillWay drillWayOf(int number) {
    return number > 0 && number < kDrillWayCount ? static_cast<DrillWay>(number) : DrillWay::Typed;
}

}  // namespace common
