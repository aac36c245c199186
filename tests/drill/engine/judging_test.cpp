#include <gtest/gtest.h>

#include "drill/engine/judging.h"

using namespace Qt::StringLiterals;

namespace drill {
namespace {

TEST(LenientJudging, FoldsBlanksCaseAndWidthButNotKana) {
    const QStringList rights{u"apple"_s, u"りんご"_s, u"New York"_s, u"ｶﾞｽ"_s, u" "_s};
    const struct {
        QString typed;
        bool right;
        QString matched;  // empty: wrong
    } table[] = {
        {u"Apple"_s, true, u"apple"_s},
        {u" apple\u3000"_s, true, u"apple"_s},
        {u"ＡＰＰＬＥ"_s, true, u"apple"_s},
        {u"new york"_s, true, u"New York"_s},
        {u"new  york"_s, false, {}},  // blanks inside stay
        {u"ガス"_s, true, u"ｶﾞｽ"_s},  // half-width kana and its voiced mark fold
        {u"がす"_s, false, {}},
        {u"リンゴ"_s, false, {}},
        {u"\u3000"_s, false, {}},  // blanks alone are no answer
        {u"aple"_s, false, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.typed.toStdString());
        const Judgement strict = judgeAnswer(row.typed, rights, false);
        EXPECT_FALSE(strict.right);
        const Judgement judged = judgeAnswer(row.typed, rights, true);
        EXPECT_EQ(judged.right, row.right);
        EXPECT_EQ(judged.lenient, row.right);
        EXPECT_EQ(judged.rightAnswer, row.matched);
    }
}

TEST(LenientJudging, TheExactRuleComesFirst) {
    const struct {
        QStringList rights;
        QString typed;
        Judgement expected;
    } table[] = {
        {{u"Apple"_s, u"apple"_s}, u"apple"_s, {true, false, u"apple"_s}},
        {{u" "_s}, u" "_s, {true, false, u" "_s}},
        {{u"Apple"_s, u"APPLE"_s}, u"apple"_s, {true, true, u"Apple"_s}},
        {{}, u"apple"_s, {}},
        {{u"apple"_s}, u""_s, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.rights.join(u'|').toStdString());
        const Judgement judged = judgeAnswer(row.typed, row.rights, true);
        EXPECT_EQ(judged.right, row.expected.right);
        EXPECT_EQ(judged.lenient, row.expected.lenient);
        EXPECT_EQ(judged.rightAnswer, row.expected.rightAnswer);
    }
}

}  // namespace
}  // namespace drill
