// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <optional>

#include "common/drill_way.h"
#include "common/messages.h"
#include "common/settings.h"
#include "common/word_file.h"

// The fixed texts that the drill shows, and the ones it builds from its counters.
namespace drill {

inline const QString kOpenTitle = QStringLiteral("Open");
inline const QString kFileNotFound = QStringLiteral("ﾌｧｲﾙが見つかりません。");
inline const QString kInvalidFile = QStringLiteral("不正なﾌｧｲﾙです。");
inline const QString kOldVersion = QStringLiteral("指定されたﾌｧｲﾙは、古いﾊﾞｰｼﾞｮﾝのものです。");
inline const QString kTooManyEntries =
    QStringLiteral("問題が多すぎます。開けるのは %1 問までのﾌｧｲﾙです。").arg(common::kMaxEntries);
inline const QString kOpening = QStringLiteral("ﾌｧｲﾙを開いています...");
inline const QString kReloading = QStringLiteral("ﾌｧｲﾙをﾘﾛｰﾄﾞしています...");
inline const QString kLoaded = QStringLiteral("ﾌｧｲﾙをﾛｰﾄﾞしました。");
inline const QString kGoodLuck = QStringLiteral("Good luck!");
inline const QString kStartTitle = QStringLiteral("Start!");
inline const QString kStopQuestion = QStringLiteral("終了しますか？");
inline const QString kStopTitle = QStringLiteral("Stop");
inline const QString kReviewsAhead =
    QStringLiteral("時計が進んでいた時の記録があります。これらは予定に使っていません。");
// In the one-line question box while the question is only spoken; how to hear it again is
// in the information box.
inline const QString kListeningPrompt = QStringLiteral("（聞き取り）");
inline const QString kListeningKeys =
    QStringLiteral("聞こえた問題を入力してください。F5: もう一度　Shift+F5: ゆっくり");
inline const QString kNotSpoken =
    QStringLiteral("この問題は読み上げられないため、表示しています。");
inline const QString kRightMark = QStringLiteral("○");
inline const QString kWrongMark = QStringLiteral("×");
inline const QString kTryAgain = QStringLiteral("惜しい！もう一度入力してください。");
inline const QString kKanaSeemsOn =
    QStringLiteral("入力モードを確認してください（かな入力がオンのようです）");
inline const QString kKanaSeemsOff =
    QStringLiteral("入力モードを確認してください（かな入力がオフのようです）");
using common::kCrLf;

// m " 分 " s " 秒"; minutes are not split into hours.
QString elapsedText(qint64 seconds);

// "3 / 5" in Normal and Endless mode, "Left : 12" in Overcoming mode.
QString countText(common::DrillModeValue mode, qint64 correct, qint64 answered, qint64 left);

// "復習: 12 語　新しい語: 30 語", under the name of a word file just opened.
// newUsedUp: the day's new words are taken on, fresh of them left for another day.
QString reviewCountText(int due, int fresh, bool newUsedUp);
// The line after today's review: when the next words are due today (if any), and how many
// tomorrow.
QString reviewClosingText(std::optional<std::chrono::minutes> next, int today, int tomorrow);

// The line that ends a drill, led by the way's name when it was not the typed one.
QString resultsLine(common::DrillModeValue mode, qint64 correct, qint64 answered,
                    common::DrillWay way = common::DrillWay::Typed);

}  // namespace drill
