#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "common/ansi_text.h"
#include "common/text_script.h"
#include "common/word_file.h"
#include "drill/engine/drill_view.h"
#include "drill/engine/judging.h"
#include "drill/engine/mod_main.h"
#include "drill/engine/random_source.h"
#include "platform/platform.h"

namespace {

// The engine's surroundings reduced to nothing: the open dialog always picks one file.
class BenchPlatform final : public platform::Platform {
public:
    explicit BenchPlatform(QString file) : file_(std::move(file)) {}
    platform::Answer showMessage(QWidget*, const platform::MessageBox&) override {
        return platform::Answer::Ok;
    }
    std::optional<QString> askFileName(QWidget*, const platform::FileDialog&) override {
        return file_;
    }
    void showHelp(QWidget*, const QString&, int) override {}
    bool startProgram(const QString&, const QStringList&) override { return true; }
    void setImeMode(QWidget*, platform::ImeMode) override {}
    QString speechUnavailableReason() override { return {}; }
    bool speak(const QString&, platform::SpeechLanguage) override { return true; }
    void onSpeechChanged(QObject*, std::function<void()>) override {}
    QString preferencesFile() const override { return {}; }
    std::shared_ptr<void> busy() override { return nullptr; }
    QString programFolder() const override { return {}; }

private:
    QString file_;
};

class NullView final : public drill::DrillView {
public:
    common::DrillModeValue drillMode() const override { return common::kNormalMode; }
    QString answerText() const override { return {}; }
    void setAnswerText(const QString&) override {}
    void focusAnswer() override {}
    void setQuestionText(const QString&) override {}
    void setRightText(int, const QString&) override {}
    void showRightPages(const QString&, int) override {}
    void hideRightPages() override {}
    void setInformationText(const QString&) override {}
    void setResultText(const QString&) override {}
    void setResultToolTip(const QString&) override {}
    void setCountText(const QString&) override {}
    void setTimeText(const QString&) override {}
    void resetClock() override {}
    void startClock() override {}
    void stopClock() override {}
    void setOkEnabled(bool) override {}
    QWidget* dialogParent() override { return nullptr; }
};

// A word file of the largest size the drill accepts, with Japanese answers and information.
QString writeLargestWordFile(const QTemporaryDir& dir) {
    QString text = QStringLiteral("Version 2.00\r\n");
    for (int i = 0; i < common::kMaxEntries; ++i) {
        text += QStringLiteral("question %1|@1|答え%1|@2|こたえ%1|@1|情報 %1\\n二行目\r\n").arg(i);
    }
    QString path = dir.filePath(QStringLiteral("largest.qvw"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(common::encodeAnsi(text));
    return path;
}

void BM_OpenWordFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writeLargestWordFile(dir);
    BenchPlatform platform(path);
    NullView view;
    drill::ClockSeededRandom random;
    drill::modMain engine(view, platform, random);
    for (auto _ : state) {
        engine.OpenWordFile(false);
        benchmark::DoNotOptimize(engine.questionSet().size());
    }
    if (engine.questionSet().size() != common::kMaxEntries) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_OpenWordFile)->Unit(benchmark::kMillisecond);

// The engine with the largest word file loaded.
struct LoadedEngine {
    QTemporaryDir dir;
    BenchPlatform platform{writeLargestWordFile(dir)};
    NullView view;
    drill::ClockSeededRandom random;
    drill::modMain engine{view, platform, random};

    LoadedEngine() { engine.OpenWordFile(false); }
    bool loaded() const { return engine.questionSet().size() == common::kMaxEntries; }
};

void BM_ShuffleQuestions(benchmark::State& state) {
    LoadedEngine loaded;
    for (auto _ : state) {
        loaded.engine.ShuffleQuestions();
        benchmark::DoNotOptimize(loaded.engine.questionSet().constData());
    }
    if (!loaded.loaded()) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_ShuffleQuestions)->Unit(benchmark::kMillisecond);

// One answer judged against an entry of 100 right answers that it misses, the worst case:
// exactly (0) and with the lenient rule (1).
void BM_JudgeAnswer(benchmark::State& state) {
    QStringList rights;
    for (int i = 0; i < 100; ++i) {
        rights.append(QStringLiteral("ｺﾀｴ Answer %1").arg(i));
    }
    const QString typed = QStringLiteral(" ａｎｓｗｅｒ ");
    for (auto _ : state) {
        benchmark::DoNotOptimize(drill::judgeAnswer(typed, rights, state.range(0) != 0));
    }
}
BENCHMARK(BM_JudgeAnswer)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Whether the answer box switches the input method on, decided at Open over the largest file.
void BM_AnswersAreJapanese(benchmark::State& state) {
    const LoadedEngine loaded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(common::answersAreJapanese(loaded.engine.questionSet()));
    }
    if (!loaded.loaded()) {
        state.SkipWithError("the word file did not load");
    }
}
BENCHMARK(BM_AnswersAreJapanese)->Unit(benchmark::kMillisecond);

}  // namespace
