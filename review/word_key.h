// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include "common/word_file.h"

namespace review {

// A word's identity across files: a hash of its question and right answers as a word file
// stores them. Renaming, moving or copying the file keeps it; editing either text changes it.
// The information text is not part of it. 20 bytes.
QByteArray wordKey(const common::Entry& entry);

}  // namespace review
