// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/entry_text.h"

#include "common/messages.h"
#include "common/word_file.h"

namespace common {

QStringList splitRights(QStringView rights) {
    QStringList answers;
    if (rights.isEmpty()) {
        return answers;
    }
    for (QStringView answer : rights.split(kAnswerSeparator)) {
        answers.append(answer.toString());
    }
    return answers;
}

QString joinRights(const QStringList& answers) {
    return answers.join(kAnswerSeparator);
}

QString rightsOnOneLine(QStringView rights) {
    QString line = rights.toString();
    line.replace(kAnswerSeparator.toString(), QStringLiteral(" | "), Qt::CaseSensitive);
    return line;
}

QString informationToDisplay(QStringView stored) {
    QString display = stored.toString();
    display.replace(kLineBreakMark.data(), kLineBreakMark.size(), kCrLf.data(), kCrLf.size());
    return display;
}

QString informationToStore(QStringView display) {
    // Text boxes hand back bare LF (and pasted text may carry a bare CR); every kind of line
    // break becomes the mark, since a real one would split the entry's line in the file.
    QString stored;
    stored.reserve(display.size());
    for (qsizetype i = 0; i < display.size(); ++i) {
        const QChar c = display[i];
        if (c == u'\r') {
            if (i + 1 < display.size() && display[i + 1] == u'\n') {
                ++i;
            }
            stored += kLineBreakMark;
        } else if (c == u'\n') {
            stored += kLineBreakMark;
        } else {
            stored += c;
        }
    }
    return stored;
}

QString quoteEach(QStringView text) {
    QString quoted;
    for (qsizetype i = 0; i < text.size(); ++i) {
        quoted += u'「';
        quoted += text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            quoted += text.at(++i);
        }
        quoted += u'」';
    }
    return quoted;
}

}  // namespace common
