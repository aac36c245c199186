// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QString>

class QTimer;

namespace review {
class ReviewStore;
struct ReplayProgress;
}  // namespace review

namespace drill {

// A line on how far the history's work beside the window has come (the reviews replayed, edited
// words taken in, an older history brought up to date), kept up to date while it goes on and
// hidden when none does. It takes no focus and holds up nothing.
class ReplayLine : public QLabel {
    Q_OBJECT
public:
    ReplayLine(review::ReviewStore& store, QWidget* parent);

    // Shown while work goes on, until it ends.
    void follow();
    static QString text(const review::ReplayProgress& progress);

private:
    review::ReviewStore& store_;
    QTimer* poll_ = nullptr;
};

}  // namespace drill
