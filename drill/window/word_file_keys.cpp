// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/word_file_keys.h"

#include <QFileInfo>

#include "common/word_file.h"
#include "drill/engine/word_key_cache.h"

namespace drill {

const WordFileKeys::Words& WordFileKeys::of(const QString& path) {
    const QFileInfo info(path);
    Known now{common::fileIdentity(path), info.size(), info.lastModified(), {}};
    Known& known = files_[path];
    if (now.identity.exists && now.identity == known.identity && now.size == known.size &&
        now.modified == known.modified && known.words.outcome.ok()) {
        return known.words;
    }
    common::ReadResult read = common::readWordFile(path);
    now.words.outcome = std::move(read.outcome);
    if (now.words.outcome.ok()) {
        now.words.keys = wordKeysOf(read.entries).keys;
    }
    known = std::move(now);
    return known.words;
}

}  // namespace drill
