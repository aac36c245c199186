// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "common/entry_text.h"

using namespace Qt::StringLiterals;

namespace {

TEST(EntryText, RightAnswersSplitAtEverySeparator) {
    const struct {
        QString field;
        QStringList answers;
    } table[] = {{u""_s, {}},
                 {u"りんご|@2|林檎"_s, {u"りんご"_s, u"林檎"_s}},
                 {u"a|@2||@2|b"_s, {u"a"_s, u""_s, u"b"_s}},
                 {u"a|@1|b"_s, {u"a|@1|b"_s}}};
    for (const auto& row : table) {
        EXPECT_EQ(common::splitRights(row.field), row.answers) << row.field.toStdString();
        EXPECT_EQ(common::joinRights(row.answers), row.field);
    }
}

// Every line break shown becomes the mark, also a bare LF (from text boxes) or CR (pasted),
// which would otherwise split the file's line; a typed backslash-n is kept as it is.
TEST(EntryText, InformationLineBreaksBecomeTheMarkAndBack) {
    const std::pair<QString, QString> shownAndStored[] = {{u"x\r\ny"_s, u"x\\ny"_s},
                                                          {u"a\rb"_s, u"a\\nb"_s},
                                                          {u"a\r\n\nb\r"_s, u"a\\n\\nb\\n"_s},
                                                          {u"a\\nb\\e"_s, u"a\\nb\\e"_s}};
    for (const auto& [shown, stored] : shownAndStored) {
        EXPECT_EQ(common::informationToStore(shown), stored) << stored.toStdString();
        EXPECT_EQ(common::informationToStore(common::informationToDisplay(stored)), stored);
    }
    EXPECT_EQ(common::informationToDisplay(u"ran\\n\\nrun"), u"ran\r\n\r\nrun"_s);
}

}  // namespace
