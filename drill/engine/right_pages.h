// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

namespace drill {

inline constexpr int kAnswersPerPage = 4;

// The four boxes' texts for a 0-based page of the joined right answers; boxes past the last
// answer are empty. Empty pieces between two separators count as answers.
QStringList answerPage(const QString& joinedRights, int page);

}  // namespace drill
