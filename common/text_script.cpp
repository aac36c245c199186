// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/text_script.h"

#include <QChar>

namespace common {

namespace {

bool isJapanese(char32_t codePoint) {
    // Kana and the common kanji without a look into the script table: a whole file's answers
    // are voted on as it opens.
    if ((codePoint >= U'ぁ' && codePoint <= U'ゖ') || (codePoint >= U'ァ' && codePoint <= U'ヺ') ||
        (codePoint >= U'一' && codePoint <= U'龥')) {
        return true;
    }
    if (codePoint == U'ー' || codePoint == U'ｰ') {
        return true;  // the long-vowel mark belongs to no script of its own
    }
    switch (QChar::script(codePoint)) {
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Han:
            return true;
        default:
            return false;
    }
}

// Calls answer for each answer of rights, empty ones too, as a tokenizer keeping empty parts
// would give them, at the cost of a look at each unit rather than a substring search per
// answer.
template <typename Answer>
void forEachAnswer(QStringView rights, Answer answer) {
    const qsizetype separator = kAnswerSeparator.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i + separator <= rights.size();) {
        if (rights[i] == kAnswerSeparator.front() &&
            rights.sliced(i, separator) == kAnswerSeparator) {
            answer(rights.sliced(start, i - start));
            start = i += separator;
        } else {
            ++i;
        }
    }
    answer(rights.sliced(start));
}

}  // namespace

Script textScript(QStringView text) {
    Script script = Script::None;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // By code point, without a copy: export names the columns of a whole file by this.
        char32_t codePoint = text[i].unicode();
        if (QChar::isHighSurrogate(codePoint) && i + 1 < text.size() &&
            text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (codePoint < 0x80) {
            // ASCII letters are Latin, its other characters of no script
            const bool letter = (codePoint | 0x20) >= U'a' && (codePoint | 0x20) <= U'z';
            if (letter || (codePoint >= U'0' && codePoint <= U'9')) {
                script = Script::Latin;
            }
            continue;
        }
        if (isJapanese(codePoint)) {
            return Script::Japanese;
        }
        if (QChar::script(codePoint) == QChar::Script_Latin || QChar::isDigit(codePoint)) {
            script = Script::Latin;
        }
    }
    return script;
}

bool answersAreJapanese(const QList<Entry>& entries) {
    qsizetype japanese = 0;
    qsizetype others = 0;
    // Each answer in place, without a list of copies: the drill asks this of a whole file as
    // it opens.
    for (const Entry& entry : entries) {
        if (entry.rights.isEmpty()) {
            continue;
        }
        forEachAnswer(entry.rights, [&](QStringView answer) {
            ++(textScript(answer) == Script::Japanese ? japanese : others);
        });
    }
    return japanese > others;
}

}  // namespace common
