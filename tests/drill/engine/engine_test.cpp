#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <numeric>
#include <random>

#include "drill/engine/drill_texts.h"
#include "drill/engine/question_order.h"
#include "engine_fixture.h"

namespace drill::test {
namespace {

using common::kEndlessMode;
using common::kNormalMode;
using common::kOvercomingMode;
const double kJustBelowOne = std::nextafter(1.0, 0.0);

TEST(QuestionOrder, EqualsDrawingAndRemovingFromAList) {
    std::mt19937 generator(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (const int count : {1, 2, 5, 16, 17, 1000}) {
        for (const int kind : {0, 1, 2}) {  // always 0, always just below 1, random
            std::vector<double> draws(count);
            for (double& r : draws) {
                r = kind == 0 ? 0.0 : kind == 1 ? kJustBelowOne : uniform(generator);
            }
            std::vector<int> source(count), expected;
            std::iota(source.begin(), source.end(), 0);
            for (const double r : draws) {
                const auto k = static_cast<std::size_t>(std::floor(r * source.size()));
                expected.push_back(source[k]);
                source.erase(source.begin() + k);
            }
            GivenRandom random;
            random.values.assign(draws.begin(), draws.end());
            EXPECT_EQ(drawOrder(count, random), expected) << count << " kind " << kind;
        }
    }
    GivenRandom overshooting;
    overshooting.values = {1.0, -0.5};
    EXPECT_EQ(drawOrder(2, overshooting), (std::vector<int>{1, 0}));
}

class Engine : public EngineTest {};

TEST_F(Engine, ShuffleMovesWholeEntries) {
    open(writeWordFile({"a|@1|A|@1|ia", "b|@1|B|@1|ib", "c|@1|C|@1|ic"}));
    random.values = {0.9, 0.0, 0.0};
    view.informationHistory.clear();
    engine.ShuffleQuestions();
    EXPECT_EQ(engine.questionSet(),
              (QList<common::Entry>{{"c", "C", "ic"}, {"a", "A", "ia"}, {"b", "B", "ib"}}));
    EXPECT_EQ(view.informationHistory, QStringList({"問題を並び替えています...", ""}));
}

TEST_F(Engine, OpenReportsEachOutcome) {
    const auto entries = [](int n) {
        return "Version 2.00\r\n" + QString("q|@1|a|@1|\r\n").repeated(n);
    };
    struct Case {
        QString content;  // "missing": nothing at the path; "folder": a folder
        QString message;  // empty: loads
        int loaded;
    };
    const std::vector<Case> cases{
        {"Version 2.00\r\n", "", 0},
        {entries(common::kMaxEntries), "", common::kMaxEntries},
        {"Ver. 2.00\r\n", "指定されたﾌｧｲﾙは、古いﾊﾞｰｼﾞｮﾝのものです。", 0},
        {"", "不正なﾌｧｲﾙです。", 0},
        {"folder", "不正なﾌｧｲﾙです。", 0},
        {"missing", "ﾌｧｲﾙが見つかりません。", 0},
        {entries(common::kMaxEntries + 1), "問題が多すぎます。開けるのは 32767 問までのﾌｧｲﾙです。",
         0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.left(20).toStdString());
        open(writeWordFile({"before|@1|x|@1|"}));  // a failed load must discard it
        platform.clearRecords();
        QString path = dir.filePath(QString("case%1.qvw").arg(n++));
        if (c.content == "folder") {
            QDir().mkdir(path);
        } else if (c.content != "missing") {
            path = writeFile(c.content, QFileInfo(path).fileName());
        }
        if (!c.message.isEmpty()) {
            platform.answers({platform::Answer::Ok});
        }
        open(path);
        EXPECT_EQ(engine.WordFileName(), path);
        EXPECT_EQ(engine.questionSet().size(), c.loaded);
        EXPECT_EQ(engine.FileLoaded(), c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(platform.shown().empty());
            EXPECT_EQ(view.screen["txtInformation"], "ﾌｧｲﾙをﾛｰﾄﾞしました。\r\n" + path);
        } else {
            EXPECT_EQ(
                platform.shown(),
                (std::vector<platform::MessageBox>{{c.message, "Open", platform::Icon::Warning}}));
            EXPECT_EQ(view.screen["txtInformation"], "");
        }
    }
}

TEST_F(Engine, OpenDialogStartsInTheStoredPlaceAndCancelChangesNothing) {
    engine.setDialogInitialFolder("/stored/last.qvw");
    const QString path = writeWordFile({"q|@1|a|@1|"});
    open(path);
    view.screen["txtInformation"] = "unchanged";
    platform.fileNames({platform::ScriptedPlatform::cancel});
    engine.OpenWordFile(false);

    ASSERT_EQ(platform.fileDialogs().size(), 2u);
    EXPECT_EQ(platform.fileDialogs()[0].initialFolder, "/stored/last.qvw");
    EXPECT_EQ(platform.fileDialogs()[1].initialFolder, "");
    EXPECT_EQ(platform.fileDialogs()[1].fileName, path);
    EXPECT_TRUE(engine.FileLoaded());
    EXPECT_EQ(engine.questionSet().size(), 1);
    EXPECT_EQ(view.screen["txtInformation"], "unchanged");
}

TEST_F(Engine, JudgesExactlyAgainstEveryAnswer) {
    struct Case {
        QString rights, typed;
        bool right;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"apple|@2|ringo", "apple", true},  {"apple|@2|ringo", "ringo", true},
        {"apple|@2|ringo", "Apple", false}, {"apple|@2|ringo", "apple ", false},
        {"apple|@2|ringo", "ａｐｐｌｅ", false}, {"apple|@2|ringo", "", false},
        {"a||@2|b", "", false},             {"a|@2|b|@2|c|@2|d|@2|e|@2|f", "f", true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE((c.rights + " / " + c.typed).toStdString());
        startWith({"q|@1|" + c.rights + "|@1|"}, kNormalMode);
        EXPECT_EQ(answer(c.typed), c.right ? "○" : "×");
        EXPECT_EQ(engine.CorrectCount(), c.right ? 1 : 0);
        stop();
    }
}

TEST_F(Engine, NormalDrillAsksEachOnceAndEndsOnTheNextPress) {
    startWith({"one|@1|1|@1|", "two|@1|2|@1|", "three|@1|3|@1|"}, kNormalMode);
    EXPECT_EQ(platform.shown(), (std::vector<platform::MessageBox>{{"Good luck!", "Start!"}}));
    EXPECT_EQ(view.screen["TIM"], "on");
    EXPECT_EQ(view.screen["lblTime"], "0 分 0 秒");
    const std::vector<std::array<QString, 3>> steps{
        {"one", "1", "1 / 1"}, {"two", "x", "1 / 2"}, {"three", "3", "2 / 3"}};
    for (const auto& [question, typed, count] : steps) {
        EXPECT_EQ(view.screen["txtQuestion"], question);
        EXPECT_EQ(view.screen["focus"], "txtAnswer");
        answer(typed);
        EXPECT_EQ(view.screen["lblCount"], count);
        engine.ProceedDrill();
    }
    EXPECT_FALSE(engine.Drilling());
    EXPECT_EQ(view.screen["txtQuestion"], "正解率  66 %");
    EXPECT_EQ(view.screen["cmdOK"], "off");
    EXPECT_EQ(view.screen["TIM"], "off");
    EXPECT_EQ(view.screen["lblCount"], "2 / 3");
}

TEST_F(Engine, OvercomingAsksWhatIsLeftUntilAllAreMastered) {
    startWith({"A|@1|a|@1|", "B|@1|b|@1|", "C|@1|c|@1|"}, kOvercomingMode);
    EXPECT_EQ(view.screen["lblCount"], "0 / 0");
    const std::vector<std::array<QString, 3>> steps{{"A", "a", "Left : 2"},
                                                    {"B", "x", "Left : 2"},
                                                    {"C", "c", "Left : 1"},
                                                    {"B", "b", "Left : 0"}};
    for (const auto& [question, typed, count] : steps) {
        EXPECT_EQ(view.screen["txtQuestion"], question);
        answer(typed);
        EXPECT_EQ(view.screen["lblCount"], count);
        engine.ProceedDrill();
    }
    EXPECT_EQ(view.screen["txtQuestion"], "問題数 : 3  不正解数 : 1");
    EXPECT_EQ(engine.questionSet().size(), 3) << "reloaded in full";
    EXPECT_EQ(view.screen["txtInformation"], "");
}

TEST_F(Engine, OvercomingReshufflesAfterEachPass) {
    startWith({"A|@1|a|@1|", "B|@1|b|@1|", "C|@1|c|@1|"}, kOvercomingMode);
    answer("x");
    engine.ProceedDrill();
    answer("b");
    engine.ProceedDrill();
    answer("x");
    random.values = {kJustBelowOne, kJustBelowOne};
    engine.ProceedDrill();
    EXPECT_EQ(engine.QuestionTexts(), QStringList({"C", "A"}));
    EXPECT_EQ(view.screen["txtQuestion"], "C");
}

TEST_F(Engine, EndsWithTheResultsOfItsMode) {
    struct Case {
        common::DrillModeValue mode;
        QStringList typed;  // judged answers before Stop; entries are A, B, C
        QString results;
    };
    const std::vector<Case> cases{
        {kNormalMode, {"a", "x"}, "正解率  50 %"},
        {kEndlessMode, {"a", "x", "a"}, "回答数 : 3  正解数 : 2"},
        {kOvercomingMode, {"a", "x", "c"}, "問題数 : 2  不正解数 : 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.results.toStdString());
        startWith({"A|@1|a|@1|", "B|@1|b|@1|", "C|@1|c|@1|"}, c.mode);
        for (const QString& typed : c.typed) {
            answer(typed);
            engine.ProceedDrill();
        }
        platform.clearRecords();
        platform.answers({platform::Answer::No});
        engine.GiveUp();
        EXPECT_TRUE(engine.Drilling()) << "No goes on";
        EXPECT_EQ(
            platform.shown(),
            (std::vector<platform::MessageBox>{{"終了しますか？", "Stop", platform::Icon::Question,
                                                platform::Buttons::YesNo, platform::Answer::No}}));
        stop();
        EXPECT_EQ(view.screen["txtQuestion"], c.results);
        EXPECT_EQ(engine.questionSet().size(), 3);
    }
}

TEST_F(Engine, EmptySetEndsAtOnceInEveryMode) {
    const std::vector<std::pair<common::DrillModeValue, QString>> cases{
        {kNormalMode, "正解率  0 %"},
        {kEndlessMode, "回答数 : 0  正解数 : 0"},
        {kOvercomingMode, "問題数 : 0  不正解数 : 0"}};
    for (const auto& [mode, results] : cases) {
        startWith({}, mode);
        EXPECT_FALSE(engine.Drilling());
        EXPECT_EQ(view.screen["txtQuestion"], results);
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

TEST_F(Engine, CommandsOutsideTheirStateDoNothing) {
    engine.ProceedDrill();
    engine.StartDrill();
    engine.GiveUp();
    startWith({"A|@1|a|@1|"}, kNormalMode);
    platform.clearRecords();
    engine.StartDrill();
    engine.OpenWordFile(false);
    EXPECT_TRUE(platform.shown().empty());
    EXPECT_TRUE(platform.fileDialogs().empty());
    EXPECT_EQ(engine.CurrentIndex(), 1);
}

TEST(DrillTexts, RateDropsTheFractionOfTheExactValue) {
    EXPECT_EQ(resultsLine(kNormalMode, 29, 100), "正解率  29 %");  // 0.29 * 100 < 29
}

}  // namespace
}  // namespace drill::test
