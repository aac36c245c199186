// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "common/text_script.h"

using namespace Qt::StringLiterals;
using common::Entry;
using common::Script;

namespace {

TEST(TextScript, JapaneseWinsOverLatinAndSignsAreNothing) {
    const struct {
        QString text;
        Script script;
    } table[] = {
        {u"ｒｕｎ"_s, Script::Latin},  // full-width letters are still read as English
        {u"ﾘﾝｺﾞ"_s, Script::Japanese},   {u"run (走る)"_s, Script::Japanese},
        {u"ー"_s, Script::Japanese},     {u"Москва"_s, Script::None},
        {u""_s, Script::None},           {u"𠮟"_s, Script::Japanese},  // beyond U+FFFF
        {u"゠・゛@[`{"_s, Script::None}, {u"Z"_s, Script::Latin},      // signs beside kana, letters
        {u"9"_s, Script::Latin},
    };
    for (const auto& row : table) {
        EXPECT_EQ(common::textScript(row.text), row.script) << row.text.toStdString();
    }
}

TEST(TextScript, AnswersAreJapaneseWhenMostOfThemAre) {
    const struct {
        QList<Entry> entries;
        bool japanese;
    } table[] = {
        {{{u"apple"_s, u"りんご|@2|林檎"_s, {}}, {u"run"_s, u"run"_s, {}}}, true},
        {{{u"apple"_s, u"りんご"_s, {}}, {u"run"_s, u"run"_s, {}}}, false},
        {{{u"りんご"_s, u"apple|@2|an apple"_s, {}}, {u"走る"_s, u"走る"_s, {}}}, false},
        // An entry without answers has no answer to count.
        {{{u"apple"_s, {}, {}}, {u"run"_s, u"走る"_s, {}}}, true},
        // Empty answers count as others; a separator's parts after it belong to the next.
        {{{u"x"_s, u"走る|@2|"_s, {}}}, false},
        {{{u"x"_s, u"x|@2|@2|走る|@2|走る"_s, {}}}, true},
        {{{u"x"_s, u"|@|@2走る|@2|x|@"_s, {}}}, false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(common::answersAreJapanese(row.entries), row.japanese)
            << row.entries.value(0).rights.toStdString();
    }
}

}  // namespace
