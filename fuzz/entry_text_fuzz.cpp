// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The entry form's conversions on any text: answers split and join without loss, and the
// information's line breaks never reach the file as real ones.
#include <QString>
#include <QStringList>

#include <cstdint>

#include "common/entry_text.h"
#include "common/word_file.h"
#include "fuzz_check.h"

using namespace Qt::StringLiterals;

namespace {

void checkAnswers(const QString& field) {
    const QStringList answers = common::splitRights(field);
    KX_FUZZ_CHECK(answers.isEmpty() == field.isEmpty());
    KX_FUZZ_CHECK(common::joinRights(answers) == field);
    for (const QString& answer : answers) {
        KX_FUZZ_CHECK(!answer.contains(common::kAnswerSeparator));
    }
    // Answers without a bar cannot run into a separator: they come back as they were typed.
    // A single empty answer is no answer.
    const QStringList typed = field.split(u'|');
    const QStringList expected = typed == QStringList{QString()} ? QStringList() : typed;
    KX_FUZZ_CHECK(common::splitRights(common::joinRights(typed)) == expected);
}

void checkInformation(const QString& text) {
    const QString stored = common::informationToStore(text);
    KX_FUZZ_CHECK(!stored.contains(u'\r') && !stored.contains(u'\n'));
    if (!text.contains(common::kLineBreakMark)) {
        // Shown again with every kind of line break as CR LF.
        QString shown = text;
        shown.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u"\r\n"_s);
        KX_FUZZ_CHECK(common::informationToDisplay(stored) == shown);
    }
    if (!text.contains(u'\r') && !text.contains(u'\n')) {
        // A field read from a file is stored again unchanged after it was shown.
        KX_FUZZ_CHECK(common::informationToStore(common::informationToDisplay(text)) == text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    checkAnswers(text);
    checkInformation(text);
    return 0;
}
