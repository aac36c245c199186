// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/folder_lock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace common {

FolderLock::FolderLock(const QString& folder, int milliseconds) {
#ifdef Q_OS_UNIX
    handle_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle_ < 0) {
        return;
    }
    const QDeadlineTimer deadline(milliseconds);
    while (::flock(handle_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || deadline.hasExpired()) {
            return;
        }
        QThread::msleep(2);
    }
    held_ = true;
#else
    Q_UNUSED(folder);
    Q_UNUSED(milliseconds);
#endif
}

FolderLock::~FolderLock() {
#ifdef Q_OS_UNIX
    if (handle_ >= 0) {
        ::close(handle_);  // frees the lock
    }
#endif
}

}  // namespace common
