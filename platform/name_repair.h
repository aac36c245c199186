// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include "platform/platform.h"

namespace platform {

// Asks whether to give the folder's files named in the Windows code page their Japanese names,
// listing each change, and renames them on a Yes; asked once a run for each folder (kept in
// `asked`). `folder` may also be a file's path: its folder is meant. True when a name changed.
bool offerNameRepair(Platform& platform, QWidget* parent, const QString& folder,
                     QSet<QString>& asked);

// The absolute path of a word file named on the command line, whose bytes are taken as given:
// a name Qt cannot open is offered for renaming as above, and its Japanese name returned after
// a Yes; otherwise the user is told why it cannot be opened, naming it as Windows shows it, and
// the path is empty.
QString argumentPath(Platform& platform, QWidget* parent, const QByteArray& argument,
                     QSet<QString>& asked);

}  // namespace platform
