// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QJsonObject>

#include "drill/history/drill_history.h"

namespace drill::history {

// A drill as a JSON object, as the pending file and the journals keep it; a field absent from
// an earlier version's object reads as its default.
QJsonObject toJson(const DrillRecord& drill);
DrillRecord fromJson(const QJsonObject& json);

}  // namespace drill::history
