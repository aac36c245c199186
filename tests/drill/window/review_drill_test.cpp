// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

#include "common/preferences.h"
#include "drill/engine/drill_texts.h"
#include "drill/history/history_sync.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sync_journal.h"
#include "drill/window/frm_review.h"
#include "drill/window/review_commands.h"
#include "file_bytes.h"
#include "review/review_clock.h"
#include "review/review_plan.h"
#include "review/word_key.h"
#include "window_fixture.h"

namespace drill::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using platform::Answer;
using platform::ImeMode;

const review::ReviewTime kDayZero{std::chrono::days(20000) + 9h};

class HandClock final : public review::ReviewClock {
public:
    review::ReviewTime time = kDayZero;
    review::ReviewTime now() const override { return time; }
};

// Keeps the reviews it is handed, or refuses them with a reason.
class ReviewLog final : public history::DrillHistory {
public:
    std::vector<review::ReviewRecord> reviews;
    std::vector<history::DrillRecord> ended;
    QString refusal;
    review::ReplayProgress progress;  // of the work beside the window

    QString record(const history::DrillRecord& drill) override {
        ended.push_back(drill);
        return {};
    }
    history::Drills drills() override { return {}; }
    QString reviewsUnavailable() override { return refusal; }
    review::ReplayProgress replayProgress() override { return progress; }
    QString recordReviews(std::span<const review::ReviewRecord> given) override {
        if (!refusal.isEmpty()) {
            return refusal;
        }
        reviews.insert(reviews.end(), given.begin(), given.end());
        return {};
    }
};

QByteArray key(const QString& question, const QString& rights) {
    return review::wordKey({question, rights, ""});
}

class ReviewDrill : public WindowTest {
public:
    HandClock clock;
    std::unique_ptr<history::SqliteHistory> store;

    void create(history::DrillHistory& history) {
        show(std::make_unique<frmMain>(platform, random, history, clock));
    }
    // The window on a history of its own, empty.
    history::SqliteHistory& createOnStore() {
        window.reset();
        store = std::make_unique<history::SqliteHistory>(":memory:", QTimeZone::utc());
        create(*store);
        return *store;
    }
    // Right twice, ten minutes apart, `ago` before day zero: past the same-day steps.
    void learnt(const QByteArray& word, std::chrono::minutes ago, const QString& file) {
        for (const auto step : {0min, 10min}) {
            ASSERT_EQ(
                store->recordReview({kDayZero - ago + step, word, review::Grade::Good, 800, file}),
                QString());
        }
    }
    void openFile(const QString& file) {
        platform.fileNames({file});
        action("Menu_Open")->trigger();
    }
    void open(const QStringList& lines) { openFile(words(lines)); }
    frmReview* reviewWindow() {
        action("Menu_ReviewPlan")->trigger();
        return window->reviewCommands().reviewWindow();
    }
    // The questions asked until the drill ends (at most `most`), each answered by answerOf.
    QStringList askAll(const std::function<QString(const QString&)>& answerOf, qsizetype most) {
        QStringList asked;
        while (window->session().drilling() && asked.size() < most) {
            asked.append(text("txtQuestion1"));
            answer(answerOf(asked.back()));
            find<QPushButton>("cmdOK")->click();
        }
        return asked;
    }
    QString informationLine() const { return text("txtInformation").section('\n', 2); }
};

