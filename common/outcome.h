// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <utility>

namespace common {

// How a read or a write ended. The kinds are what callers branch on; everything else about a
// failure is in the reason, already in words for the user.
enum class OutcomeKind {
    Ok,
    NotFound,    // nothing exists at the path
    Unreadable,  // it exists but cannot be read (no permission, a folder, an I/O error)
    Invalid,     // read, but not of the expected format
    OldVersion,  // a word file of the version before the version line
    TooMany,     // more than the bounds allow (entries in a word file, rows in an import)
    Unwritable,  // the write failed; the old file, if any, is left as it was
    Cancelled,   // the user stopped it; nothing to tell them
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Ok;
    QString reason;  // empty when ok(); may be empty for kinds whose message the caller owns

    bool ok() const { return kind == OutcomeKind::Ok; }

    static Outcome success() { return {}; }
    static Outcome failure(OutcomeKind kind, QString reason = {}) {
        return {kind, std::move(reason)};
    }

    friend bool operator==(const Outcome&, const Outcome&) = default;
};

}  // namespace common
