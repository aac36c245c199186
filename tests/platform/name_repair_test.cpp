// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/name_repair.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "platform/scripted_platform.h"

using namespace Qt::StringLiterals;
using platform::Answer;

namespace {

// "Kotobax <name>" with a name copied from a Windows disk, as the file manager passes it.
TEST(NameRepair, ANameQtCannotOpenIsRenamedOnlyAfterAYesAndAskedOnce) {
    const struct {
        Answer answer;
        bool renamed;
    } table[] = {{Answer::Yes, true}, {Answer::No, false}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.renamed);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        // Left alone: a UTF-8 name, a broken pair, a name whose Japanese form is taken.
        for (const QByteArray& name : {"\x8C\xEA.qvw"_ba, "\xB1.qvw"_ba, u"英語.qvw"_s.toUtf8(),
                                       "\x8C.qvw"_ba, "\x96\x7B.qvw"_ba, u"本.qvw"_s.toUtf8()}) {
            FILE* created = std::fopen((folder + '/' + name).constData(), "w");
            ASSERT_NE(created, nullptr);
            std::fclose(created);
        }
        platform::ScriptedPlatform platform;
        platform.answers({row.answer});
        if (!row.renamed) {
            platform.answers({Answer::Ok});
        }
        QSet<QString> asked;
        const QString path =
            platform::argumentPath(platform, nullptr, folder + "/\x8C\xEA.qvw", asked);
        EXPECT_EQ(path, row.renamed ? dir.filePath(u"語.qvw"_s) : QString());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), row.renamed ? 4 : 2);
        // Declined, the name is given as Windows shows it, with the reason.
        ASSERT_EQ(platform.shown().size(), row.renamed ? 1U : 2U);
        EXPECT_EQ(platform.shown().back().text,
                  row.renamed
                      ? platform.shown().front().text
                      : u"「語.qvw」は名前が Windows の文字ｺｰﾄﾞで書かれているため開けません。"_s);
        EXPECT_TRUE(platform.shown().at(0).text.contains(u"→ 語.qvw\r\n"_s));
        EXPECT_TRUE(platform.shown().at(0).text.endsWith(u"→ ｱ.qvw"_s));
        EXPECT_EQ(platform.shown().at(0).text.count(u"→"_s), 2);
        EXPECT_FALSE(platform::offerNameRepair(platform, nullptr, dir.path(), asked));
        EXPECT_EQ(platform.shown().size(), row.renamed ? 1U : 2U);
        EXPECT_TRUE(platform.unexpected().empty());
    }
}

}  // namespace
