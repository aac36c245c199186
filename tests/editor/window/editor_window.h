// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/window/entry_form_view.h"
#include "editor/window/entry_list_view.h"
#include "editor/window/file_commands.h"
#include "editor/window/frm_edit.h"
#include "file_bytes.h"
#include "modal_dialog.h"
#include "platform/scripted_platform.h"
#include "review/review_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

// An entry of its own: two answers and information derived from its question.
inline common::Entry entryOf(const QString& question) {
    return {question, question + QStringLiteral("1|@2|") + question + QStringLiteral("2"),
            question + QStringLiteral("\\ninfo")};
}
inline QList<common::Entry> entriesOf(const QStringList& questions) {
    QList<common::Entry> entries;
    for (const QString& question : questions) {
        entries.append(entryOf(question));
    }
    return entries;
}
using kxtest::readBytes;

// A question with Yes as its default, as the editor asks them.
inline platform::MessageBox question(const QString& text, const QString& title,
                                     platform::Buttons buttons = platform::Buttons::YesNo,
                                     std::optional<int> helpTopic = {}) {
    return {text, title, platform::Icon::Question, buttons, platform::Answer::Yes, helpTopic};
}
// Asked before a modified document is dropped.
inline platform::MessageBox saveQuestion() {
    return question(QStringLiteral("編集中のﾌｧｲﾙが変更されています。\r\n保存しますか？"),
                    QStringLiteral("変更"), platform::Buttons::YesNoCancel);
}

inline void click(QWidget* parent, const QString& button) {
    QTest::mouseClick(parent->findChild<QPushButton*>(button), Qt::LeftButton);
}

// The editor window on a scripted platform, with the steps a user takes.
struct EditorWindow {
    platform::ScriptedPlatform platform;
    review::ReviewStore* history = nullptr;  // for the windows start() makes
    std::unique_ptr<editor::frmEdit> window;

    // The document holds the given entries, as if opened from a file.
    explicit EditorWindow(const QStringList& questions = {}, review::ReviewStore* reviews = nullptr)
        : history(reviews) {
        start();
        document().replaceAll(entriesOf(questions));
    }
    // Every box and dialog was answered by the test's script.
    ~EditorWindow() { EXPECT_THAT(platform.unexpected(), testing::IsEmpty()); }
    void start() {
        window = history ? std::make_unique<editor::frmEdit>(platform, *history)
                         : std::make_unique<editor::frmEdit>(platform);
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    template <typename T = QWidget>
    T* find(const QString& name) const {
        T* child = window->findChild<T*>(name);
        EXPECT_TRUE(child) << name.toStdString();
        return child;
    }
    editor::EntryListView& list() const { return window->lstQuestion(); }
    editor::EntryFormView& form() const { return window->entryForm(); }
    editor::Document& document() const { return window->document(); }
    void trigger(const QString& name) { find<QAction>(name)->trigger(); }
    void press(const QString& name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }

    // Key presses carrying each character, as an input method sends Japanese text.
    static void typeText(QWidget* box, const QString& text) {
        box->setFocus();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, length), {});
            i += length - 1;
        }
    }
    // Types a whole form, replacing what the boxes held.
    void type(const QString& question, std::array<QString, 4> rights = {},
              const QString& information = {}) {
        form().clear();
        typeText(form().txtQuestion(), question);
        for (int i = 0; i < 4; ++i) {
            typeText(form().txtRight(i), rights[i]);
        }
        typeText(form().txtInformation(), information);
    }

    QPoint centreOf(int row) const {
        return list().visualRect(list().model()->index(row, 0)).center();
    }
    void clickEntry(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, modifiers, centreOf(row));
    }
    common::Entry shown() const { return editor::entryFromForm(form().contents()); }

    QString path(const QString& name) const { return platform.programFolder() + name; }
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        kxtest::writeBytes(path(name), bytes);
        return path(name);
    }
    void open(const QString& file) {
        platform.fileNames({file});
        trigger(QStringLiteral("File_Open"));
    }
    QStringList questions() const {
        QStringList all;
        for (const common::Entry& entry : document().entries()) {
            all.append(entry.question);
        }
        return all;
    }
    // cmdInsert, cmdChange, cmdRemove, cmdReverse: which are enabled.
    std::array<bool, 4> entryButtons() const {
        const char* names[] = {"cmdInsert", "cmdChange", "cmdRemove", "cmdReverse"};
        std::array<bool, 4> enabled{};
        std::transform(std::begin(names), std::end(names), enabled.begin(),
                       [this](const char* n) { return find<QPushButton>(n)->isEnabled(); });
        return enabled;
    }
};
