// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_platform.h"
#include "platform/file_dialog_setup.h"

#include "modal_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include <cstdio>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using platform::Answer;
using platform::Buttons;
using platform::FileDialog;
using platform::Icon;
using platform::ImeMode;
using platform::MessageBox;
using platform::QtPlatform;

namespace {

// A help file with topics 1 to 60, long enough to scroll.
QString writeHelpFile(const QTemporaryDir& folder) {
    QFile file(folder.filePath(u"Kotobax.hlp"_s));
    QString html = u"<html><body><h1>目次</h1>"_s;
    for (int topic = 1; topic <= 60; ++topic) {
        html +=
            u"<h2><a name=\"topic%1\"></a>項目 %1</h2>"_s.arg(topic) + u"<p>説明</p>"_s.repeated(5);
    }
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(html.toUtf8()) > 0);
    return file.fileName();
}

QWidget* helpViewer() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"helpViewer"_s) {
            return widget;
        }
    }
    return nullptr;
}

QString firstLineInView(QWidget* viewer) {
    return viewer->findChild<QTextBrowser*>()->cursorForPosition(QPoint(4, 4)).block().text();
}

// Where the keyboard is inside window, as a user's key press would go.
QWidget* keyTarget(QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && window->isAncestorOf(focus) ? focus : window;
}

// Enters the name in a file dialog, pasted (typed, it could open the completion list).
void enterName(QDialog& dialog, const QString& name) {
    auto* box = dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
    ASSERT_NE(box, nullptr);
    box->setText(name);
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

// A file dialog over a shown window, starting in a folder of its own.
class QtPlatformFileDialog : public testing::Test {
protected:
    void SetUp() override {
        window.show();
        request.initialFolder = temp.path();
    }
    QTemporaryDir temp;
    QWidget window;
    QtPlatform platform;
    FileDialog request;
};

// The keyboard starts on the default button, so Enter presses it; an access letter presses
// its button; Escape and the close box answer Cancel, else No, else OK.
TEST(QtPlatformMessageBox, ShowsTheBoxAsGivenAndAnswersByKeyboardAndCloseBox) {
    using B = QDialogButtonBox;
    const B::StandardButtons yesNo = B::Yes | B::No, yesNoCancel = yesNo | B::Cancel;
    const Icon ask = Icon::Question;
    const struct {
        MessageBox box;
        Qt::Key key;  // Key_unknown: the close box
        Answer expected;
        B::StandardButtons buttons;
    } table[] = {
        // clang-format off
        {{u"Good luck!"_s, u"Start!"_s}, Qt::Key_Escape, Answer::Ok, B::Ok},
        {{u"a"_s, u"b"_s, ask, Buttons::YesNo, Answer::Yes, 60}, Qt::Key_Escape, Answer::No, yesNo | B::Help},
        {{u"  a & b  "_s, u"b"_s, Icon::Warning, Buttons::YesNoCancel, Answer::No}, Qt::Key_unknown, Answer::Cancel, yesNoCancel},
        // A button's access letter alone, as "y" for "はい(&Y)".
        {{u"a"_s, u"b"_s, ask, Buttons::YesNoCancel, Answer::No}, Qt::Key_Y, Answer::Yes, yesNoCancel},
        // clang-format on
    };
    QWidget window;
    window.show();
    for (const auto& row : table) {
        SCOPED_TRACE(testing::PrintToString(row.box));
        QtPlatform platform;
        const auto watch = onModal([&](QDialog& dialog) {
            QWidget* box = &dialog;
            EXPECT_EQ(box->windowTitle(), row.box.title);
            EXPECT_EQ(box->findChild<QLabel*>(u"messageText"_s)->text(),
                      QString(row.box.text).replace(u"\r\n"_s, u"\n"_s));
            EXPECT_EQ(box->findChild<QDialogButtonBox*>()->standardButtons(), row.buttons);
            EXPECT_TRUE(QTest::qWaitForWindowActive(box));
            const auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            EXPECT_TRUE(focused != nullptr && focused->isDefault());
            row.key == Qt::Key_unknown ? void(box->close())
                                       : QTest::keyClick(keyTarget(box), row.key);
        });
        EXPECT_EQ(platform.showMessage(&window, row.box), row.expected);
    }
}

// F1 opens the topic and leaves the box open for the answer; the viewer
// takes keys while the box waits, whether or not the box has an owner.
TEST(QtPlatformHelp, HelpLeavesTheBoxOpenAndTheViewerUsable) {
    QTemporaryDir temp;
    QtPlatform platform(writeHelpFile(temp));
    QWidget window;
    window.show();
    MessageBox box{u"逆問題の生成を行います。"_s, u"逆問題"_s, Icon::Question, Buttons::YesNo};
    box.helpTopic = 12;
    for (QWidget* owner : {&window, static_cast<QWidget*>(nullptr)}) {
        QApplication::setActiveWindow(&window);
        const auto watch = onModal([&](QDialog& dialog) {
            QWidget* shown = &dialog;
            EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
            QTest::keyClick(keyTarget(shown), Qt::Key_F1);
            QWidget* viewer = helpViewer();
            ASSERT_TRUE(viewer != nullptr && viewer->isVisible());
            EXPECT_EQ(firstLineInView(viewer), u"項目 12"_s);
            // Through the window system, where a modal box would swallow the key.
            QTest::keyClick(viewer->windowHandle(), Qt::Key_Escape);
            EXPECT_FALSE(viewer->isVisible());
            EXPECT_TRUE(shown->isVisible());
            shown->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes)->click();
        });
        EXPECT_EQ(platform.showMessage(owner, box), Answer::Yes);
    }

    const auto watch = onModal([](QDialog& box) {
        EXPECT_EQ(box.findChild<QLabel*>(u"messageText"_s)->text(),
                  u"none.hlp が見つかりません。"_s);
    });
    platform.showHelp(nullptr, temp.filePath(u"none.hlp"_s), 1);
}

