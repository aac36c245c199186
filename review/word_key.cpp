// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "review/word_key.h"

#include <nettle/sha1.h>

#include "common/ansi_text.h"

namespace review {

namespace {

// Encodes a field stored as itself, with no surrogate in it, as UTF-8 at out, and returns the
// end; null when it is not such a field.
char* encodedAsItself(QStringView field, char* out) {
    bool checked = false;  // the field stored as itself, from its first non-ASCII unit on
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        if (QChar::isSurrogate(c) || (!checked && !common::storedAsItself(field.sliced(i)))) {
            return nullptr;
        }
        checked = true;
        if (c < 0x800) {
            *out++ = char(0xC0 | c >> 6);
        } else {
            *out++ = char(0xE0 | c >> 12);
            *out++ = char(0x80 | (c >> 6 & 0x3F));
        }
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// A field as the word file stores it, in UTF-8, added to what is hashed. Most fields are ASCII
// or text stored as itself: encoded straight into the buffer, without a copy; the others (a
// character stored as its neighbour, a surrogate) are converted first.
void appendStored(QByteArray& hashed, QStringView field) {
    const qsizetype start = hashed.size();
    hashed.resize(start + 3 * field.size());  // at most three bytes for each unit encoded here
    if (const char* end = encodedAsItself(field, hashed.data() + start)) {
        hashed.resize(end - hashed.constData());
        return;
    }
    hashed.resize(start);
    hashed += common::storedForm(field).toUtf8();
}

QByteArray sha1(QByteArrayView bytes) {
    sha1_ctx context;
    sha1_init(&context);
    sha1_update(&context, size_t(bytes.size()), reinterpret_cast<const uint8_t*>(bytes.data()));
    QByteArray digest(SHA1_DIGEST_SIZE, Qt::Uninitialized);
    sha1_digest(&context, SHA1_DIGEST_SIZE, reinterpret_cast<uint8_t*>(digest.data()));
    return digest;
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
    return sha1(hashed);
}

QByteArray wayKey(const QByteArray& wordKey, common::DrillWay way) {
    if (way == common::DrillWay::Typed) {
        return wordKey;
    }
    return sha1(wordKey + QByteArrayLiteral("way") + QByteArray::number(static_cast<int>(way)));
}

}  // namespace review
