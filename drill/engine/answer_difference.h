// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace drill {

// One user-perceived character (a base with its combining marks, a surrogate pair) of the
// typed answer set against the right one.
struct CharMark {
    enum class Kind { Same, Missing, Extra, Wrong } kind = Kind::Same;
    QString typed;  // empty for Missing
    QString right;  // empty for Extra

    bool operator==(const CharMark&) const = default;
};

struct AnswerDifference {
    QString rightAnswer;    // the closest right answer, as stored
    QList<CharMark> marks;  // in reading order
    int edits = 0;          // 0 when typed equals it
};

// The typed answer against the closest right answer by edit distance over user-perceived
// characters (inserting, removing or changing one, or swapping two neighbours, is one edit);
// of equally close answers the first stored. Both sides are compared as the word file stores
// text. Empty rights give an empty difference.
AnswerDifference differenceToClosest(const QString& typed, const QStringList& rights);

// The same with the texts already in their stored form (common::storedForm), rightsStored
// beside rights.
AnswerDifference differenceToClosest(const QString& typedStored, const QStringList& rights,
                                     const QStringList& rightsStored);

// The same against one given right answer.
AnswerDifference differenceTo(const QString& typed, const QString& right);

// For a screen reader, each mark that is not Same in reading order, joined with "、":
// "3 文字目: e ではなく i" (typed e where i is right), "3 文字目: e は余分" (typed e too much),
// "3 文字目: i が抜けている" (i is missing before the typed third character). Positions count
// the typed answer's characters; a blank is read as "空白".
QString spokenDifference(const AnswerDifference& difference);

}  // namespace drill
