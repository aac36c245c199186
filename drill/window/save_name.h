// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

#include "common/preferences.h"
#include "platform/platform.h"

class QWidget;

namespace drill {

// A save dialog for a file written out of the history: it starts in preferred when given, else
// where the last such file went (kept in the preferences' member remembered) while that folder
// is there, else in the documents folder. The chosen file's folder is kept for the next time.
std::optional<QString> askSaveName(platform::Platform& platform, QWidget* parent,
                                   platform::FileDialog dialog,
                                   QString common::Preferences::*remembered,
                                   const QString& preferred = QString());

}  // namespace drill
