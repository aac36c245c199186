// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace common {

// Held by one program at a time over a folder, for as long as the object lives. The lock is
// the system's, taken on the folder itself: a killed holder leaves no file behind, and its
// lock is freed with it. A folder that cannot be locked (or, elsewhere than on Unix, any
// folder) is simply not held.
class FolderLock {
public:
    // Waits at most `milliseconds` for another holder.
    FolderLock(const QString& folder, int milliseconds);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return held_; }

private:
    int handle_ = -1;
    bool held_ = false;
};

}  // namespace common
