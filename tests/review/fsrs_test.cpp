// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTimeZone>

#include <cmath>
#include <vector>

#include "review/fsrs.h"

namespace review {
namespace {

ReviewTime at(qint64 ms) {
    return ReviewTime(std::chrono::milliseconds(ms));
}

// Written by fsrs_vectors/generate.mjs from the reference implementation, in UTC and on a
// learner's day in Tokyo and New York across daylight-saving changes: every review of every
// sequence must give its state exactly, and replaying the whole log the last one. The
// reference was handed the instants moved to the learner's day; its due times are on them.
TEST(FsrsScheduler, MatchesReferenceVectors) {
    QFile file(QStringLiteral(KX_SOURCE_DIR "/tests/review/fsrs_vectors/vectors.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray sequences = QJsonDocument::fromJson(file.readAll())["sequences"].toArray();
    ASSERT_GE(sequences.size(), 300);
    int reviewCount = 0;
    QSet<QString> zones;
    for (qsizetype i = 0; i < sequences.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject sequence = sequences[i].toObject();
        const QString zone = sequence["zone"].toString();
        zones.insert(zone);
        const LearnerDay day(QTimeZone(zone.toUtf8()), sequence["dayStartsAt"].toInt());
        const FsrsScheduler scheduler(sequence["retention"].toDouble(), day);
        CardState card;
        std::vector<Review> log;
        for (const QJsonValue& value : sequence["reviews"].toArray()) {
            const QJsonArray row = value.toArray();
            SCOPED_TRACE(reviewCount++);
            ASSERT_EQ(row.size(), 10);
            const ReviewTime now = at(row[0].toInteger());
            const ReviewTime moved = at(row[9].toInteger());
            const auto grade = static_cast<Grade>(row[1].toInt());
            ASSERT_EQ(day.shifted(now), moved);
            EXPECT_EQ(scheduler.retrievability(card, now), row[2].toDouble());
            card = scheduler.review(card, now, grade);
            log.push_back({now, grade});
            EXPECT_EQ(card.stability, row[3].toDouble());
            EXPECT_EQ(card.difficulty, row[4].toDouble());
            EXPECT_EQ(card.due - now, at(row[5].toInteger()) - moved);
            EXPECT_EQ(int(card.phase), row[6].toInt());
            EXPECT_EQ(card.elapsedDays, row[7].toInt());
            EXPECT_EQ(card.scheduledDays, row[8].toInt());
        }
        const CardState replayed = scheduler.replay(log);
        EXPECT_EQ(replayed.stability, card.stability);
        EXPECT_EQ(replayed.due, card.due);
    }
    EXPECT_EQ(zones, (QSet<QString>{"UTC", "Asia/Tokyo", "America/New_York"}));
}

TEST(FsrsScheduler, KeepsRetentionInRange) {
    const struct {
        double asked;
        double kept;
    } table[] = {
        {0.5, 0.70},
        {0.8, 0.8},
        {1.0, 0.97},
        {std::nan(""), 0.9},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.asked);
        EXPECT_EQ(FsrsScheduler(row.asked).desiredRetention(), row.kept);
    }
}

// Two programs may store reviews in any order, and a clock set back gives an earlier time.
TEST(FsrsScheduler, ReplaysALogInTimeOrder) {
    const FsrsScheduler scheduler;
    const qint64 day = 86'400'000;
    const std::vector<Review> inOrder = {
        {at(0), Grade::Good},        {at(600'000), Grade::Good},
        {at(3 * day), Grade::Again}, {at(3 * day + 900'000), Grade::Hard},
        {at(20 * day), Grade::Good},
    };
    // Grades 0 and 4 come only from a damaged history.
    const std::vector<Review> shuffled = {
        inOrder[3], inOrder[0], {at(day), Grade(0)}, inOrder[4],
        inOrder[2], inOrder[1], {at(day), Grade(4)},
    };
    const CardState expected = scheduler.replay(inOrder);
    const CardState replayed = scheduler.replay(shuffled);
    EXPECT_EQ(replayed.stability, expected.stability);
    EXPECT_EQ(replayed.difficulty, expected.difficulty);
    EXPECT_EQ(replayed.due, expected.due);
    EXPECT_EQ(replayed.lapses, 1);

    const CardState backwards = scheduler.review(expected, at(19 * day), Grade::Good);
    EXPECT_EQ(backwards.elapsedDays, 0);
    EXPECT_GT(backwards.due, at(19 * day));
}

}  // namespace
}  // namespace review
