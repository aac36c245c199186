// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/ansi_text.h"

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>

#endif

namespace common {

namespace {

// The code page maps no byte sequence to U+FFFD, so one in the text marks bytes that are not
// the code page's.
bool isCodePageName(const QString& text) {
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar::ReplacementCharacter || c.unicode() < 0x20 || c == u'/';
    });
}

}  // namespace

bool isSystemText(const QByteArray& path) {
    return QFile::encodeName(QFile::decodeName(path)) == path;
}

QList<NameRepair> namesToRepair(const QString& folder) {
    QList<NameRepair> repairs;
#ifdef Q_OS_UNIX
    // QDir drops these names, so the folder is read as bytes.
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        return repairs;
    }
    const QDir target(folder);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (isSystemText(name)) {
            continue;
        }
        const QString japanese = decodeAnsi(name);
        if (isCodePageName(japanese) && !QFileInfo::exists(target.filePath(japanese)) &&
            std::none_of(repairs.begin(), repairs.end(),
                         [&](const NameRepair& r) { return r.japanese == japanese; })) {
            repairs.append({name, japanese});
        }
    }
    ::closedir(dir);
    std::sort(repairs.begin(), repairs.end(),
              [](const NameRepair& a, const NameRepair& b) { return a.name < b.name; });
#else
    Q_UNUSED(folder);
#endif
    return repairs;
}

QStringList repairNames(const QString& folder, const QList<NameRepair>& repairs) {
    QStringList failed;
#ifdef Q_OS_UNIX
    const QByteArray base = QFile::encodeName(QDir(folder).absolutePath()) + '/';
    for (const NameRepair& repair : repairs) {
        const QByteArray from = base + repair.name;
        const QByteArray to = base + QFile::encodeName(repair.japanese);
        // Never over a file of that name, also one made since the folder was read.
        struct stat existing {};
        const bool taken = ::lstat(to.constData(), &existing) == 0;
        if (taken || ::rename(from.constData(), to.constData()) != 0) {
            const QString reason = taken ? QStringLiteral("同じ名前のﾌｧｲﾙがあります。")
                                         : QString::fromLocal8Bit(std::strerror(errno));
            failed.append(QFile::decodeName(repair.name) + QStringLiteral(": ") + reason);
        }
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(repairs);
#endif
    return failed;
}

}  // namespace common
