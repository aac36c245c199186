// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include "common/drill_way.h"
#include "common/word_file.h"

namespace review {

// A word's identity across files: a hash of its question and right answers as a word file
// stores them. Renaming, moving or copying the file keeps it; editing either text changes it.
// The information text is not part of it. 20 bytes.
QByteArray wordKey(const common::Entry& entry);

// The key a word's reviews in one way of drilling are kept under, so that each way has its own
// schedule: the word key itself for the typed way (the reviews from before there were other
// ways), else a hash of the word key and the way's number. 20 bytes.
QByteArray wayKey(const QByteArray& wordKey, common::DrillWay way);

}  // namespace review
