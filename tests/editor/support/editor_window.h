#pragma once

#include "editor/document/frm_edit.h"
#include "editor/entries/entry_form_view.h"
#include "editor/entries/entry_list_view.h"
#include "platform/scripted_platform.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// The editor window on a scripted platform, with the small steps a user takes.
struct EditorWindow {
    platform::ScriptedPlatform platform;
    std::unique_ptr<editor::frmEdit> window;

    EditorWindow() { start(); }

    void start() {
        window = std::make_unique<editor::frmEdit>(platform);
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    template <typename T = QWidget>
    T* find(const QString& name) const {
        T* child = window->findChild<T*>(name);
        if (!child) {
            ADD_FAILURE() << "no " << name.toStdString();
        }
        return child;
    }
    QAction* action(const QString& name) const { return find<QAction>(name); }
    QPushButton* button(const QString& name) const { return find<QPushButton>(name); }
    QLineEdit* box(const QString& name) const { return find<QLineEdit>(name); }
    editor::EntryListView& list() const { return window->lstQuestion(); }
    editor::EntryFormView& form() const { return window->entryForm(); }
    editor::Document& document() const { return window->document(); }

    void trigger(const QString& name) { action(name)->trigger(); }
    void press(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // Types into the form as a user would, replacing what the boxes held.
    void type(const QString& question, std::array<QString, 4> rights = {},
              const QString& information = {}) {
        auto typeInto = [](QWidget* box, const QString& text) {
            box->setFocus();
            QTest::keyClicks(box, text);
        };
        form().txtQuestion()->clear();
        typeInto(form().txtQuestion(), question);
        for (int i = 0; i < 4; ++i) {
            form().txtRight(i)->clear();
            typeInto(form().txtRight(i), rights[i]);
        }
        form().txtInformation()->clear();
        typeInto(form().txtInformation(), information);
    }

    QPoint centreOf(int row) const {
        return list().visualRect(list().model()->index(row, 0)).center();
    }
    void clickEntry(int row, Qt::KeyboardModifiers modifiers = {}) {
        list().scrollTo(list().model()->index(row, 0));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, modifiers, centreOf(row));
    }

    QString path(const QString& name) const { return platform.programFolder() + name; }
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            ADD_FAILURE() << "cannot write " << name.toStdString();
        }
        return file.fileName();
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
    std::array<QString, 4> answerBoxes() const {
        return {form().txtRight(0)->text(), form().txtRight(1)->text(), form().txtRight(2)->text(),
                form().txtRight(3)->text()};
    }
    QString count() const { return form().lblRightCount()->text(); }
    // cmdInsert, cmdChange, cmdRemove, cmdReverse: which are enabled.
    std::array<bool, 4> entryButtons() const {
        return {button("cmdInsert")->isEnabled(), button("cmdChange")->isEnabled(),
                button("cmdRemove")->isEnabled(), button("cmdReverse")->isEnabled()};
    }
};
