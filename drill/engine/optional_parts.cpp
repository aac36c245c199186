// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/optional_parts.h"

#include <QList>

namespace drill {

namespace {

constexpr int kMostParts = 8;

// The answer cut into plain text and optional parts, alternately: pieces[0] plain,
// pieces[1] optional, pieces[2] plain, ...; an optional part is kept as written when typed.
struct Pieces {
    QStringList plain{QString()};
    QStringList optional;
};

Pieces cut(const QString& answer, bool parentheses, bool placeholder) {
    Pieces pieces;
    for (qsizetype i = 0; i < answer.size(); ++i) {
        const QChar c = answer[i];
        const bool room = pieces.optional.size() < kMostParts;
        if (room && placeholder && c == u'~') {
            pieces.optional.append(QStringLiteral("~"));
            pieces.plain.append(QString());
            continue;
        }
        if (room && parentheses && c == u'(') {
            int depth = 0;
            qsizetype end = i;
            for (; end < answer.size(); ++end) {
                depth += answer[end] == u'(' ? 1 : answer[end] == u')' ? -1 : 0;
                if (depth == 0) {
                    break;
                }
            }
            if (end < answer.size()) {
                pieces.optional.append(answer.sliced(i + 1, end - i - 1));
                pieces.plain.append(QString());
                i = end;
                continue;
            }
        }
        pieces.plain.last().append(c);
    }
    return pieces;
}

}  // namespace

QStringList optionalForms(const QString& answer, bool parentheses, bool placeholder) {
    if (!(parentheses && answer.contains(u'(')) && !(placeholder && answer.contains(u'~'))) {
        return {answer};
    }
    const Pieces pieces = cut(answer, parentheses, placeholder);
    QStringList forms{answer};
    const qsizetype parts = pieces.optional.size();
    for (unsigned left = 0; left < (1U << parts); ++left) {  // bit k: part k left out
        QString form = pieces.plain[0];
        for (qsizetype k = 0; k < parts; ++k) {
            QString next = pieces.plain[k + 1];
            if ((left >> k) & 1U) {
                if ((form.isEmpty() || form.endsWith(u' ')) && next.startsWith(u' ')) {
                    next.remove(0, 1);
                }
            } else {
                form += pieces.optional[k];
            }
            form += next;
        }
        form = form.trimmed();
        if (!forms.contains(form)) {
            forms.append(form);
        }
    }
    return forms;
}

}  // namespace drill
