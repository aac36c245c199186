// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/compared_forms.h"

#include <algorithm>

#include "common/ansi_text.h"
#include "drill/engine/judging.h"

namespace drill {

namespace {

bool isAscii(QStringView text) {
    char16_t any = 0;
    for (const QChar c : text) {
        any |= c.unicode();
    }
    return any < 0x80;
}

// ASCII is stored as itself, NFKC leaves it alone and folding its case is lowering it.
QString asciiFolded(QString trimmed) {
    const QChar* const begin = trimmed.constData();
    const QChar* const end = begin + trimmed.size();
    const QChar* upper = std::find_if(begin, end, [](QChar c) { return c >= u'A' && c <= u'Z'; });
    if (upper == end) {
        return trimmed;  // still shared with the text when there was nothing to trim either
    }
    const qsizetype first = upper - begin;
    QChar* const data = trimmed.data();
    for (qsizetype i = first; i < trimmed.size(); ++i) {
        if (data[i] >= u'A' && data[i] <= u'Z') {
            data[i] = QChar(data[i].unicode() + (u'a' - u'A'));
        }
    }
    return trimmed;
}

common::Script asciiScript(const QString& text) {
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            return common::Script::Latin;
        }
    }
    return common::Script::None;
}

}  // namespace

ComparedForms comparedForms(const QString& text) {
    if (isAscii(text)) {
        return {text, asciiFolded(text.trimmed()), asciiScript(text)};
    }
    QString stored = common::storedForm(text);
    QString folded = lenientForm(stored);
    return {std::move(stored), std::move(folded), common::textScript(text)};
}

QString foldedForm(QStringView text) {
    return isAscii(text) ? asciiFolded(text.trimmed().toString())
                         : lenientForm(common::storedForm(text));
}

}  // namespace drill
