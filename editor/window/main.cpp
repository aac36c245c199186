// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Brelmi, the word-file editor: one window, starting with an empty document or the word file
// named on the command line.
#include "common/preferences.h"
#include "editor/window/file_commands.h"
#include "editor/window/frm_edit.h"
#include "platform/name_repair.h"
#include "platform/qt_platform.h"
#include "platform/translations.h"
#include "review/review_store.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::installJapaneseTranslations(app);
    platform::QtPlatform platform;
    // The drill program's history, for the reviews of the entry in the form; never written.
    const std::unique_ptr<review::ReviewStore> reviews = review::openUsersReviewsReadOnly();
    reviews->setDayStart(common::PreferencesFile(platform.preferencesFile()).load().dayStartsAt);
    editor::frmEdit window(platform, *reviews);
    window.show();
    // As bytes: the name need not be text in the system's encoding. QApplication has taken its
    // own options out of argv.
    if (argc > 1) {
        editor::FileCommands& files = window.fileCommands();
        const QString path =
            platform::argumentPath(platform, &window, argv[1], files.namesOffered());
        if (!path.isEmpty()) {
            files.openFile(path);
        }
    }
    return app.exec();
}
