// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/platform_detail.h"

#include <QEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QWidget>

#include "common/text_script.h"

namespace platform {

namespace {

constexpr char kImeModeProperty[] = "kxImeMode";
constexpr char kImeFilterProperty[] = "kxImeFilter";

// Answers the input-method queries of a box in place of the box while its mode is Off. Qt asks
// the focus widget whether it takes input-method text; a box that says no gets plain keys.
class ImeOffFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::InputMethodQuery) {
            return false;
        }
        auto* box = qobject_cast<QWidget*>(watched);
        // A read-only box has no input method anyway; leave it to Qt.
        if (box == nullptr || imeMode(box) != ImeMode::Off ||
            !box->testAttribute(Qt::WA_InputMethodEnabled)) {
            return false;
        }
        auto* query = static_cast<QInputMethodQueryEvent*>(event);
        const Qt::InputMethodQueries queries = query->queries();
        for (unsigned bit = 0; bit < 32; ++bit) {
            const auto one = static_cast<Qt::InputMethodQuery>(1u << bit);
            if (queries.testFlag(one)) {
                query->setValue(
                    one, one == Qt::ImEnabled ? QVariant(false) : box->inputMethodQuery(one));
            }
        }
        query->accept();
        return true;
    }
};

}  // namespace

ImeMode imeMode(const QWidget* box) {
    if (box == nullptr) {
        return ImeMode::NoControl;
    }
    switch (box->property(kImeModeProperty).toInt()) {
        case static_cast<int>(ImeMode::On):
            return ImeMode::On;
        case static_cast<int>(ImeMode::Off):
            return ImeMode::Off;
        default:
            return ImeMode::NoControl;
    }
}

std::optional<QString> Platform::askFileName(QWidget* parent, const FileDialog& dialog) {
    std::optional<ChosenFile> chosen = askFileAndType(parent, dialog);
    return chosen ? std::optional<QString>(std::move(chosen->path)) : std::nullopt;
}

void Platform::warn(QWidget* parent, const QString& text, const QString& title) {
    showMessage(parent, {text, title, Icon::Warning, Buttons::Ok, Answer::Ok, std::nullopt});
}

void Platform::warn(QWidget* parent, const QString& lead, const common::Outcome& outcome,
                    const QString& title) {
    warn(parent, outcome.reason.isEmpty() ? lead : lead + QStringLiteral("\r\n") + outcome.reason,
         title);
}

QString executableName(const QString& baseName) {
#ifdef Q_OS_WIN
    return baseName + QStringLiteral(".exe");
#else
    return baseName;
#endif
}

namespace detail {

void storeImeMode(QWidget* box, ImeMode mode) {
    if (box == nullptr) {
        return;
    }
    const ImeMode before = imeMode(box);
    box->setProperty(kImeModeProperty, static_cast<int>(mode));
    if (mode == ImeMode::Off && !box->property(kImeFilterProperty).toBool()) {
        box->installEventFilter(new ImeOffFilter(box));  // owned by the box
        box->setProperty(kImeFilterProperty, true);
    }
    // The input method asks again only when told; a box that has the focus now must be asked.
    if (before != mode && box->hasFocus() && qobject_cast<QGuiApplication*>(qApp) != nullptr) {
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }
}

Answer closeBoxAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNoCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::Ok:
            break;
    }
    return Answer::Ok;
}

bool offers(Buttons buttons, Answer answer) {
    switch (buttons) {
        case Buttons::Ok:
            return answer == Answer::Ok;
        case Buttons::YesNo:
            return answer == Answer::Yes || answer == Answer::No;
        case Buttons::YesNoCancel:
            return answer != Answer::Ok;
    }
    return false;
}

}  // namespace detail
std::optional<SpeechLanguage> languageOf(const QString& text) {
    switch (common::textScript(text)) {
        case common::Script::Japanese:
            return SpeechLanguage::Japanese;
        case common::Script::Latin:
            return SpeechLanguage::English;
        case common::Script::None:
            break;
    }
    return std::nullopt;
}

bool speakInItsLanguage(Platform& platform, const QString& text, SpeechPace pace) {
    const std::optional<SpeechLanguage> language = languageOf(text);
    return language && platform.speak(text, *language, pace);
}

}  // namespace platform
