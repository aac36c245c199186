// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include "common/word_file.h"
#include "exchange/logic/table.h"

// Turning a table's rows into entries as the user mapped its columns.
namespace exchange {

// How one answers cell holds several answers; Other splits at a text of the user's own;
// OnePerColumn takes every column from the answers column on (but the question, information
// and hidden columns) as one answer each.
enum class AnswerSplit {
    FullWidthSemicolon,
    FullWidthSlash,
    Comma,
    Semicolon,
    Slash,
    AsciiComma,
    LineBreak,
    Other,
    OnePerColumn,
};
inline constexpr int kAnswerSplits = int(AnswerSplit::OnePerColumn) + 1;

struct Mapping {
    int question = 0;
    int answers = 1;
    int information = -1;  // -1: none
    AnswerSplit split = AnswerSplit::Semicolon;
    bool firstRowIsHeader = false;
    QString otherSeparator;  // for AnswerSplit::Other
};

// The separator shown to the user ("；", "／", "、", "; ", " / ", ",", "改行"); empty for Other
// and OnePerColumn.
QString splitText(AnswerSplit split);
// What a cell is split at: the separator without its blanks (which trimming the answers drops
// anyway), a line break, or the user's own text; empty for no split.
QString splitMark(const Mapping& mapping);

// The mapping the preview starts with: the table's suggested columns and, of the separators
// offered, the one found outside double quotes in the most cells of the answers column, ties
// going to the format's own (a line break for HTML, else "; ").
Mapping proposedMapping(const Table& table);

// A row's answers as the mapping splits them, joined by "｜", for the preview.
QString previewAnswers(const QStringList& row, const Mapping& mapping,
                       const QList<int>& hiddenColumns);

enum class Problem {
    NoQuestion,
    NoAnswer,
    Unstorable,   // characters the word file's code page cannot store
    Separator,    // a text holds "|@1|" or "|@2|", which the word file cannot tell apart
    LineBreak,    // a question or an answer spans lines
    Nul,          // a NUL character, which no one can type as an answer
    TooLong,      // a field over the 32,767 characters a word file takes
    DroppedText,  // the reader left part of the row out (an external entity)
    BadBytes,     // bytes of a UTF-8 file that are not UTF-8
};

struct RowProblem {
    int sourceLine = 0;  // or the entry's number, as the table counts its rows
    Problem problem = Problem::NoQuestion;
    QString detail;  // the characters that cannot be stored, or the question
    RowNumbering numbering = RowNumbering::Line;
};

struct ImportPlan {
    QList<common::Entry> entries;  // the rows that can become entries, in source order
    QList<RowProblem> problems;    // the rows that cannot, one problem each
};

ImportPlan planImport(const Table& table, const Mapping& mapping);

// What the user reads about a problem, e.g. "5 行目: 答えがありません" or
// "3 番目の単語: 問題がありません".
QString describe(const RowProblem& problem);

// How many entries a document holding `existing` can still take.
inline int roomFor(int existing) {
    return common::kMaxEntries - existing;
}

}  // namespace exchange
