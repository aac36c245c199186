#include <gtest/gtest.h>

#include <QDir>
#include <QMap>

#include <cmath>
#include <functional>
#include <numeric>
#include <optional>
#include <random>

#include "drill/engine/drill_texts.h"
#include "drill/engine/drill_view.h"
#include "drill/engine/missed_entries.h"
#include "drill/engine/mod_main.h"
#include "drill/engine/question_order.h"
#include "drill_support.h"

namespace drill::test {
namespace {

using common::kEndlessMode;
using common::kNormalMode;
using common::kOvercomingMode;
using platform::Answer;
using Boxes = std::vector<platform::MessageBox>;
const double kJustBelowOne = std::nextafter(1.0, 0.0);

// The window as the engine leaves it: each control's text by its name, "cmdOK" and "TIM" as
// on or off.
class ScreenView final : public DrillView {
public:
    common::DrillModeValue mode = kNormalMode;
    QMap<QString, QString> screen;

    common::DrillModeValue drillMode() const override { return mode; }
    QString answerText() const override { return screen.value("txtAnswer"); }
    void setAnswerText(const QString& text) override { screen["txtAnswer"] = text; }
    void focusAnswer() override {}
    void setQuestionText(const QString& text) override { screen["txtQuestion"] = text; }
    void setRightText(int box, const QString& text) override {
        screen[QStringLiteral("txtRight%1").arg(box)] = text;
    }
    void showRightPages(const QString&, int) override {}
    void hideRightPages() override {}
    void setInformationText(const QString& text) override { screen["txtInformation"] = text; }
    void setResultText(const QString& text) override { screen["lblResult"] = text; }
    void setResultToolTip(const QString&) override {}
    void setCountText(const QString& text) override { screen["lblCount"] = text; }
    void setTimeText(const QString& text) override { screen["lblTime"] = text; }
    void resetClock() override {}
    void startClock() override { screen["TIM"] = "on"; }
    void stopClock() override { screen["TIM"] = "off"; }
    void setOkEnabled(bool enabled) override { screen["cmdOK"] = enabled ? "on" : "off"; }
    QWidget* dialogParent() override { return nullptr; }
};

class Engine : public DrillTest {
public:
    ScreenView view;
    modMain engine{view, platform, random};