// Answers to questions: chosen in the Option menu and kept in the preferences; the answers
// asked on one line, the question judged; the record, the review's key and the results line
// say so; the word file is not touched.
TEST_F(ReviewDrill, ReverseIsKeptAndRecordedAsItsOwnWay) {
    ReviewLog log;
    create(log);
    action("Option_WayBackward")->trigger();
    const QString path = words({"apple|@1|りんご|@2|林檎|@1|fruit"});
    const QByteArray before = kxtest::readBytes(path);
    startDrill({"apple|@1|りんご|@2|林檎|@1|fruit"});
    EXPECT_EQ(text("txtQuestion1"), u"りんご | 林檎"_s);
    EXPECT_EQ(window->windowTitle(), u"Kotobax4 - 答え→問題 1 / 1"_s);
    EXPECT_FALSE(find<QMenu>("Option_Way")->menuAction()->isEnabled());
    EXPECT_FALSE(find<QLineEdit>("txtAnswer")->isReadOnly()) << "typed, unlike a choice";
    answer("apple");
    EXPECT_EQ(text("lblResult") + rights() + text("txtInformation"), u"○apple,,,fruit"_s);
    find<QPushButton>("cmdOK")->click();
    EXPECT_EQ(text("txtQuestion1"), u"答え→問題  正解率  100 %"_s);
    ASSERT_EQ(log.ended.size(), 1u);
    EXPECT_EQ(log.ended[0].way, common::DrillWay::Reversed);
    ASSERT_EQ(log.reviews.size(), 1u);
    EXPECT_EQ(log.reviews[0].wordKey,
              review::wayKey(key("apple", u"りんご|@2|林檎"_s), common::DrillWay::Reversed));
    EXPECT_EQ(kxtest::readBytes(path), before);

    create(log);
    EXPECT_TRUE(action("Option_WayBackward")->isChecked());
    EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load().drillWay,
              common::DrillWay::Reversed);
}

// The history's work beside the window (an upgrade, then a replay) is followed on a line beside
// the menus until it ends, and a replay set going later by opening a file is shown again.
TEST_F(ReviewDrill, TheHistorysWorkBesideTheWindowIsFollowed) {
    ReviewLog log;
    log.progress = {3, 12, true};
    create(log);
    const QLabel* line = find<QLabel>("lblReplay");
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text(), u"成績の記録を新しい版に合わせています… 25 %"_s);
    log.progress = {6, 12, false};
    QTRY_COMPARE(line->text(), u"復習の予定を計算し直しています… 50 %"_s);
    log.progress = {};
    QTRY_VERIFY(!line->isVisible());
    log.progress = {1, 2, false};
    open({"apple|@1|りんご|@1|"});
    EXPECT_TRUE(line->isVisible());
}

// Each judged answer is a review of its word with the verdict's grade and the time it took;
// one warning says why reviews are skipped, until one is recorded again.
TEST_F(ReviewDrill, AnswersBecomeReviewsWithTheirGrades) {
    ReviewLog log;
    create(log);
    struct Row {
        const char* typed;
        bool overrule;
        review::Grade grade;
        bool refused;  // the store refuses this review
        bool warned;   // and a warning says why
    };
    const std::vector<Row> rows{
        {"a", false, review::Grade::Good, false, false},
        {"x", false, review::Grade::Again, false, false},
        {"x", true, review::Grade::Hard, false, false},
        {"x", false, review::Grade::Again, true, true},
        {"e", false, review::Grade::Good, true, false},
        {"f", false, review::Grade::Good, false, false},
    };
    QStringList lines;
    for (int i = 0; i < int(rows.size()); ++i) {
        lines.append(QString("Q%1|@1|%2|@1|").arg(i).arg(QChar('a' + i)));
    }
    startDrill(lines);
    qsizetype warnings = 0;
    for (int i = 0; i < int(rows.size()); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(i);
        log.refusal = row.refused ? "disk full" : "";
        if (row.warned) {
            platform.answers({Answer::Ok});
        }
        clock.time += std::chrono::seconds(i + 1);
        answer(row.typed);
        if (row.overrule) {
            action("Menu_Overrule")->trigger();
        }
        find<QPushButton>("cmdOK")->click();  // the next question, or the drill's end
        warnings += std::count_if(platform.shown().begin(), platform.shown().end(),
                                  [](const platform::MessageBox& box) {
                                      return box.text.contains("disk full");
                                  }) -
                    warnings;
    }
    EXPECT_EQ(warnings, 1) << "one warning for the two refused reviews";
    ASSERT_EQ(log.reviews.size(), 4u);
    auto given = log.reviews.begin();
    for (int question = 0; question < int(rows.size()); ++question) {
        if (!rows[question].refused) {
            EXPECT_EQ(given->wordKey, key(QString("Q%1").arg(question), QChar('a' + question)));
            EXPECT_EQ(std::pair(given->grade, given->answerMilliseconds),
                      std::pair(rows[question].grade, (question + 1) * 1000LL));
            EXPECT_TRUE((given++)->wordFile.endsWith("words.qvw"));
        }
    }
}

