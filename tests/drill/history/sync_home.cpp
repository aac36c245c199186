// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// kx_sync_home HOME MACHINE: a drill program at HOME (history.sqlite, preferences.ini naming the
// sync folder), answering for ever: its n-th answer, given at second 2n + MACHINE, goes to the
// word "w<n mod 40>", and every fifth answer is followed by a merge of the folder. It says n
// once the answer is recorded, and goes on after the last answer its journal holds.
// kx_sync_home HOME MACHINE --final: merges until nothing is new, then says, for each word, its
// reviews and state, and the reviews in all of those both machines journalled.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>

#include "common/preferences.h"
#include "drill/history/history_sync.h"
#include "drill/history/sqlite_history.h"
#include "drill/history/sync_merge.h"

namespace {

using namespace drill::history;

constexpr int kWords = 40;

QByteArray wordOf(qint64 n) {
    return "w" + QByteArray::number(n % kWords);
}

// The answer after the last that machine journalled in the files.
qint64 nextAnswer(const QStringList& paths, int machine) {
    qint64 next = 0;
    for (const QString& path : paths) {
        for (qint64 from = 0;;) {
            const JournalPart part = readJournal(path, from);
            for (const JournalRecord& record : part.records) {
                const qint64 second = record.at() / 1000 - 1'700'000'000;
                if (second % 2 == machine) {
                    next = std::max(next, second / 2 + 1);
                }
            }
            if (!part.error.isEmpty() || part.atEnd || part.end == from) {
                break;
            }
            from = part.end;
        }
    }
    return next;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        return 2;
    }
    const QDir home(args[1]);
    const int machine = args[2].toInt();
    const QString path = home.filePath(QStringLiteral("history.sqlite"));
    const QString folder =
        common::PreferencesFile(home.filePath(QStringLiteral("preferences.ini"))).load().syncFolder;
    SqliteHistory history(path, QTimeZone::utc());
    HistorySync sync(history, path, home.filePath(QStringLiteral("preferences.ini")));
    sync.configure();
    if (args.size() > 3) {
        do {
            sync.merge();
            sync.wait();
            QCoreApplication::processEvents();  // the merge's end told
        } while (sync.lastReport().added > 0);
        int all = 0;
        for (int word = 0; word < kWords; ++word) {
            const review::WordReviews reviews = history.wordReviews(wordOf(word));
            all += reviews.reviews;
            std::printf("%s %d", wordOf(word).constData(), reviews.reviews);
            if (reviews.state) {
                std::printf(" %lld %.6f %d", qint64(reviews.state->due.time_since_epoch().count()),
                            reviews.state->stability, reviews.state->reps);
            }
            std::printf("\n");
        }
        QStringList journals;
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            journals.append(QDir(folder).filePath(name));
        }
        std::printf("all %d of %lld\n", all, nextAnswer(journals, 0) + nextAnswer(journals, 1));
        return 0;
    }
    for (qint64 n = nextAnswer({sync.journalPath(), path + QStringLiteral(".journal.outbox"),
                                path + QStringLiteral(".journal.sending")},
                               machine);
         ; ++n) {
        const review::ReviewRecord answer{
            review::ReviewTime(std::chrono::seconds(1'700'000'000 + 2 * n + machine)), wordOf(n),
            n % 5 == 0 ? review::Grade::Again : review::Grade::Good, 800, QStringLiteral("/w")};
        if (!history.recordReview(answer).isEmpty()) {
            return 1;
        }
        std::printf("%lld\n", n);
        std::fflush(stdout);
        if (n % 5 == 4) {
            mergeFolder(history, folder, QDateTime::currentMSecsSinceEpoch());
        }
    }
}
