// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/scripted_platform.h"

#include "platform/platform_detail.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <ostream>

namespace platform {

namespace {

std::string kindName(FileDialogKind kind) {
    switch (kind) {
        case FileDialogKind::Open:
            return "open";
        case FileDialogKind::Save:
            return "save";
        case FileDialogKind::Folder:
            return "folder";
    }
    return "?";
}

const char* name(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "Ok";
        case Answer::Yes:
            return "Yes";
        case Answer::No:
            return "No";
        case Answer::Cancel:
            return "Cancel";
    }
    return "?";
}

const char* name(Icon icon) {
    switch (icon) {
        case Icon::None:
            return "None";
        case Icon::Warning:
            return "Warning";
        case Icon::Question:
            return "Question";
    }
    return "?";
}

const char* name(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return "Ok";
        case Buttons::YesNo:
            return "YesNo";
        case Buttons::YesNoCancel:
            return "YesNoCancel";
    }
    return "?";
}

const char* name(ImeMode mode) {
    switch (mode) {
        case ImeMode::NoControl:
            return "NoControl";
        case ImeMode::On:
            return "On";
        case ImeMode::Off:
            return "Off";
    }
    return "?";
}

// Quoted, with line ends visible, so that a stray CR or LF shows in a failure message.
std::string quoted(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r"), QLatin1String("\\r"));
    shown.replace(QLatin1String("\n"), QLatin1String("\\n"));
    return '"' + shown.toStdString() + '"';
}

std::string describe(const MessageBox& box) {
    std::string text = "box " + quoted(box.text) + " titled " + quoted(box.title) + " (" +
                       name(box.buttons) + ", default " + name(box.defaultButton);
    if (box.helpTopic) {
        text += ", help topic " + std::to_string(*box.helpTopic);
    }
    return text + ")";
}

QString withSeparator(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    return folder;
}

}  // namespace

ScriptedPlatform::ScriptedPlatform() : ownFolder_(std::make_unique<QTemporaryDir>()) {
    programFolder_ = withSeparator(QDir::toNativeSeparators(ownFolder_->path()));
}

ScriptedPlatform::~ScriptedPlatform() = default;

void ScriptedPlatform::answers(std::initializer_list<Answer> next) {
    answers_.insert(answers_.end(), next.begin(), next.end());
}

void ScriptedPlatform::fileNames(std::initializer_list<std::optional<QString>> next) {
    fileNames_.insert(fileNames_.end(), next.begin(), next.end());
}

void ScriptedPlatform::fileTypes(std::initializer_list<int> next) {
    fileTypes_.insert(fileTypes_.end(), next.begin(), next.end());
}

void ScriptedPlatform::setStartResult(const QString& program, bool starts) {
    startResults_[program] = starts;
}

void ScriptedPlatform::setProgramFolder(const QString& folder) {
    programFolder_ = withSeparator(folder);
}

void ScriptedPlatform::setOnMessage(std::function<void(const MessageBox&)> onMessage) {
    onMessage_ = std::move(onMessage);
}

void ScriptedPlatform::clearRecords() {
    shown_.clear();
    fileDialogs_.clear();
    helpRequests_.clear();
    programsStarted_.clear();
    imeChanges_.clear();
    spoken_.clear();
    unexpected_.clear();
    busyCount_ = 0;
    voiceQuestions_ = 0;
}

