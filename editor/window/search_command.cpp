#include "editor/window/search_command.h"

#include "editor/window/frm_scan.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace editor {

namespace {

const QString kTitle = QStringLiteral("検索");

}  // namespace

class SearchCommand::Driver : public ScanDriver {
public:
    explicit Driver(SearchCommand* command)
        : command_(command), startRevision_(command->host_.revision()) {}

    bool askRestart() override {
        const platform::MessageBox box{
            QStringLiteral("検索が完了しました。\r\nﾘｽﾄの最初から再検索しますか？"),
            kTitle,
            platform::Icon::Question,
            platform::Buttons::YesNo,
            platform::Answer::Yes,
            {}};
        return command_->platform_.showMessage(command_->messageParent(), box) ==
               platform::Answer::Yes;
    }

    bool keepScanning() override {
        if (++sinceEvents_ >= command_->entriesBetweenEvents_) {
            sinceEvents_ = 0;
            QCoreApplication::processEvents();
        }
        // A changed document invalidates every position the walk holds.
        return alive() && !command_->stopped_ && command_->host_.revision() == startRevision_;
    }

    // The window and with it the command may go while events are handled.
    bool alive() const { return !command_.isNull(); }

private:
    QPointer<SearchCommand> command_;
    quint64 startRevision_;
    int sinceEvents_ = 0;
};

SearchCommand::SearchCommand(QWidget* window, SearchHost& host, platform::Platform& platform,
                             FocusBehaviour& focus)
    : QObject(window), window_(window), host_(host), platform_(platform), focus_(focus) {
    window_->installEventFilter(this);
}

SearchCommand::~SearchCommand() {
    if (dialog_) {
        delete dialog_.data();
    }
}

void SearchCommand::openDialog() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    dialog_ = new frmScan(host_.scanString(), focus_, window_);
    connect(dialog_, &frmScan::scanRequested, this, [this](const QString& text, int fields) {
        host_.setScanString(text);
        host_.setScanFields(fields);
        scanNext();
    });
    dialog_->show();
    dialog_->activateWindow();
}

void SearchCommand::scanNext() {
    // A step asked for while one runs (events are handled meanwhile) is not started again.
    if (running_) {
        return;
    }
    running_ = true;
    stopped_ = false;
    Driver driver(this);
    const ScanResult result = editor::scanNext(host_, host_.currentPosition(), host_.scanString(),
                                               host_.scanFields(), driver);
    if (!driver.alive()) {
        return;
    }
    running_ = false;
    switch (result.outcome) {
        case ScanOutcome::NeedText:
            platform_.warn(messageParent(), QStringLiteral("検索文字列を指定してください。"),
                           kTitle);
            openDialog();
            break;
        case ScanOutcome::NeedFields:
            platform_.warn(messageParent(), QStringLiteral("検索の対象を指定してください。"),
                           kTitle);
            openDialog();
            break;
        case ScanOutcome::EmptyList:
        case ScanOutcome::Finished:
            tell(QStringLiteral("検索が完了しました。"), platform::Icon::None);
            break;
        case ScanOutcome::Found:
            host_.showFound(result.position);
            break;
        case ScanOutcome::Declined:
        case ScanOutcome::Interrupted:
            break;
    }
}

bool SearchCommand::eventFilter(QObject* watched, QEvent* event) {
    // The dialog and a running search end with the editor window.
    if (watched == window_ && event->type() == QEvent::Hide && !event->spontaneous()) {
        stopped_ = true;
        if (dialog_) {
            dialog_->close();
        }
    }
    return false;
}

QWidget* SearchCommand::messageParent() const {
    return dialog_ && dialog_->isVisible() ? static_cast<QWidget*>(dialog_.data()) : window_;
}

void SearchCommand::tell(const QString& text, platform::Icon icon) {
    platform_.showMessage(messageParent(),
                          {text, kTitle, icon, platform::Buttons::Ok, platform::Answer::Ok, {}});
}

}  // namespace editor
