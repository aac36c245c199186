// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "common/settings.h"
#include "file_bytes.h"

using namespace Qt::StringLiterals;
using common::SettingsRecord;
using kxtest::readBytes;
using kxtest::writeBytes;

namespace {

QByteArray padded(const QByteArray& path) {
    return path + QByteArray(common::kLastPathBytes - path.size(), ' ');
}

TEST(Settings, ShortFilesReadAsZerosAndDefaultsFollow) {
    QTemporaryDir dir;
    const QString path = common::settingsFilePath(dir.path());
    EXPECT_FALSE(common::writeSettings(path + u"/below"_s, SettingsRecord{}, 516).ok());
    // A folder in its place is named as the reason.
    const QString folderInPlace = dir.filePath(u"sub/qrvwr.dat"_s);
    ASSERT_TRUE(QDir().mkpath(folderInPlace));
    const common::Outcome refused = common::writeSettings(folderInPlace, SettingsRecord{}, 516);
    EXPECT_EQ(refused.kind, common::OutcomeKind::Unwritable);
    EXPECT_TRUE(refused.reason.contains(u"ﾌｫﾙﾀﾞ"_s)) << refused.reason.toStdString();
    writeBytes(path, padded("") + "\0\x09\xff"_ba);
    const SettingsRecord drill = common::loadDrillSettings(path);
    EXPECT_EQ(drill.drillMode, common::kNormalMode);
    const SettingsRecord editor = common::loadEditorSettings(path, u"/opt/kx/"_s);
    EXPECT_EQ(editor.lastPath(), u"/opt/kx"_s);
    EXPECT_EQ(editor.drillMode, 9);  // carried through untouched
}

// The drill program knows three modes; any other byte starts it in Normal.
TEST(Settings, ADrillModeOfNoneOfTheThreeReadsAsNormal) {
    QTemporaryDir dir;
    const QString path = common::settingsFilePath(dir.path());
    const struct {
        char stored;
        quint8 read;
    } table[] = {
        // clang-format off
        {0, common::kNormalMode}, {1, common::kNormalMode}, {2, common::kEndlessMode},
        {3, common::kOvercomingMode}, {4, common::kNormalMode},
        // clang-format on
    };
    for (const auto& row : table) {
        writeBytes(path, padded("") + '\0' + row.stored);
        EXPECT_EQ(common::loadDrillSettings(path).drillMode, row.read) << int(row.stored);
    }
}

TEST(Settings, LastPathIsCutOnACharacterBoundary) {
    const struct {
        QString path;
        qsizetype keptBytes;
    } table[] = {
        {QString(510, u'a') + u"\U0001F600"_s, 510},
        {QString(508, u'a') + u"\U0001F600"_s, 512},
    };
    for (const auto& row : table) {
        SettingsRecord record;
        record.setLastPath(row.path);
        EXPECT_EQ(record.lastPathField.size(), 512);
        EXPECT_EQ(record.lastPath().toUtf8().size(), row.keptBytes);
        EXPECT_TRUE(row.path.startsWith(record.lastPath()));
    }
}

// No file at first; the drill program closes, then the editor, then the drill program again.
// Fields a program only carries through come from the file as read just before writing.
TEST(Settings, FileGrowsFrom516To522AndTheDrillLeavesTheEditorsBytes) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString path = common::settingsFilePath(folder);
    auto drillCloses = [&](const QString& chosen, quint8 mode) {
        const SettingsRecord fresh = common::readSettings(path, common::kDrillRecordLength);
        return common::writeSettings(path, common::drillRecordToSave(fresh, chosen, mode, folder),
                                     common::kDrillRecordLength)
            .ok();
    };
    ASSERT_TRUE(drillCloses({}, 1));
    EXPECT_EQ(readBytes(path), padded(folder.toUtf8() + "/") + "\0\x01\0\0"_ba);

    common::EditorOptions options;
    options.focusSelect = true;
    options.imeRight = 2;
    const SettingsRecord fresh = common::readSettings(path, common::kEditorRecordLength);
    ASSERT_TRUE(common::writeSettings(path, common::editorRecordToSave(fresh, options, folder),
                                      common::kEditorRecordLength)
                    .ok());
    const QByteArray afterEditor = readBytes(path);
    EXPECT_EQ(afterEditor.mid(512).toHex(' '), "07 01 ff ff 00 00 02 00 00 00");

    EXPECT_EQ(common::loadDrillSettings(path).imeRight, 0);  // not the drill program's
    ASSERT_TRUE(drillCloses(u"/w/b.qvw"_s, 3));
    const QByteArray afterDrill = readBytes(path);
    EXPECT_EQ(afterDrill.left(514), padded("/w/b.qvw") + "\x07\x03");
    EXPECT_EQ(afterDrill.mid(514), afterEditor.mid(514));

    // Nothing chosen: the stored path's bytes as they are, here as written on Windows.
    const QByteArray windows = padded("\x83\x65\x83\x58\x83\x67.qvw") + afterDrill.mid(512);
    writeBytes(path, windows);
    ASSERT_TRUE(drillCloses({}, 2));
    EXPECT_EQ(readBytes(path), windows.left(513) + '\x02' + windows.mid(514));
}

// A reader that opened the file before sees the old bytes: the file was replaced, not
// overwritten in place.
TEST(Settings, WritingReplacesTheFileWholeAndKeepsWhatFollowsTheRecord) {
    QTemporaryDir dir;
    const QString path = common::settingsFilePath(dir.path());
    const QByteArray old = QByteArray(600, 'x');
    writeBytes(path, old);
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    const common::Outcome written =
        common::writeSettings(path, SettingsRecord{}, common::kDrillRecordLength);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(reader.readAll(), old);
    EXPECT_EQ(readBytes(path), SettingsRecord{}.toBytes().left(516) + old.mid(516));
    EXPECT_TRUE(written.reason.isEmpty());
}

// A desktop session's end closes both programs at the same moment, a hundred times here: each
// keeps the fields the other stored.
TEST(Settings, BothProgramsClosingAtOnceKeepEachOthersFields) {
    QTemporaryDir dir;
    const QString path = common::settingsFilePath(dir.path());
    QProcess drill;
    QProcess editor;
    drill.start(KX_SHARED_FILE_WRITER, {u"drill"_s, path});
    editor.start(KX_SHARED_FILE_WRITER, {u"editor"_s, path});
    int lost = 0;
    for (int k = 1; k <= 100; ++k) {
        for (QProcess* program : {&drill, &editor}) {
            program->write(QByteArray::number(k) + '\n');
            program->waitForBytesWritten();
        }
        for (QProcess* program : {&drill, &editor}) {
            while (!program->canReadLine()) {
                ASSERT_TRUE(program->waitForReadyRead(10000)) << k;
            }
            ASSERT_EQ(program->readLine().trimmed().toInt(), k);
        }
        const SettingsRecord stored = common::readSettings(path, common::kEditorRecordLength);
        lost += stored.lastPath() != u"/w/%1.qvw"_s.arg(k) || stored.drillMode != k % 3 + 1;
        lost += stored.scanFields != k || stored.imeQuestion != k;
    }
    EXPECT_EQ(lost, 0);
    for (QProcess* program : {&drill, &editor}) {
        program->closeWriteChannel();
        EXPECT_TRUE(program->waitForFinished(10000));
        EXPECT_EQ(program->exitCode(), 0);
    }
}

}  // namespace
