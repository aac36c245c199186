// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimeZone>

#include "drill/history/drill_history.h"

// What the history window shows, worked out from the records alone.
namespace drill::history {

// "Normal", "Endless", "Overcoming", as the mode menu names them; "Normal（もう一度）" for a
// drill over the missed entries of the one before; "Normal・聞き取り" for a drill that asked
// in another way than typing the answer to the question shown, "Normal・カード（自己採点）" and
// "Normal・選択式（選択で判定）" for the ways whose grades are the learner's own or a pick.
QString modeName(common::DrillModeValue mode, bool again = false,
                 common::DrillWay way = common::DrillWay::Typed);

// "2026-12-07 11:53:17" in the given zone.
QString startedText(const QDateTime& started, const QTimeZone& zone);

// "66 %", or nothing for a drill without a rate.
QString rateText(const DrillRecord& record);

// The table as UTF-8 CSV with a byte-order mark and CR LF line ends, which spreadsheet
// programs open directly: the heading line, then the rows, written in pieces.
QByteArray historyCsvHeading();
QByteArray historyCsvRows(const QList<DrillRecord>& records, const QTimeZone& zone);
inline QByteArray historyCsv(const QList<DrillRecord>& records, const QTimeZone& zone) {
    return historyCsvHeading() + historyCsvRows(records, zone);
}

}  // namespace drill::history
