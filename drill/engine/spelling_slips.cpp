// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/spelling_slips.h"

#include <QSet>

namespace drill {

// Japanese has one liquid where English has l and r, no b/v and no th contrast, and its
// syllables end in a vowel (or ん), so Japanese writers of English confuse l with r, b with v,
// write s for th, add a vowel after a word's final consonant ("desku") and double a consonant
// where English has one or the reverse (the short stop っ of loanwords): the kinds of spelling
// error that studies of Japanese learners' English writing report most often (among them
// V. Cook, "L2 users and English spelling", 1997, and T. Okada's analyses of Japanese EFL
// writers' spelling errors, 2005).

namespace {

using Kind = CharMark::Kind;

QChar letterOf(const QString& character) {
    return character.size() == 1 && character[0].isLetter() ? character[0].toLower() : QChar();
}

bool isVowel(QChar c) {
    return !c.isNull() && QStringLiteral("aeiou").contains(c);
}

bool isConsonant(QChar c) {
    return !c.isNull() && c.unicode() < 0x80 && c.isLetter() && !isVowel(c);
}

// Two neighbours typed the other way round: a swap, not a confusion of sounds.
bool swapped(const QList<CharMark>& marks, qsizetype i) {
    const auto crossed = [&](qsizetype j) {
        return j >= 0 && j < marks.size() && marks[j].kind == Kind::Wrong &&
               marks[j].typed == marks[i].right && marks[j].right == marks[i].typed;
    };
    return crossed(i - 1) || crossed(i + 1);
}

bool pairIs(const CharMark& mark, QChar a, QChar b) {
    const QChar typed = letterOf(mark.typed);
    const QChar right = letterOf(mark.right);
    return (typed == a && right == b) || (typed == b && right == a);
}

// th written s (or s written th): over two marks, one changing t or h into s, the other
// dropping or adding the rest of th.
bool thAsS(const QList<CharMark>& marks, qsizetype i) {
    if (i + 1 >= marks.size()) {
        return false;
    }
    const CharMark& a = marks[i];
    const CharMark& b = marks[i + 1];
    const auto is = [](const CharMark& m, Kind kind, char16_t typed, char16_t right) {
        return m.kind == kind && letterOf(m.typed) == QChar(typed) &&
               letterOf(m.right) == QChar(right);
    };
    return (is(a, Kind::Wrong, u's', u't') && is(b, Kind::Missing, 0, u'h')) ||
           (is(a, Kind::Missing, 0, u't') && is(b, Kind::Wrong, u's', u'h')) ||
           (is(a, Kind::Wrong, u't', u's') && is(b, Kind::Extra, u'h', 0)) ||
           (is(a, Kind::Extra, u't', 0) && is(b, Kind::Wrong, u'h', u's'));
}

// One or more vowels typed after a consonant at the end of a word (before a blank or the end).
bool addedVowel(const QList<CharMark>& marks, qsizetype i) {
    if (marks[i].kind != Kind::Extra || !isVowel(letterOf(marks[i].typed)) || i == 0 ||
        !isConsonant(letterOf(marks[i - 1].typed))) {
        return false;
    }
    qsizetype next = i + 1;
    while (next < marks.size() && marks[next].kind == Kind::Extra &&
           isVowel(letterOf(marks[next].typed))) {
        ++next;
    }
    return next == marks.size() ||
           (marks[next].kind == Kind::Same && !letterOf(marks[next].right).isLetter());
}

// A consonant typed twice where it stands once, or once where it stands twice.
bool doubledConsonant(const QList<CharMark>& marks, qsizetype i) {
    const CharMark& mark = marks[i];
    const bool extra = mark.kind == Kind::Extra;
    if (!extra && mark.kind != Kind::Missing) {
        return false;
    }
    const QChar c = letterOf(extra ? mark.typed : mark.right);
    if (!isConsonant(c)) {
        return false;
    }
    const auto sameNeighbour = [&](qsizetype j) {
        return j >= 0 && j < marks.size() && marks[j].kind == Kind::Same &&
               letterOf(marks[j].right) == c;
    };
    return sameNeighbour(i - 1) || sameNeighbour(i + 1);
}

}  // namespace

QList<SlipKind> spellingSlips(const QList<CharMark>& marks) {
    QSet<SlipKind> found;
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const bool changed = marks[i].kind == Kind::Wrong && !swapped(marks, i);
        if (changed && pairIs(marks[i], u'l', u'r')) {
            found.insert(SlipKind::LR);
        }
        if (changed && pairIs(marks[i], u'b', u'v')) {
            found.insert(SlipKind::BV);
        }
        if (thAsS(marks, i)) {
            found.insert(SlipKind::ThS);
        }
        if (addedVowel(marks, i)) {
            found.insert(SlipKind::AddedVowel);
        }
        if (doubledConsonant(marks, i)) {
            found.insert(SlipKind::DoubledConsonant);
        }
    }
    QList<SlipKind> slips;
    for (const SlipKind kind : {SlipKind::LR, SlipKind::BV, SlipKind::ThS, SlipKind::AddedVowel,
                                SlipKind::DoubledConsonant}) {
        if (found.contains(kind)) {
            slips.append(kind);
        }
    }
    return slips;
}

}  // namespace drill
