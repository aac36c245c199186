#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

#include "common/settings.h"

class QWidget;

namespace platform {
class Platform;
}

namespace drill {

namespace history {
class DrillHistory;
}

class frmHistory;
class frmMissed;
class modMain;

// What follows a drill: its record in the history, and the missed-entries window over the
// drill window; and the history window on request.
class AfterDrill : public QObject {
    Q_OBJECT
public:
    // refresh brings the drill window up to date after a command started here.
    AfterDrill(QWidget* window, modMain& engine, platform::Platform& platform,
               history::DrillHistory& history, std::function<void()> refresh);
    ~AfterDrill() override;

    void drillEnded(common::DrillModeValue mode, qint64 seconds);
    void showHistory();

    frmMissed* missedWindow() const;
    frmHistory* historyWindow() const;

private:
    // What the history has to say once (a damaged file moved aside, a newer one read-only).
    void showNotices();
    void again();

    QWidget* window_;
    modMain& engine_;
    platform::Platform& platform_;
    history::DrillHistory& historyStore_;
    std::function<void()> refresh_;
    QPointer<frmMissed> missed_;
    QPointer<frmHistory> history_;
    // The drill running is over the missed entries of the one before.
    bool againRunning_ = false;
};

}  // namespace drill
