// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/messages.h"
#include "common/word_file.h"

#include <QString>

// The fixed texts that the editor shows, and the ones it builds from a number.
namespace editor {

using common::kCrLf;

inline const QString kEditorTitle = QStringLiteral("Kotobax 4  単語ﾌｧｲﾙ編集");
inline const QString kOpenTitle = QStringLiteral("ﾌｧｲﾙを開く");
inline const QString kSaveTitle = QStringLiteral("ﾌｧｲﾙを保存");
inline const QString kInvalidFile = QStringLiteral("不正なﾌｧｲﾙです。");
inline const QString kOldVersion = QStringLiteral("このﾌｧｲﾙは古いﾊﾞｰｼﾞｮﾝのものです。") + kCrLf +
                                   QStringLiteral("新しいﾊﾞｰｼﾞｮﾝに変換しますか？");
inline const QString kTooManyToOpen =
    QStringLiteral("項目が多すぎるため、このﾌｧｲﾙは開けません。") + kCrLf +
    QStringLiteral("1つのﾌｧｲﾙに入る項目は %1個までです。").arg(common::kMaxEntries);
inline const QString kUnreadable = QStringLiteral("ﾌｧｲﾙを読み込めませんでした。");
inline const QString kConverterMissing =
    QStringLiteral("変換ﾌﾟﾛｸﾞﾗﾑが見つからないか、起動できません。");
inline const QString kNotSaved = QStringLiteral("ﾌｧｲﾙを保存できませんでした。");
inline const QString kSaveQuestion =
    QStringLiteral("編集中のﾌｧｲﾙが変更されています。") + kCrLf + QStringLiteral("保存しますか？");
inline const QString kSaveQuestionTitle = QStringLiteral("変更");
inline const QString kStoreQuestion =
    QStringLiteral("入力中の項目は更新されていません。更新しますか？");
inline const QString kStoreQuestionTitle = QStringLiteral("更新");
inline const QString kRemoveQuestion =
    QStringLiteral("選択された項目を削除します。") + kCrLf + QStringLiteral("よろしいですか？");
inline const QString kRemoveWord = QStringLiteral("削除");
inline const QString kFull =
    QStringLiteral("これ以上、項目を追加できません。") + kCrLf +
    QStringLiteral("1つのﾌｧｲﾙに入る項目は %1個までです。").arg(common::kMaxEntries);

// The entry check's refusals.
inline const QString kNeedQuestion = QStringLiteral("問題を入力してください。");
inline const QString kNeedRight = QStringLiteral("解答を 1つ以上入力してください。");
inline const QString kNoLineBreak = QStringLiteral("問題と解答には改行を入力できません。");
inline const QString kSeparatorTyped =
    QStringLiteral("「|@1|」は単語ﾌｧｲﾙの区切りに使われるため、入力できません。");
inline const QString kCharsNotStored = QStringLiteral("次の文字は単語ﾌｧｲﾙに保存できません。");

// Reverse generation and search.
inline const QString kReverseTitle = QStringLiteral("逆問題");
inline const QString kReverseTooMany =
    QStringLiteral("項目の数が %1 を超えるため、逆問題を生成できません。").arg(common::kMaxEntries);
inline const QString kReverseQuestion =
    QStringLiteral("逆問題の生成を行います。") + kCrLf + QStringLiteral("よろしいですか？");
inline const QString kScanTitle = QStringLiteral("検索");
inline const QString kScanFinished = QStringLiteral("検索が完了しました。");
inline const QString kScanAgain =
    kScanFinished + kCrLf + QStringLiteral("ﾘｽﾄの最初から再検索しますか？");
inline const QString kScanNeedText = QStringLiteral("検索文字列を指定してください。");
inline const QString kScanNeedFields = QStringLiteral("検索の対象を指定してください。");

// The words that name the entry commands in their refusals ("問題の追加") and undo steps.
inline const QString kAddWord = QStringLiteral("追加");
inline const QString kInsertWord = QStringLiteral("挿入");
inline const QString kChangeWord = QStringLiteral("更新");
inline const QString kImportWord = QStringLiteral("インポート");
inline const QString kReverseWord = QStringLiteral("逆問題生成");

inline QString commandTitle(const QString& commandWord) {
    return QStringLiteral("問題の") + commandWord;
}

}  // namespace editor
