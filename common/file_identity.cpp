// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/file_identity.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace common {

FileIdentity fileIdentity(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return {};
    }
    return {true, static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
#else
    return {QFileInfo::exists(path), 0, 0};
#endif
}

}  // namespace common