// A near miss given one more try, or an answer typed in the wrong input mode, counts nothing and
// keeps the text selected for the next try; a near miss accepted, or right only at the second
// try, is a hard right. The difference shows after × and after an ○ the rule alone gave; the
// slips reach the drill's record.
TEST_F(ReviewDrill, NearMissesAndTheWrongInputModeCountOnlyWhatIsJudged) {
    using common::NearMissChoice;
    using review::Grade;
    struct Row {
        const char* name;
        NearMissChoice nearMiss;
        QString rights;
        QStringList tries;  // all but the last are not judged
        QString notJudged;  // what the information box says of them
        std::optional<ImeMode> ime;
        QString mark;
        Grade grade;
        bool differenceShown;
        QStringList slips;
    };
    const std::vector<Row> rows{
        // clang-format off
        {"judged as usual", NearMissChoice::Judge, "receive", {"recieve"}, {}, {}, "×", Grade::Again, true, {}},
        {"one more try", NearMissChoice::Retry, "receive", {"recieve", "receive"}, kTryAgain, {}, "○", Grade::Hard, false, {}},
        {"only one", NearMissChoice::Retry, "rice", {"lice", "lice"}, kTryAgain, {}, "×", Grade::Again, true, {"lr", "lr"}},
        {"accepted", NearMissChoice::Accept, "rice", {"lice"}, {}, {}, "○", Grade::Hard, true, {"lr"}},
        {"kana for English", NearMissChoice::Judge, "apple", {u"あっぷる"_s, "apple"}, kKanaSeemsOn, ImeMode::Off, "○", Grade::Good, false, {}},
        {"romaji for Japanese", NearMissChoice::Accept, u"りんご"_s, {"ringo", u"りんご"_s}, kKanaSeemsOff, ImeMode::On, "○", Grade::Good, false, {}},
        // clang-format on
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(
            common::PreferencesFile(platform.preferencesFile()).update([&](common::Preferences& p) {
                p.nearMiss = row.nearMiss;
            }));
        ReviewLog log;
        window.reset();
        create(log);
        startDrill({"q|@1|" + row.rights + "|@1|"});
        ASSERT_FALSE(row.tries.isEmpty());
        for (qsizetype i = 0; i + 1 < row.tries.size(); ++i) {
            answer(row.tries.at(i));
            EXPECT_EQ(text("txtInformation") + text("lblResult") + text("lblCount"),
                      row.notJudged + "0 / 0");
            EXPECT_EQ(find<QLineEdit>("txtAnswer")->selectedText(), row.tries.at(i));
            if (row.ime) {
                ASSERT_FALSE(platform.imeChanges().empty());
                EXPECT_EQ(platform.imeChanges().back().mode, *row.ime);
            }
        }
        answer(row.tries.last());
        EXPECT_EQ(text("lblResult") + text("lblCount"),
                  row.mark + (row.mark == "○" ? "1 / 1" : "0 / 1"));
        EXPECT_EQ(find("lblDifference")->accessibleDescription().isEmpty(), !row.differenceShown);
        find<QPushButton>("cmdOK")->click();  // the drill ends
        ASSERT_EQ(log.reviews.size(), 1u);
        EXPECT_EQ(log.reviews.front().grade, row.grade);
        ASSERT_EQ(log.ended.size(), 1u);
        EXPECT_EQ(log.ended.front().slips, row.slips);
    }
}

