// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/platform.h"

#include <memory>

namespace platform {

namespace detail {
class HelpViewer;
class ImeSwitch;
class Speaker;
}  // namespace detail

// The platform layer of the programs, on Qt Widgets. Create it after the QApplication and let
// it go before; it owns the help window.
class QtPlatform : public Platform {
public:
    // helpFile: what the Help buttons of message boxes open; empty: "Kotobax.hlp" in the
    // program folder.
    explicit QtPlatform(QString helpFile = {});
    ~QtPlatform() override;

    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    Answer showMessage(QWidget* parent, const MessageBox& box) override;
    std::optional<ChosenFile> askFileAndType(QWidget* parent, const FileDialog& dialog) override;
    void showHelp(QWidget* parent, const QString& helpFile, int topic) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    void setImeMode(QWidget* box, ImeMode mode) override;
    QString speechUnavailableReason() override;
    bool speak(const QString& text, SpeechLanguage language, SpeechPace pace) override;
    bool hasVoice(SpeechLanguage language) override;
    void onSpeechChanged(QObject* receiver, std::function<void()> changed) override;
    // In the user's configuration folder, "kotobax/preferences.ini".
    QString preferencesFile() const override;
    [[nodiscard]] std::shared_ptr<void> busy() override;
    QString programFolder() const override;

    QString helpFile() const;

private:
    detail::Speaker& speaker();

    QString helpFile_;
    std::unique_ptr<detail::HelpViewer> helpViewer_;
    std::unique_ptr<detail::Speaker> speaker_;
    // Folders offered the renaming by open dialogs that bring no set of their own (import).
    QSet<QString> namesOffered_;
    std::unique_ptr<detail::ImeSwitch> imeSwitch_;
};

}  // namespace platform
