// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

#include "common/outcome.h"

namespace common {

inline constexpr int kLastPathBytes = 512;
inline constexpr int kDrillRecordLength = 516;
inline constexpr int kEditorRecordLength = 522;
inline constexpr char kSettingsFileName[] = "qrvwr.dat";

enum DrillModeValue : quint8 { kNormalMode = 1, kEndlessMode = 2, kOvercomingMode = 3 };

// The 522-byte record of "qrvwr.dat"; the drill program knows its first 516 bytes.
struct SettingsRecord {
    QByteArray lastPathField = QByteArray(kLastPathBytes, '\0');  // exactly as stored
    quint8 scanFields = 0;
    quint8 drillMode = 0;
    qint16 focusSelect = 0;  // 16-bit Boolean: 0 or -1
    qint16 imeQuestion = 0;
    qint16 imeRight = 0;
    qint16 imeInformation = 0;

    // False when the field's first byte is a blank or a zero byte.
    bool hasLastPath() const;
    // The stored path as text (system encoding), without the padding.
    QString lastPath() const;
    // Stores text padded with blanks, cut at 512 bytes on a character boundary.
    void setLastPath(const QString& path);

    QByteArray toBytes() const;                                // 522 bytes
    static SettingsRecord fromBytes(const QByteArray& bytes);  // missing bytes read as zero

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Never fails: a missing, short, unreadable file gives zeros for what could not be read.
SettingsRecord readSettings(const QString& filePath, int recordLength);

// Replaces exactly the first recordLength bytes and never shortens the file. The file is
// replaced atomically; on failure it is left as it was and the outcome has the system's reason.
Outcome writeSettings(const QString& filePath, const SettingsRecord& record, int recordLength);

// A program's close: reads the file once, makes the record to store from what it holds now
// (`fresh`, recordLength bytes of it) and writes it as writeSettings does, while no other
// process updating the same file runs (a lock file beside it).
Outcome updateSettings(const QString& filePath, int recordLength,
                       const std::function<SettingsRecord(const SettingsRecord& fresh)>& change);

// Each program reads the record once when its window loads, with its own defaults applied:
// the drill program replaces a mode outside 1..3 by Normal; the editor replaces a missing
// path by the program folder (without the trailing separator) and an empty field set by 7.
SettingsRecord loadDrillSettings(const QString& filePath);

// The warning both programs show when writing the record at exit failed.
QString settingsNotSavedText(const QString& filePath, const Outcome& outcome);
inline constexpr char16_t kSettingsNotSavedTitle[] = u"設定の保存";
SettingsRecord loadEditorSettings(const QString& filePath, const QString& programFolder);

// What each program writes when its window unloads. `fresh` is the file read again just
// before writing, so that fields this program only carries through keep what the other
// program may have stored meanwhile. An empty path means no file was chosen in this run.
SettingsRecord drillRecordToSave(const SettingsRecord& fresh, const QString& chosenPath,
                                 quint8 drillMode, const QString& programFolder);

struct EditorOptions {
    QString dialogFileName;  // the file chosen last in the editor's open or save dialog
    quint8 scanFields = 7;
    bool focusSelect = false;
    qint16 imeQuestion = 0;
    qint16 imeRight = 0;
    qint16 imeInformation = 0;
};
SettingsRecord editorRecordToSave(const SettingsRecord& fresh, const EditorOptions& options,
                                  const QString& programFolder);

// The folder of the running program file with a trailing separator.
QString myPath(const QString& applicationDirPath);
QString settingsFilePath(const QString& programFolder);

}  // namespace common
