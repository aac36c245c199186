// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/window/option_commands.h"

#include "common/preferences.h"
#include "common/zoom.h"
#include "editor/logic/editor_session.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/frm_edit.h"
#include "editor/window/help_topics.h"
#include "platform/platform.h"

#include <QAction>
#include <QActionGroup>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>

namespace editor {

namespace {

// A line edit is sized for its own font, and a taller fallback font drawing the Japanese would
// be cut at the top and bottom.
void holdJapaneseLines(QWidget* form, const QFont& font) {
    form->setFont(font);
    for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
        box->setMinimumHeight(0);
        const int chrome = box->sizeHint().height() - box->fontMetrics().height();
        box->setMinimumHeight(chrome + platform::japaneseLineHeight(box->font()));
    }
}

}  // namespace

OptionCommands::OptionCommands(frmEdit& window, EditorSession& session,
                               platform::Platform& platform)
    : window_(window), session_(session), platform_(platform) {
    QMenu* option = window_.optionMenu();
    optionFocus_ =
        addMenuItem(option, QStringLiteral("制御を得たﾎﾞｯｸｽのﾃｷｽﾄを反転(&F)"), "Option_Focus");
    optionFocus_->setCheckable(true);
    connect(optionFocus_, &QAction::triggered, this, &OptionCommands::Option_Focus_Click);
    QMenu* ime = option->addMenu(QStringLiteral("&IMEﾓｰﾄﾞ"));
    ime->setObjectName(QStringLiteral("Option_IME"));
    const struct {
        QString caption;
        QString name;
    } kinds[] = {{QStringLiteral("問題(&Q)"), QStringLiteral("Option_IME_Q")},
                 {QStringLiteral("解答(&R)"), QStringLiteral("Option_IME_R")},
                 {QStringLiteral("情報(&I)"), QStringLiteral("Option_IME_I")}};
    const QString modes[] = {QStringLiteral("なし(&E)"), QStringLiteral("ｵﾝ(&N)"),
                             QStringLiteral("ｵﾌ(&F)")};
    for (int k = 0; k < 3; ++k) {
        QMenu* sub = ime->addMenu(kinds[k].caption);
        sub->setObjectName(kinds[k].name);
        auto* group = new QActionGroup(sub);
        for (int i = 0; i < kImeModeCount; ++i) {
            QAction* mode = sub->addAction(modes[i]);
            mode->setObjectName(kinds[k].name + QStringLiteral("_Mode%1").arg(i));
            mode->setCheckable(true);
            group->addAction(mode);
            connect(mode, &QAction::triggered, this,
                    [this, k, i] { Option_IME_Mode_Click(BoxKind(k), i); });
            imeModeActions_[k][i] = mode;
        }
    }
    showOptionChecks();

    normalFont_ = window_.centralWidget()->font();
    option->addSeparator();
    zoomItems_ = platform::addZoomItems(
        option, [this] { return zoom_; }, [this](int wanted) { Option_Zoom_Click(wanted); },
        [this](int percent) {
            const bool fits = fitsAt(percent);
            fitsAt(zoom_);
            return fits;
        });
    zoomItems_.menu->installEventFilter(&window_);  // F1 on its items
    for (QAction* item : {zoomItems_.zoomIn, zoomItems_.zoomOut, zoomItems_.normalSize}) {
        setHelpTopic(item, kViewTopic);
    }
    option->addSeparator();
    speakQuestion_ = addMenuItem(option, QStringLiteral("問題を読み上げる(&P)"), "Option_Speak",
                                 {QKeySequence(Qt::Key_F5)}, kViewTopic);
    connect(speakQuestion_, &QAction::triggered, this, [this] {
        platform::speakInItsLanguage(platform_, window_.entryForm().txtQuestion()->text());
    });
    // Why an item is unavailable is told in its tool tip.
    option->setToolTipsVisible(true);
    connect(option, &QMenu::aboutToShow, this, &OptionCommands::updateSpeech);
    platform_.onSpeechChanged(this, [this] { updateSpeech(); });
    updateSpeech();

    // A zoom too large for this screen stays stored for a larger one until changed here.
    zoom_ = zoomTo(common::PreferencesFile(platform_.preferencesFile()).load().editorZoom);
    zoomItems_.update(zoom_);
}

void OptionCommands::Option_Focus_Click() {
    session_.setFocusSelect(!session_.focusSelect());
    showOptionChecks();
}

void OptionCommands::Option_IME_Mode_Click(BoxKind kind, int index) {
    session_.setImeModeIndex(kind, index);
    showOptionChecks();
}

void OptionCommands::showOptionChecks() {
    optionFocus_->setChecked(session_.focusSelect());
    for (int k = 0; k < 3; ++k) {
        imeModeActions_[k][session_.imeModeIndex(BoxKind(k))]->setChecked(true);
    }
}

void OptionCommands::updateSpeech() {
    const QString reason = platform_.speechUnavailableReason();
    speakQuestion_->setEnabled(reason.isEmpty());
    speakQuestion_->setToolTip(reason.isEmpty() ? QStringLiteral("問題の欄を読み上げます")
                                                : reason);
}

void OptionCommands::Option_Zoom_Click(int wanted) {
    zoom_ = zoomTo(wanted);
    zoomItems_.update(zoom_);
    const int zoom = zoom_;
    // A file that cannot be written leaves the zoom for this run only; nothing to report.
    common::PreferencesFile(platform_.preferencesFile()).update([zoom](common::Preferences& p) {
        p.editorZoom = zoom;
    });
}

bool OptionCommands::fitsAt(int percent) {
    holdJapaneseLines(window_.centralWidget(), platform::zoomedFont(normalFont_, percent));
    // With no event loop in between, the window's layout would keep the minimum size of the
    // step measured before.
    for (QLayout* layout : window_.findChildren<QLayout*>()) {
        layout->invalidate();
    }
    const QSize needed = window_.minimumSizeHint();
    const QSize available = window_.availableRoom();
    return needed.width() <= available.width() && needed.height() <= available.height();
}

int OptionCommands::zoomTo(int wanted) {
    const int before = zoom_ > 0 ? zoom_ : common::kZoomNormal;
    const int zoom = common::fittingZoom(wanted, [this](int percent) { return fitsAt(percent); });
    fitsAt(zoom);
    window_.layout()->activate();  // the window's minimum size, which bounds the resize below
    // The window grows with its fonts, as far as the screen has room; the normal size gives
    // back the first size.
    const QSize grown =
        zoom == common::kZoomNormal ? window_.firstSize() : window_.size() * zoom / before;
    window_.resize(grown.expandedTo(window_.minimumSizeHint()).boundedTo(window_.availableRoom()));
    return zoom;
}

}  // namespace editor
