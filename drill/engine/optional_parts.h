// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

namespace drill {

// The ways a right answer in its lenient form may be typed when text in parentheses may be
// left out or typed without them ("(to) run": "to run", "run"), and a "~" placeholder may be
// left out ("~を見る": "~を見る", "を見る"). A blank left doubled or at either end by a part
// left out goes with it. The answer itself comes first; beyond eight such parts the later
// ones count as plain text.
QStringList optionalForms(const QString& answer, bool parentheses, bool placeholder);

}  // namespace drill
