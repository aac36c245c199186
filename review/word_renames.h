// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <span>

#include "review/fsrs.h"

namespace review {

// A word whose question or answers were edited and saved in one word file: its reviews up to
// time count for its new text there as well. Other files holding the old text keep theirs.
struct WordRename {
    ReviewTime time;
    QString wordFile;
    QByteArray oldKey;  // wordKey
    QByteArray newKey;

    friend bool operator==(const WordRename&, const WordRename&) = default;
};

// Renames wait in a text file of one line each until a store that can write takes them in.
// Every access holds the lock file beside it; a line cut short by a crash is no rename.
// Empty when appended, else why not.
QString appendRenames(const QString& path, std::span<const WordRename> renames);
// The renames waiting, in the order appended; none when the file is absent or locked.
QList<WordRename> readRenames(const QString& path);
// Removes the file once its renames are in, unless more were appended since they were read.
void removeRenames(const QString& path, qsizetype taken);

}  // namespace review