    void open(const std::optional<QString>& path) {
        platform.fileNames({path});
        engine.OpenWordFile(false);
    }
    void startWith(const QStringList& lines, common::DrillModeValue mode) {
        open(writeFile("words.qvw", wordFile(lines)));
        view.mode = mode;
        platform.clearRecords();
        platform.answers({Answer::Ok});  // "Good luck!"
        engine.StartDrill();
    }
    // Judges the answer and returns the mark.
    QString answer(const QString& typed) {
        view.screen["txtAnswer"] = typed;
        engine.ProceedDrill();
        return view.screen["lblResult"];
    }
    void stop() {
        platform.answers({Answer::Yes});
        engine.GiveUp();
    }
};

TEST(QuestionOrder, EqualsDrawingAndRemovingFromAList) {
    std::mt19937 generator(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const std::vector<std::function<double()>> draws{
        [] { return 0.0; }, [] { return kJustBelowOne; }, [&] { return uniform(generator); }};
    for (const int count : {1, 2, 5, 16, 17, 1000}) {
        for (std::size_t kind = 0; kind < draws.size(); ++kind) {
            GivenRandom random;
            std::vector<int> source(count), expected;
            std::iota(source.begin(), source.end(), 0);
            while (!source.empty()) {
                random.values.push_back(draws[kind]());
                const auto k = static_cast<std::size_t>(random.values.back() * source.size());
                expected.push_back(source[k]);
                source.erase(source.begin() + k);
            }
            EXPECT_EQ(drawOrder(count, random), expected) << count << " kind " << kind;
        }
    }
}

// The drills below end at 66 % and 0 %; 0.29 * 100 falls just below 29 in floating point.
TEST(DrillTexts, ResultsLineDropsTheFractionOfTheExactRate) {
    EXPECT_EQ(resultsLine(kNormalMode, 29, 100), "正解率  29 %");
}

TEST_F(Engine, OpenReportsEachOutcomeAndAFailureDiscardsTheSet) {
    const auto entries = [](int n) { return wordFile(QStringList(n, "q|@1|a|@1|")); };
    // "missing": nothing at the path; "folder": a folder. No message: it loads.
    const std::vector<std::tuple<QString, QString, int>> cases{
        {entries(common::kMaxEntries), "", common::kMaxEntries},
        {"Ver. 2.00\r\n", "指定されたﾌｧｲﾙは、古いﾊﾞｰｼﾞｮﾝのものです。", 0},
        {"Version 2.00\r\nq|@1|a\r\n", "不正なﾌｧｲﾙです。", 0},
        {"folder", "不正なﾌｧｲﾙです。", 0},
        {"missing", "ﾌｧｲﾙが見つかりません。", 0},
        {entries(common::kMaxEntries + 1), "問題が多すぎます。開けるのは 32767 問までのﾌｧｲﾙです。",
         0},
    };
    QDir().mkdir(programFile("folder"));
    for (const auto& [content, message, loaded] : cases) {
        SCOPED_TRACE(content.left(20).toStdString());
        open(writeFile("before.qvw", wordFile({"before|@1|x|@1|"})));
        platform.clearRecords();
        const QString path = content == "folder" || content == "missing"
                                 ? programFile(content)
                                 : writeFile("case.qvw", content);
        if (!message.isEmpty()) {
            platform.answers({Answer::Ok});
        }
        open(path);
        EXPECT_EQ(engine.WordFileName(), path);
        EXPECT_EQ(engine.questionSet().size(), loaded);
        EXPECT_EQ(engine.FileLoaded(), message.isEmpty());
        EXPECT_EQ(
            platform.shown(),
            (message.isEmpty() ? Boxes{} : Boxes{{message, "Open", platform::Icon::Warning}}));
        EXPECT_EQ(view.screen["txtInformation"],
                  message.isEmpty() ? "ﾌｧｲﾙをﾛｰﾄﾞしました。\r\n" + path : QString());
    }
}

TEST_F(Engine, JudgesExactlyAgainstEveryAnswer) {
    const QString two = "apple|@2|ringo";
    // The file is written in the code page, so "〜" and "−" are stored as "～" and "－": typed
    // as an input method gives them, they must still match, in every mode. Folding is judged
    // apart (LenientJudging).
    // clang-format off
    const std::vector<std::tuple<QString, QString, bool, common::DrillModeValue>> cases{
        {two, "ringo", true, kNormalMode}, {two, "Apple", false, kNormalMode},
        {"a|@2|b|@2|c|@2|d|@2|e|@2|f", "f", true, kNormalMode},
        {"〜について", "〜について", true, kEndlessMode},
        {"－１|@2|x", "−１", true, kOvercomingMode},
        {"～について", "~について", false, kNormalMode}};
    // clang-format on
    for (const auto& [rights, typed, right, mode] : cases) {
        SCOPED_TRACE((rights + " / " + typed).toStdString());
        startWith({"q|@1|" + rights + "|@1|"}, mode);
        EXPECT_EQ(answer(typed), right ? "○" : "×");
        EXPECT_EQ(engine.CorrectCount(), right ? 1 : 0);
        stop();
    }
}

TEST_F(Engine, DrillsEndWithTheResultsOfTheirMode) {
    // Each step, "question,typed,count", is asked, judged and followed by OK; a stopped drill
    // ends by a confirmed Stop after its steps.
    using Case = std::tuple<common::DrillModeValue, QStringList, std::deque<double>, QStringList,
                            bool, QString>;
    const QStringList abc{"A|@1|a|@1|iA", "B|@1|b|@1|iB", "C|@1|c|@1|iC"};
    // clang-format off
    const std::vector<Case> cases{
        // Shuffled as whole entries; the fourth OK ends it.
        {kNormalMode, abc, {0.9, 0, 0}, {"C,c,1 / 1", "A,x,1 / 2", "B,b,2 / 3"}, false,
         "正解率  66 %"},
        {kOvercomingMode, abc, {}, {"A,a,Left : 2", "B,x,Left : 2", "C,c,Left : 1", "B,b,Left : 0"},
         false, "問題数 : 3  不正解数 : 1"},
        // What is left is shuffled anew for each pass: here reversed.
        {kOvercomingMode, abc, {0, 0, 0, kJustBelowOne, kJustBelowOne},
         {"A,x,Left : 3", "B,b,Left : 2", "C,x,Left : 2", "C,c,Left : 1", "A,a,Left : 0"}, false,
         "問題数 : 3  不正解数 : 2"},
        {kEndlessMode, abc, {}, {"A,a,1 / 1", "A,x,1 / 2", "A,a,2 / 3"}, true,
         "回答数 : 3  正解数 : 2"},
        {kOvercomingMode, abc, {}, {"A,a,Left : 2", "B,x,Left : 2", "C,c,Left : 1"}, true,
         "問題数 : 2  不正解数 : 1"},
        {kNormalMode, {}, {}, {}, false, "正解率  0 %"},
    };
    // clang-format on
    for (const auto& [mode, entries, draws, steps, stopped, results] : cases) {
        SCOPED_TRACE(results.toStdString());
        random.values = draws;
        startWith(entries, mode);
        EXPECT_EQ(platform.shown(), (Boxes{{"Good luck!", "Start!"}}));
        for (const QString& step : steps) {
            const QString question = step.section(',', 0, 0);
            EXPECT_EQ(view.screen["txtQuestion"], question);
            answer(step.section(',', 1, 1));
            EXPECT_EQ(view.screen["txtRight0"] + view.screen["txtInformation"],
                      question.toLower() + "i" + question);
            EXPECT_EQ(view.screen["lblCount"], step.section(',', 2));
            engine.ProceedDrill();
        }
        EXPECT_EQ(engine.Drilling(), stopped);
        if (stopped) {
            platform.clearRecords();
            platform.answers({Answer::No});
            engine.GiveUp();
            EXPECT_TRUE(engine.Drilling()) << "No goes on";
            EXPECT_EQ(platform.shown(), (Boxes{{"終了しますか？", "Stop", platform::Icon::Question,
                                                platform::Buttons::YesNo, Answer::No}}));
            stop();
        }
        EXPECT_EQ(view.screen["txtQuestion"], results);
        EXPECT_EQ(view.screen["cmdOK"] + view.screen["TIM"], "offoff");
    }
}

TEST_F(Engine, EndlessDrawsWithRepetitionAndCountsPastSixteenBits) {
    startWith({"A|@1|a|@1|", "B|@1|b|@1|"}, kEndlessMode);
    random.values = {0.5, 0.5, 0.0};
    QStringList asked;
    for (int i = 0; i < 40000; ++i) {
        asked.append(view.screen["txtQuestion"]);
        answer(view.screen["txtQuestion"].toLower());
        engine.ProceedDrill();
    }
    EXPECT_EQ(asked.mid(0, 4), QStringList({"A", "B", "B", "A"}));
    EXPECT_EQ(view.screen["lblCount"], "40000 / 40000");
}

// What a drill leaves behind: "A[x,]" is entry A missed twice, once with x typed and once
// with nothing.
QString missedText(const MissedEntries& missed) {
    QStringList parts;
    for (const MissedEntry& m : missed.list()) {
        parts.append(m.entry.question + "[" + m.typed.join(",") + "]");
    }
    return parts.join(" ");
}

// A learner's keys: a typed answer is judged (the next question asked first when a verdict is
// on screen), "^" overrules the verdict, ">" asks the next question. Returns the window title
// at each question judged.
class AfterDrill : public Engine {
public:
    QStringList play(const QStringList& script) {
        QStringList titles;
        for (const QString& key : script) {
            if (key == "^") {
                engine.Overrule();
            } else if (key == ">") {
                engine.ProceedDrill();
            } else {
                if (engine.DrillPhase() == 2) {
                    engine.ProceedDrill();
                }
                titles.append(drillWindowTitle(engine.Drilling(), engine.position()));
                answer(key);
            }
        }
        return titles;
    }
    // Ends the drill as its mode does: the next question, or Stop in Endless mode.
    void finish() {
        if (view.mode == kEndlessMode) {
            stop();
        } else {
            engine.ProceedDrill();
        }
    }
};

const QStringList kABC{"A|@1|a|@1|", "B|@1|b|@1|", "C|@1|c|@1|"};

// The window title at each question shows the place in the pass ("Kotobax4 - " left out); an
// overruled verdict counts as right; the missed entries come out once each, with every wrong
// answer.
TEST_F(AfterDrill, TitlesOverrulingAndMissedEntriesFollowEachMode) {
    // The generator's 0 keeps the file's order and makes Endless ask A every time.
    using Case = std::tuple<common::DrillModeValue, QStringList, QString, QString, QString>;
    // clang-format off
    const std::vector<Case> cases{
        {kNormalMode, {"x", "b", ""}, "1 / 3,2 / 3,3 / 3", "正解率  33 %", "A[x] C[]"},
        {kNormalMode, {"x", "^", "y", "c"}, "1 / 3,2 / 3,3 / 3", "正解率  66 %", "B[y]"},
        {kEndlessMode, {"x", "a", "y", ""}, "1,2,3,4", "回答数 : 4  正解数 : 1", "A[x,y,]"},
        {kEndlessMode, {"x", "^", "x"}, "1,2", "回答数 : 2  正解数 : 1", "A[x]"},
        // Each later pass holds only B.
        {kOvercomingMode, {"a", "x", "c", "y", "B", "b"}, "1 / 3,2 / 3,3 / 3,1 / 1,1 / 1,1 / 1",
         "問題数 : 3  不正解数 : 3", "B[x,y,B]"},
        // A leaves the set; B moves up and is asked next.
        {kOvercomingMode, {"x", "^", "y", "c", "b"}, "1 / 3,2 / 3,3 / 3,1 / 1",
         "問題数 : 3  不正解数 : 1", "B[y]"},
        // The last of a pass: the drill ends at the next question.
        {kOvercomingMode, {"a", "b", "x", "^"}, "1 / 3,2 / 3,3 / 3", "問題数 : 3  不正解数 : 0", ""},
    };
    // clang-format on
    for (const auto& [mode, script, titles, results, missed] : cases) {
        SCOPED_TRACE(script.join(",").toStdString());
        startWith(kABC, mode);
        EXPECT_EQ(play(script).join(",").remove("Kotobax4 - "), titles);
        finish();
        EXPECT_EQ(view.screen["txtQuestion"], results);
        EXPECT_EQ(drillWindowTitle(engine.Drilling(), engine.position()), "Kotobax4");
        EXPECT_EQ(missedText(engine.missed()), missed);
    }
}

TEST_F(AfterDrill, OverruleOnlyAfterAWrongVerdictOncePerQuestion) {
    const std::vector<std::pair<QStringList, bool>> cases{
        {{}, false},              // a question waits for its answer
        {{"a"}, false},           // right already
        {{"x"}, true},            // wrong, verdict on screen
        {{"x", "^"}, false},      // once per question
        {{"x", "^", "y"}, true},  // again for the next question
    };
    for (const auto& [script, allowed] : cases) {
        SCOPED_TRACE(script.join(",").toStdString());
        startWith(kABC, kNormalMode);
        play(script);
        EXPECT_EQ(engine.canOverrule(), allowed);
        stop();
        EXPECT_FALSE(engine.canOverrule()) << "after the drill";
    }
}

TEST_F(AfterDrill, DrillOverMissedEntriesAsksOnlyThemThenTheFileAgain) {
    startWith(kABC, kOvercomingMode);
    play({"x", "b", "y"});
    stop();
    const QList<common::Entry> missed = engine.missed().entries();
    platform.answers({Answer::Ok});  // "Good luck!" again
    engine.StartDrillOver(missed);
    EXPECT_EQ(engine.questionSet(), missed);
    EXPECT_EQ(play({"a", "z"}), QStringList({"Kotobax4 - 1 / 2", "Kotobax4 - 2 / 2"}));
    stop();
    EXPECT_EQ(missedText(engine.missed()), "C[z]");
    EXPECT_EQ(engine.questionSet().size(), 3);
}

}  // namespace
}  // namespace drill::test
