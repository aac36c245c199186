// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QMap>

#include <cmath>
#include <functional>
#include <numeric>
#include <optional>
#include <random>

#include "drill/engine/drill_session.h"
#include "drill/engine/drill_texts.h"
#include "drill/engine/missed_entries.h"
#include "drill/engine/question_order.h"
#include "drill/engine/word_key_cache.h"
#include "drill_support.h"

namespace drill::test {
namespace {

using common::kEndlessMode;
using common::kNormalMode;
using common::kOvercomingMode;
const double kJustBelowOne = std::nextafter(1.0, 0.0);

class Session : public DrillTest {
public:
    DrillSession session{random};
    QString question;  // the one asked last; empty once the drill ended
    Choices choices;   // offered with it

    // The file in Shift_JIS, or else in UTF-8 as a text editor saves it.
    void startWith(const QStringList& lines, common::DrillModeValue mode, bool utf8 = false) {
        const QString path = programFile("words.qvw");
        const QString text = wordFile(lines);
        kxtest::writeBytes(path, utf8 ? text.toUtf8() : common::encodeAnsi(text));
        ASSERT_TRUE(session.open(path).ok());
        ASSERT_TRUE(session.start(mode));
        ask();
    }
    void ask() {
        const std::optional<Question> next = session.next();
        question = next ? next->text : QString();
        choices = next ? next->choices : Choices{};
    }
    // The typed answer given in the session's way: the choice of that text or else a wrong
    // one, or the learner's own grade of it.
    Verdict answer(const QString& typed) {
        const auto picked = int(choices.texts.indexOf(typed));
        switch (session.way()) {
            case DrillWay::Choice:
                return session.choose(picked >= 0 ? picked : choices.right == 0 ? 1 : 0);
            case DrillWay::Card:
                return session.grade(session.reveal().rights.contains(typed));
            default:
                return session.judge(typed);
        }
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

// The cached keys are those of the set as it is now, whatever happened to it since they were
// worked out: a repeated word keyed once, at its first entry.
TEST(WordKeyCache, FollowsEveryChangeOfTheSet) {
    const QList<common::Entry> start{{"go", "行く", ""}, {"come", "来る", ""}, {"go", "行く", "x"}};
    const struct {
        const char* name;
        std::function<void(QList<common::Entry>&)> change;
        QList<int> positions;
        DrillWay way = DrillWay::Typed;
    } table[] = {
        {"unchanged", [](QList<common::Entry>&) {}, {0, 1}},
        {"an answer edited in place",
         [](QList<common::Entry>& e) { e[1].rights = "来た"; },
         {0, 1}},
        {"a question edited in place",
         [](QList<common::Entry>& e) { e[2].question = "went"; },
         {0, 1, 2}},
        {"reordered", [](QList<common::Entry>& e) { e.swapItemsAt(0, 1); }, {0, 1}},
        {"one removed", [](QList<common::Entry>& e) { e.removeFirst(); }, {0, 1}},
        {"emptied", [](QList<common::Entry>& e) { e.clear(); }, {}},
        {"another way", [](QList<common::Entry>&) {}, {0, 1}, DrillWay::Reversed},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        WordKeyCache cache;
        QList<common::Entry> entries = start;
        ASSERT_EQ(cache.of(entries, DrillWay::Typed).keys.size(), 2);
        row.change(entries);
        const WordKeys& cached = cache.of(entries, row.way);
        EXPECT_EQ(cached.positions, row.positions);
        EXPECT_EQ(cached.keys, wordKeysOf(entries, row.way).keys);
    }
}

// Counted without keys, the words of a file are those its keys tell apart.
TEST(WordKeyCache, DistinctWordsAreThoseTheKeysTellApart) {
    const QString lone = QChar(0xD800);
    const struct {
        const char* name;
        QList<common::Entry> entries;
        int words;
    } table[] = {
        {"a repeat with other information", {{"go", "行く", ""}, {"go", "行く", "x"}}, 1},
        {"text moved across the fields", {{"ab", "c", ""}, {"a", "bc", ""}}, 2},
        {"one stored as the other", {{"a\u301Cb", "x", ""}, {"a\uFF5Eb", "x", ""}}, 1},
        {"stored as the other after itself",
         {{"\u00E9\u301C", "x", ""}, {"\u00E9\uFF5E", "x", ""}},
         1},
        {"a character beyond the BMP", {{"\U0001F600", "x", ""}, {"\U0001F601", "x", ""}}, 2},
        {"surrogates without their pair", {{lone, "x", ""}, {QChar(0xDC00), "x", ""}}, 1},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(distinctWords(row.entries), row.words);
        EXPECT_EQ(wordKeysOf(row.entries).keys.size(), row.words);
    }
}

// The drills below end at 66 % and 0 %; 0.29 * 100 falls just below 29 in floating point.
TEST(DrillTexts, ResultsLineDropsTheFractionOfTheExactRate) {
    EXPECT_EQ(resultsLine(kNormalMode, 29, 100), "正解率  29 %");
}

// The closing line names the next words of today only when there are any, in minutes and
// then in hours.
TEST(DrillTexts, ReviewClosingSaysWhenToComeBack) {
    using std::chrono::minutes;
    struct Row {
        std::optional<minutes> next;
        int today;
        int tomorrow;
        const char* line;
    };
    const std::vector<Row> rows{
        {minutes(10), 3, 12, "今日の復習は終わりました。次は 10 分後に 3 語、明日 12 語です。"},
        {minutes(59), 1, 0, "今日の復習は終わりました。次は 59 分後に 1 語です。"},
        {minutes(89), 2, 1, "今日の復習は終わりました。次は 1 時間後に 2 語、明日 1 語です。"},
        {minutes(90), 2, 0, "今日の復習は終わりました。次は 2 時間後に 2 語です。"},
        {std::nullopt, 0, 5, "今日の復習は終わりました。明日 5 語です。"},
        {std::nullopt, 0, 0, "今日の復習は終わりました。"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(reviewClosingText(row.next, row.today, row.tomorrow), row.line);
    }
}

TEST_F(Session, OpenReportsEachOutcomeAndAFailureDiscardsTheSet) {
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
        session.open(writeFile("before.qvw", wordFile({"before|@1|x|@1|"})));
        const QString path = content == "folder" || content == "missing"
                                 ? programFile(content)
                                 : writeFile("case.qvw", content);
        EXPECT_EQ(session.open(path).reason, message);
        EXPECT_EQ(session.wordFileName(), path);
        EXPECT_EQ(session.questionSet().size(), loaded);
        EXPECT_EQ(session.fileLoaded(), message.isEmpty());
    }
}

TEST_F(Session, JudgesExactlyAgainstEveryAnswer) {
    const QString two = "apple|@2|ringo";
    // A Shift_JIS file stores "〜" and "−" as "～" and "－": typed as an input method gives them,
    // they must still match, in every mode, and so must a UTF-8 file's own "〜". Folding is
    // judged apart (LenientJudging).
    const struct {
        QString rights;
        QString typed;
        bool right;
        common::DrillModeValue mode;
        bool utf8 = false;
    } table[] = {
        // clang-format off
        {two, "ringo", true, kNormalMode}, {two, "Apple", false, kNormalMode},
        {"a|@2|b|@2|c|@2|d|@2|e|@2|f", "f", true, kNormalMode},
        {"〜について", "〜について", true, kEndlessMode},
        {"〜について", "〜について", true, kNormalMode, true},
        {"－１|@2|x", "−１", true, kOvercomingMode},
        {"～について", "~について", false, kNormalMode},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE((row.rights + " / " + row.typed).toStdString());
        startWith({"q|@1|" + row.rights + "|@1|"}, row.mode, row.utf8);
        const Verdict verdict = session.judge(row.typed);
        EXPECT_EQ(verdict.mark, row.right ? "○" : "×");
        EXPECT_EQ(verdict.counts,
                  (Counts{1, row.right ? 1 : 0, row.right && row.mode == kOvercomingMode ? 0 : 1}));
        session.finish(0);
    }
}

// A near miss gets another try unless another entry of the file has an answer as close (in
// reverse, a question): the file's answers are split only when first needed, and must be there
// when they are.
TEST_F(Session, NearMissIsBlockedByAnotherEntrysAnswer) {
    const struct {
        QStringList lines;
        bool tryAgain;
        DrillWay way = DrillWay::Typed;
    } table[] = {
        {{"q|@1|sheep|@1|"}, true},
        {{"q|@1|sheep|@1|", "r|@1|ship|@1|"}, false},
        {{"sheep|@1|q|@1|", "ship|@1|r|@1|"}, false, DrillWay::Reversed},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.lines.join(' ').toStdString());
        session.setWay(row.way);
        session.setCheckOptions({false, NearMissRule::Retry, false, false});
        startWith(row.lines, kOvercomingMode);
        while (question != "q") {
            session.judge("ship");
            ask();
        }
        EXPECT_EQ(session.judge("shiep").tryAgain, row.tryAgain);
        session.finish(0);
    }
}

TEST_F(Session, DrillsEndWithTheResultsOfTheirMode) {
    // Each step, "question,typed,count", is asked, judged and followed by the next question; a
    // stopped drill ends by Stop after its steps.
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
    // Choices and cards count as typed answers do; choices are drawn from the same generator.
    for (const DrillWay way : {DrillWay::Typed, DrillWay::Choice, DrillWay::Card}) {
        for (const auto& [mode, entries, draws, steps, stopped, results] : cases) {
            if (way == DrillWay::Choice && !draws.empty()) {
                continue;
            }
            SCOPED_TRACE(results.toStdString() + " way " + std::to_string(int(way)));
            session.setWay(way);
            random.values = draws;
            startWith(entries, mode);
            EXPECT_EQ(session.countText(), "0 / 0") << "every mode, until the first verdict";
            for (const QString& step : steps) {
                const QString asked = step.section(',', 0, 0);
                EXPECT_EQ(question, asked);
                EXPECT_TRUE((way == DrillWay::Choice ? session.grade(true) : session.choose(0))
                                .mark.isEmpty())
                    << "the other way's answer counts nothing";
                const Verdict verdict = answer(step.section(',', 1, 1));
                EXPECT_EQ(verdict.rights.value(0) + verdict.information,
                          asked.toLower() + "i" + asked);
                EXPECT_EQ(session.countText(), step.section(',', 2));
                ask();
            }
            EXPECT_EQ(session.drilling(), stopped);
            const history::DrillRecord record = session.finish(0);
            EXPECT_EQ(session.resultsLine(), way == DrillWay::Typed
                                                 ? results
                                                 : common::drillWayName(way) + "  " + results);
            EXPECT_EQ(record.asked, steps.size());
            EXPECT_EQ(record.way, way);
            EXPECT_EQ(record.mode, mode);
            EXPECT_FALSE(session.drilling());
        }
    }
}

TEST_F(Session, EndlessDrawsWithRepetitionAndCountsPastSixteenBits) {
    startWith({"A|@1|a|@1|", "B|@1|b|@1|"}, kEndlessMode);
    random.values = {0.5, 0.5, 0.0};
    QStringList asked;
    for (int i = 0; i < 40000; ++i) {
        asked.append(question);
        session.judge(question.toLower());
        ask();
    }
    EXPECT_EQ(asked.mid(0, 4), QStringList({"A", "B", "B", "A"}));
    EXPECT_EQ(session.countText(), "40000 / 40000");
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
// at each question judged; asked and verdicts keep each question and verdict ("○a|b=q" is right,
// answers a and b shown, q the question only spoken before).
class AfterDrill : public Session {
public:
    QStringList asked;
    QStringList verdicts;
    QStringList play(const QStringList& script) {
        QStringList titles;
        for (const QString& key : script) {
            if (key == "^") {
                session.overrule();
            } else if (key == ">") {
                ask();
            } else {
                if (session.phase() == DrillPhase::Judged) {
                    ask();
                }
                titles.append(session.windowTitle());
                asked.append(question);
                const Verdict verdict = session.judge(key);
                verdicts.append(verdict.mark + verdict.rights.join('|') +
                                (verdict.revealed.isEmpty() ? "" : "=" + verdict.revealed));
            }
        }
        return titles;
    }
    // Ends the drill as its mode does: the next question, or Stop in Endless mode.
    history::DrillRecord end() {
        if (session.mode() != kEndlessMode) {
            ask();
            EXPECT_FALSE(session.drilling());
        }
        return session.finish(3);
    }
};

const QStringList kABC{"A|@1|a|@1|", "B|@1|b|@1|", "C|@1|c|@1|"};

// The window title at each question shows the place in the pass ("Kotobax4 - " left out); an
// overruled verdict counts as right, and only a wrong verdict on screen may be overruled, once
// (the last column: whether it may be when the script ends); the missed entries come out once
// each, with every wrong answer.
TEST_F(AfterDrill, TitlesOverrulingAndMissedEntriesFollowEachMode) {
    // The generator's 0 keeps the file's order and makes Endless ask A every time.
    using Case = std::tuple<common::DrillModeValue, QStringList, QString, QString, QString, bool>;
    // clang-format off
    const std::vector<Case> cases{
        {kNormalMode, {"x", "b", ""}, "1 / 3,2 / 3,3 / 3", "正解率  33 %", "A[x] C[]", true},
        {kNormalMode, {"x", "^", "y", "c"}, "1 / 3,2 / 3,3 / 3", "正解率  66 %", "B[y]", false},
        {kEndlessMode, {"x", "a", "y", ""}, "1,2,3,4", "回答数 : 4  正解数 : 1", "A[x,y,]", true},
        // Again for the next question.
        {kEndlessMode, {"x", "^", "x"}, "1,2", "回答数 : 2  正解数 : 1", "A[x]", true},
        // Each later pass holds only B.
        {kOvercomingMode, {"a", "x", "c", "y", "B", "b"}, "1 / 3,2 / 3,3 / 3,1 / 1,1 / 1,1 / 1",
         "問題数 : 3  不正解数 : 3", "B[x,y,B]", false},
        // A leaves the set; B moves up and is asked next.
        {kOvercomingMode, {"x", "^", "y", "c", "b"}, "1 / 3,2 / 3,3 / 3,1 / 1",
         "問題数 : 3  不正解数 : 1", "B[y]", false},
        // The last of a pass: the drill ends at the next question.
        {kOvercomingMode, {"a", "b", "x", "^"}, "1 / 3,2 / 3,3 / 3", "問題数 : 3  不正解数 : 0", "", false},
    };
    // clang-format on
    for (const auto& [mode, script, titles, results, missed, overrule] : cases) {
        SCOPED_TRACE(script.join(",").toStdString());
        startWith(kABC, mode);
        EXPECT_FALSE(session.canOverrule()) << "a question waits for its answer";
        EXPECT_EQ(play(script).join(",").remove("Kotobax4 - "), titles);
        EXPECT_EQ(session.canOverrule(), overrule);
        end();
        EXPECT_FALSE(session.canOverrule()) << "after the drill";
        EXPECT_EQ(session.resultsLine(), results);
        EXPECT_EQ(drillWindowTitle(session.drilling(), session.position()), "Kotobax4");
        EXPECT_EQ(missedText(session.missed()), missed);
    }
}

// Answers to questions: every mode asks the answers on one line and judges the typed question;
// listening asks the question, judges it and shows it with the answers. The file's entries stay
// as they are, in the missed entries and in the record.
TEST_F(AfterDrill, ReverseAsksTheAnswersAndJudgesTheQuestionInEveryMode) {
    const struct {
        const char* name;
        DrillWay way;
        QStringList lines;
        common::DrillModeValue mode;
        QStringList script;
        QString asked;
        QString verdicts;
        QString titles;
        QString results;
        QString missed;
    } table[] = {
        // clang-format off
        {"one entry, several answers", DrillWay::Reversed, {"apple|@1|りんご|@2|林檎|@1|fruit"},
         kNormalMode, {"apple"}, "りんご | 林檎", "○apple", "答え→問題 1 / 1", "答え→問題  正解率  100 %", ""},
        // Each answer is the other's question: judged against its own entry only.
        {"two entries, each the other's answer", DrillWay::Reversed, {"run|@1|走る|@1|", "走る|@1|run|@1|"},
         kOvercomingMode, {"ran", "走る", "run"}, "走る,run,走る", "×run,○走る,○run",
         "答え→問題 1 / 2,答え→問題 2 / 2,答え→問題 1 / 1", "答え→問題  問題数 : 2  不正解数 : 1", "run[ran]"},
        {"three entries, overruled", DrillWay::Reversed, kABC, kEndlessMode, {"x", "^", "A"}, "a,a", "×A,○A",
         "答え→問題 1,答え→問題 2", "答え→問題  回答数 : 2  正解数 : 2", ""},
        {"listening", DrillWay::Listening, {"apple|@1|りんご|@2|林檎|@1|", "run|@1|走る|@1|"}, kNormalMode,
         {"aple", "run"}, "apple,run", "×りんご|林檎=apple,○走る=run", "聞き取り 1 / 2,聞き取り 2 / 2",
         "聞き取り  正解率  50 %", "apple[aple]"},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        asked.clear();
        verdicts.clear();
        ASSERT_TRUE(session.setWay(row.way));
        startWith(row.lines, row.mode);
        EXPECT_FALSE(session.setWay(DrillWay::Typed)) << "fixed while the drill runs";
        EXPECT_EQ(play(row.script).join(",").remove("Kotobax4 - "), row.titles);
        EXPECT_EQ(asked.join(","), row.asked);
        EXPECT_EQ(verdicts.join(","), row.verdicts);
        const history::DrillRecord record = end();
        EXPECT_EQ(record.way, row.way);
        EXPECT_EQ(session.resultsLine(), row.results);
        EXPECT_EQ(missedText(session.missed()), row.missed);
    }
}

// The record of each drill, and a drill over the missed entries that gives the file's set back.
TEST_F(AfterDrill, DrillOverMissedEntriesAsksOnlyThemThenTheFileAgain) {
    startWith(kABC, kOvercomingMode);
    play({"x", "b", "y"});
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const history::DrillRecord first = session.finish(90);
    const QDateTime after = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(first.wordFile, programFile("words.qvw"));
    EXPECT_EQ(first.seconds, 90);
    // 90 s before it ended, however long this program waited for the processor meanwhile.
    EXPECT_TRUE(first.started >= before.addSecs(-90) && first.started <= after.addSecs(-90))
        << first.started.toString(Qt::ISODateWithMs).toStdString();
    EXPECT_EQ(std::tuple(first.mode, first.again, first.asked, first.right, first.rate),
              std::tuple(kOvercomingMode, false, 3, 1, 33));
    EXPECT_EQ(first.missed, QStringList({"A", "C"}));
    EXPECT_TRUE(session.reloadDue()) << "Overcoming spent the file's set";

    const QList<common::Entry> missed = session.missed().entries();
    ASSERT_TRUE(session.startOver(kOvercomingMode, missed));
    EXPECT_EQ(session.questionSet(), missed);
    EXPECT_FALSE(session.reloadDue());
    ask();
    EXPECT_EQ(play({"a", "z"}), QStringList({"Kotobax4 - 1 / 2", "Kotobax4 - 2 / 2"}));
    const history::DrillRecord again = session.finish(0);
    EXPECT_TRUE(again.again);
    EXPECT_EQ(missedText(session.missed()), "C[z]");
    EXPECT_FALSE(session.reloadDue()) << "the file's set came back";
    EXPECT_EQ(session.questionSet().size(), 2) << "as Overcoming left it";
}

}  // namespace
}  // namespace drill::test
