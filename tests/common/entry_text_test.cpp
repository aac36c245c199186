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

TEST(EntryText, InformationLineBreaksBecomeTheMark) {
    EXPECT_EQ(common::informationToDisplay(u"ran\\n\\nrun"), u"ran\r\n\r\nrun"_s);
    // Text boxes hand back bare LF, pasted text may carry bare CR.
    EXPECT_EQ(common::informationToStore(u"a\r\nb\nc\rd\\e"), u"a\\nb\\nc\\nd\\e"_s);
}

}  // namespace
