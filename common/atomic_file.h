// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>

#include "common/outcome.h"

namespace common {

// Replaces the file with the bytes: every write checked, the old file kept exactly as it was on
// failure (Unwritable, with the system's reason). Only a regular file (its mode kept) or a new
// name is written; a hard link to it is split.
Outcome writeFileAtomically(const QString& path, QByteArrayView bytes);
// Puts the whole file `replacement` in place of `path` in one step, with the old file's mode,
// as writeFileAtomically would have written it; `replacement` lies beside replacedFile(path),
// on the same file system.
Outcome moveFileInPlace(const QString& path, const QString& replacement);
// The file a write to `path` replaces: the end of its symbolic links.
QString replacedFile(const QString& path);
// Unwritable, saying what stands at the path, when it is something other than a file (a folder,
// a pipe); a writer would replace it or never finish.
Outcome checkReplaceable(const QString& path);

}  // namespace common
