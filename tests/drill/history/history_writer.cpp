// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// kx_history_writer FILE NAME COUNT: records COUNT drills of the word file NAME into FILE, the
// i-th asking i questions, writing i back once it is kept.
// kx_history_writer FILE NAME COUNT reviews: records COUNT answers of the word file NAME as
// reviews, its own words "NAME i" in turn with the word "shared": one for each line of its
// input, as a learner answers, writing the line's number back once the review is recorded.
// With KX_KILL_AFTER_PENDING_COMMIT set, it kills itself between the commit of the pending drills
// and the removal of their file; with KX_KILL_IN_PENDING_APPEND, once half of a drill's line is
// in the pending file; with KX_KILL_IN_UPGRADE_FILL, after the second step of an upgrade's
// filling in.
// kx_history_writer FILE --hold: holds the write lock of FILE until its input ends, saying
// "held" once it has it.
// kx_history_writer FILE --retention R: changes the desired retention to R, saying "changing" as
// it starts, "replaying" once the replay goes on beside it and "replayed" once it has ended.
// kx_history_writer FILE --renames N: the same, after the words "w1".."wN" of "/seed" were
// edited to "n1".."nN" in the editor.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <functional>

#include "drill/history/sqlite_history.h"
#include "review/word_key.h"
#include "review/word_renames.h"

namespace {

int hold(const QString& path) {
    drill::history::SqliteHistory(path).wordFiles();  // a database of today's schema
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}

// Says "changing" as it starts on the change, "replaying" once the change goes on beside it and
// "replayed" once it has ended.
int change(const QString& path, const std::function<void(drill::history::SqliteHistory&)>& how) {
    drill::history::SqliteHistory history(path);
    how(history);
    std::printf("changing\n");
    std::fflush(stdout);
    // The other program's step can hold the write lock past the busy wait when the whole suite
    // loads the disk; what is tested is the change, so a busy probe is asked again.
    QString reason;
    for (const QDeadlineTimer deadline(10'000);
         (reason = history.reviewsUnavailable()).contains(QLatin1String("database is locked")) &&
         !deadline.hasExpired();) {
        QThread::msleep(20);
    }
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        return 1;
    }
    std::printf("replaying\n");
    std::fflush(stdout);
    history.waitForReplay();
    std::printf("replayed\n");
    return 0;
}

// The words "w1".."wN" of the word file "/seed" edited to "n1".."nN", as the editor leaves them.
void renameWords(drill::history::SqliteHistory& history, int count) {
    QList<review::WordRename> renames;
    for (int i = 1; i <= count; ++i) {
        renames.append({review::ReviewTime(std::chrono::days(19999)), QStringLiteral("/seed"),
                        "w" + QByteArray::number(i), "n" + QByteArray::number(i)});
    }
    review::appendRenames(history.renamesPath(), renames);
}

int reviews(drill::history::DrillHistory& history, const QString& name, int count) {
    review::ReviewTime now{std::chrono::days(20000)};
    char line[32];
    for (int i = 0; i < count && std::fgets(line, sizeof line, stdin); ++i) {
        const common::Entry entry{
            i % 2 == 0 ? QStringLiteral("%1 %2").arg(name).arg(i / 2) : QStringLiteral("shared"),
            QStringLiteral("a"),
            {}};
        const review::ReviewRecord review{now, review::wordKey(entry), review::Grade::Good, 1500,
                                          name};
        if (const QString reason = history.recordReview(review); !reason.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(reason));
            return 1;
        }
        std::printf("%d\n", i);
        std::fflush(stdout);
        now += std::chrono::minutes(1);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(2) == QLatin1String("--hold")) {
        return hold(args.at(1));
    }
    if (args.size() == 4 && args.at(2) == QLatin1String("--retention")) {
        return change(args.at(1), [retention = args.at(3).toDouble()](auto& history) {
            history.setDesiredRetention(retention);
        });
    }
    if (args.size() == 4 && args.at(2) == QLatin1String("--renames")) {
        return change(args.at(1),
                      [count = args.at(3).toInt()](auto& history) { renameWords(history, count); });
    }
    if (args.size() != 4 && args.size() != 5) {
        return 2;
    }
    if (qEnvironmentVariableIsSet("KX_KILL_AFTER_PENDING_COMMIT")) {
        drill::history::SqliteHistory::pendingCommitted = [] { std::raise(SIGKILL); };
    }
    if (qEnvironmentVariableIsSet("KX_KILL_IN_PENDING_APPEND")) {
        drill::history::SqliteHistory::pendingHalfWritten = [] { std::raise(SIGKILL); };
    }
    if (qEnvironmentVariableIsSet("KX_KILL_IN_UPGRADE_FILL")) {
        drill::history::SqliteHistory::fillStepCommitted = [] {
            static int steps = 0;
            if (++steps == 2) {
                std::raise(SIGKILL);
            }
        };
    }
    drill::history::SqliteHistory history(args.at(1));
    const int count = args.at(3).toInt();
    if (args.size() == 5) {
        return reviews(history, args.at(2), count);
    }
    for (int i = 0; i < count; ++i) {
        drill::history::DrillRecord record;
        record.started = QDateTime::currentDateTimeUtc();
        record.wordFile = args.at(2);
        record.asked = i;
        record.missed = {QStringLiteral("q%1").arg(i)};
        if (const QString reason = history.record(record); !reason.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(reason));
            return 1;
        }
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    if (qEnvironmentVariableIsSet("KX_KILL_IN_UPGRADE_FILL")) {
        history.waitForReplay();  // the kill comes in the filling in, however quick the drills
    }
    for (const QString& notice : history.takeNotices()) {
        std::fprintf(stderr, "%s\n", qPrintable(notice));
    }
    return 0;
}
