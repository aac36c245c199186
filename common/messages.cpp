// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/messages.h"

#include "common/ansi_text.h"
#include "common/entry_text.h"
#include "common/word_file.h"

namespace common {

std::optional<QString> unstorableRefusal(const QList<Entry>& entries, UnstorableDetail detail) {
    const QString refusal =
        QStringLiteral("単語ﾌｧｲﾙに保存できない文字があるため、保存できません。");
    if (detail == UnstorableDetail::Characters) {
        QString text;
        for (const Entry& entry : entries) {
            text += entry.question + entry.rights + entry.information;
        }
        const QString unstorable = unrepresentableChars(text);
        if (unstorable.isEmpty()) {
            return std::nullopt;
        }
        return refusal + kCrLf + quoteEach(unstorable);
    }
    constexpr int kNamed = 5;
    const QList<int> unstorable = unstorableEntries(entries, kNamed + 1);
    if (unstorable.isEmpty()) {
        return std::nullopt;
    }
    QString text = QStringLiteral("次の項目には") + refusal;
    for (const int position : unstorable.first(qMin(kNamed, int(unstorable.size())))) {
        const Entry& entry = entries.at(position);
        text += kCrLf + QString::number(position + 1) + QStringLiteral(": ") +
                entry.question.left(40) + QStringLiteral("  ") +
                quoteEach(unrepresentableChars(entry.question + entry.rights + entry.information));
    }
    if (unstorable.size() > kNamed) {
        text += kCrLf + QStringLiteral("...");
    }
    return text;
}

}  // namespace common