Answer ScriptedPlatform::showMessage(QWidget*, const MessageBox& box) {
    shown_.push_back(box);
    if (onMessage_) {
        onMessage_(box);
    }
    if (!detail::offers(box.buttons, box.defaultButton)) {
        unexpected_.push_back(describe(box) + ": the default is not one of its buttons");
    }
    if (answers_.empty()) {
        unexpected_.push_back(describe(box) + " shown with no answer queued");
        return detail::closeBoxAnswer(box.buttons);
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    if (!detail::offers(box.buttons, answer)) {
        unexpected_.push_back(describe(box) + " answered " + name(answer) +
                              ", which is not one of its buttons");
    }
    return answer;
}

std::optional<ChosenFile> ScriptedPlatform::askFileAndType(QWidget*, const FileDialog& dialog) {
    fileDialogs_.push_back(dialog);
    int type = 0;
    if (!fileTypes_.empty()) {
        type = fileTypes_.front();
        fileTypes_.pop_front();
    }
    if (fileNames_.empty()) {
        unexpected_.push_back(kindName(dialog.kind) + " dialog " + quoted(dialog.title) +
                              " shown with no file name queued");
        return std::nullopt;
    }
    const bool chosen = fileNames_.front().has_value();
    const QString fileName = chosen ? *fileNames_.front() : QString();
    fileNames_.pop_front();
    return chosen ? std::optional<ChosenFile>(ChosenFile{fileName, type}) : std::nullopt;
}

void ScriptedPlatform::showHelp(QWidget*, const QString& helpFile, int topic) {
    helpRequests_.push_back({helpFile, topic});
}

bool ScriptedPlatform::startProgram(const QString& program, const QStringList& arguments) {
    const auto decided = startResults_.find(program);
    const bool started =
        decided != startResults_.end() ? decided->second : QFileInfo(program).isFile();
    programsStarted_.push_back({program, arguments, started});
    return started;
}

void ScriptedPlatform::setImeMode(QWidget* box, ImeMode mode) {
    detail::storeImeMode(box, mode);
    imeChanges_.push_back({box != nullptr ? box->objectName() : QString(), mode});
}

void ScriptedPlatform::setSpokenLanguages(std::vector<SpeechLanguage> languages) {
    spokenLanguages_ = std::move(languages);
}

void ScriptedPlatform::setSpeechUnavailable(const QString& reason) {
    speechUnavailable_ = reason;
    for (const auto& [receiver, changed] : speechWatchers_) {
        if (receiver) {
            changed();
        }
    }
}

void ScriptedPlatform::onSpeechChanged(QObject* receiver, std::function<void()> changed) {
    speechWatchers_.emplace_back(receiver, std::move(changed));
}

bool ScriptedPlatform::speak(const QString& text, SpeechLanguage language, SpeechPace pace) {
    if (!speechUnavailable_.isEmpty()) {
        unexpected_.push_back("spoken though speech is unavailable: " + text.toStdString());
        return false;
    }
    if (!hasVoice(language)) {
        return false;
    }
    spoken_.push_back({text, language, pace});
    return true;
}

bool ScriptedPlatform::hasVoice(SpeechLanguage language) {
    ++voiceQuestions_;
    return speechUnavailable_.isEmpty() &&
           std::find(spokenLanguages_.begin(), spokenLanguages_.end(), language) !=
               spokenLanguages_.end();
}

QString ScriptedPlatform::preferencesFile() const {
    return ownFolder_->filePath(QStringLiteral("config/kotobax/preferences.ini"));
}

std::shared_ptr<void> ScriptedPlatform::busy() {
    ++busyCount_;
    ++*busyHeld_;
    // The guard may outlive the platform; it keeps the counter alive.
    std::shared_ptr<int> held = busyHeld_;
    return {held.get(), [held](int* count) { --*count; }};
}

QString ScriptedPlatform::programFolder() const {
    return programFolder_;
}

void PrintTo(Answer answer, std::ostream* out) {
    *out << name(answer);
}

void PrintTo(Icon icon, std::ostream* out) {
    *out << name(icon);
}

void PrintTo(Buttons buttons, std::ostream* out) {
    *out << name(buttons);
}

void PrintTo(ImeMode mode, std::ostream* out) {
    *out << name(mode);
}

void PrintTo(const MessageBox& box, std::ostream* out) {
    *out << "{text " << quoted(box.text) << ", title " << quoted(box.title) << ", icon "
         << name(box.icon) << ", buttons " << name(box.buttons) << ", default "
         << name(box.defaultButton) << ", help topic ";
    if (box.helpTopic) {
        *out << *box.helpTopic;
    } else {
        *out << "none";
    }
    *out << '}';
}

void PrintTo(const FileDialog& dialog, std::ostream* out) {
    *out << '{' << kindName(dialog.kind) << ", title " << quoted(dialog.title) << ", file name "
         << quoted(dialog.fileName) << ", initial folder " << quoted(dialog.initialFolder)
         << ", filter " << quoted(dialog.filter) << ", suffix " << quoted(dialog.defaultSuffix)
         << '}';
}

void PrintTo(const ScriptedPlatform::HelpRequest& request, std::ostream* out) {
    *out << '{' << quoted(request.helpFile) << ", topic " << request.topic << '}';
}

void PrintTo(const ScriptedPlatform::ProgramStart& start, std::ostream* out) {
    *out << '{' << quoted(start.program) << ", arguments " << quoted(start.arguments.join(' '))
         << (start.started ? ", started}" : ", not started}");
}

void PrintTo(const ScriptedPlatform::ImeChange& change, std::ostream* out) {
    *out << '{' << quoted(change.boxName) << ", " << name(change.mode) << '}';
}

void PrintTo(const ScriptedPlatform::Utterance& utterance, std::ostream* out) {
    *out << '{' << quoted(utterance.text) << ", "
         << (utterance.language == SpeechLanguage::Japanese ? "Japanese" : "English")
         << (utterance.pace == SpeechPace::Slow ? ", slow}" : "}");
}

}  // namespace platform
