#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "common/ansi_text.h"
#include "drill/engine/drill_view.h"
#include "drill/engine/mod_main.h"
#include "given_random.h"
#include "platform/scripted_platform.h"

namespace drill::test {

// The window as the engine leaves it: each control's text by its name, "vsRight" as the paged
// answers and last page ("" while hidden), "cmdOK" and "TIM" as on or off.
class ScreenView final : public DrillView {
public:
    common::DrillModeValue mode = common::kNormalMode;
    QMap<QString, QString> screen;
    QStringList informationHistory;

    common::DrillModeValue drillMode() const override { return mode; }
    QString answerText() const override { return screen.value("txtAnswer"); }
    void setAnswerText(const QString& text) override { screen["txtAnswer"] = text; }
    void focusAnswer() override { screen["focus"] = "txtAnswer"; }
    void setQuestionText(const QString& text) override { screen["txtQuestion"] = text; }
    void setRightText(int box, const QString& text) override {
        screen[QStringLiteral("txtRight%1").arg(box)] = text;
    }
    void showRightPages(const QString& joined, int lastPage) override {
        screen["vsRight"] = joined + " #" + QString::number(lastPage);
    }
    void hideRightPages() override { screen["vsRight"] = ""; }
    void setInformationText(const QString& text) override {
        screen["txtInformation"] = text;
        informationHistory.append(text);
    }
    void setResultText(const QString& text) override { screen["lblResult"] = text; }
    void setCountText(const QString& text) override { screen["lblCount"] = text; }
    void setTimeText(const QString& text) override { screen["lblTime"] = text; }
    void resetClock() override { screen["TIM"] = "reset"; }
    void startClock() override { screen["TIM"] = "on"; }
    void stopClock() override { screen["TIM"] = "off"; }
    void setOkEnabled(bool enabled) override { screen["cmdOK"] = enabled ? "on" : "off"; }
    QWidget* dialogParent() override { return nullptr; }
};

class EngineTest : public ::testing::Test {
public:
    QTemporaryDir dir;
    GivenRandom random;
    platform::ScriptedPlatform platform;
    ScreenView view;
    modMain engine{view, platform, random};

    void TearDown() override {
        EXPECT_TRUE(platform.unexpected().empty()) << platform.unexpected().front();
    }

    QString writeFile(const QString& content, const QString& name = "words.qvw") {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(common::encodeAnsi(content));
        return path;
    }
    // One "question|@1|rights|@1|information" line per entry.
    QString writeWordFile(const QStringList& lines) {
        return writeFile("Version 2.00\r\n" + lines.join("\r\n") + "\r\n");
    }
    void open(const QString& path) {
        platform.fileNames({path});
        engine.OpenWordFile(false);
    }
    void startWith(const QStringList& lines, common::DrillModeValue mode) {
        open(writeWordFile(lines));
        view.mode = mode;
        platform.answers({platform::Answer::Ok});  // "Good luck!"
        engine.StartDrill();
    }
    // Judges the answer and returns the mark.
    QString answer(const QString& typed) {
        view.screen["txtAnswer"] = typed;
        engine.ProceedDrill();
        return view.screen["lblResult"];
    }
    void stop() {
        platform.answers({platform::Answer::Yes});
        engine.GiveUp();
    }
};

}  // namespace drill::test
