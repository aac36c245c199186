// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/answer_check.h"

#include <algorithm>

#include "common/text_script.h"
#include "drill/engine/compared_forms.h"
#include "drill/engine/edit_distance.h"
#include "drill/engine/optional_parts.h"
#include "drill/engine/romaji.h"
#include "drill/engine/spelling_slips.h"

namespace drill {

namespace {

using common::Script;

bool allIn(const QList<ComparedForms>& rights, Script script) {
    return !rights.isEmpty() &&
           std::all_of(rights.begin(), rights.end(),
                       [&](const ComparedForms& right) { return right.script == script; });
}

// Latin letters and what goes between words, as typed with the input method off.
bool looksLikeRomaji(const QString& typed) {
    bool letter = false;
    for (const QChar c : typed.normalized(QString::NormalizationForm_KC)) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            letter = true;
        } else if (!QStringLiteral(" -',.").contains(c)) {
            return false;
        }
    }
    return letter;
}

InputModeSlip inputModeSlip(const QString& typed, const ComparedForms& typedForms,
                            const QStringList& rights, const QList<ComparedForms>& rightForms) {
    if (typedForms.script == Script::Japanese && allIn(rightForms, Script::Latin)) {
        return InputModeSlip::KanaOn;
    }
    if (typedForms.script != Script::Latin || !allIn(rightForms, Script::Japanese) ||
        !looksLikeRomaji(typed)) {
        return InputModeSlip::None;
    }
    // Romaji that spells a kana answer; an answer with kanji we cannot read may be spelt by
    // anything.
    bool unreadable = false;
    for (const QString& right : rights) {
        const QString reading = hiraganaForm(right).trimmed();
        if (!isKanaReading(reading)) {
            unreadable = true;
        } else if (romajiSpells(typed, reading)) {
            return InputModeSlip::KanaOff;
        }
    }
    return unreadable ? InputModeSlip::KanaOff : InputModeSlip::None;
}

// Optional parts in parentheses or a placeholder, left out or typed (lenient forms).
qsizetype optionalMatch(const ComparedForms& typed, const QList<ComparedForms>& rights,
                        const CheckOptions& options) {
    if (typed.folded.isEmpty()) {
        return -1;
    }
    for (qsizetype i = 0; i < rights.size(); ++i) {
        const QStringList forms = optionalForms(rights[i].folded, options.optionalParentheses,
                                                options.optionalPlaceholder);
        if (forms.contains(typed.folded)) {
            return i;
        }
    }
    return -1;
}

// A number one digit off is another number, not a slip of spelling.
bool changesDigit(const QList<CharMark>& marks) {
    return std::any_of(marks.begin(), marks.end(), [](const CharMark& mark) {
        const auto digit = [](const QString& text) {
            return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
        };
        return mark.kind != CharMark::Kind::Same && (digit(mark.typed) || digit(mark.right));
    });
}

// How many edits an answer of length characters may be off and still be a near miss: the
// length is that of the right answer (in the form it is judged in), not the typed one.
int nearMissEdits(qsizetype length) {
    if (length <= 3) {
        return 0;
    }
    if (length <= 5) {
        return 1;
    }
    if (length <= 7) {
        return 2;
    }
    return int(length / 7) + 2;
}

// judgeAnswer's verdict, from the forms made once for the rest of the check.
Judgement judgedBy(const QString& typed, const ComparedForms& typedForms, const QStringList& rights,
                   const QList<ComparedForms>& rightForms, bool lenient) {
    if (typed.isEmpty()) {
        return {};
    }
    for (qsizetype i = 0; i < rights.size(); ++i) {
        if (rightForms[i].stored == typedForms.stored) {
            return {true, false, rights[i]};
        }
    }
    if (!lenient || typedForms.folded.isEmpty()) {
        return {};
    }
    for (qsizetype i = 0; i < rights.size(); ++i) {
        if (rightForms[i].folded == typedForms.folded) {
            return {true, true, rights[i]};
        }
    }
    return {};
}

struct Closest {
    qsizetype right = -1;  // the closest right answer (of equally close ones the first)
    qsizetype near = -1;   // the closest Latin one within its near-miss distance
    int nearEdits = 0;
};