TEST_F(QtPlatformFileDialog, StartsInTheFolderOfTheRememberedFile) {
    const QString words = temp.filePath(u"words"_s), file = words + u"/a.qvw"_s;
    ASSERT_TRUE(QDir().mkpath(words) && QFile(file).open(QIODevice::WriteOnly));
    const QString here = QDir::currentPath(), elsewhere = temp.path();
    const struct {
        QString fileName;
        QString initialFolder;
        platform::detail::DialogStart expected;
    } table[] = {
        {{}, u"   "_s, {here, {}}},              // a blank stored path
        {file, elsewhere, {words, u"a.qvw"_s}},  // the remembered name wins
        {words + u"/gone/x.qvw"_s, elsewhere, {elsewhere, u"x.qvw"_s}},
    };
    for (const auto& row : table) {
        FileDialog dialog;
        dialog.fileName = row.fileName;
        dialog.initialFolder = row.initialFolder;
        EXPECT_EQ(platform::detail::dialogStart(dialog), row.expected)
            << row.fileName.toStdString() << " / " << row.initialFolder.toStdString();
    }
}

// A name typed without the suffix, which the dialog adds.
TEST_F(QtPlatformFileDialog, OpenDialogShowsWordFilesAndAddsTheSuffix) {
    const QString chosen = temp.filePath(u"last.qvw"_s);
    ASSERT_TRUE(QFile(chosen).open(QIODevice::WriteOnly));
    request.initialFolder = chosen;
    const auto watch = onModal([&](QDialog& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(temp.path()).canonicalPath());
        EXPECT_EQ(dialog->nameFilters(), QStringList{u"QRV単語帳 (*.qvw)"_s});
        enterName(modal, u"last"_s);
    });
    EXPECT_EQ(platform.askFileName(&window, request), QDir::toNativeSeparators(chosen));
}

// A save dialog's chosen type lends a bare name its extension and comes back with the name.
TEST_F(QtPlatformFileDialog, SaveDialogAddsTheChosenTypesSuffix) {
    request.kind = platform::FileDialogKind::Save;
    request.filter = u"Text|*.txt|CSV|*.csv|All|*"_s;
    request.defaultSuffix = u"txt"_s;
    const auto watch = onModal([&](QDialog& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr);
        auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);
        enterName(modal, u"words"_s);
    });
    const std::optional<platform::ChosenFile> chosen = platform.askFileAndType(&window, request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path, QDir::toNativeSeparators(temp.filePath(u"words.csv"_s)));
    EXPECT_EQ(chosen->type, 1);
}

