#include "editor/document/document.h"
#include "editor/entries/entry_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>

namespace {

using common::Entry;
using editor::Document;

Entry numbered(int n) {
    const QString s = QString::number(n);
    return {"q" + s, "r" + s, "i" + s};
}
QList<Entry> numbered(const QList<int>& numbers) {
    QList<Entry> entries;
    for (int n : numbers) {
        entries.append(numbered(n));
    }
    return entries;
}
Document withEntries(const QList<int>& numbers) {
    Document document;
    document.replaceAll(numbered(numbers));
    return document;
}

// Removal in one pass: every remaining entry stays whole and keeps its identity, and a removal
// marks the document modified so that closing asks before dropping it.
TEST(Document, RemoveKeepsTheOthersWhole) {
    const std::vector<std::tuple<QList<int>, QList<int>>> cases = {
        {{0, 2, 4}, {2, 4, 6}},
        {{5, 0, 5, 7, -1, 2}, {2, 4, 5}},  // unsorted, repeated, out of range
        {{}, {1, 2, 3, 4, 5, 6}},
        {{0, 1, 2, 3, 4, 5}, {}},
    };
    for (const auto& [positions, remaining] : cases) {
        Document document = withEntries({1, 2, 3, 4, 5, 6});
        QList<editor::EntryId> ids;
        for (int p = 0; p < document.count(); ++p) {
            ids.append(document.idAt(p));
        }
        document.remove(positions);
        EXPECT_EQ(document.entries(), numbered(remaining));
        for (int p = 0; p < document.count(); ++p) {
            EXPECT_EQ(document.idAt(p), ids.at(remaining.at(p) - 1));
            EXPECT_EQ(document.positionOf(document.idAt(p)), p);
        }
        EXPECT_EQ(document.isModified(), remaining.size() != 6);
    }
}

TEST(Document, InsertAndAppendKeepIdentities) {
    Document document = withEntries({1, 2, 3, 4, 5});
    const editor::EntryId third = document.idAt(2);
    ASSERT_TRUE(document.insert(2, numbered(9)));
    EXPECT_EQ(document.entries(), numbered({1, 2, 9, 3, 4, 5}));
    EXPECT_EQ(document.positionOf(third), 3);
    EXPECT_NE(document.idAt(2), third);
    EXPECT_FALSE(document.append(numbered(QList<int>(common::kMaxEntries - 5, 0))));
    EXPECT_TRUE(document.append(numbered({7, 8})));
    EXPECT_EQ(document.count(), 8);
    EXPECT_EQ(document.positionOf(third), 3);
}

TEST(Document, SavesTheFileFormByteForByte) {
    QTemporaryDir dir;
    const QList<Entry> example = {
        {"apple", QStringLiteral("りんご|@2|林檎"), ""},
        {"run", QStringLiteral("走る"), QStringLiteral("過去形は ran\\n過去分詞は run")}};
    const QByteArray exampleBytes =
        "Version 2.00\r\napple|@1|\x82\xe8\x82\xf1\x82\xb2|@2|\x97\xd1\x8c\xe7|@1|\r\n"
        "run|@1|\x91\x96\x82\xe9|@1|\x89\xdf\x8b\x8e\x8c\x60\x82\xcd ran\\n"
        "\x89\xdf\x8b\x8e\x95\xaa\x8e\x8c\x82\xcd run\r\n";
    for (const auto& [entries, bytes] : {std::pair{QList<Entry>{}, QByteArray("Version 2.00\r\n")},
                                         std::pair{example, exampleBytes}}) {
        const QString path = dir.filePath(QString::number(entries.size()));
        Document written;
        written.replaceAll(entries);
        written.add(numbered(1));
        written.remove({int(entries.size())});
        ASSERT_TRUE(written.saveFile(path).ok);
        EXPECT_FALSE(written.isModified());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);

        Document read = withEntries({1});
        read.add(numbered(2));
        EXPECT_EQ(read.loadFile(path), common::ReadOutcome::Entries);
        EXPECT_EQ(read.entries(), entries);
        EXPECT_FALSE(read.isModified());
    }
}

// The list model follows every change; the tester checks each signal for consistency.
TEST(EntryListModel, FollowsTheDocument) {
    Document document = withEntries({1, 2, 3, 4});
    editor::EntryListModel model(document);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    document.insert(1, numbered(9));
    document.add(numbered(8));
    document.change(0, numbered(7));
    document.remove({1, 3});
    document.append(numbered({5, 6}));
    ASSERT_EQ(model.rowCount(), document.count());
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.index(row).data().toString(), document.entry(row).question);
    }
}

}  // namespace
