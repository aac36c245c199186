// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/help_viewer.h"

#include "platform/window_fit.h"

#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace platform::detail {

namespace {

bool hasAnchor(const QTextDocument* document, const QString& name) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(name)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

HelpViewer::HelpViewer() {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Kotobax ヘルプ"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setSizeGripEnabled(true);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->setAccessibleName(QStringLiteral("ヘルプの本文"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    fitToScreen(this, {}, {640, 520});
}

bool HelpViewer::showTopic(const QString& helpFile, int topic) {
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    file.close();

    const QUrl url = QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath());
    QUrl current = browser_->source();
    current.setFragment(QString());
    if (current != url) {
        browser_->setSource(url, QTextDocument::HtmlResource);
    }
    topic_ = topic;
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
    scrollToTopic();
    // A window manager may still resize the new window, which moves the anchor.
    QTimer::singleShot(0, this, &HelpViewer::scrollToTopic);
    return true;
}

void HelpViewer::scrollToTopic() {
    const QString anchor = QStringLiteral("topic%1").arg(topic_);
    if (topic_ > 0 && hasAnchor(browser_->document(), anchor)) {
        browser_->scrollToAnchor(anchor);
    } else {
        browser_->verticalScrollBar()->setValue(0);
    }
}

}  // namespace platform::detail