// A pipe or a device chosen is refused in the dialog at once, which stays open for another
// choice.
TEST_F(QtPlatformFileDialog, OpenDialogRefusesWhatIsNoFile) {
    const QString pipe = temp.filePath(u"pipe.csv"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    request.title = u"インポート"_s;
    request.filter = u"すべてのファイル|*"_s;
    request.defaultSuffix.clear();
    for (const QString& path : {pipe, u"/dev/null"_s}) {
        SCOPED_TRACE(path.toStdString());
        QString refusal;
        std::unique_ptr<QTimer> again;
        const auto box = onModal("messageBox", [&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), u"インポート"_s);
            refusal = dialog.findChild<QLabel*>(u"messageText"_s)->text();
            again = onModal("QFileDialog", [](QDialog&) {});  // then cancelled
        });
        const auto choose =
            onModal("QFileDialog", [&](QDialog& dialog) { enterName(dialog, path); });
        EXPECT_EQ(platform.askFileName(&window, request), std::nullopt);
        EXPECT_EQ(refusal,
                  u"「%1」はファイルではないため開けません。"_s.arg(QFileInfo(path).fileName()));
    }
}

// Names in the Windows code page are offered for renaming in a folder the user walks to, also by
// a dialog that brings no set of the folders offered (the import's).
TEST_F(QtPlatformFileDialog, OffersTheRenamingInEveryFolderEntered) {
    for (const bool ownSet : {true, false}) {
        SCOPED_TRACE(ownSet);
        const QString folder = temp.filePath(ownSet ? u"own"_s : u"none"_s);
        ASSERT_TRUE(QDir().mkpath(folder + u"/inner"_s));
        FILE* created = std::fopen((QFile::encodeName(folder) + "/\x8C\xEA.qvw").constData(), "w");
        ASSERT_NE(created, nullptr);
        std::fclose(created);
        QSet<QString> offered;
        request.initialFolder = folder + u"/inner"_s;
        request.namesOffered = ownSet ? &offered : nullptr;
        const auto yes = onModal("messageBox", [](QDialog& dialog) {
            EXPECT_TRUE(
                dialog.findChild<QLabel*>(u"messageText"_s)->text().contains(u"→ 語.qvw"_s));
            QTest::keyClick(keyTarget(&dialog), Qt::Key_Y);
        });
        const auto walk = onModal("QFileDialog", [&](QDialog& dialog) {
            auto* up = dialog.findChild<QAbstractButton*>(u"toParentButton"_s);
            ASSERT_NE(up, nullptr);
            up->click();
        });
        EXPECT_EQ(platform.askFileName(&window, request), std::nullopt);
        EXPECT_TRUE(QFileInfo::exists(folder + u"/語.qvw"_s));
        EXPECT_EQ(offered.contains(QFileInfo(folder).absoluteFilePath()), ownSet);
    }
}

// Off makes a box refuse the input method; a later mode gives the box its own answers back.
TEST(QtPlatformIme, BoxRefusesTheInputMethodOnlyWhileOff) {
    QLineEdit line(u"word"_s);
    QtPlatform platform;
    const auto query = [&](Qt::InputMethodQuery what) {
        QInputMethodQueryEvent event(what);
        QCoreApplication::sendEvent(&line, &event);
        return event.value(what);
    };
    platform.setImeMode(&line, ImeMode::Off);
    EXPECT_FALSE(query(Qt::ImEnabled).toBool());
    EXPECT_EQ(query(Qt::ImSurroundingText).toString(), u"word"_s);
    platform.setImeMode(&line, ImeMode::On);
    EXPECT_TRUE(query(Qt::ImEnabled).toBool());
    EXPECT_EQ(platform::imeMode(&line), ImeMode::On);
}

// The program runs with its arguments whole, and the caller is told whether it started.
TEST(QtPlatform, StartProgramStartsOnlyAProgramThatExists) {
    QtPlatform platform;
    QTemporaryDir temp;
    for (const QString& missing : {temp.filePath(u"missing"_s), temp.path()}) {
        EXPECT_FALSE(platform.startProgram(missing, {})) << missing.toStdString();
    }
    QFile program(temp.filePath(u"Brelmi"_s));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\nprintf '%s' \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\"\n");
    program.close();
    EXPECT_FALSE(platform.startProgram(program.fileName(), {}));  // not yet executable
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    const QString said = temp.filePath(u"said"_s);
    ASSERT_TRUE(platform.startProgram(program.fileName(), {u"two words"_s, said}));
    // Not waited for, so it runs when the system gets to it: a minute bounds only a program
    // that never runs, however loaded the machine.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(said); }, 60000));
    QFile written(said);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "two words");
}
