#include "common/preferences.h"
#include "editor_window.h"
#include "line_edit_text.h"
#include "platform/zoom_items.h"

#include <QLabel>
#include <QMenu>
#include <QScreen>

using namespace Qt::StringLiterals;
using platform::SpeechLanguage;

namespace {

// Every box holds a line of Japanese in the fonts that draw it; captions fit their controls.
void expectUnclipped(const EditorWindow& editor) {
    for (QLineEdit* box : editor.form().findChildren<QLineEdit*>()) {
        const QRect text = lineEditTextArea(box);
        EXPECT_GE(text.height(), platform::japaneseLineHeight(box->font()))
            << box->objectName().toStdString();
    }
    for (QWidget* control : editor.window->centralWidget()->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(control) && !qobject_cast<QPushButton*>(control)) {
            continue;
        }
        EXPECT_GE(control->height(), control->minimumSizeHint().height())
            << control->objectName().toStdString();
        EXPECT_GE(control->width(), control->minimumSizeHint().width())
            << control->objectName().toStdString();
    }
}

int storedZoom(const EditorWindow& editor) {
    return common::PreferencesFile(editor.platform.preferencesFile()).load().editorZoom;
}

// Run on a large screen too (see CMakeLists.txt), where every step fits; on a smaller one the
// zoom stops at the largest step the window fits.
TEST(EditorZoom, FontsGrowStepByStepUnclippedWithinTheScreenAndAreRemembered) {
    EditorWindow editor({u"漢字の問題"_s});
    editor.clickEntry(0);
    const QRect available = editor.window->screen()->availableGeometry();
    const double normal = editor.form().txtQuestion()->font().pointSizeF();
    int reached = 100;
    for (int wanted = 125; wanted <= 300; wanted += 25) {
        SCOPED_TRACE(wanted);
        QTest::keyClick(editor.form().txtQuestion(), Qt::Key_Equal, Qt::ControlModifier);
        QApplication::processEvents();
        const double size = editor.form().txtQuestion()->font().pointSizeF();
        reached = qRound(size / normal * 100);
        EXPECT_LE(reached, wanted);
        EXPECT_LE(editor.window->frameGeometry().width(), available.width());
        EXPECT_LE(editor.window->frameGeometry().height(), available.height());
        expectUnclipped(editor);
    }
    if (available.height() >= 1500) {
        EXPECT_EQ(reached, 300);
    }
    EXPECT_EQ(storedZoom(editor), reached);
    EXPECT_EQ(common::PreferencesFile(editor.platform.preferencesFile()).load().drillZoom, 100);

    // The next window opens at it; the settings record keeps the bytes of a run without zoom.
    editor.window->close();
    const QByteArray record = readAll(editor.path(u"qrvwr.dat"_s));
    EXPECT_EQ(record.size(), 522);
    editor.start();
    EXPECT_EQ(editor.form().txtQuestion()->font().pointSizeF(), normal * reached / 100);
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(editor.form().txtQuestion()->font().pointSizeF(), normal);
    QTest::keyClick(editor.form().txtQuestion(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(storedZoom(editor), 100);
    editor.window->close();
    EXPECT_EQ(readAll(editor.path(u"qrvwr.dat"_s)), record);
}

TEST(EditorSpeech, F5SpeaksTheQuestionBoxInItsLanguage) {
    using Spoken = std::vector<platform::ScriptedPlatform::Utterance>;
    const std::vector<SpeechLanguage> both{SpeechLanguage::English, SpeechLanguage::Japanese};
    const struct {
        const char* name;
        QString question;
        std::vector<SpeechLanguage> voices;
        QString unavailable;
        Spoken spoken;
    } table[] = {
        {"English", u"apple"_s, both, {}, {{u"apple"_s, SpeechLanguage::English}}},
        {"Japanese", u"走る"_s, both, {}, {{u"走る"_s, SpeechLanguage::Japanese}}},
        {"no speech", u"apple"_s, both, u"読み上げの仕組みがありません。"_s, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EditorWindow editor;
        editor.platform.setSpokenLanguages(row.voices);
        editor.platform.setSpeechUnavailable(row.unavailable);
        QMetaObject::invokeMethod(editor.find<QMenu>(u"Option_Top"_s), "aboutToShow");
        QAction* speak = editor.find<QAction>(u"Option_Speak"_s);
        EXPECT_EQ(speak->isEnabled(), row.unavailable.isEmpty());
        if (!row.unavailable.isEmpty()) {
            EXPECT_EQ(speak->toolTip(), row.unavailable);
        }
        editor.type(row.question);
        QTest::keyClick(editor.form().txtRight(0), Qt::Key_F5);
        EXPECT_EQ(editor.platform.spoken(), row.spoken);
        EXPECT_EQ(editor.form().txtQuestion()->text(), row.question);
    }
}

}  // namespace
