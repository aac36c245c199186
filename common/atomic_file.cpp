// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace common {

Outcome checkReplaceable(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile()) {
        return Outcome::success();
    }
    return Outcome::failure(
        OutcomeKind::Unwritable,
        info.isDir() ? QStringLiteral("同じ名前のﾌｫﾙﾀﾞがあります。")
                     : QStringLiteral("同じ名前の、ﾌｧｲﾙではないもの(ﾊﾟｲﾌﾟや装置)があります。"));
}

Outcome writeFileAtomically(const QString& path, QByteArrayView bytes) {
    // A pipe or device would be replaced by a plain file, and whatever reads it cut off.
    if (Outcome replaceable = checkReplaceable(path); !replaceable.ok()) {
        return replaceable;
    }
    auto failed = [](const QString& reason) {
        return Outcome::failure(OutcomeKind::Unwritable, reason);
    };
    QSaveFile file(path);
    // Unbuffered: a buffered flush that the disk cuts short loses the rest without an error,
    // and the commit would then put a truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failed(file.errorString());
    }
    for (qsizetype done = 0; done < bytes.size();) {
        // A short write means trouble; the next attempt reports its reason.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return failed(reason);
        }
        done += written;
    }
#ifdef Q_OS_UNIX
    // QSaveFile gives a read-only file's replacement the usual mode (root can replace one):
    // the old file's mode is kept, so a file made read-only stays so.
    if (struct stat old{}; ::stat(QFile::encodeName(path).constData(), &old) == 0) {
        ::fchmod(file.handle(), old.st_mode & 0777);
    }
#endif
    if (!file.commit()) {
        return failed(file.errorString());
    }
    return Outcome::success();
}

}  // namespace common
