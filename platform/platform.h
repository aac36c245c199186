// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/ime_mode.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

#include "common/outcome.h"

class QObject;

class QWidget;

// What the windows need from the desktop, behind one interface: production code uses
// QtPlatform, tests use ScriptedPlatform, which answers from a queue and records what was shown.
namespace platform {

enum class Icon { None, Warning, Question };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct MessageBox {
    QString text{};
    QString title{};
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultButton = Answer::Ok;  // Ok for Buttons::Ok, else Yes unless stated
    std::optional<int> helpTopic{};     // a Help button that opens this topic of the help file

    friend bool operator==(const MessageBox&, const MessageBox&) = default;
};

inline const QString kWordFileFilter = QStringLiteral("QRV単語帳|*.qvw");
inline const QString kWordFileSuffix = QStringLiteral("qvw");

// Folder: an existing folder is chosen; its path is the name returned.
enum class FileDialogKind { Open, Save, Folder };

struct FileDialog {
    FileDialogKind kind = FileDialogKind::Open;
    QString title{};
    QString fileName{};       // the name the dialog remembers from its last use, may be empty
    QString initialFolder{};  // a folder, or a file's full path (the dialog starts in its folder)
    QString filter = kWordFileFilter;  // "description|pattern", shown the Qt way
    QString defaultSuffix = kWordFileSuffix;
    // Folders already offered the renaming of names in the Windows code page (see
    // name_repair.h); an open dialog offers it in every folder the user enters, and keeps
    // them here (or in a set of the platform's own).
    QSet<QString>* namesOffered = nullptr;

    friend bool operator==(const FileDialog&, const FileDialog&) = default;
};

// A file name with the type chosen beside it: the index of its pair in FileDialog::filter.
struct ChosenFile {
    QString path;
    int type = 0;

    friend bool operator==(const ChosenFile&, const ChosenFile&) = default;
};

using common::ImeMode;

enum class SpeechLanguage { English, Japanese };
// Slow is for listening once more to what went by too fast.
enum class SpeechPace { Normal, Slow };

class Platform {
public:
    virtual ~Platform() = default;

    // Modal; returns the button pressed, the close box answering Cancel, else No, else Ok.
    virtual Answer showMessage(QWidget* parent, const MessageBox& box) = 0;

    // The one warning every window shows: the text with a warning icon and an OK button.
    void warn(QWidget* parent, const QString& text, const QString& title);
    // The same for a failed read or write: a line before the outcome's reason, when it has one.
    void warn(QWidget* parent, const QString& lead, const common::Outcome& outcome,
              const QString& title);

    // Open: the file must exist. Save: asks before overwriting; a name without extension gets
    // the chosen type's (else the default suffix). Folder: an existing folder, the filter and
    // suffix unused. nullopt when cancelled.
    virtual std::optional<ChosenFile> askFileAndType(QWidget* parent, const FileDialog& dialog) = 0;
    // The same when the type does not matter.
    std::optional<QString> askFileName(QWidget* parent, const FileDialog& dialog);

    // Opens helpFile at a topic number (0: the contents), without blocking.
    virtual void showHelp(QWidget* parent, const QString& helpFile, int topic) = 0;

    // Starts a program detached with its window shown normally; false when it cannot start.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;

    // Applied to a QLineEdit, QTextEdit or QPlainTextEdit; readable back with imeMode(). On
    // and Off also switch the desktop's input method, where a known framework runs.
    virtual void setImeMode(QWidget* box, ImeMode mode) = 0;

    // Empty when text can be spoken, as far as can be told without starting the speech
    // engine before it is first needed; otherwise why not, in words for the user.
    virtual QString speechUnavailableReason() = 0;
    // Speaks text with a voice of the language, cutting short what is still being spoken,
    // without waiting; false when no voice speaks the language.
    virtual bool speak(const QString& text, SpeechLanguage language, SpeechPace pace) = 0;
    // False when speech is unavailable or no voice speaks the language; true while that cannot
    // be told yet (the speech server is asked, and onSpeechChanged tells when it has answered).
    virtual bool hasVoice(SpeechLanguage language) = 0;
    // Calls changed, for as long as receiver lives, whenever speechUnavailableReason() changes
    // by itself (the speech server stopped answering, or answers again) or the voices that
    // hasVoice() knows of change.
    virtual void onSpeechChanged(QObject* receiver, std::function<void()> changed) = 0;

    // The INI file, shared by both programs, of the options that "qrvwr.dat" has no room for.
    virtual QString preferencesFile() const = 0;

    // The busy pointer, shown while the returned guard lives.
    [[nodiscard]] virtual std::shared_ptr<void> busy() = 0;

    // The folder of the running program file, ending in a separator.
    virtual QString programFolder() const = 0;
};

// The mode a box was last given through setImeMode(); NoControl when never set.
ImeMode imeMode(const QWidget* box);

// Speaks text with the voice its letters call for: English for Latin letters, Japanese for
// kana or kanji; text with neither is not spoken.
// False when it was not spoken.
bool speakInItsLanguage(Platform& platform, const QString& text,
                        SpeechPace pace = SpeechPace::Normal);
// The voice a text's letters call for; none for text without letters.
std::optional<SpeechLanguage> languageOf(const QString& text);

// The executable name of a program of this system on this platform ("Brelmi.exe" on Windows).
QString executableName(const QString& baseName);

}  // namespace platform
