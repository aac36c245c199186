// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace common {

namespace {

// The permission bits of the file at `path`, or -1 when there is none. A replacement takes
// them: QSaveFile gives a read-only file's replacement the usual mode (root can replace one),
// and a file made read-only must stay so.
int modeOf(const QString& path) {
#ifdef Q_OS_UNIX
    if (struct stat old{}; ::stat(QFile::encodeName(path).constData(), &old) == 0) {
        return int(old.st_mode & 0777);
    }
#else
    Q_UNUSED(path);
#endif
    return -1;
}

}  // namespace

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

AtomicFileWriter::AtomicFileWriter(const QString& path) : path_(path), file_(path) {
    // A pipe or device would be replaced by a plain file, and whatever reads it cut off.
    failure_ = checkReplaceable(path);
    // Unbuffered: a buffered flush that the disk cuts short loses the rest without an error,
    // and the commit would then put a truncated file in place.
    if (failure_.ok() && !file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        failure_ = Outcome::failure(OutcomeKind::Unwritable, file_.errorString());
    }
}

void AtomicFileWriter::write(QByteArrayView bytes) {
    for (qsizetype done = 0; failure_.ok() && done < bytes.size();) {
        // A short write means trouble; the next attempt reports its reason.
        const qint64 written = file_.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            failure_ = Outcome::failure(OutcomeKind::Unwritable, file_.errorString());
            file_.cancelWriting();
            return;
        }
        done += written;
    }
#ifdef Q_OS_LINUX
    // Only a start: the commit's sync still waits for every byte.
    if (failure_.ok() && !bytes.isEmpty()) {
        ::sync_file_range(file_.handle(), written_, bytes.size(), SYNC_FILE_RANGE_WRITE);
    }
#endif
    written_ += bytes.size();
}

Outcome AtomicFileWriter::commit() {
    if (!failure_.ok()) {
        return failure_;
    }
#ifdef Q_OS_UNIX
    if (const int mode = modeOf(path_); mode >= 0) {
        ::fchmod(file_.handle(), mode_t(mode));
    }
#endif
    if (!file_.commit()) {
        return Outcome::failure(OutcomeKind::Unwritable, file_.errorString());
    }
    return Outcome::success();
}

Outcome writeFileAtomically(const QString& path, QByteArrayView bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    return file.commit();
}

QString replacedFile(const QString& path) {
    // As QSaveFile follows them: a link to a missing file still names where it would be.
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth) {
        info.setFile(info.symLinkTarget());
    }
    return info.isSymLink() ? path : info.filePath();
}

Outcome moveFileInPlace(const QString& path, const QString& replacement) {
    if (Outcome replaceable = checkReplaceable(path); !replaceable.ok()) {
        return replaceable;
    }
    const QString target = replacedFile(path);
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(replacement);
    if (const int mode = modeOf(target); mode >= 0) {
        ::chmod(name.constData(), mode_t(mode));
    }
    // On the disk before its name is: a power cut must not leave an empty file in place.
    if (const int handle = ::open(name.constData(), O_RDONLY | O_CLOEXEC); handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
#endif
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(replacement.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), error);
    if (error) {
        return Outcome::failure(OutcomeKind::Unwritable, QString::fromLocal8Bit(error.message()));
    }
    return Outcome::success();
}

}  // namespace common
