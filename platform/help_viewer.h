// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

namespace platform::detail {

// The help window: one HTML file with an anchor <a name="topicN"> per topic. It does not block
// the program and does not keep the program running when the last main window closes.
class HelpViewer : public QDialog {
    Q_OBJECT

public:
    HelpViewer();

    // Shows helpFile at a topic (0 or a topic the file lacks: its start) and brings the window
    // to the front; false, showing nothing, when the file cannot be read.
    bool showTopic(const QString& helpFile, int topic);

    QTextBrowser* browser() const { return browser_; }

private:
    void scrollToTopic();

    QTextBrowser* browser_ = nullptr;
    int topic_ = 0;
};

}  // namespace platform::detail
