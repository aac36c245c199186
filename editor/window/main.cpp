// Brelmi, the word-file editor: one window, always starting with an empty document.
#include "editor/window/frm_edit.h"
#include "platform/qt_platform.h"
#include "platform/translations.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::installJapaneseTranslations(app);
    platform::QtPlatform platform;
    editor::frmEdit window(platform);
    window.show();
    return app.exec();
}
