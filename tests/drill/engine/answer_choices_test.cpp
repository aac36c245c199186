// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QSet>

#include <random>

#include "common/entry_text.h"
#include "drill/engine/answer_choices.h"
#include "drill/engine/judging.h"
#include "drill/engine/random_source.h"

using namespace Qt::StringLiterals;

namespace drill {
namespace {

class SeededRandom final : public RandomSource {
public:
    double next() override { return std::uniform_real_distribution<double>(0, 1)(generator_); }

private:
    std::mt19937_64 generator_{29};
};

// Many draws for the first entry of a file: every one offers count choices, one of them a right
// answer, no two the same to lenient judging, the others among possible, and every possible
// one offered at some draw.
TEST(AnswerChoices, OneRightAndWrongOnesOfTheSameScriptAndLength) {
    const struct {
        const char* name;
        QStringList entries;  // "question|rights", the first one asked
        int count;
        QStringList possible;
    } table[] = {
        // clang-format off
        {"one entry", {u"apple|りんご"_s}, 1, {}},
        {"two entries", {u"apple|りんご"_s, u"dog|犬"_s}, 2, {u"犬"_s}},
        {"another script left out", {u"apple|りんご"_s, u"dog|犬"_s, u"犬|dog"_s}, 2, {u"犬"_s}},
        {"several answers, one of them another entry's",
         {u"run|走る|@2|駆ける"_s, u"walk|歩く"_s, u"jog|駆ける"_s, u"go|行く"_s, u"eat|食べる"_s}, 4, {u"歩く"_s, u"行く"_s, u"食べる"_s}},
        {"the question, a right answer as judging may accept it",
         {u"big|large|@2|(very) great"_s, u"大きい|big"_s, u"広い| Large "_s, u"偉い|great"_s, u"巨大|(so) large"_s,
          u"小さい|tiny"_s, u"極小|TINY"_s, u"広大|vast"_s}, 3, {u"tiny"_s, u"TINY"_s, u"vast"_s}},
        {"of about the same length", {u"q|abcd"_s, u"a|abc"_s, u"b|bcde"_s, u"c|cdefg"_s, u"d|a very long answer"_s,
          u"e|another long answer"_s, u"f|one more long answer"_s}, 4, {u"abc"_s, u"bcde"_s, u"cdefg"_s}},
        {"nothing right", {u"q|"_s, u"a|abc"_s, u"b|犬"_s, u"c|cat"_s, u"d|dog"_s}, 3, {u"abc"_s, u"犬"_s, u"cat"_s, u"dog"_s}},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QList<common::Entry> entries;
        for (const QString& line : row.entries) {
            const qsizetype bar = line.indexOf(u'|');
            entries.append({line.left(bar), line.mid(bar + 1), {}});
        }
        const QStringList rights = common::splitRights(entries.first().rights);
        const AnswerChoices index(entries);
        SeededRandom random;
        QSet<QString> offered;
        QSet<int> rightPlaces;
        for (int draw = 0; draw < 60; ++draw) {
            const Choices choices = index.draw(entries.first().question, rights, random);
            ASSERT_EQ(choices.texts.size(), row.count) << choices.texts.join(u',').toStdString();
            QSet<QString> forms;
            for (qsizetype i = 0; i < choices.texts.size(); ++i) {
                const QString& text = choices.texts.at(i);
                forms.insert(lenientForm(text));
                if (i == choices.right) {
                    EXPECT_TRUE(rights.contains(text));
                } else {
                    EXPECT_TRUE(row.possible.contains(text)) << text.toStdString();
                    offered.insert(text);
                }
            }
            EXPECT_EQ(forms.size(), choices.texts.size());
            EXPECT_EQ(choices.right >= 0, !rights.isEmpty());
            rightPlaces.insert(choices.right);
        }
        EXPECT_EQ(offered, QSet<QString>(row.possible.begin(), row.possible.end()));
        EXPECT_EQ(rightPlaces.size(), std::min(row.count, rights.isEmpty() ? 1 : row.count));
    }
}

}  // namespace
}  // namespace drill
