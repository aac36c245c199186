// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

#include "common/word_file.h"

class QWidget;

namespace platform {
class Platform;
}

namespace drill {

namespace history {
class DrillHistory;
struct DrillRecord;
}  // namespace history

class frmHistory;
class frmMissed;
class DrillSession;

// What follows a drill: its record in the history, and the missed-entries window over the
// drill window; and the history window on request.
class AfterDrill : public QObject {
    Q_OBJECT
public:
    // startAgain starts a drill over the given entries from the drill window.
    AfterDrill(QWidget* window, const DrillSession& session, platform::Platform& platform,
               history::DrillHistory& history,
               std::function<void(const QList<common::Entry>&)> startAgain);
    ~AfterDrill() override;

    void drillEnded(const history::DrillRecord& record);
    void showHistory();

    frmMissed* missedWindow() const;
    frmHistory* historyWindow() const;

private:
    // What the history has to say once (a damaged file moved aside, a newer one read-only).
    void showNotices();
    void again();

    QWidget* window_;
    const DrillSession& session_;
    platform::Platform& platform_;
    history::DrillHistory& historyStore_;
    std::function<void(const QList<common::Entry>&)> startAgain_;
    QPointer<frmMissed> missed_;
    QPointer<frmHistory> history_;
};

}  // namespace drill
