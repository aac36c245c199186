// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QApplication>
#include <QByteArray>

#include "drill/engine/random_source.h"
#include "drill/history/history_sync.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/frm_main.h"
#include "drill/window/review_commands.h"
#include "platform/name_repair.h"
#include "platform/qt_platform.h"
#include "platform/translations.h"
#include "review/review_clock.h"

namespace {

// The start routine: one random generator for the whole run, seeded from the clock here and
// nowhere else, the clock reviews are timed by, and the one window, which lives as long as the
// program.
int Main(QApplication& application, const QByteArray& argument) {
    drill::ClockSeededRandom random;
    platform::QtPlatform platform;
    const QString historyPath = drill::history::SqliteHistory::defaultPath();
    drill::history::SqliteHistory history(historyPath);
    // The other machines' drills and reviews, merged beside the window.
    drill::history::HistorySync sync(history, historyPath, platform.preferencesFile());
    sync.configure();
    sync.merge();
    review::SystemReviewClock clock;
    drill::frmMain window(platform, random, history, clock);
    window.setSync(&sync);
    window.show();
    // A word file given on the command line (a double-click in the file manager), as bytes:
    // its name need not be text in the system's encoding.
    if (!argument.isEmpty()) {
        const QString path =
            platform::argumentPath(platform, &window, argument, window.namesOffered());
        if (!path.isEmpty()) {
            window.openWordFile(path);
        }
    }
    return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::installJapaneseTranslations(application);
    // QApplication has taken its own options out of argv.
    return Main(application, argc > 1 ? QByteArray(argv[1]) : QByteArray());
}
