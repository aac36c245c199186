#include <gtest/gtest.h>

#include "common/entry_text.h"

using namespace Qt::StringLiterals;

namespace {

TEST(EntryText, RightAnswersSplitAtEverySeparator) {
    const struct {
        QString field;
        QStringList answers;
    } table[] = {
        {u""_s, {}},
        {u"りんご"_s, {u"りんご"_s}},
        {u"りんご|@2|林檎"_s, {u"りんご"_s, u"林檎"_s}},
        {u"a|@2||@2|b"_s, {u"a"_s, u""_s, u"b"_s}},
        {u"a|@1|b"_s, {u"a|@1|b"_s}},
    };
    for (const auto& row : table) {
        EXPECT_EQ(common::splitRights(row.field), row.answers) << row.field.toStdString();
        if (!row.answers.isEmpty()) {
            EXPECT_EQ(common::joinRights(row.answers), row.field);
        }
    }
}

TEST(EntryText, InformationLineBreaksBecomeTheMark) {
    const struct {
        QString stored;
        QString display;
    } table[] = {
        {u"過去形は ran\\n過去分詞は run"_s, u"過去形は ran\r\n過去分詞は run"_s},
        {u"\\n\\n"_s, u"\r\n\r\n"_s},
        {u"no break"_s, u"no break"_s},
    };
    for (const auto& row : table) {
        EXPECT_EQ(common::informationToDisplay(row.stored), row.display);
        EXPECT_EQ(common::informationToStore(row.display), row.stored);
    }
    // Text boxes hand back bare LF, pasted text may carry bare CR.
    EXPECT_EQ(common::informationToStore(u"a\nb\rc\r\n"), u"a\\nb\\nc\\n"_s);
}

}  // namespace
