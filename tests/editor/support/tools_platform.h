#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>
#include <utility>

// Answers message boxes from a queue and records what the tools asked of the desktop.
class ToolsPlatform : public platform::Platform {
public:
    std::deque<platform::Answer> answers;
    QList<platform::MessageBox> shown;
    QList<int> helpTopics;
    QHash<const QWidget*, platform::ImeMode> modes;
    QList<const QWidget*> modeOrder;
    int busyNow = 0;
    int busyTimes = 0;
    std::function<void()> whileShowing;  // runs while the next box is shown

    platform::Answer showMessage(QWidget*, const platform::MessageBox& box) override {
        shown.append(box);
        if (whileShowing) {
            std::exchange(whileShowing, nullptr)();
        }
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected message: " << box.text.toStdString();
            return box.buttons == platform::Buttons::Ok ? platform::Answer::Ok
                                                        : platform::Answer::No;
        }
        const platform::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> askFileName(QWidget*, const platform::FileDialog&) override {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    void showHelp(QWidget*, const QString&, int topic) override { helpTopics.append(topic); }
    bool startProgram(const QString&, const QStringList&) override { return false; }
    void setImeMode(QWidget* box, platform::ImeMode mode) override {
        modes.insert(box, mode);
        modeOrder.append(box);
    }
    std::shared_ptr<void> busy() override {
        ++busyNow;
        ++busyTimes;
        return std::shared_ptr<void>(nullptr, [this](void*) { --busyNow; });
    }
    QString programFolder() const override { return QStringLiteral("/tmp/"); }

    platform::ImeMode modeOf(const QWidget* box) const {
        return modes.value(box, platform::ImeMode::NoControl);
    }
};
