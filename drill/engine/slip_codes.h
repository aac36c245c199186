// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "drill/engine/answer_check.h"

namespace drill {

// The kinds of slip as the history keeps them: short codes that stay the same whatever the
// order or wording of the kinds.
QString slipCode(SlipKind kind);
// None for a code this version does not know (one of a later version).
std::optional<SlipKind> slipKindOfCode(const QString& code);
QStringList slipCodes(const QList<SlipKind>& kinds);

}  // namespace drill
