// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/answer_difference.h"

#include "common/ansi_text.h"
#include "drill/engine/edit_distance.h"

namespace drill {

namespace {

using Kind = CharMark::Kind;

QList<CharMark> marksBetween(const QStringList& typed, const QStringList& right) {
    QList<CharMark> marks;
    qsizetype t = 0;
    qsizetype r = 0;
    for (const EditStep step : editSteps(charKeys(typed), charKeys(right))) {
        switch (step) {
            case EditStep::Same:
                marks.append({Kind::Same, typed[t++], right[r++]});
                break;
            case EditStep::Change:
                marks.append({Kind::Wrong, typed[t++], right[r++]});
                break;
            case EditStep::Swap:
                marks.append({Kind::Wrong, typed[t], right[r]});
                marks.append({Kind::Wrong, typed[t + 1], right[r + 1]});
                t += 2;
                r += 2;
                break;
            case EditStep::Remove:
                marks.append({Kind::Extra, typed[t++], {}});
                break;
            case EditStep::Insert:
                marks.append({Kind::Missing, {}, right[r++]});
                break;
        }
    }
    return marks;
}

QString spoken(const QString& character) {
    return character.trimmed().isEmpty() ? QStringLiteral("空白") : character;
}

}  // namespace

AnswerDifference differenceTo(const QString& typed, const QString& right) {
    const QStringList typedChars = graphemeClusters(common::storedForm(typed));
    const QStringList rightChars = graphemeClusters(common::storedForm(right));
    AnswerDifference difference{right, marksBetween(typedChars, rightChars), 0};
    const DistanceFrom from(charKeys(typedChars));
    difference.edits = from.to(charKeys(rightChars), int(typedChars.size() + rightChars.size()));
    return difference;
}

AnswerDifference differenceToClosest(const QString& typed, const QStringList& rights) {
    if (rights.isEmpty()) {
        return {};
    }
    const DistanceFrom from(charKeys(common::storedForm(typed)));
    qsizetype closest = 0;
    int least = -1;
    for (qsizetype i = 0; i < rights.size(); ++i) {
        const CharKeys keys = charKeys(common::storedForm(rights[i]));
        const int limit = least < 0 ? int(from.keys().size() + keys.size()) : least - 1;
        const int distance = from.to(keys, limit);
        if (distance <= limit) {
            closest = i;
            least = distance;
        }
    }
    return differenceTo(typed, rights[closest]);
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
