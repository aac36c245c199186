// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

#include "common/word_file.h"

namespace drill {

class RandomSource;

// The choices offered for one question: one right answer among texts (at right), the others
// drawn from the file. right is -1 when the entry has no right answer to offer.
struct Choices {
    QStringList texts;
    int right = -1;
    friend bool operator==(const Choices&, const Choices&) = default;
};

// The answers of a word file, indexed by script and length, from which the wrong choices of a
// multiple-choice question are drawn. Indexing splits every entry's answers, so it waits until
// the first question is drawn. Not safe to share between threads.
class AnswerChoices {
public:
    static constexpr int kMaxChoices = 4;

    AnswerChoices() = default;
    explicit AnswerChoices(const QList<common::Entry>& entries) : unindexed_(entries) {}

    // Up to kMaxChoices texts in random order: one of rights, and answers of the file in the
    // right one's script and of about its length. None of them is accepted as a right answer
    // (by the most lenient judging, optional parts left out or not) or is the question itself,
    // and no two are the same to lenient judging.
    Choices draw(const QString& question, const QStringList& rights, RandomSource& random) const;

private:
    // Each answer once, per script (common::Script's numbers), by length.
    using Index = std::array<std::vector<QString>, 3>;
    void index() const;

    mutable QList<common::Entry> unindexed_;
    mutable Index answers_;
};

}  // namespace drill
