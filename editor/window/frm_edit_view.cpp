// frmEdit's Option items for looking and listening: the zoom of its fonts and the question
// box spoken (F5).
#include "common/help_topic.h"
#include "common/preferences.h"
#include "common/zoom.h"
#include "editor/window/entry_form_view.h"
#include "editor/window/frm_edit.h"
#include "editor/window/help_topics.h"
#include "platform/platform.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>

namespace editor {

namespace {

constexpr int kViewTopic = common::topicNumber(common::HelpTopic::View);

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

void frmEdit::buildViewItems(QMenu* option) {
    normalFont_ = centralWidget()->font();
    option->addSeparator();
    zoomItems_ = platform::addZoomItems(
        option, [this] { return zoom_; }, [this](int wanted) { Option_Zoom_Click(wanted); },
        [this](int percent) {
            const bool fits = fitsAt(percent);
            fitsAt(zoom_);
            return fits;
        });
    zoomItems_.menu->installEventFilter(this);  // F1 on its items
    for (QAction* item : {zoomItems_.zoomIn, zoomItems_.zoomOut, zoomItems_.normalSize}) {
        setHelpTopic(item, kViewTopic);
    }
    option->addSeparator();
    speakQuestion_ =
        addItem(option, QStringLiteral("問題を読み上げる(&P)"), "Option_Speak",
                {QKeySequence(Qt::Key_F5)}, kViewTopic,
                [this] { platform::speakInItsLanguage(platform_, form_->txtQuestion()->text()); });
    // Why an item is unavailable is told in its tool tip.
    option->setToolTipsVisible(true);
    connect(option, &QMenu::aboutToShow, this, &frmEdit::updateSpeech);
    platform_.onSpeechChanged(this, [this] { updateSpeech(); });
    updateSpeech();

    // A zoom too large for this screen stays stored for a larger one until changed here.
    zoom_ = zoomTo(common::PreferencesFile(platform_.preferencesFile()).load().editorZoom);
    zoomItems_.update(zoom_);
}

void frmEdit::updateSpeech() {
    const QString reason = platform_.speechUnavailableReason();
    speakQuestion_->setEnabled(reason.isEmpty());
    speakQuestion_->setToolTip(reason.isEmpty() ? QStringLiteral("問題の欄を読み上げます")
                                                : reason);
}

void frmEdit::Option_Zoom_Click(int wanted) {
    zoom_ = zoomTo(wanted);
    zoomItems_.update(zoom_);
    const int zoom = zoom_;
    // A file that cannot be written leaves the zoom for this run only; nothing to report.
    common::PreferencesFile(platform_.preferencesFile()).update([zoom](common::Preferences& p) {
        p.editorZoom = zoom;
    });
}

bool frmEdit::fitsAt(int percent) {
    holdJapaneseLines(centralWidget(), platform::zoomedFont(normalFont_, percent));
    // With no event loop in between, the window's layout would keep the minimum size of the
    // step measured before.
    for (QLayout* layout : findChildren<QLayout*>()) {
        layout->invalidate();
    }
    const QSize needed = minimumSizeHint();
    const QSize available = availableRoom();
    return needed.width() <= available.width() && needed.height() <= available.height();
}

int frmEdit::zoomTo(int wanted) {
    const int before = zoom_ > 0 ? zoom_ : common::kZoomNormal;
    const int zoom = common::fittingZoom(wanted, [this](int percent) { return fitsAt(percent); });
    fitsAt(zoom);
    layout()->activate();  // the window's minimum size, which bounds the resize below
    // The window grows with its fonts, as far as the screen has room; the normal size gives
    // back the first size.
    const QSize grown = zoom == common::kZoomNormal ? firstSize() : size() * zoom / before;
    resize(grown.expandedTo(minimumSizeHint()).boundedTo(availableRoom()));
    return zoom;
}

}  // namespace editor
