// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Files copied or unzipped from a Windows disk can keep names written in the Windows Japanese
// code page. They are not text in the system's encoding, so Qt neither lists nor opens them.
namespace common {

struct NameRepair {
    QByteArray name;   // as stored
    QString japanese;  // the name read in the code page

    friend bool operator==(const NameRepair&, const NameRepair&) = default;
};

// The folder's names that are not text in the system's encoding but are in the code page, in
// the order of their bytes. A name whose Japanese form is taken already is left out.
QList<NameRepair> namesToRepair(const QString& folder);

// Renames each; returns "name: reason" for those that could not be renamed.
QStringList repairNames(const QString& folder, const QList<NameRepair>& repairs);

// Whether a path given as bytes (a program's argument) can be named by Qt.
bool isSystemText(const QByteArray& path);

}  // namespace common
