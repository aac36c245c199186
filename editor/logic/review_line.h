// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "review/review_store.h"

#include <QString>

namespace editor {

// The entry form's line on the reviews of its word in the drill program's history:
// "次の復習: 12/20　復習 7 回・間違い 2 回". The date is the learner's day, with the year when
// it is not this one's; a word due at any time today or before is due "今日". Empty when the
// history could not be read.
QString reviewLine(const review::WordReviews& word, const review::LearnerDay& day,
                   review::ReviewTime now);

}  // namespace editor
