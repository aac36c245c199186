// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "drill/engine/answer_check.h"
#include "drill/engine/answer_difference.h"
#include "drill/engine/edit_distance.h"
#include "drill/engine/romaji.h"

using namespace Qt::StringLiterals;

namespace drill {
namespace {

// One typed answer against an entry's right answers, in a word file whose other entries have
// the answers of kFile.
//   rights   the entry's right answers, joined by "|"
//   options  L lenient, P parentheses optional, T placeholder optional, R near miss retried,
//            A near miss accepted
//   verdict  o right, o~ right by the lenient rule, o? near miss accepted, x wrong,
//            x? wrong but a near miss, retry, on / off: the input method seems on / off
//   marks    the typed answer against the closest right answer: a plain character is the
//            same, [a/b] a typed for b, [+a] a typed too much, [-b] b missing; "" when no
//            difference is shown
//   slips    lr bv ths vowel double, in that order
struct Row {
    const char* rights;
    const char* typed;
    const char* options;
    const char* verdict;
    const char* marks;
    const char* slips;
};

const QStringList kFile{u"life"_s,  u"collect"_s, u"sing"_s, u"vest"_s,
                        u"berry"_s, u"りんご"_s,  u"walk"_s};

// clang-format off
const Row kRows[] = {
    // English spelling slips
    {"receive", "recieve", "", "x?", "rec[i/e][e/i]ve", ""},
    {"write", "rite", "", "x?", "[-w]rite", ""},
    {"rice", "lice", "", "x", "[l/r]ice", "lr"},  // life is in the file
    {"very", "bery", "", "x", "[b/v]ery", "bv"},  // berry too
    {"think", "sink", "", "x", "[-t][s/h]ink", "ths"},
    {"desk", "desku", "", "x?", "desk[+u]", "vowel"},
    {"committee", "comitee", "", "x?", "co[-m]mi[-t]tee", "double"},
    {"live", "life", "", "x", "li[f/v]e", ""},
    // exact and lenient judging
    {"apple", "apple", "", "o", "", ""},
    {"apple", "Apple", "L", "o~", "[A/a]pple", ""},
    {"apple", "Apple", "", "x?", "[A/a]pple", ""},
    // near-miss rules
    {"receive", "recieve", "R", "retry", "rec[i/e][e/i]ve", ""},
    {"receive", "recieve", "A", "o?", "rec[i/e][e/i]ve", ""},
    // Japanese minimal pairs stay wrong
    {"はし", "ばし", "A", "x", "[ば/は]し", ""},
    // input mode
    {"apple", "あっぷる", "", "on", "", ""},
    {"りんご", "ringo", "", "off", "", ""},
    // optional parts
    {"(to) run", "run", "LP", "o~", "[-(][-t][-o][-)][- ]run", ""},
    {"～を見る", "を見る", "LT", "o~", "[-～]を見る", ""},
    {"～を見る", "見る", "LT", "x", "[-～][-を]見る", ""},
};
// clang-format on

CheckOptions optionsOf(const QString& letters) {
    CheckOptions options;
    options.lenient = letters.contains(u'L');
    options.optionalParentheses = letters.contains(u'P');
    options.optionalPlaceholder = letters.contains(u'T');
    options.nearMiss = letters.contains(u'R')   ? NearMissRule::Retry
                       : letters.contains(u'A') ? NearMissRule::Accept
                                                : NearMissRule::Off;
    return options;
}

QString verdictOf(const AnswerCheck& check) {
    if (check.inputMode != InputModeSlip::None) {
        return check.inputMode == InputModeSlip::KanaOn ? u"on"_s : u"off"_s;
    }
    if (check.retry) {
        return u"retry"_s;
    }
    if (check.judgement.right) {
        return check.nearMiss ? u"o?"_s : check.judgement.lenient ? u"o~"_s : u"o"_s;
    }
    return check.nearMiss ? u"x?"_s : u"x"_s;
}

QString marksOf(const AnswerDifference& difference) {
    QString text;
    for (const CharMark& mark : difference.marks) {
        switch (mark.kind) {
            case CharMark::Kind::Same:
                text += mark.typed;
                break;
            case CharMark::Kind::Wrong:
                text += u'[' + mark.typed + u'/' + mark.right + u']';
                break;
            case CharMark::Kind::Extra:
                text += u"[+"_s + mark.typed + u']';
                break;
            case CharMark::Kind::Missing:
                text += u"[-"_s + mark.right + u']';
                break;
        }
    }
    return text;
}

QString slipsOf(const QList<SlipKind>& slips) {
    static const char* const names[] = {"lr", "bv", "ths", "vowel", "double"};
    QStringList words;
    for (const SlipKind kind : slips) {
        words.append(QString::fromLatin1(names[int(kind)]));
    }
    return words.join(u' ');
}

TEST(AnswerCheck, Table) {
    const OtherAnswers file(kFile);
    for (const Row& row : kRows) {
        const QStringList rights = QString::fromUtf8(row.rights).split(u'|');
        const QString typed = QString::fromUtf8(row.typed);
        const CheckOptions options = optionsOf(QString::fromLatin1(row.options));
        SCOPED_TRACE(
            QStringLiteral("%1 / %2 / %3").arg(row.rights, row.typed, row.options).toStdString());
        const AnswerCheck check = checkAnswer(typed, rights, file, options);
        EXPECT_EQ(verdictOf(check), QString::fromUtf8(row.verdict));
        EXPECT_EQ(marksOf(check.difference), QString::fromUtf8(row.marks));
        EXPECT_EQ(slipsOf(check.slips), QString::fromUtf8(row.slips));
        if (!check.judgement.right) {
            continue;
        }
        ASSERT_FALSE(rights.isEmpty());
        EXPECT_TRUE(rights.contains(check.judgement.rightAnswer));
    }
}

}  // namespace
}  // namespace drill
