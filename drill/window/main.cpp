#include <QApplication>
#include <QFileInfo>

#include "drill/engine/random_source.h"
#include "drill/history/sqlite_history.h"
#include "drill/window/frm_main.h"
#include "platform/qt_platform.h"
#include "platform/translations.h"

namespace {

// The start routine: one random generator for the whole run, seeded from the clock here and
// nowhere else, and the one window, which lives as long as the program.
int Main(QApplication& application) {
    drill::ClockSeededRandom random;
    platform::QtPlatform platform;
    drill::history::SqliteHistory history(drill::history::SqliteHistory::defaultPath());
    drill::frmMain window(platform, random, history);
    window.show();
    // A word file given on the command line (a double-click in the file manager).
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1) {
        window.openWordFile(QFileInfo(arguments.at(1)).absoluteFilePath());
    }
    return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::installJapaneseTranslations(application);
    return Main(application);
}
