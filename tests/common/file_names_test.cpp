#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/file_names.h"
#include "file_bytes.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_UNIX
void makeFile(const QString& folder, const QByteArray& name) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0) << path.toHex().toStdString();
    ASSERT_EQ(::write(fd, name.constData(), name.size()), name.size());
    ::close(fd);
}

// Names copied from a Windows disk.
TEST(FileNames, NamesInTheWindowsCodePageGetTheirJapaneseNames) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString japanese;  // empty: left alone
    } table[] = {
        {"kanji", "\x8C\xEA.qvw"_ba, u"語.qvw"_s},
        {"half-width katakana", "\xB1\xB2.qvw"_ba, u"ｱｲ.qvw"_s},
        {"already UTF-8", u"英語.qvw"_s.toUtf8(), {}},
        {"broken pair", "\x8C.qvw"_ba, {}},
        {"Japanese name taken", "\x96\x7B.qvw"_ba, {}},
    };
    QTemporaryDir dir;
    makeFile(dir.path(), u"本.qvw"_s.toUtf8());
    QList<common::NameRepair> expected;
    for (const auto& row : table) {
        makeFile(dir.path(), row.bytes);
        if (!row.japanese.isEmpty()) {
            expected.append({row.bytes, row.japanese});
        }
    }
    std::sort(expected.begin(), expected.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    const QList<common::NameRepair> repairs = common::namesToRepair(dir.path());
    EXPECT_EQ(repairs, expected);

    EXPECT_TRUE(common::repairNames(dir.path(), repairs).isEmpty());
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        if (!row.japanese.isEmpty()) {
            EXPECT_EQ(kxtest::readBytes(dir.filePath(row.japanese)), row.bytes);
        }
    }
    EXPECT_TRUE(common::namesToRepair(dir.path()).isEmpty());
}
#endif

}  // namespace