// The right answers closest to typed, in the form judged (lenient or stored); the near miss
// only when no other entry's answer is at least as close.
Closest closestRights(const ComparedForms& typed, const QList<ComparedForms>& rights,
                      const OtherAnswers& others, bool lenient) {
    Closest found;
    const bool latin = typed.script == Script::Latin;
    const DistanceFrom from(charKeys(lenient ? typed.folded : typed.stored));
    int least = -1;
    for (qsizetype i = 0; i < rights.size(); ++i) {
        const CharKeys keys = charKeys(lenient ? rights[i].folded : rights[i].stored);
        const int closestLimit = least < 0 ? int(from.keys().size() + keys.size()) : least - 1;
        int nearLimit = -1;
        if (latin && rights[i].script == Script::Latin) {
            const int allowed = nearMissEdits(keys.size());
            nearLimit = found.near < 0 ? allowed : std::min(allowed, found.nearEdits - 1);
        }
        const int edits = from.to(keys, std::max(closestLimit, nearLimit));
        if (edits <= closestLimit) {
            found.right = i;
            least = edits;
        }
        if (edits > 0 && edits <= nearLimit) {
            found.near = i;
            found.nearEdits = edits;
        }
    }
    if (found.near < 0 || others.isEmpty()) {
        return found;
    }
    QStringList except;
    for (const ComparedForms& right : rights) {
        except.append(right.folded);
    }
    const bool closer =
        lenient ? others.anyWithin(from, found.nearEdits, except)
                : others.anyWithin(DistanceFrom(charKeys(typed.folded)), found.nearEdits, except);
    if (closer) {
        found.near = -1;
    }
    return found;
}

}  // namespace

QString slipKindText(SlipKind kind) {
    switch (kind) {
        case SlipKind::LR:
            return QStringLiteral("l と r");
        case SlipKind::BV:
            return QStringLiteral("b と v");
        case SlipKind::ThS:
            return QStringLiteral("th と s");
        case SlipKind::AddedVowel:
            return QStringLiteral("語末の母音");
        case SlipKind::DoubledConsonant:
            return QStringLiteral("子音の重なり");
    }
    return {};
}

AnswerCheck checkAnswer(const QString& typed, const QStringList& rights,
                        const OtherAnswers& otherAnswers, const CheckOptions& options) {
    AnswerCheck check;
    const ComparedForms typedForms = comparedForms(typed);
    QList<ComparedForms> rightForms;
    rightForms.reserve(rights.size());
    for (const QString& right : rights) {
        rightForms.append(comparedForms(right));
    }
    check.judgement = judgedBy(typed, typedForms, rights, rightForms, options.lenient);
    if (check.judgement.right && !check.judgement.lenient) {
        return check;
    }
    qsizetype shown = -1;  // the right answer the difference is taken against
    const auto differenceAgainst = [&](qsizetype right) {
        shown = right;
        return differenceToClosest(typedForms.stored, {rights[right]}, {rightForms[right].stored});
    };
    if (!check.judgement.right && options.lenient &&
        (options.optionalParentheses || options.optionalPlaceholder)) {
        const qsizetype right = optionalMatch(typedForms, rightForms, options);
        if (right >= 0) {
            check.judgement = {true, true, rights[right]};
            check.difference = differenceAgainst(right);
            return check;
        }
    }
    if (check.judgement.right) {
        const qsizetype matched = rights.indexOf(check.judgement.rightAnswer);
        if (matched >= 0) {
            check.difference = differenceAgainst(matched);
        }
        return check;
    }
    check.inputMode = inputModeSlip(typed, typedForms, rights, rightForms);
    if (check.inputMode != InputModeSlip::None) {
        return check;
    }
    const Closest closest = closestRights(typedForms, rightForms, otherAnswers, options.lenient);
    if (closest.near >= 0) {
        check.difference = differenceAgainst(closest.near);
        check.nearMiss = !changesDigit(check.difference.marks);
    }
    if (!check.nearMiss && closest.right >= 0) {
        check.difference = differenceAgainst(closest.right);
    }
    if (shown >= 0 && rightForms[shown].script == Script::Latin) {
        check.slips = spellingSlips(check.difference.marks);
    }
    if (check.nearMiss && options.nearMiss == NearMissRule::Accept) {
        check.judgement = {true, false, rights[closest.near]};
    }
    check.retry = check.nearMiss && options.nearMiss == NearMissRule::Retry;
    return check;
}

}  // namespace drill
