// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

namespace common {

// What lists show for word files: the file name, and for files of the same name the shortest
// tail of their folders that tells them apart, "words.qvw — 英語/中1". One label per path, in
// the order given.
QStringList fileLabels(const QStringList& paths);

}  // namespace common
