// Brelmi, the word-file editor: one window, starting with an empty document or the word file
// named on the command line.
#include "editor/window/frm_edit.h"
#include "platform/qt_platform.h"
#include "platform/translations.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::installJapaneseTranslations(app);
    platform::QtPlatform platform;
    editor::frmEdit window(platform);
    window.show();
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1) {
        window.openWordFile(QFileInfo(arguments.at(1)).absoluteFilePath());
    }
    return app.exec();
}
