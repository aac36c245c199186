#include "exchange/logic/mapping.h"

#include "common/ansi_text.h"
#include "common/entry_text.h"

namespace exchange {

QString splitText(AnswerSplit split) {
    switch (split) {
        case AnswerSplit::Semicolon:
            return QStringLiteral("; ");
        case AnswerSplit::Slash:
            return QStringLiteral("/");
        case AnswerSplit::Comma:
            return QStringLiteral("、");
        case AnswerSplit::OnePerColumn:
            break;
    }
    return {};
}

namespace {

QString cell(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row[column] : QString();
}

QStringList answersOf(const QStringList& row, const Mapping& mapping) {
    QStringList answers;
    if (mapping.split == AnswerSplit::OnePerColumn) {
        for (int column = mapping.answers; column < row.size(); ++column) {
            if (column != mapping.question && column != mapping.information) {
                answers.append(row[column].trimmed());
            }
        }
    } else {
        // Splitting at the separator's first character lets "a;b" and "a; b" both work.
        answers = cell(row, mapping.answers).split(splitText(mapping.split).front());
        for (QString& answer : answers) {
            answer = answer.trimmed();
        }
    }
    answers.removeAll(QString());
    return answers;
}

bool spansLines(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

}  // namespace

ImportPlan planImport(const Table& table, const Mapping& mapping) {
    ImportPlan plan;
    for (qsizetype i = mapping.firstRowIsHeader ? 1 : 0; i < table.rows.size(); ++i) {
        const QStringList& row = table.rows[i];
        const int line = i < table.sourceLines.size() ? table.sourceLines[i] : int(i + 1);
        const auto refuse = [&](Problem problem, const QString& detail) {
            plan.problems.append({line, problem, detail});
        };
        const QString question = cell(row, mapping.question).trimmed();
        const QStringList answers = answersOf(row, mapping);
        QString information = cell(row, mapping.information);
        information.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        information.replace(u'\r', u'\n');
        information.replace(u'\n', common::kLineBreakMark.toString());
        if (question.isEmpty()) {
            refuse(Problem::NoQuestion, {});
            continue;
        }
        if (answers.isEmpty()) {
            refuse(Problem::NoAnswer, question);
            continue;
        }
        if (spansLines(question) || std::any_of(answers.begin(), answers.end(), spansLines)) {
            refuse(Problem::LineBreak, question);
            continue;
        }
        const common::Entry entry{question, common::joinRights(answers), information};
        const QString all = entry.question + entry.rights + entry.information;
        if (entry.question.contains(common::kFieldSeparator) ||
            entry.question.contains(common::kAnswerSeparator) ||
            entry.information.contains(common::kFieldSeparator) ||
            std::any_of(answers.begin(), answers.end(), [](const QString& answer) {
                return answer.contains(common::kFieldSeparator) ||
                       answer.contains(common::kAnswerSeparator);
            })) {
            refuse(Problem::Separator, question);
            continue;
        }
        if (const QString missing = common::unrepresentableChars(all); !missing.isEmpty()) {
            refuse(Problem::Unstorable, missing);
            continue;
        }
        plan.entries.append(entry);
    }
    return plan;
}

QString describe(const RowProblem& problem) {
    QString what;
    switch (problem.problem) {
        case Problem::NoQuestion:
            what = QStringLiteral("問題がありません");
            break;
        case Problem::NoAnswer:
            what = QStringLiteral("答えがありません (%1)").arg(problem.detail);
            break;
        case Problem::Unstorable:
            what = QStringLiteral("単語帳に保存できない文字があります: %1").arg(problem.detail);
            break;
        case Problem::Separator:
            what = QStringLiteral("|@1| や |@2| は単語帳に保存できません (%1)").arg(problem.detail);
            break;
        case Problem::LineBreak:
            what = QStringLiteral("問題や答えに改行があります (%1)").arg(problem.detail);
            break;
    }
    return QStringLiteral("%1 行目: %2").arg(problem.sourceLine).arg(what);
}

}  // namespace exchange
