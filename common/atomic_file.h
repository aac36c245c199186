// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

#include "common/outcome.h"

namespace common {

// A file written piece by piece and put in place whole on commit, as writeFileAtomically puts
// it: the disk starts on each piece while the next is made, so that a large file is on the
// disk soon after its last piece.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    // After a failure nothing more is written; commit reports it.
    void write(QByteArrayView bytes);
    // The file in place, or the first failure with the old file kept.
    Outcome commit();

private:
    QString path_;
    QSaveFile file_;
    Outcome failure_ = Outcome::success();
    qint64 written_ = 0;
};

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
