#include "editor/document/document.h"
#include "editor/entries/entry_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDir>
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

Document withEntries(int count) {
    Document document;
    QList<Entry> entries;
    for (int i = 1; i <= count; ++i) {
        entries.append(numbered(i));
    }
    document.replaceAll(entries);
    return document;
}

QList<Entry> numberedList(std::initializer_list<int> numbers) {
    QList<Entry> entries;
    for (int n : numbers) {
        entries.append(numbered(n));
    }
    return entries;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Which operations mark the document modified, and which make it clean again.
TEST(Document, ModifiedFollowsTheCommands) {
    QTemporaryDir dir;
    const QString writable = dir.filePath(QStringLiteral("a.qvw"));
    const QString unwritable = dir.filePath(QStringLiteral("missing/a.qvw"));
    struct Case {
        const char* name;
        bool modifiedBefore;
        std::function<void(Document&)> operation;
        bool modifiedAfter;
        int countAfter;
    };
    const std::vector<Case> cases = {
        {"add", false, [](Document& d) { d.add(numbered(9)); }, true, 4},
        {"insert", false, [](Document& d) { d.insert(1, numbered(9)); }, true, 4},
        {"change", false, [](Document& d) { d.change(1, numbered(9)); }, true, 3},
        {"remove leaves clean", false, [](Document& d) { d.remove({0}); }, false, 2},
        {"remove leaves modified", true, [](Document& d) { d.remove({0}); }, true, 2},
        {"append leaves clean", false, [](Document& d) { d.append({numbered(9)}); }, false, 4},
        {"clear", true, [](Document& d) { d.clear(); }, false, 0},
        {"replace", true, [](Document& d) { d.replaceAll({numbered(9)}); }, false, 1},
        {"save", true, [&](Document& d) { EXPECT_TRUE(d.saveFile(writable).ok); }, false, 3},
        {"failed save", true, [&](Document& d) { EXPECT_FALSE(d.saveFile(unwritable).ok); }, true,
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document document = withEntries(3);
        if (c.modifiedBefore) {
            document.change(0, numbered(1));
        }
        c.operation(document);
        EXPECT_EQ(document.isModified(), c.modifiedAfter);
        EXPECT_EQ(document.count(), c.countAfter);
    }
}

// Removal and insertion keep every entry whole and its identity with it.
TEST(Document, EntriesKeepTheirFieldsAndIdentities) {
    struct Case {
        const char* name;
        int count;
        std::function<void(Document&)> operation;
        QList<Entry> expected;
    };
    const std::vector<Case> cases = {
        {"remove first, third and fifth of six", 6,
         [](Document& d) {
             d.remove({0, 2, 4});
         },
         numberedList({2, 4, 6})},
        {"remove in any order, repeated, out of range", 6,
         [](Document& d) {
             d.remove({5, 0, 5, 7, -1, 2});
         },
         numberedList({2, 4, 5})},
        {"remove nothing", 3, [](Document& d) { d.remove({}); }, numberedList({1, 2, 3})},
        {"remove all",
         3,
         [](Document& d) {
             d.remove({2, 1, 0});
         },
         {}},
        {"insert with the third of five current", 5, [](Document& d) { d.insert(2, numbered(9)); },
         numberedList({1, 2, 9, 3, 4, 5})},
        {"insert at the end", 2, [](Document& d) { d.insert(2, numbered(9)); },
         numberedList({1, 2, 9})},
        {"change keeps the others", 3, [](Document& d) { d.change(1, numbered(9)); },
         numberedList({1, 9, 3})},
        {"append", 2,
         [](Document& d) {
             d.append(numberedList({8, 9}));
         },
         numberedList({1, 2, 8, 9})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document document = withEntries(c.count);
        QHash<QString, editor::EntryId> idOf;
        for (int p = 0; p < document.count(); ++p) {
            idOf.insert(document.entry(p).question, document.idAt(p));
        }
        c.operation(document);
        EXPECT_EQ(document.entries(), c.expected);
        QSet<editor::EntryId> seen;
        for (int p = 0; p < document.count(); ++p) {
            const editor::EntryId id = document.idAt(p);
            EXPECT_FALSE(seen.contains(id));
            seen.insert(id);
            EXPECT_EQ(document.positionOf(id), p);
            const QString question = document.entry(p).question;
            if (idOf.contains(question)) {
                EXPECT_EQ(id, idOf.value(question)) << question.toStdString();
            }
        }
    }
}

TEST(Document, HoldsAtMostTheLargestNumberOfEntries) {
    Document document = withEntries(common::kMaxEntries - 1);
    EXPECT_TRUE(document.add(numbered(0)));
    EXPECT_FALSE(document.add(numbered(0)));
    EXPECT_FALSE(document.insert(0, numbered(0)));
    document.remove({0, 1});
    EXPECT_FALSE(document.append(numberedList({1, 2, 3})));
    EXPECT_EQ(document.count(), common::kMaxEntries - 2);
    EXPECT_TRUE(document.append(numberedList({1, 2})));
    EXPECT_TRUE(document.isFull());
}

TEST(Document, SavesAndLoadsTheFileForm) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QList<Entry> entries;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {"empty document", {}, "Version 2.00\r\n"},
        {"the two-entry example",
         {{QStringLiteral("apple"), QStringLiteral("りんご|@2|林檎"), QString()},
          {QStringLiteral("run"), QStringLiteral("走る"),
           QStringLiteral("過去形は ran\\n過去分詞は run")}},
         QByteArray("Version 2.00\r\napple|@1|") + QByteArray::fromHex("82e882f182b2") + "|@2|" +
             QByteArray::fromHex("97d18ce7") + "|@1|\r\nrun|@1|" + QByteArray::fromHex("919682e9") +
             "|@1|" + QByteArray::fromHex("89df8b8e8c6082cd") + " ran\\n" +
             QByteArray::fromHex("89df8b8e95aa8e8c82cd") + " run\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".qvw"));
        Document written;
        written.replaceAll(c.entries);
        ASSERT_TRUE(written.saveFile(path).ok);
        EXPECT_EQ(readAll(path), c.bytes);

        Document read = withEntries(4);
        read.change(0, numbered(0));
        EXPECT_EQ(read.loadFile(path), common::ReadOutcome::Entries);
        EXPECT_EQ(read.entries(), c.entries);
        EXPECT_FALSE(read.isModified());
    }
}

TEST(Document, AFileThatCannotBeLoadedLeavesTheDocument) {
    QTemporaryDir dir;
    QFile empty(dir.filePath(QStringLiteral("empty.qvw")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    for (const QString& path : {empty.fileName(), dir.path(), dir.filePath(QStringLiteral("no"))}) {
        SCOPED_TRACE(path.toStdString());
        Document document = withEntries(2);
        document.add(numbered(3));
        EXPECT_NE(document.loadFile(path), common::ReadOutcome::Entries);
        EXPECT_EQ(document.entries(), numberedList({1, 2, 3}));
        EXPECT_TRUE(document.isModified());
    }
}

// The list model follows every change (the tester checks each signal for consistency).
TEST(EntryListModel, FollowsTheDocument) {
    Document document = withEntries(4);
    editor::EntryListModel model(document);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    document.insert(1, numbered(9));
    document.add(numbered(8));
    document.change(0, numbered(7));
    document.remove({1, 3});
    document.append(numberedList({5, 6}));
    ASSERT_EQ(model.rowCount(), document.count());
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.index(row).data().toString(), document.entry(row).question);
    }
    document.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
