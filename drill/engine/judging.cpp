// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/judging.h"

#include "common/ansi_text.h"

namespace drill {

QString lenientForm(const QString& text) {
    // NFKC first: it turns the full-width blank into an ASCII one, which trimming then removes.
    return text.normalized(QString::NormalizationForm_KC).trimmed().toCaseFolded();
}

QString lenientNote(const QString& storedAnswer) {
    return QStringLiteral("ゆるやかな判定で正解。登録されている答え: ") + storedAnswer;
}

Judgement judgeAnswer(const QString& typed, const QStringList& rights, bool lenient) {
    if (typed.isEmpty()) {
        return {};
    }
    // Compared as the file stores text: an input method's U+301C must match the U+FF5E that
    // code page 932 reads back, and a UTF-8 file's answers are folded the same way.
    const QString answer = common::storedForm(typed);
    for (const QString& right : rights) {
        if (common::storedForm(right) == answer) {
            return {true, false, right};
        }
    }
    if (!lenient) {
        return {};
    }
    const QString folded = lenientForm(answer);
    if (folded.isEmpty()) {
        return {};
    }
    for (const QString& right : rights) {
        if (lenientForm(common::storedForm(right)) == folded) {
            return {true, true, right};
        }
    }
    return {};
}

}  // namespace drill
