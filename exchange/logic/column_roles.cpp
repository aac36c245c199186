// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/column_roles.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace exchange {

namespace {

QString normalName(const QString& name) {
    return name.trimmed().toCaseFolded();
}

bool asksName(const QString& name) {
    static const QSet<QString> kNames = {
        QStringLiteral("front"),     QStringLiteral("question"), QStringLiteral("表"),
        QStringLiteral("表面"),      QStringLiteral("問題"),     QStringLiteral("english"),
        QStringLiteral("word"),      QStringLiteral("words"),    QStringLiteral("term"),
        QStringLiteral("単語"),      QStringLiteral("英単語"),   QStringLiteral("英語"),
        QStringLiteral("vocabulary")};
    return kNames.contains(name);
}

bool answersName(const QString& name) {
    static const QSet<QString> kNames = {
        QStringLiteral("back"),       QStringLiteral("answer"),      QStringLiteral("answers"),
        QStringLiteral("裏"),         QStringLiteral("裏面"),        QStringLiteral("答え"),
        QStringLiteral("japanese"),   QStringLiteral("meaning"),     QStringLiteral("meanings"),
        QStringLiteral("definition"), QStringLiteral("translation"), QStringLiteral("意味"),
        QStringLiteral("訳"),         QStringLiteral("和訳"),        QStringLiteral("日本語")};
    return kNames.contains(name);
}

bool informationName(const QString& name) {
    static const QSet<QString> kNames = {
        QStringLiteral("information"), QStringLiteral("info"),  QStringLiteral("notes"),
        QStringLiteral("note"),        QStringLiteral("extra"), QStringLiteral("comment"),
        QStringLiteral("example"),     QStringLiteral("情報"),  QStringLiteral("備考"),
        QStringLiteral("メモ"),        QStringLiteral("例文"),  QStringLiteral("解説"),
        QStringLiteral("コメント")};
    return kNames.contains(name);
}

// A name that only says which language the column is written in, as kvtml identifiers and
// KWordQuiz's columns do ("English", "日本語", "en", "ja").
bool languageName(const QString& name) {
    static const QSet<QString> kNames = {QStringLiteral("english"), QStringLiteral("英語"),
                                         QStringLiteral("en"),      QStringLiteral("japanese"),
                                         QStringLiteral("日本語"),  QStringLiteral("ja")};
    return kNames.contains(name);
}

// Names of columns that hold no word: ids, media, Anki's tags, deck and note type.
bool neverName(const QString& name) {
    static const QSet<QString> kNames = {
        QStringLiteral("id"),          QStringLiteral("guid"),    QStringLiteral("note id"),
        QStringLiteral("noteid"),      QStringLiteral("card id"), QStringLiteral("picture"),
        QStringLiteral("image"),       QStringLiteral("img"),     QStringLiteral("photo"),
        QStringLiteral("sound"),       QStringLiteral("audio"),   QStringLiteral("tags"),
        QStringLiteral("tag"),         QStringLiteral("deck"),    QStringLiteral("notetype"),
        QStringLiteral("note type"),   QStringLiteral("画像"),    QStringLiteral("写真"),
        QStringLiteral("音声"),        QStringLiteral("タグ"),    QStringLiteral("デッキ"),
        QStringLiteral("ノートタイプ")};
    return kNames.contains(name);
}

bool onlyDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// Whether the column's first rows hold some text that is not a number.
bool holdsText(const Table& table, int column) {
    constexpr qsizetype kSample = 50;
    const qsizetype first = table.firstRowIsHeader ? 1 : 0;
    for (qsizetype r = first; r < table.rows.size() && r < first + kSample; ++r) {
        const QString cell = table.rows[r].value(column).trimmed();
        if (!cell.isEmpty() && !onlyDigits(cell)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void proposeColumns(Table& table) {
    if (!table.outcome.ok() || table.rows.isEmpty()) {
        return;
    }
    const QStringList& given = table.firstRowIsHeader ? table.rows.first() : table.columns;
    const int count = int(table.columns.size());
    QStringList names;
    QList<bool> usable;
    for (int c = 0; c < count; ++c) {
        names.append(normalName(given.value(c)));
        usable.append(!table.hiddenColumns.contains(c) && !neverName(names[c]) &&
                      holdsText(table, c));
    }
    const auto named = [&](bool (*role)(const QString&), QList<int> taken) {
        for (int c = 0; c < count; ++c) {
            if (usable[c] && !taken.contains(c) && role(names[c])) {
                return c;
            }
        }
        return -1;
    };
    // The reader's suggestion while it is usable, else the first usable column left.
    const auto fallback = [&](int suggested, QList<int> taken) {
        if (suggested >= 0 && suggested < count && usable[suggested] &&
            !taken.contains(suggested)) {
            return suggested;
        }
        for (int c = 0; c < count; ++c) {
            if (usable[c] && !taken.contains(c)) {
                return c;
            }
        }
        return -1;
    };
    int question = named(asksName, {});
    int answers = named(answersName, {question});
    // Two columns named only by their languages tell nothing of the direction: the file's
    // order decides, the first asking, as the programs writing such files drill (our kvtml
    // export of Japanese questions names them "日本語", their answers "English").
    if (question >= 0 && answers >= 0 && answers < question && languageName(names[question]) &&
        languageName(names[answers])) {
        std::swap(question, answers);
    }
    if (question < 0) {
        question = fallback(table.suggestedQuestion, {answers});
    }
    if (answers < 0) {
        answers = fallback(table.suggestedAnswers, {question});
    }
    // Information may be empty in the first rows: the reader's column stays unless it is
    // taken or holds no word.
    int information = named(informationName, {question, answers});
    const int suggested = table.suggestedInformation;
    if (information < 0 && suggested >= 0 && suggested < count && suggested != question &&
        suggested != answers && !table.hiddenColumns.contains(suggested) &&
        !neverName(names[suggested])) {
        information = suggested;
    }
    // With too few text columns, the reader's own choice rather than none.
    if (question >= 0 && answers >= 0) {
        table.suggestedQuestion = question;
        table.suggestedAnswers = answers;
        table.suggestedInformation = information;
    }
}

}  // namespace exchange
