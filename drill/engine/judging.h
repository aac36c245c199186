// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

namespace drill {

struct Judgement {
    bool right = false;
    // Right only by the lenient rule; rightAnswer is then the stored answer it matched.
    bool lenient = false;
    QString rightAnswer;
};

// The exact rule first: the typed answer equals one of the right answers character for
// character. With lenient, a typed answer that no right answer equals exactly is also right
// when both agree after lenientForm(). An empty answer is always wrong.
Judgement judgeAnswer(const QString& typed, const QStringList& rights, bool lenient);

// NFKC (full-width and half-width forms folded), surrounding blanks removed, letter case
// folded. Hiragana and katakana stay apart.
QString lenientForm(const QString& text);

// The verdict's tool tip when only the lenient rule accepted: the answer exactly as stored.
QString lenientNote(const QString& storedAnswer);

}  // namespace drill
