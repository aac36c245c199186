// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file may hold anything of any length: both programs read it without failing,
// apply their defaults, and write their record back without shortening the file.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

#include "common/settings.h"
#include "fuzz_check.h"

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QTemporaryDir> gDir;

void writeFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    KX_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    KX_FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    KX_FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

QByteArray padded(QByteArrayView bytes, int length) {
    QByteArray full = bytes.first(qMin(bytes.size(), qsizetype(length))).toByteArray();
    full.append(length - full.size(), '\0');
    return full;
}

void checkRecord(QByteArrayView bytes) {
    const common::SettingsRecord record = common::SettingsRecord::fromBytes(bytes.toByteArray());
    KX_FUZZ_CHECK(record.lastPathField.size() == common::kLastPathBytes);
    KX_FUZZ_CHECK(record.toBytes() == padded(bytes, common::kEditorRecordLength));
    KX_FUZZ_CHECK(common::SettingsRecord::fromBytes(record.toBytes()) == record);
    KX_FUZZ_CHECK(record.hasLastPath() == (!bytes.isEmpty() && bytes[0] != ' ' && bytes[0] != 0));
    const QString path = record.lastPath();
    KX_FUZZ_CHECK(!path.endsWith(u' ') && !path.contains(QChar(0)));
}

void checkFile(QByteArrayView bytes) {
    const QString path = common::settingsFilePath(gDir->path());
    writeFile(path, bytes);
    const common::SettingsRecord drill = common::loadDrillSettings(path);
    KX_FUZZ_CHECK(drill.drillMode >= common::kNormalMode &&
                  drill.drillMode <= common::kOvercomingMode);
    const common::SettingsRecord editor = common::loadEditorSettings(path, gDir->path());
    KX_FUZZ_CHECK(editor.hasLastPath() && editor.scanFields != 0);
    KX_FUZZ_CHECK(common::readSettings(path, common::kDrillRecordLength).toBytes() ==
                  padded(bytes, common::kDrillRecordLength) +
                      QByteArray(common::kEditorRecordLength - common::kDrillRecordLength, '\0'));

    // The drill program's record replaces its 516 bytes; what lies behind belongs to others.
    const common::SettingsRecord saved =
        common::drillRecordToSave(drill, QString(), drill.drillMode, gDir->path());
    KX_FUZZ_CHECK(common::writeSettings(path, saved, common::kDrillRecordLength).ok());
    QByteArray expected = saved.toBytes().left(common::kDrillRecordLength);
    if (bytes.size() > expected.size()) {
        expected += bytes.sliced(expected.size());
    }
    KX_FUZZ_CHECK(readFile(path) == expected);
}

// Any path is stored as whole characters, as many as fit, and read back as it was given.
void checkLastPath(QByteArrayView bytes) {
    const QString path = QString::fromUtf8(bytes);
    common::SettingsRecord record;
    record.setLastPath(path);
    KX_FUZZ_CHECK(record.lastPathField.size() == common::kLastPathBytes);
    const QString stored = record.lastPath();
    KX_FUZZ_CHECK(path.startsWith(stored));
    if (path.toUtf8().size() <= common::kLastPathBytes && !path.endsWith(u' ') &&
        !path.contains(QChar(0))) {
        KX_FUZZ_CHECK(stored == path);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory rather than disk when the system has it: every input writes the file twice.
    const QFileInfo shm(u"/dev/shm"_s);
    gDir = shm.isDir() && shm.isWritable()
               ? std::make_unique<QTemporaryDir>(u"/dev/shm/kx_fuzz_settings-XXXXXX"_s)
               : std::make_unique<QTemporaryDir>();
    KX_FUZZ_CHECK(gDir->isValid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRecord(bytes);
    checkFile(bytes);
    checkLastPath(bytes);
    return 0;
}
