// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/answer_check.h"

#include <algorithm>
#include <optional>

#include "common/ansi_text.h"
#include "common/text_script.h"
#include "drill/engine/edit_distance.h"
#include "drill/engine/optional_parts.h"
#include "drill/engine/romaji.h"
#include "drill/engine/spelling_slips.h"

namespace drill {

namespace {

using common::Script;
using common::textScript;

bool allIn(const QStringList& texts, Script script) {
    return !texts.isEmpty() && std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
        return textScript(text) == script;
    });
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

InputModeSlip inputModeSlip(const QString& typed, const QStringList& rights) {
    const Script script = textScript(typed);
    if (script == Script::Japanese && allIn(rights, Script::Latin)) {
        return InputModeSlip::KanaOn;
    }
    if (script != Script::Latin || !looksLikeRomaji(typed) || !allIn(rights, Script::Japanese)) {
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
std::optional<QString> optionalMatch(const QString& typed, const QStringList& rights,
                                     const CheckOptions& options) {
    const QString folded = lenientForm(common::storedForm(typed));
    if (folded.isEmpty()) {
        return std::nullopt;
    }
    for (const QString& right : rights) {
        const QStringList forms =
            optionalForms(lenientForm(common::storedForm(right)), options.optionalParentheses,
                          options.optionalPlaceholder);
        if (forms.contains(folded)) {
            return right;
        }
    }
    return std::nullopt;
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

struct NearMiss {
    qsizetype right = -1;  // index into the rights
    int edits = 0;
};

// The closest Latin right answer within its near-miss distance (of equally close ones the
// first), unless another entry's answer is at least as close.
NearMiss nearMiss(const QString& typed, const QStringList& rights, const OtherAnswers& others,
                  bool lenient) {
    NearMiss found;
    if (textScript(typed) != Script::Latin) {
        return found;
    }
    const auto judgedForm = [&](const QString& text) {
        const QString stored = common::storedForm(text);
        return lenient ? lenientForm(stored) : stored;
    };
    const DistanceFrom from(charKeys(judgedForm(typed)));
    for (qsizetype i = 0; i < rights.size(); ++i) {
        if (textScript(rights[i]) != Script::Latin) {
            continue;
        }
        const CharKeys keys = charKeys(judgedForm(rights[i]));
        const int allowed = nearMissEdits(keys.size());
        const int limit = found.right < 0 ? allowed : std::min(allowed, found.edits - 1);
        const int edits = from.to(keys, limit);
        if (edits > 0 && edits <= limit) {
            found = {i, edits};
        }
    }
    if (found.right < 0 || others.size() == 0) {
        return found;
    }
    QStringList except;
    for (const QString& right : rights) {
        except.append(lenientForm(common::storedForm(right)));
    }
    const bool closer =
        lenient ? others.anyWithin(from, found.edits, except)
                : others.anyWithin(DistanceFrom(charKeys(lenientForm(common::storedForm(typed)))),
                                   found.edits, except);
    return closer ? NearMiss{} : found;
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
    check.judgement = judgeAnswer(typed, rights, options.lenient);
    if (!check.judgement.right && options.lenient &&
        (options.optionalParentheses || options.optionalPlaceholder)) {
        if (const std::optional<QString> right = optionalMatch(typed, rights, options)) {
            check.judgement = {true, true, *right};
        }
    }
    if (check.judgement.right) {
        if (check.judgement.lenient) {
            check.difference = differenceTo(typed, check.judgement.rightAnswer);
        }
        return check;
    }
    check.inputMode = inputModeSlip(typed, rights);
    if (check.inputMode != InputModeSlip::None) {
        return check;
    }
    const NearMiss near = nearMiss(typed, rights, otherAnswers, options.lenient);
    check.nearMiss = near.right >= 0;
    check.difference = check.nearMiss ? differenceTo(typed, rights[near.right])
                                      : differenceToClosest(typed, rights);
    if (textScript(check.difference.rightAnswer) == Script::Latin) {
        check.slips = spellingSlips(check.difference.marks);
    }
    if (check.nearMiss && options.nearMiss == NearMissRule::Accept) {
        check.judgement = {true, false, rights[near.right]};
    }
    check.retry = check.nearMiss && options.nearMiss == NearMissRule::Retry;
    return check;
}

}  // namespace drill
