// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "drill/engine/judging.h"

using namespace Qt::StringLiterals;

namespace drill {
namespace {

// The exact rule comes first; the lenient one answers with the stored answer it matched.
TEST(LenientJudging, FoldsBlanksCaseAndWidthButNotKana) {
    const QStringList rights{u"apple"_s, u"APPLE"_s, u"New York"_s, u"ｶﾞｽ"_s, u"りんご"_s, u" "_s};
    const struct {
        QString typed;
        bool right;
        bool lenient;
        QString matched;
    } table[] = {
        {u"APPLE"_s, true, false, u"APPLE"_s},
        {u"apple "_s, true, true, u"apple"_s},
        {u" ａｐｐｌｅ\u3000"_s, true, true, u"apple"_s},
        {u"new york"_s, true, true, u"New York"_s},
        {u"new  york"_s, false, false, {}},  // blanks inside stay
        {u"ガス"_s, true, true, u"ｶﾞｽ"_s},   // half-width kana and its voiced mark fold
        {u"がす"_s, false, false, {}},
        {u"\u3000"_s, false, false, {}},  // blanks alone are no answer
        {u""_s, false, false, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.typed.toStdString());
        EXPECT_EQ(judgeAnswer(row.typed, rights, false).right, row.right && !row.lenient);
        const Judgement judged = judgeAnswer(row.typed, rights, true);
        EXPECT_EQ(judged.right, row.right);
        EXPECT_EQ(judged.lenient, row.lenient);
        EXPECT_EQ(judged.rightAnswer, row.matched);
    }
}

}  // namespace
}  // namespace drill
