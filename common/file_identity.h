// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

namespace common {

// Which file a path names at the moment: another file renamed over it has another identity.
// Where the system tells no device and inode, only whether it exists is compared.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity fileIdentity(const QString& path);

}  // namespace common
