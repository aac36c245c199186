#include "drill/engine/judging.h"

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
    if (rights.contains(typed)) {
        return {true, false, typed};
    }
    if (!lenient) {
        return {};
    }
    const QString folded = lenientForm(typed);
    if (folded.isEmpty()) {
        return {};
    }
    for (const QString& right : rights) {
        if (lenientForm(right) == folded) {
            return {true, true, right};
        }
    }
    return {};
}

}  // namespace drill
