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

// How one answers cell holds several answers; OnePerColumn takes every column from the
// answers column on (but the question, information and hidden columns) as one answer each.
enum class AnswerSplit { Semicolon, Slash, Comma, OnePerColumn, AsciiComma };

struct Mapping {
    int question = 0;
    int answers = 1;
    int information = -1;  // -1: none
    AnswerSplit split = AnswerSplit::Semicolon;
    bool firstRowIsHeader = false;
};

// The separator shown to the user ("; ", "/", "、", ","); empty for OnePerColumn.
QString splitText(AnswerSplit split);

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
