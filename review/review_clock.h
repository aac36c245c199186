// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "review/fsrs.h"

namespace review {

// The instants reviews are recorded and planned at. The drill program reads the system's
// clock; tests hand in one they move by hand.
class ReviewClock {
public:
    virtual ~ReviewClock() = default;
    virtual ReviewTime now() const = 0;
};

class SystemReviewClock final : public ReviewClock {
public:
    ReviewTime now() const override;
};

}  // namespace review
