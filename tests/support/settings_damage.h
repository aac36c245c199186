// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <vector>

#include "common/settings.h"
#include "file_bytes.h"
#include "platform/platform.h"

// Settings files as a disk or another program may leave them. Each program must start with
// what it can use, keep what it does not own, and close without a word unless the record
// could not be written.
namespace hardening {

struct SettingsDamage {
    const char* name;
    QByteArray bytes;           // null: a folder where the file should be
    const char* drillModeItem;  // checked in the drill program's Option menu
    bool editorFocusSelect;     // Option_Focus in the editor
};

inline std::vector<SettingsDamage> settingsDamages() {
    QByteArray noise(1 << 16, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    noise[common::kLastPathBytes + 1] = 2;  // Endless
    noise[common::kLastPathBytes + 2] = noise[common::kLastPathBytes + 3] = '\xFF';
    return {{"cut short", "\x03", "Option_Normal", false},
            {"64 KiB of noise", noise, "Option_Endless", true},
            {"a folder", {}, "Option_Normal", false}};
}

// Puts the damage in place in `folder`, the program folder.
inline void placeSettings(const SettingsDamage& damage, const QString& folder) {
    QFile file(common::settingsFilePath(folder));
    if (damage.bytes.isNull()) {
        QDir().mkpath(file.fileName());
    } else if (file.open(QIODevice::WriteOnly)) {
        file.write(damage.bytes);
    }
}

// What the program showed on closing: nothing, or the warning that its record was not written.
inline void expectClosingMessages(const SettingsDamage& damage,
                                  const std::vector<platform::MessageBox>& shown) {
    ASSERT_EQ(shown.size(), damage.bytes.isNull() ? 1u : 0u);
    if (!shown.empty()) {
        EXPECT_EQ(shown.front().title + shown.front().text.section(u'\r', 0, 0),
                  QStringLiteral("設定の保存設定ﾌｧｲﾙを保存できませんでした。"));
    }
}

// After the program closed: its record written, whatever lay behind it kept, a folder left.
inline void expectSettingsKept(const SettingsDamage& damage, const QString& folder, int length) {
    const QString path = common::settingsFilePath(folder);
    if (damage.bytes.isNull()) {
        EXPECT_TRUE(QFileInfo(path).isDir());
        return;
    }
    const QByteArray bytes = kxtest::readBytes(path);
    EXPECT_EQ(bytes.size(), qMax(damage.bytes.size(), qsizetype(length)));
    EXPECT_EQ(bytes.mid(length), damage.bytes.mid(length));
}

}  // namespace hardening
