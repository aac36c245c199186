// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QtEndian>

#include "common/ansi_text.h"
#include "common/atomic_file.h"

namespace common {

namespace {

constexpr int kScanFieldsOffset = 512;
constexpr int kDrillModeOffset = 513;
constexpr int kFocusSelectOffset = 514;
constexpr int kImeQuestionOffset = 516;
constexpr int kImeRightOffset = 518;
constexpr int kImeInformationOffset = 520;

// LastPath is text in the system's encoding: the ANSI code page on Windows, as the Windows
// programs store it, and UTF-8 elsewhere, where file names are UTF-8.
QString decodeSystem(QByteArrayView bytes) {
#ifdef Q_OS_WIN
    return decodeAnsi(bytes);
#else
    return QString::fromUtf8(bytes);
#endif
}

QByteArray encodeSystem(QStringView text) {
#ifdef Q_OS_WIN
    return encodeAnsi(text);
#else
    return text.toUtf8();
#endif
}

qint16 readInt16(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<qint16>(bytes.constData() + offset);
}

void writeInt16(QByteArray& bytes, int offset, qint16 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

QString withoutTrailingSeparator(const QString& folder) {
    QString path = QDir::toNativeSeparators(folder);
    // A drive's or the file system's root keeps its separator.
    if (path.size() > 1 && path.endsWith(QDir::separator()) &&
        !(path.size() == 3 && path[1] == u':')) {
        path.chop(1);
    }
    return path;
}

}  // namespace

bool SettingsRecord::hasLastPath() const {
    return !lastPathField.isEmpty() && lastPathField[0] != ' ' && lastPathField[0] != '\0';
}

QString SettingsRecord::lastPath() const {
    QByteArrayView field(lastPathField);
    const qsizetype zero = field.indexOf('\0');
    if (zero >= 0) {
        field = field.first(zero);
    }
    while (!field.isEmpty() && field.back() == ' ') {
        field.chop(1);
    }
    return decodeSystem(field);
}

void SettingsRecord::setLastPath(const QString& path) {
    // Whole characters only, as many as fit.
    const QString native = QDir::toNativeSeparators(path);
    QByteArray field = encodeSystem(native);
    if (field.size() > kLastPathBytes) {
        field.clear();
        for (qsizetype i = 0; i < native.size();) {
            const qsizetype units = (native[i].isHighSurrogate() && i + 1 < native.size()) ? 2 : 1;
            const QByteArray character = encodeSystem(QStringView(native).sliced(i, units));
            if (field.size() + character.size() > kLastPathBytes) {
                break;
            }
            field += character;
            i += units;
        }
    }
    field.append(kLastPathBytes - field.size(), ' ');
    lastPathField = field;
}

QByteArray SettingsRecord::toBytes() const {
    QByteArray bytes(kEditorRecordLength, '\0');
    const QByteArray field = lastPathField.left(kLastPathBytes);
    std::copy(field.begin(), field.end(), bytes.begin());
    bytes[kScanFieldsOffset] = char(scanFields);
    bytes[kDrillModeOffset] = char(drillMode);
    writeInt16(bytes, kFocusSelectOffset, focusSelect);
    writeInt16(bytes, kImeQuestionOffset, imeQuestion);
    writeInt16(bytes, kImeRightOffset, imeRight);
    writeInt16(bytes, kImeInformationOffset, imeInformation);
    return bytes;
}

SettingsRecord SettingsRecord::fromBytes(const QByteArray& bytes) {
    QByteArray full = bytes.left(kEditorRecordLength);
    full.append(kEditorRecordLength - full.size(), '\0');
    SettingsRecord record;
    record.lastPathField = full.left(kLastPathBytes);
    record.scanFields = quint8(full[kScanFieldsOffset]);
    record.drillMode = quint8(full[kDrillModeOffset]);
    record.focusSelect = readInt16(full, kFocusSelectOffset);
    record.imeQuestion = readInt16(full, kImeQuestionOffset);
    record.imeRight = readInt16(full, kImeRightOffset);
    record.imeInformation = readInt16(full, kImeInformationOffset);
    return record;
}

SettingsRecord readSettings(const QString& filePath, int recordLength) {
    // Unlike a record opened for access, reading never creates the file: the write at close
    // does that.
    QFile file(filePath);
    QByteArray bytes;
    if (QFileInfo(filePath).isFile() && file.open(QIODevice::ReadOnly)) {
        bytes = file.read(qBound(0, recordLength, kEditorRecordLength));
    }
    return SettingsRecord::fromBytes(bytes);
}

Outcome writeSettings(const QString& filePath, const SettingsRecord& record, int recordLength) {
    return updateSettings(filePath, recordLength,
                          [&record](const SettingsRecord&) { return record; });
}

Outcome updateSettings(const QString& filePath, int recordLength,
                       const std::function<SettingsRecord(const SettingsRecord& fresh)>& change) {
    const int length = qBound(0, recordLength, kEditorRecordLength);
    auto fail = [](const QString& reason) {
        return Outcome::failure(OutcomeKind::Unwritable, reason);
    };
    // Both programs close at once when a desktop session ends: each must read what the other
    // wrote. The lock is held for milliseconds; one older than that is a killed or hung
    // program's. A lock that cannot be had in time (a read-only folder, a hung holder) does not
    // stop the write: it is no worse than having no lock.
    QLockFile lock(filePath + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    lock.tryLock(2000);

    // Bytes behind the record belong to the other program: they are written again as read,
    // and a file that cannot be read is not replaced.
    QByteArray current;
    const QFileInfo info(filePath);
    if (info.exists() || info.isSymLink()) {
        if (Outcome replaceable = checkReplaceable(filePath); !replaceable.ok()) {
            return replaceable;
        }
        QFile old(filePath);
        if (!old.open(QIODevice::ReadOnly)) {
            return fail(old.errorString());
        }
        current = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            return fail(old.errorString());
        }
    }
    QByteArray bytes =
        change(SettingsRecord::fromBytes(current.left(length))).toBytes().left(length);
    bytes += current.sliced(qMin(bytes.size(), current.size()));
    // Replaced whole, so that a crash or a full disk never leaves half a record.
    return writeFileAtomically(filePath, bytes);
}

QString settingsNotSavedText(const QString& filePath, const Outcome& outcome) {
    QString text =
        QStringLiteral("設定ﾌｧｲﾙを保存できませんでした。\r\n") + QDir::toNativeSeparators(filePath);
    if (!outcome.reason.isEmpty()) {
        text += QStringLiteral("\r\n") + outcome.reason;
    }
    return text;
}

SettingsRecord loadDrillSettings(const QString& filePath) {
    SettingsRecord record = readSettings(filePath, kDrillRecordLength);
    if (record.drillMode < kNormalMode || record.drillMode > kOvercomingMode) {
        record.drillMode = kNormalMode;
    }
    return record;
}

SettingsRecord loadEditorSettings(const QString& filePath, const QString& programFolder) {
    SettingsRecord record = readSettings(filePath, kEditorRecordLength);
    if (!record.hasLastPath()) {
        record.setLastPath(withoutTrailingSeparator(programFolder));
    }
    if (record.scanFields == 0) {
        record.scanFields = 7;
    }
    return record;
}

SettingsRecord drillRecordToSave(const SettingsRecord& fresh, const QString& chosenPath,
                                 quint8 drillMode, const QString& programFolder) {
    SettingsRecord record;
    if (!chosenPath.isEmpty()) {
        record.setLastPath(chosenPath);
    } else if (fresh.hasLastPath()) {
        record.lastPathField = fresh.lastPathField;  // byte for byte, whatever its encoding
    } else {
        record.setLastPath(myPath(programFolder));
    }
    record.scanFields = fresh.scanFields;
    record.drillMode = drillMode;
    record.focusSelect = fresh.focusSelect;
    return record;
}

SettingsRecord editorRecordToSave(const SettingsRecord& fresh, const EditorOptions& options,
                                  const QString& programFolder) {
    SettingsRecord record;
    if (!options.dialogFileName.isEmpty()) {
        record.setLastPath(options.dialogFileName);
    } else if (fresh.hasLastPath()) {
        record.lastPathField = fresh.lastPathField;
    } else {
        record.setLastPath(withoutTrailingSeparator(programFolder));
    }
    record.scanFields = options.scanFields;
    record.drillMode = fresh.drillMode;
    record.focusSelect = options.focusSelect ? -1 : 0;
    record.imeQuestion = options.imeQuestion;
    record.imeRight = options.imeRight;
    record.imeInformation = options.imeInformation;
    return record;
}

QString myPath(const QString& applicationDirPath) {
    QString path = QDir::toNativeSeparators(applicationDirPath);
    if (!path.endsWith(QDir::separator())) {
        path += QDir::separator();
    }
    return path;
}

QString settingsFilePath(const QString& programFolder) {
    return myPath(programFolder) + QLatin1String(kSettingsFileName);
}

}  // namespace common
