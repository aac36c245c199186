#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/settings.h"

using namespace Qt::StringLiterals;
using common::SettingsRecord;

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray padded(const QByteArray& path) {
    return path + QByteArray(common::kLastPathBytes - path.size(), ' ');
}

TEST(Settings, RecordLayoutIsLittleEndian) {
    SettingsRecord record;
    record.setLastPath(u"/w/a.qvw"_s);
    record.scanFields = 5;
    record.drillMode = 3;
    record.focusSelect = -1;
    record.imeQuestion = 1;
    record.imeRight = 2;
    record.imeInformation = 0x0102;
    const QByteArray bytes = record.toBytes();
    ASSERT_EQ(bytes.size(), common::kEditorRecordLength);
    EXPECT_EQ(bytes.left(512), padded("/w/a.qvw"));
    EXPECT_EQ(bytes.mid(512).toHex(' '), "05 03 ff ff 01 00 02 00 02 01");
    EXPECT_EQ(SettingsRecord::fromBytes(bytes), record);
    EXPECT_EQ(record.lastPath(), u"/w/a.qvw"_s);
}

TEST(Settings, MissingAndShortFilesReadAsZeros) {
    QTemporaryDir dir;
    const QString path = common::settingsFilePath(dir.path());
    EXPECT_EQ(common::readSettings(path, 522), SettingsRecord{});
    EXPECT_FALSE(QFile::exists(path));
    writeBytes(path, padded("/x") + "\x07\x02\xff");
    const SettingsRecord shortRecord = common::readSettings(path, 522);
    EXPECT_EQ(shortRecord.lastPath(), u"/x"_s);
    EXPECT_EQ(shortRecord.scanFields, 7);
    EXPECT_EQ(shortRecord.drillMode, 2);
    EXPECT_EQ(shortRecord.focusSelect, 0xff);
    EXPECT_EQ(common::readSettings(dir.path(), 522), SettingsRecord{});  // a folder
}

TEST(Settings, LastPathIsCutOnACharacterBoundary) {
    const struct {
        QString path;
        qsizetype keptBytes;
    } table[] = {
        {QString(600, u'a'), 512},
        {u"/"_s + QString(300, u'é'), 511},
        {QString(200, u'あ'), 510},
        {QString(510, u'a') + u"\U0001F600"_s, 510},
        {QString(508, u'a') + u"\U0001F600"_s, 512},
    };
    for (const auto& row : table) {
        SettingsRecord record;
        record.setLastPath(row.path);
        ASSERT_EQ(record.lastPathField.size(), 512);
        EXPECT_EQ(record.lastPath().toUtf8().size(), row.keptBytes);
        EXPECT_TRUE(row.path.startsWith(record.lastPath()));
    }
}

// No file at first: the drill program closes, then the editor, then the drill program again.
TEST(Settings, FileGrowsFrom516To522AndTheDrillLeavesTheEditorsBytes) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString path = common::settingsFilePath(folder);

    const SettingsRecord drillStart = common::loadDrillSettings(path);
    EXPECT_EQ(drillStart.drillMode, common::kNormalMode);
    ASSERT_TRUE(common::writeSettings(
        path, common::drillRecordToSave(common::readSettings(path, 516), {}, 1, folder), 516));
    EXPECT_EQ(readBytes(path), padded(folder.toUtf8() + "/") + QByteArray("\0\x01\0\0", 4));

    const SettingsRecord editorStart = common::loadEditorSettings(path, folder);
    EXPECT_EQ(editorStart.lastPath(), folder + u"/"_s);
    EXPECT_EQ(editorStart.scanFields, 7);
    EXPECT_EQ(editorStart.imeQuestion, 0);
    common::EditorOptions options;
    options.scanFields = editorStart.scanFields;
    options.focusSelect = true;
    options.imeRight = 2;
    ASSERT_TRUE(common::writeSettings(
        path, common::editorRecordToSave(common::readSettings(path, 522), options, folder), 522));
    const QByteArray afterEditor = readBytes(path);
    ASSERT_EQ(afterEditor.size(), 522);
    EXPECT_EQ(afterEditor.mid(512).toHex(' '), "07 01 ff ff 00 00 02 00 00 00");

    const SettingsRecord drillAgain = common::loadDrillSettings(path);
    EXPECT_EQ(drillAgain.imeRight, 0);  // not the drill program's
    ASSERT_TRUE(common::writeSettings(
        path, common::drillRecordToSave(drillAgain, u"/w/b.qvw"_s, 3, folder), 516));
    const QByteArray afterDrill = readBytes(path);
    EXPECT_EQ(afterDrill.left(514), padded("/w/b.qvw") + "\x07\x03");
    EXPECT_EQ(afterDrill.mid(514), afterEditor.mid(514));
}

TEST(Settings, WritingNeverShortensAndReportsFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qrvwr.dat"_s);
    const QByteArray longer(600, 'z');
    writeBytes(path, longer);
    SettingsRecord record;
    record.drillMode = 2;
    EXPECT_TRUE(common::writeSettings(path, record, 516));
    EXPECT_EQ(readBytes(path), record.toBytes().left(516) + longer.mid(516));
    EXPECT_FALSE(common::writeSettings(dir.path(), record, 516));
    EXPECT_FALSE(common::writeSettings(path + u"/below"_s, record, 516));
}

// Fields a program only carries through come from the file as read just before writing.
TEST(Settings, TheFreshReadWinsForCarriedFields) {
    SettingsRecord fresh;
    fresh.lastPathField = padded("\x83\x65\x83\x58\x83\x67.qvw");  // written on Windows
    fresh.scanFields = 3;
    fresh.drillMode = 2;
    fresh.focusSelect = -1;
    SettingsRecord blank;
    blank.lastPathField = padded("");

    const struct {
        const char* name;
        SettingsRecord fresh;
        QString chosen;
        QByteArray drillPath;
        QByteArray editorPath;
    } table[] = {
        {"nothing chosen: the fresh path byte for byte",
         fresh,
         {},
         fresh.lastPathField,
         fresh.lastPathField},
        {"chosen in this run", fresh, u"/w/c.qvw"_s, padded("/w/c.qvw"), padded("/w/c.qvw")},
        {"no path anywhere", blank, {}, padded("/opt/kx/"), padded("/opt/kx")},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const SettingsRecord drill =
            common::drillRecordToSave(row.fresh, row.chosen, 3, u"/opt/kx"_s);
        EXPECT_EQ(drill.lastPathField, row.drillPath);
        EXPECT_EQ(drill.scanFields, row.fresh.scanFields);
        EXPECT_EQ(drill.focusSelect, row.fresh.focusSelect);
        EXPECT_EQ(drill.drillMode, 3);

        common::EditorOptions options;
        options.dialogFileName = row.chosen;
        options.scanFields = 4;
        const SettingsRecord editor = common::editorRecordToSave(row.fresh, options, u"/opt/kx"_s);
        EXPECT_EQ(editor.lastPathField, row.editorPath);
        EXPECT_EQ(editor.drillMode, row.fresh.drillMode);
        EXPECT_EQ(editor.scanFields, 4);
        EXPECT_EQ(editor.focusSelect, 0);
    }
}

TEST(Settings, StartUpDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qrvwr.dat"_s);
    SettingsRecord stored;
    stored.lastPathField = padded("");
    stored.drillMode = 9;
    writeBytes(path, stored.toBytes());
    const SettingsRecord drill = common::loadDrillSettings(path);
    EXPECT_EQ(drill.drillMode, common::kNormalMode);
    EXPECT_EQ(drill.lastPathField, stored.lastPathField);  // used as it is
    const SettingsRecord editor = common::loadEditorSettings(path, u"/opt/kx/"_s);
    EXPECT_EQ(editor.lastPath(), u"/opt/kx"_s);
    EXPECT_EQ(editor.scanFields, 7);
    EXPECT_EQ(editor.drillMode, 9);  // carried through untouched
}

TEST(Settings, ProgramFolder) {
    const struct {
        QString folder;
        QString myPath;
    } table[] = {{u"/opt/kx"_s, u"/opt/kx/"_s}, {u"/opt/kx/"_s, u"/opt/kx/"_s}, {u"/"_s, u"/"_s}};
    for (const auto& row : table) {
        EXPECT_EQ(common::myPath(row.folder), row.myPath);
        EXPECT_EQ(common::settingsFilePath(row.folder), row.myPath + u"qrvwr.dat"_s);
    }
}

}  // namespace
