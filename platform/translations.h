// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QCoreApplication;

namespace platform {

// Qt's own texts (the buttons of message boxes and file dialogs) in Japanese, as the
// programs' users read them, whatever the system's language; English when not installed.
void installJapaneseTranslations(QCoreApplication& app);

}  // namespace platform
