// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The right answers of the entry form as one list, for the additional-answers dialog.
namespace editor {

// The form's answers: four boxes and the hidden rest, joined by "|@2|".
struct FormAnswers {
    static constexpr int kBoxes = 4;

    std::array<QString, kBoxes> boxes;
    QString extraRights;

    friend bool operator==(const FormAnswers&, const FormAnswers&) = default;
};

// The non-empty boxes in order, then every piece of the rest (empty pieces too).
QStringList answersOfForm(const FormAnswers& form);

// The first four answers into the boxes (the others emptied), the rest joined.
FormAnswers formOfAnswers(const QStringList& answers);

// The answers without those at the given positions (any order; out-of-range ones ignored).
QStringList withoutPositions(const QStringList& answers, const QList<int>& positions);

}  // namespace editor
