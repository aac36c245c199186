// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/window/save_name.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace drill {

std::optional<QString> askSaveName(platform::Platform& platform, QWidget* parent,
                                   platform::FileDialog dialog,
                                   QString common::Preferences::*remembered,
                                   const QString& preferred) {
    const common::PreferencesFile preferences(platform.preferencesFile());
    const QString lastFolder = preferences.load().*remembered;
    dialog.kind = platform::FileDialogKind::Save;
    dialog.initialFolder =
        !preferred.isEmpty() ? preferred
        : QFileInfo(lastFolder).isDir()
            ? lastFolder
            : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    std::optional<QString> chosen = platform.askFileName(parent, dialog);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    const QString folder = QFileInfo(*chosen).absolutePath();
    preferences.update([&folder, remembered](common::Preferences& p) { p.*remembered = folder; });
    return chosen;
}

}  // namespace drill
