// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/word_key.h"

#include <QCryptographicHash>

#include "common/ansi_text.h"

namespace review {

namespace {

// A field as the word file stores it, in UTF-8, added to what is hashed. Most fields are ASCII,
// their own UTF-8: added as they are, without a copy.
void appendStored(QByteArray& hashed, QStringView field) {
    const qsizetype start = hashed.size();
    hashed.resize(start + field.size());
    char* out = hashed.data() + start;
    for (const QChar c : field) {
        if (c.unicode() >= 0x80) {
            hashed.resize(start);
            hashed += common::storedForm(field).toUtf8();
            return;
        }
        *out++ = char(c.unicode());
    }
}

}  // namespace

QByteArray wordKey(const common::Entry& entry) {
    // The field separator cannot occur inside a field, so question and answers never run into
    // each other; the stored form makes a word read from UTF-8 match its Shift_JIS copy. The
    // bytes hashed are gathered in one buffer kept for the thread: a full file has tens of
    // thousands of words to key.
    static const QByteArray separator = common::kFieldSeparator.toUtf8();
    thread_local QByteArray hashed;
    hashed.resize(0);
    appendStored(hashed, entry.question);
    hashed += separator;
    appendStored(hashed, entry.rights);
    return QCryptographicHash::hash(hashed, QCryptographicHash::Sha1);
}

QByteArray wayKey(const QByteArray& wordKey, common::DrillWay way) {
    if (way == common::DrillWay::Typed) {
        return wordKey;
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(wordKey);
    hash.addData(QByteArrayLiteral("way"));
    hash.addData(QByteArray::number(static_cast<int>(way)));
    return hash.result();
}

}  // namespace review
