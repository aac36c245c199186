// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/platform.h"

#include <QPointer>

#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTemporaryDir;

namespace platform {

// The platform layer for tests. Message boxes and file dialogs are answered from queues that
// the test fills; everything the code under test shows or asks for is recorded:
//
//     platform.answers({Answer::Yes});
//     platform.fileNames({dir.filePath("a.qvw"), ScriptedPlatform::cancel});
//     ...
//     EXPECT_EQ(platform.shown().at(0), (MessageBox{text, title, Icon::Question, ...}));
//     EXPECT_THAT(platform.unexpected(), testing::IsEmpty());
class ScriptedPlatform : public Platform {
public:
    struct HelpRequest {
        QString helpFile;
        int topic = 0;
        friend bool operator==(const HelpRequest&, const HelpRequest&) = default;
    };
    struct ProgramStart {
        QString program;
        QStringList arguments;
        bool started = false;
        friend bool operator==(const ProgramStart&, const ProgramStart&) = default;
    };
    struct Utterance {
        QString text;
        SpeechLanguage language = SpeechLanguage::English;
        SpeechPace pace = SpeechPace::Normal;
        friend bool operator==(const Utterance&, const Utterance&) = default;
    };
    struct ImeChange {
        QString boxName;  // the box's objectName
        ImeMode mode = ImeMode::NoControl;
        friend bool operator==(const ImeChange&, const ImeChange&) = default;
    };

    // A cancelled file dialog in fileNames().
    static constexpr std::nullopt_t cancel = std::nullopt;

    // The program folder is a fresh empty temporary folder, removed with the platform.
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    ScriptedPlatform(const ScriptedPlatform&) = delete;
    ScriptedPlatform& operator=(const ScriptedPlatform&) = delete;

    // The script. Each call appends to what is still queued.
    void answers(std::initializer_list<Answer> next);
    void fileNames(std::initializer_list<std::optional<QString>> next);
    // The types chosen in the file dialogs, one a dialog; the first type when none is queued.
    void fileTypes(std::initializer_list<int> next);
    // By default a program starts when its file exists; this decides for one program.
    void setStartResult(const QString& program, bool starts);
    // A separator is appended when missing.
    void setProgramFolder(const QString& folder);
    // By default both languages are spoken; a reason makes speech unavailable.
    // The windows that asked are told, as when a speech server stops or comes back.
    void setSpeechUnavailable(const QString& reason);
    void setSpokenLanguages(std::vector<SpeechLanguage> languages);
    // Called with every box before it is answered, to look at the windows while it is open.
    void setOnMessage(std::function<void(const MessageBox&)> onMessage);

    // What happened, in order.
    const std::vector<MessageBox>& shown() const { return shown_; }
    const std::vector<FileDialog>& fileDialogs() const { return fileDialogs_; }
    const std::vector<HelpRequest>& helpRequests() const { return helpRequests_; }
    const std::vector<ProgramStart>& programsStarted() const { return programsStarted_; }
    const std::vector<ImeChange>& imeChanges() const { return imeChanges_; }
    const std::vector<Utterance>& spoken() const { return spoken_; }
    int busyCount() const { return busyCount_; }  // busy guards handed out so far
    bool isBusy() const { return *busyHeld_ > 0; }

    // What went off script: a box or dialog with nothing queued (answered like the close box or
    // a cancel), an answer that is not one of the box's buttons, a default button that the box
    // does not have. Empty when everything went as the test planned.
    const std::vector<std::string>& unexpected() const { return unexpected_; }
    std::size_t answersLeft() const { return answers_.size(); }
    std::size_t fileNamesLeft() const { return fileNames_.size(); }
    // How often the voices were asked about: a real server answers that slowly.
    int voiceQuestions() const { return voiceQuestions_; }

    // Forgets the records; the queues and settings stay.
    void clearRecords();

    Answer showMessage(QWidget* parent, const MessageBox& box) override;
    std::optional<ChosenFile> askFileAndType(QWidget* parent, const FileDialog& dialog) override;
    void showHelp(QWidget* parent, const QString& helpFile, int topic) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    void setImeMode(QWidget* box, ImeMode mode) override;
    QString speechUnavailableReason() override { return speechUnavailable_; }
    bool speak(const QString& text, SpeechLanguage language, SpeechPace pace) override;
    bool hasVoice(SpeechLanguage language) override;
    void onSpeechChanged(QObject* receiver, std::function<void()> changed) override;
    QString preferencesFile() const override;
    [[nodiscard]] std::shared_ptr<void> busy() override;
    QString programFolder() const override;

private:
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> fileNames_;
    std::deque<int> fileTypes_;
    std::map<QString, bool> startResults_;
    std::function<void(const MessageBox&)> onMessage_;
    std::unique_ptr<QTemporaryDir> ownFolder_;
    QString programFolder_;

    std::vector<MessageBox> shown_;
    std::vector<FileDialog> fileDialogs_;
    std::vector<HelpRequest> helpRequests_;
    std::vector<ProgramStart> programsStarted_;
    std::vector<ImeChange> imeChanges_;
    std::vector<Utterance> spoken_;
    QString speechUnavailable_;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> speechWatchers_;
    std::vector<SpeechLanguage> spokenLanguages_{SpeechLanguage::English, SpeechLanguage::Japanese};
    std::vector<std::string> unexpected_;
    int busyCount_ = 0;
    int voiceQuestions_ = 0;
    std::shared_ptr<int> busyHeld_ = std::make_shared<int>(0);
};

// Readable failure messages in GoogleTest.
void PrintTo(Answer answer, std::ostream* out);
void PrintTo(Icon icon, std::ostream* out);
void PrintTo(Buttons buttons, std::ostream* out);
void PrintTo(ImeMode mode, std::ostream* out);
void PrintTo(const MessageBox& box, std::ostream* out);
void PrintTo(const FileDialog& dialog, std::ostream* out);
void PrintTo(const ScriptedPlatform::HelpRequest& request, std::ostream* out);
void PrintTo(const ScriptedPlatform::ProgramStart& start, std::ostream* out);
void PrintTo(const ScriptedPlatform::ImeChange& change, std::ostream* out);
void PrintTo(const ScriptedPlatform::Utterance& utterance, std::ostream* out);

}  // namespace platform