// The file's counts when it opens, and today's review: the due words, least likely recalled
// first, then the day's new words, as a Normal drill titled as a review.
TEST_F(ReviewDrill, TodaysReviewAsksTheDueWordsFirst) {
    createOnStore();
    common::PreferencesFile(platform.preferencesFile()).update([](common::Preferences& p) {
        p.dailyNewWords = 1;
    });
    const QString file = words({"new1|@1|n|@1|", "soon|@1|s|@1|", "long|@1|l|@1|", "late|@1|t|@1|",
                                "new2|@1|m|@1|", "ahead|@1|h|@1|"});
    for (const auto& [question, rights, daysAgo] : std::vector<std::tuple<QString, QString, int>>{
             {"long", "l", 40}, {"late", "t", 12}, {"soon", "s", 9}, {"ahead", "h", 1}}) {
        learnt(key(question, rights), std::chrono::days(daysAgo), file);
    }
    openFile(file);
    EXPECT_EQ(informationLine(), "復習: 3 語　新しい語: 2 語");

    // 開始 in the review window starts it.
    frmReview* plan = reviewWindow();
    ASSERT_NE(plan, nullptr);
    auto* files = plan->findChild<QTreeWidget*>("lstFiles");
    ASSERT_TRUE(files != nullptr && files->topLevelItemCount() > 0);
    files->setCurrentItem(files->topLevelItem(0));
    platform.answers({Answer::Ok});
    plan->findChild<QPushButton*>("cmdStart")->click();
    EXPECT_EQ(window->windowTitle(), "Kotobax4 - 復習 1 / 4");
    const QHash<QString, QString> rights{
        {"long", "l"}, {"late", "t"}, {"soon", "s"}, {"new1", "n"}};
    const QStringList asked = askAll([&](const QString& q) { return rights.value(q); }, 10);
    ASSERT_GE(asked.size(), 4);
    EXPECT_EQ(asked.mid(0, 4), QStringList({"long", "late", "soon", "new1"}));
    EXPECT_EQ(window->windowTitle(), "Kotobax4");
    EXPECT_EQ(window->session().questionSet().size(), 6) << "the file's set is back";

    // Every word was just answered and the day's one new word taken: only more new words.
    platform.answers({Answer::No});
    action("Menu_Review")->trigger();
    ASSERT_FALSE(platform.shown().empty());
    EXPECT_EQ(platform.shown().back().text,
              "今日復習する語はありません。\r\n新しい語をあと 1 語練習しますか？");
    EXPECT_FALSE(window->session().drilling());
}

