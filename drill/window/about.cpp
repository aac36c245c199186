// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/about.h"

namespace drill {

QString versionText(int major, int minor) {
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("Ver. ") + QString::number(major) + QLatin1Char('.') +
           QStringLiteral("%1").arg(minor, 2, 10, QLatin1Char('0')) + crLf + crLf +
           QStringLiteral("Kotobaxをご愛用いただき、ありがとうございます。") + crLf +
           QStringLiteral("Copyright (C) 2026 Kotobax developers");
}

}  // namespace drill
