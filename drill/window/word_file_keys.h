// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include "common/file_identity.h"
#include "common/outcome.h"

namespace drill {

// The words of the word files the review window lists, kept while the program runs: a file that
// is still the one read (the same file, size and time of its last change) is neither read nor
// keyed again when the window opens next. A file that could not be read is tried every time.
class WordFileKeys {
public:
    struct Words {
        common::Outcome outcome;  // of reading the file
        QList<QByteArray> keys;   // each word once, in file order
    };
    const Words& of(const QString& path);

private:
    struct Known {
        common::FileIdentity identity;
        qint64 size = -1;
        QDateTime modified;
        Words words;
    };
    QHash<QString, Known> files_;
};

}  // namespace drill
