#include "editor/window/entry_list_model.h"
#include "editor/logic/document.h"
#include "editor_window.h"

#include <QAbstractItemModelTester>

namespace {

using editor::Document;

Document withEntries(const QStringList& questions) {
    Document document;
    document.replaceAll(entriesOf(questions));
    return document;
}

// The list model follows every change; the tester checks each signal for consistency.
TEST(EntryListModel, FollowsTheDocument) {
    Document document = withEntries({"a", "b", "c", "d"});
    editor::EntryListModel model(document);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    document.insert(1, entryOf("e"));
    document.add(entryOf("f"));
    document.change(0, entryOf("g"));
    document.remove({1, 3});
    document.append(entriesOf({"h", "i"}));
    document.place(document.take({document.idAt(0), document.idAt(2)}));  // an undone removal
    ASSERT_EQ(model.rowCount(), document.count());
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.index(row).data().toString(), document.entry(row).question);
    }
}

// A damaged file's huge question shows its beginning in the list; the document keeps it whole.
TEST(EntryListModel, ShowsTheBeginningOfAHugeQuestion) {
    const QString huge(5'000'000, u'x');
    Document document = withEntries({huge});
    const editor::EntryListModel model(document);
    EXPECT_EQ(model.index(0).data().toString(), huge.left(1000));
    EXPECT_EQ(document.entry(0).question, huge);
}

}  // namespace
