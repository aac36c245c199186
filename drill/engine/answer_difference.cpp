// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/answer_difference.h"

#include "common/ansi_text.h"
#include "drill/engine/edit_distance.h"

namespace drill {

namespace {

using Kind = CharMark::Kind;

// The marks of a shortest edit script and its number of edits.
AnswerDifference differenceOf(const QString& typedStored, const QString& right,
                              const QString& rightStored) {
    const QStringList typed = graphemeClusters(typedStored);
    const QStringList wanted = graphemeClusters(rightStored);
    AnswerDifference difference{right, {}, 0};
    difference.marks.reserve(typed.size() + wanted.size());
    qsizetype t = 0;
    qsizetype r = 0;
    for (const EditStep step : editSteps(charKeys(typed), charKeys(wanted))) {
        difference.edits += step == EditStep::Same ? 0 : 1;
        switch (step) {
            case EditStep::Same:
                difference.marks.append({Kind::Same, typed[t++], wanted[r++]});
                break;
            case EditStep::Change:
                difference.marks.append({Kind::Wrong, typed[t++], wanted[r++]});
                break;
            case EditStep::Swap:
                difference.marks.append({Kind::Wrong, typed[t], wanted[r]});
                difference.marks.append({Kind::Wrong, typed[t + 1], wanted[r + 1]});
                t += 2;
                r += 2;
                break;
            case EditStep::Remove:
                difference.marks.append({Kind::Extra, typed[t++], {}});
                break;
            case EditStep::Insert:
                difference.marks.append({Kind::Missing, {}, wanted[r++]});
                break;
        }
    }
    return difference;
}

QString spoken(const QString& character) {
    return character.trimmed().isEmpty() ? QStringLiteral("空白") : character;
}

}  // namespace

AnswerDifference differenceTo(const QString& typed, const QString& right) {
    return differenceOf(common::storedForm(typed), right, common::storedForm(right));
}

AnswerDifference differenceToClosest(const QString& typed, const QStringList& rights) {
    QStringList stored;
    stored.reserve(rights.size());
    for (const QString& right : rights) {
        stored.append(common::storedForm(right));
    }
    return differenceToClosest(common::storedForm(typed), rights, stored);
}

AnswerDifference differenceToClosest(const QString& typedStored, const QStringList& rights,
                                     const QStringList& rightsStored) {
    if (rights.isEmpty() || rightsStored.size() != rights.size()) {
        return {};
    }
    if (rights.size() == 1) {
        return differenceOf(typedStored, rights[0], rightsStored[0]);  // no closest to look for
    }
    const DistanceFrom from(charKeys(typedStored));
    qsizetype closest = 0;
    int least = -1;
    for (qsizetype i = 0; i < rights.size(); ++i) {
        const CharKeys keys = charKeys(rightsStored[i]);
        const int limit = least < 0 ? int(from.keys().size() + keys.size()) : least - 1;
        const int distance = from.to(keys, limit);
        if (distance <= limit) {
            closest = i;
            least = distance;
        }
    }
    return differenceOf(typedStored, rights[closest], rightsStored[closest]);
}

QString spokenDifference(const AnswerDifference& difference) {
    QStringList parts;
    qsizetype position = 0;  // typed characters read so far
    for (const CharMark& mark : difference.marks) {
        switch (mark.kind) {
            case Kind::Same:
                ++position;
                break;
            case Kind::Wrong:
                ++position;
                parts.append(QStringLiteral("%1 文字目: %2 ではなく %3")
                                 .arg(position)
                                 .arg(spoken(mark.typed), spoken(mark.right)));
                break;
            case Kind::Extra:
                ++position;
                parts.append(
                    QStringLiteral("%1 文字目: %2 は余分").arg(position).arg(spoken(mark.typed)));
                break;
            case Kind::Missing:
                parts.append(QStringLiteral("%1 文字目: %2 が抜けている")
                                 .arg(position + 1)
                                 .arg(spoken(mark.right)));
                break;
        }
    }
    return parts.join(QStringLiteral("、"));
}

}  // namespace drill
