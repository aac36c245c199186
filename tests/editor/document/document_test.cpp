#include "editor/document/document.h"
#include "editor/entries/entry_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <functional>

namespace {

using common::Entry;
using editor::Document;

Entry numbered(int n) {
    const QString s = QString::number(n);
    return {QStringLiteral("q") + s, QStringLiteral("r") + s, QStringLiteral("i") + s};
}
QList<Entry> numbered(std::initializer_list<int> numbers) {
    QList<Entry> entries;
    for (int n : numbers) {
        entries.append(numbered(n));
    }
    return entries;
}
QList<Entry> firstNumbers(int count) {
    QList<Entry> entries;
    for (int n = 1; n <= count; ++n) {
        entries.append(numbered(n));
    }
    return entries;
}

using Operation = std::function<void(Document&)>;

// Which operations mark the document modified and which make it clean again.
TEST(Document, ModifiedFollowsTheCommands) {
    QTemporaryDir dir;
    const QString writable = dir.filePath(QStringLiteral("a.qvw"));
    const QString unwritable = dir.filePath(QStringLiteral("missing/a.qvw"));
    const std::vector<std::tuple<const char*, bool, Operation, bool>> cases = {
        {"add", false, [](Document& d) { d.add(numbered(9)); }, true},
        {"insert", false, [](Document& d) { d.insert(1, numbered(9)); }, true},
        {"change", false, [](Document& d) { d.change(1, numbered(9)); }, true},
        {"remove, clean", false, [](Document& d) { d.remove({0}); }, false},
        {"remove, modified", true, [](Document& d) { d.remove({0}); }, true},
        {"append, clean", false, [](Document& d) { d.append({numbered(9)}); }, false},
        {"clear", true, [](Document& d) { d.clear(); }, false},
        {"replace", true, [](Document& d) { d.replaceAll({numbered(9)}); }, false},
        {"save", true, [&](Document& d) { EXPECT_TRUE(d.saveFile(writable).ok); }, false},
        {"failed save", true, [&](Document& d) { EXPECT_FALSE(d.saveFile(unwritable).ok); }, true},
    };
    for (const auto& [name, modifiedBefore, operation, modifiedAfter] : cases) {
        SCOPED_TRACE(name);
        Document document;
        document.replaceAll(firstNumbers(3));
        if (modifiedBefore) {
            document.change(0, numbered(1));
        }
        operation(document);
        EXPECT_EQ(document.isModified(), modifiedAfter);
    }
}

// Every entry stays whole, and keeps its identity, wherever the others move.
TEST(Document, EntriesKeepTheirFieldsAndIdentities) {
    const std::vector<std::tuple<const char*, int, Operation, QList<Entry>>> cases = {
        {"remove first, third and fifth of six", 6,
         [](Document& d) {
             d.remove({0, 2, 4});
         },
         numbered({2, 4, 6})},
        {"remove unsorted, repeated, out of range", 6,
         [](Document& d) {
             d.remove({5, 0, 5, 7, -1, 2});
         },
         numbered({2, 4, 5})},
        {"remove all",
         3,
         [](Document& d) {
             d.remove({2, 1, 0});
         },
         {}},
        {"insert with the third of five current", 5, [](Document& d) { d.insert(2, numbered(9)); },
         numbered({1, 2, 9, 3, 4, 5})},
        {"insert at the end", 2, [](Document& d) { d.insert(2, numbered(9)); },
         numbered({1, 2, 9})},
        {"change", 3, [](Document& d) { d.change(1, numbered(9)); }, numbered({1, 9, 3})},
        {"append", 2,
         [](Document& d) {
             d.append(numbered({8, 9}));
         },
         numbered({1, 2, 8, 9})},
        {"append past the largest number", 2,
         [](Document& d) { EXPECT_FALSE(d.append(firstNumbers(common::kMaxEntries - 1))); },
         numbered({1, 2})},
    };
    for (const auto& [name, count, operation, expected] : cases) {
        SCOPED_TRACE(name);
        Document document;
        document.replaceAll(firstNumbers(count));
        QHash<QString, editor::EntryId> idOf;
        for (int p = 0; p < count; ++p) {
            idOf.insert(document.entry(p).question, document.idAt(p));
        }
        operation(document);
        EXPECT_EQ(document.entries(), expected);
        QSet<editor::EntryId> seen;
        for (int p = 0; p < document.count(); ++p) {
            const editor::EntryId id = document.idAt(p);
            EXPECT_FALSE(seen.contains(id));
            seen.insert(id);
            EXPECT_EQ(document.positionOf(id), p);
            EXPECT_EQ(id, idOf.value(document.entry(p).question, id));
        }
    }
}

TEST(Document, AddAndInsertStopAtTheLargestNumberOfEntries) {
    Document document;
    document.replaceAll(firstNumbers(common::kMaxEntries - 1));
    EXPECT_TRUE(document.add(numbered(0)));
    EXPECT_FALSE(document.add(numbered(0)));
    EXPECT_FALSE(document.insert(0, numbered(0)));
    EXPECT_EQ(document.count(), common::kMaxEntries);
}

TEST(Document, SavesTheFileFormByteForByte) {
    QTemporaryDir dir;
    const QList<Entry> example = {
        {QStringLiteral("apple"), QStringLiteral("りんご|@2|林檎"), QString()},
        {QStringLiteral("run"), QStringLiteral("走る"),
         QStringLiteral("過去形は ran\\n過去分詞は run")}};
    const QByteArray exampleBytes =
        "Version 2.00\r\napple|@1|\x82\xe8\x82\xf1\x82\xb2|@2|\x97\xd1\x8c\xe7|@1|\r\n"
        "run|@1|\x91\x96\x82\xe9|@1|\x89\xdf\x8b\x8e\x8c\x60\x82\xcd ran\\n"
        "\x89\xdf\x8b\x8e\x95\xaa\x8e\x8c\x82\xcd run\r\n";
    for (const auto& [entries, bytes] : {std::pair{QList<Entry>{}, QByteArray("Version 2.00\r\n")},
                                         std::pair{example, exampleBytes}}) {
        const QString path = dir.filePath(QString::number(entries.size()));
        Document written;
        written.replaceAll(entries);
        ASSERT_TRUE(written.saveFile(path).ok);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);

        Document read;
        read.add(numbered(1));
        EXPECT_EQ(read.loadFile(path), common::ReadOutcome::Entries);
        EXPECT_EQ(read.entries(), entries);
        EXPECT_FALSE(read.isModified());
    }
}

// The list model follows every change; the tester checks each signal for consistency.
TEST(EntryListModel, FollowsTheDocument) {
    Document document;
    document.replaceAll(firstNumbers(4));
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
