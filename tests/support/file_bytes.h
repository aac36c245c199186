// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole files as bytes, for tests that check exactly what lies on disk.
namespace kxtest {

// A UTF-8 word file saved by a text editor whose bytes are valid Shift_JIS as well.
inline const QByteArray kWaterFireTree =
    "Version 2.00\r\nwater|@1|\xE6\xB0\xB4|@2|\xE3\x81\xBF\xE3\x81\x9A|@1|\r\n"
    "fire|@1|\xE7\x81\xAB|@1|\xE3\x81\xB2\r\ntree|@1|\xE6\x9C\xA8|@1|\r\n";

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        << path.toStdString();
}

}  // namespace kxtest
