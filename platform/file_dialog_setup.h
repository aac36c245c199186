// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/platform.h"

namespace platform::detail {

// "QRV単語帳|*.qvw" becomes {"QRV単語帳 (*.qvw)"}: pairs of description and pattern, joined
// by "|"; several patterns of one pair are separated by ";".
QStringList qtNameFilters(const QString& filter);
// The extension of the type'th pair's first pattern ("csv" of "*.csv"), or empty for a
// pattern such as "*".
QString typeSuffix(const QString& filter, int type);

struct DialogStart {
    QString folder;    // absolute
    QString fileName;  // without folder, may be empty

    friend bool operator==(const DialogStart&, const DialogStart&) = default;
};

// Where a file dialog opens and which name it offers. The remembered name wins when its folder
// exists, as the next dialog should open where the last file was chosen; then the initial
// folder, which may also be a file's path; then the current folder.
DialogStart dialogStart(const FileDialog& dialog);

}  // namespace platform::detail
