// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_platform.h"

#include "platform/file_dialog_setup.h"
#include "platform/help_viewer.h"
#include "platform/ime_switch.h"
#include "platform/message_dialog.h"
#include "platform/name_repair.h"
#include "platform/platform_detail.h"
#include "platform/speaker.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_WIN
#include <imm.h>
#include <windows.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_WIN
// Opens or closes the input method of the box's window; the box has the focus or is about to.
void setImeOpen(QWidget* box, bool open) {
    const auto window = reinterpret_cast<HWND>(box->window()->winId());
    if (HIMC context = ImmGetContext(window)) {
        ImmSetOpenStatus(context, open ? TRUE : FALSE);
        ImmReleaseContext(window, context);
    }
}
#endif

}  // namespace

QtPlatform::QtPlatform(QString helpFile) : helpFile_(std::move(helpFile)) {}

QtPlatform::~QtPlatform() = default;

QString QtPlatform::helpFile() const {
    return helpFile_.isEmpty() ? programFolder() + QStringLiteral("Kotobax.hlp") : helpFile_;
}

Answer QtPlatform::showMessage(QWidget* parent, const MessageBox& box) {
    // A box without an owner would block every window, the help viewer too.
    detail::MessageDialog dialog(parent != nullptr ? parent : QApplication::activeWindow(), box);
    QObject::connect(&dialog, &detail::MessageDialog::helpRequested, &dialog,
                     [this, &dialog](int topic) { showHelp(&dialog, helpFile(), topic); });
    dialog.exec();
    return dialog.answer();
}

std::optional<ChosenFile> QtPlatform::askFileAndType(QWidget* parent, const FileDialog& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("fileDialog"));
#ifndef Q_OS_WIN
    // The same dialog on every desktop, and under a bare X server.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    const bool save = request.kind == FileDialogKind::Save;
    const bool folder = request.kind == FileDialogKind::Folder;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save     ? QFileDialog::AnyFile
                       : folder ? QFileDialog::Directory
                                : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ShowDirsOnly, folder);
    const QStringList types = folder ? QStringList() : detail::qtNameFilters(request.filter);
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // A name typed without extension gets the chosen type's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& type) {
        const QString suffix = detail::typeSuffix(request.filter, int(types.indexOf(type)));
        dialog.setDefaultSuffix(suffix.isEmpty() ? request.defaultSuffix : suffix);
    });

    const detail::DialogStart start = detail::dialogStart(request);
    dialog.setDirectory(start.folder);
    if (!start.fileName.isEmpty()) {
        dialog.selectFile(start.fileName);
    }
    if (request.kind == FileDialogKind::Open) {
        // Qt's dialog cannot show names in the Windows code page: offered in each folder the
        // user walks to as well.
        QSet<QString>* offered =
            request.namesOffered != nullptr ? request.namesOffered : &namesOffered_;
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                         [this, &dialog, offered](const QString& folder) {
                             offerNameRepair(*this, &dialog, folder, *offered);
                         });
    }
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString chosen = dialog.selectedFiles().constFirst();
        // A pipe or a device might never end, a folder is no file: refused while the user can
        // still choose another.
        if (const QFileInfo info(chosen); !save && !folder && info.exists() && !info.isFile()) {
            warn(&dialog,
                 QStringLiteral("「%1」はファイルではないため開けません。").arg(info.fileName()),
                 request.title.isEmpty() ? dialog.windowTitle() : request.title);
            continue;
        }
        return ChosenFile{QDir::toNativeSeparators(chosen),
                          int(std::max<qsizetype>(types.indexOf(dialog.selectedNameFilter()), 0))};
    }
    return std::nullopt;
}

void QtPlatform::showHelp(QWidget* parent, const QString& helpFile, int topic) {
    if (!helpViewer_) {
        helpViewer_ = std::make_unique<detail::HelpViewer>();
    }
    if (helpViewer_->showTopic(helpFile, topic)) {
        return;
    }
    const QString name = QFileInfo(helpFile).fileName();
    warn(parent,
         QFileInfo::exists(helpFile) ? name + QStringLiteral(" を開けません。")
                                     : name + QStringLiteral(" が見つかりません。"),
         QStringLiteral("ヘルプ"));
}

bool QtPlatform::startProgram(const QString& program, const QStringList& arguments) {
    if (!QFileInfo(program).isFile()) {
        return false;
    }
    return QProcess::startDetached(program, arguments);
}

void QtPlatform::setImeMode(QWidget* box, ImeMode mode) {
    detail::storeImeMode(box, mode);
    if (box == nullptr || mode == ImeMode::NoControl) {
        return;
    }
#ifdef Q_OS_WIN
    setImeOpen(box, mode == ImeMode::On);
#else
    if (!imeSwitch_) {
        const QString ibus = detail::ImeSwitch::ibusAddress();
        imeSwitch_ = std::make_unique<detail::ImeSwitch>(
            QDBusConnection::sessionBus(),
            ibus.isEmpty() ? QDBusConnection(QStringLiteral("kotobax-no-ibus"))
                           : QDBusConnection::connectToBus(ibus, QStringLiteral("kotobax-ibus")));
    }
    // The frameworks switch the input context that has the focus: once the box has taken it.
    QTimer::singleShot(0, box, [this, box = QPointer<QWidget>(box), open = mode == ImeMode::On] {
        if (box && box->hasFocus()) {
            imeSwitch_->setOpen(open);
        }
    });
#endif
}

detail::Speaker& QtPlatform::speaker() {
    if (!speaker_) {
        speaker_ = std::make_unique<detail::Speaker>();
    }
    return *speaker_;
}

QString QtPlatform::speechUnavailableReason() {
    return speaker().unavailableReason();
}

bool QtPlatform::speak(const QString& text, SpeechLanguage language, SpeechPace pace) {
    return speaker().speak(text, language, pace);
}

bool QtPlatform::hasVoice(SpeechLanguage language) {
    return speaker().hasVoice(language);
}

void QtPlatform::onSpeechChanged(QObject* receiver, std::function<void()> changed) {
    QObject::connect(&speaker(), &detail::Speaker::changed, receiver, std::move(changed));
}

QString QtPlatform::preferencesFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kotobax/preferences.ini");
}

std::shared_ptr<void> QtPlatform::busy() {
    static char token = 0;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    return {&token, [](char*) { QGuiApplication::restoreOverrideCursor(); }};
}

QString QtPlatform::programFolder() const {
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    return folder;
}

}  // namespace platform
