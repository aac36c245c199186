#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>

#include <vector>

#include "common/settings.h"

// Settings files as a disk or another program may leave them. Each program must start with
// its defaults for what it cannot use, close without a word, and keep what it does not own.
namespace hardening {

enum class SettingsPlace {
    Missing,
    File,          // a regular file holding `bytes`
    Folder,        // a folder where the file should be
    ParentIsFile,  // the program folder is a regular file: nothing can be read or written
};

struct SettingsDamage {
    const char* name;
    SettingsPlace place;
    QByteArray bytes;
    const char* drillModeItem;  // checked in the drill program's Option menu
    bool editorFocusSelect;     // Option_Focus in the editor
};

inline QByteArray noise(qsizetype size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& b : bytes) {
        b = char(random.bounded(256));
    }
    return bytes;
}

inline QByteArray withModeAndFocus(QByteArray bytes, char mode, char focus) {
    bytes[common::kLastPathBytes + 1] = mode;
    bytes[common::kLastPathBytes + 2] = focus;
    bytes[common::kLastPathBytes + 3] = focus;
    return bytes;
}

inline std::vector<SettingsDamage> settingsDamages() {
    const QByteArray path = QByteArray("/words/a.qvw").leftJustified(common::kLastPathBytes, ' ');
    return {
        {"missing", SettingsPlace::Missing, {}, "Option_Normal", false},
        {"empty", SettingsPlace::File, "", "Option_Normal", false},
        {"one byte", SettingsPlace::File, "\x03", "Option_Normal", false},
        {"cut before the mode", SettingsPlace::File, path + "\x05", "Option_Normal", false},
        {"the drill program's record", SettingsPlace::File,
         path + QByteArray("\x00\x03\x00\x00", 4), "Option_Conquering", false},
        {"every byte 0xFF", SettingsPlace::File, QByteArray(common::kEditorRecordLength, '\xFF'),
         "Option_Normal", true},
        {"64 KiB of noise", SettingsPlace::File, withModeAndFocus(noise(1 << 16, 7), 2, '\0'),
         "Option_Endless", false},
        {"a folder", SettingsPlace::Folder, {}, "Option_Normal", false},
        {"inside a file", SettingsPlace::ParentIsFile, {}, "Option_Normal", false},
    };
}

// Puts the damage in place under `scratch` and returns the program folder to use.
inline QString placeSettings(const SettingsDamage& damage, const QString& scratch) {
    const QString folder = scratch + QStringLiteral("/program/");
    QDir().mkpath(folder);
    const QString file = common::settingsFilePath(folder);
    switch (damage.place) {
        case SettingsPlace::Missing:
            break;
        case SettingsPlace::File: {
            QFile out(file);
            if (out.open(QIODevice::WriteOnly)) {
                out.write(damage.bytes);
            }
            break;
        }
        case SettingsPlace::Folder:
            QDir().mkpath(file);
            break;
        case SettingsPlace::ParentIsFile: {
            QFile out(scratch + QStringLiteral("/plain"));
            if (out.open(QIODevice::WriteOnly)) {
                out.write("not a folder");
            }
            return out.fileName() + QLatin1Char('/');
        }
    }
    return folder;
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// After the program closed: its record replaced, whatever lies behind it kept, and a folder or
// an impossible path left as it was.
inline void expectSettingsKept(const SettingsDamage& damage, const QString& programFolder,
                               int recordLength) {
    const QString file = common::settingsFilePath(programFolder);
    switch (damage.place) {
        case SettingsPlace::Missing:
        case SettingsPlace::File: {
            const QByteArray bytes = readAll(file);
            EXPECT_EQ(bytes.size(), qMax(damage.bytes.size(), qsizetype(recordLength)));
            EXPECT_EQ(bytes.mid(recordLength), damage.bytes.mid(recordLength));
            break;
        }
        case SettingsPlace::Folder:
            EXPECT_TRUE(QFileInfo(file).isDir());
            break;
        case SettingsPlace::ParentIsFile:
            EXPECT_EQ(readAll(programFolder.chopped(1)), "not a folder");
            break;
    }
}

}  // namespace hardening