// Today's review asks every way the file's words were reviewed in, typed first, each after the
// learner agrees to go on; a way left out in the review window is not asked, and the way chosen
// in the menu is the drill's again afterwards.
TEST_F(ReviewDrill, TodaysReviewAsksEachWayInTurn) {
    const struct {
        const char* name;
        QList<common::DrillWay> leftOut;
        QStringList asked;
    } rows[] = {
        {"both ways", {}, {"x", "y1"}},
        {"typed left out", {common::DrillWay::Typed}, {"y1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        history::SqliteHistory& store = createOnStore();
        common::PreferencesFile(platform.preferencesFile()).update([&](common::Preferences& p) {
            p.dailyNewWords = 0;
            p.reviewWaysLeftOut = row.leftOut;
        });
        const QString file = words({"x|@1|x1|@1|", "y|@1|y1|@1|"});
        learnt(key("x", "x1"), std::chrono::days(40), file);
        learnt(review::wayKey(key("y", "y1"), common::DrillWay::Reversed), std::chrono::days(40),
               file);
        ASSERT_EQ(store.record({QDateTime::currentDateTimeUtc(), 0, file, common::kNormalMode,
                                false, common::DrillWay::Reversed}),
                  QString());
        openFile(file);
        platform.answers({Answer::Ok, Answer::Yes, Answer::Ok});
        action("Menu_Review")->trigger();
        const QHash<QString, QString> answers{{"x", "x1"}, {"y1", "y"}};
        EXPECT_EQ(askAll([&](const QString& q) { return answers.value(q); }, 5), row.asked);
        EXPECT_EQ(window->session().way(), common::DrillWay::Typed);
    }
}

// A word due again within the learn-ahead limit comes back after the others, the soonest first
// and at once when nothing else is left; the review ends when nothing is due that soon, saying
// when the next words are due. No waiting: the clock moves only by the answers' time.
TEST_F(ReviewDrill, SameDayRepeatsComeBackInTheSession) {
    struct Row {
        const char* name;
        QStringList missed;  // "a2": the second time a is asked, it is answered wrong
        QStringList asked;
        const char* closing;  // the information line afterwards
    };
    // Words a, b, c are new; r was reviewed 9 days ago and is due.
    const std::vector<Row> rows{
        // clang-format off
        {"all right: the new words come back once for their second step", {},
         {"r", "a", "b", "c", "a", "b", "c"}, "今日の復習は終わりました。"},
        {"a missed word comes back, the soonest due first, until it is right", {"a1", "a2"},
         {"r", "a", "b", "c", "a", "a", "b", "c", "a"}, "今日の復習は終わりました。明日 1 語です。"},
        {"a missed review word steps through the minutes and is due tomorrow", {"r1"},
         {"r", "a", "b", "c", "r", "a", "b", "c"}, "今日の復習は終わりました。明日 1 語です。"},
        // clang-format on
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        createOnStore();
        clock.time = kDayZero;
        const QString file = words({"r|@1|r|@1|", "a|@1|a|@1|", "b|@1|b|@1|", "c|@1|c|@1|"});
        learnt(key("r", "r"), std::chrono::days(9), file);
        openFile(file);
        platform.answers({Answer::Ok});
        action("Menu_Review")->trigger();
        QHash<QString, int> times;  // each question has been asked
        const QStringList asked = askAll(
            [&](const QString& question) {
                clock.time += 30s;
                const int time = ++times[question];
                return row.missed.contains(question + QString::number(time)) ? u"x"_s : question;
            },
            row.asked.size() + 2);
        EXPECT_EQ(asked, row.asked);
        EXPECT_FALSE(window->session().drilling());
        EXPECT_EQ(text("txtInformation"), row.closing);
    }
}

// The day's limit of new words, set in the review window, shows when it is used up, and today's
// review then offers a few more.
TEST_F(ReviewDrill, UsedUpNewWordsAreSaidAndMoreOffered) {
    struct Row {
        int limit;
        int takenToday;  // words first drilled earlier today
        int fresh;       // never drilled
        const char* line;
        const char* offer;
        const char* title;  // after Yes
    };
    const std::vector<Row> rows{
        {20, 0, 12, "復習: 0 語　新しい語: 12 語", "新しい語 12 語を練習しますか？",
         "Kotobax4 - 復習 1 / 12"},
        {2, 2, 12, "復習: 0 語　新しい語: 今日の分は練習済み (残り 12 語)",
         "新しい語をあと 10 語練習しますか？", "Kotobax4 - 復習 1 / 10"},
        {0, 0, 12, "復習: 0 語　新しい語: 今日の分は練習済み (残り 12 語)",
         "新しい語をあと 10 語練習しますか？", "Kotobax4 - 復習 1 / 10"},
        {5, 7, 4, "復習: 0 語　新しい語: 今日の分は練習済み (残り 4 語)",
         "新しい語をあと 4 語練習しますか？", "Kotobax4 - 復習 1 / 4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.limit);
        createOnStore();
        QStringList lines;
        for (int i = 0; i < row.fresh + row.takenToday; ++i) {
            lines.append(QString("w%1|@1|a|@1|").arg(i));
        }
        const QString file = words(lines);
        for (int i = row.fresh; i < row.fresh + row.takenToday; ++i) {
            learnt(key(QString("w%1").arg(i), "a"), 2h, file);  // due days later
        }
        frmReview* plan = reviewWindow();
        ASSERT_NE(plan, nullptr);
        plan->findChild<QSpinBox*>("spnNewWords")->setValue(row.limit);
        plan->close();
        EXPECT_EQ(common::PreferencesFile(platform.preferencesFile()).load().dailyNewWords,
                  row.limit);

        openFile(file);
        EXPECT_EQ(informationLine(), row.line);
        platform.answers({Answer::Yes, Answer::Ok});
        action("Menu_Review")->trigger();
        ASSERT_GE(platform.shown().size(), 2);
        EXPECT_EQ(platform.shown().at(platform.shown().size() - 2).text,
                  QString("今日復習する語はありません。\r\n") + row.offer);
        EXPECT_EQ(window->windowTitle(), row.title);
    }
}

// One session with the clock 20 years ahead hides no word once the clock is right again: the
// words are due as before and the information line says why; 復習の予定 puts those reviews
// aside only when the learner says yes.
TEST_F(ReviewDrill, ASessionWithTheClockAheadHidesNoWord) {
    history::SqliteHistory& store = createOnStore();
    const QString file = words({"r|@1|r|@1|", "s|@1|s|@1|"});
    for (const QString question : {"r", "s"}) {
        learnt(key(question, question), std::chrono::days(9), file);
    }
    clock.time = kDayZero + std::chrono::days(7305);
    openFile(file);
    platform.answers({Answer::Ok});
    action("Menu_Review")->trigger();
    askAll([](const QString& question) { return question; }, 4);
    ASSERT_FALSE(window->session().drilling());

    clock.time = kDayZero;
    const QString due = "復習: 2 語　新しい語: 0 語";
    openFile(file);
    EXPECT_EQ(informationLine(),
              due + "\n時計が進んでいた時の記録があります。これらは予定に使っていません。");

    frmReview* plan = reviewWindow();
    ASSERT_NE(plan, nullptr);
    auto* aside = plan->findChild<QPushButton*>("cmdAside");
    ASSERT_TRUE(aside != nullptr && aside->isVisible());
    for (const Answer said : {Answer::No, Answer::Yes}) {
        platform.answers({said});
        aside->click();
        ASSERT_FALSE(platform.shown().empty());
        EXPECT_TRUE(platform.shown().back().text.startsWith("時計が進んでいた時の記録が 2 件"));
        EXPECT_EQ(store.reviewsAhead(), said == Answer::Yes ? 0 : 2);
    }
    EXPECT_FALSE(aside->isVisible());
    plan->close();
    openFile(file);
    EXPECT_EQ(informationLine(), due);
}

// A file never drilled offers its new words, an entry repeated in it one word, counted and
// asked once; a store that takes no reviews is said so, and opening a file then adds no line.
TEST_F(ReviewDrill, TodaysReviewSaysWhyItHasNothingToAsk) {
    ReviewLog log;
    create(log);
    open({"a|@1|a|@1|", "b|@1|b|@1|", "a|@1|a|@1|"});
    EXPECT_EQ(informationLine(), "復習: 0 語　新しい語: 2 語");
    platform.answers({Answer::Yes, Answer::Ok});
    action("Menu_Review")->trigger();
    ASSERT_FALSE(platform.shown().empty());
    EXPECT_EQ(platform.shown().front().text,
              "今日復習する語はありません。\r\n新しい語 2 語を練習しますか？");
    EXPECT_EQ(window->windowTitle(), "Kotobax4 - 復習 1 / 2");
    stop();

    log.refusal = "the history is locked";
    open({"a|@1|a|@1|"});
    EXPECT_EQ(informationLine(), "");
    platform.answers({Answer::Ok});
    action("Menu_Review")->trigger();
    ASSERT_FALSE(platform.shown().empty());
    EXPECT_EQ(platform.shown().back().text, "今日の復習は使えません。\r\nthe history is locked");
}

// Another machine's review merged after the file was opened (Kotobax merges at start beside the
// window): the open's line tells the counts again; once a drill has the line, it is left alone.
TEST_F(ReviewDrill, AMergeEndingAfterTheOpenRecountsItsLine) {
    const QString path = programFile("history.sqlite");
    history::SqliteHistory store(path, QTimeZone::utc());
    history::HistorySync sync(store, path, platform.preferencesFile());
    QTemporaryDir folder;
    ASSERT_TRUE(sync.setFolder(folder.path()));
    create(store);
    window->setSync(&sync);
    const QStringList lines{"a|@1|r|@1|", "b|@1|r|@1|"};
    const QString file = words(lines);
    open(lines);
    EXPECT_EQ(informationLine(), u"復習: 0 語　新しい語: 2 語"_s);

    const QString other = "0f6d2c1a-5b7e-4c4f-9d1e-3a2b1c0d9e8f";
    QFile journal(folder.filePath(history::journalFileName(other)));
    const auto append = [&](const QString& word, qint64 seq) {
        const review::ReviewRecord review{clock.time - 1h + std::chrono::minutes(seq),
                                          key(word, "r"), review::Grade::Again, 900, file};
        return journal.write(history::journalLine({other, seq, review})) > 0;
    };
    ASSERT_TRUE(journal.open(QIODevice::Append) && append("a", 1));
    journal.flush();
    QSignalSpy merged(&sync, &history::HistorySync::merged);
    sync.merge();
    ASSERT_TRUE(merged.wait(20000));
    EXPECT_EQ(informationLine(), u"復習: 1 語　新しい語: 1 語"_s);

    platform.answers({Answer::Ok});
    action("Menu_Start")->trigger();
    answer("wrong");
    stop();
    const QString drillsLine = text("txtInformation");
    ASSERT_TRUE(append("b", 2));
    journal.flush();
    sync.merge();
    ASSERT_TRUE(merged.wait(20000));
    EXPECT_EQ(text("txtInformation"), drillsLine);
}

}  // namespace
}  // namespace drill::test
