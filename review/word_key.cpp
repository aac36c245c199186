// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/word_key.h"

#include <QCryptographicHash>

#include "common/ansi_text.h"

namespace review {

QByteArray wordKey(const common::Entry& entry) {
    // The field separator cannot occur inside a field, so question and answers never run into
    // each other; the stored form makes a word read from UTF-8 match its Shift_JIS copy.
    static const QByteArray separator = common::kFieldSeparator.toUtf8();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(common::storedForm(entry.question).toUtf8());
    hash.addData(separator);
    hash.addData(common::storedForm(entry.rights).toUtf8());
    return hash.result();
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
