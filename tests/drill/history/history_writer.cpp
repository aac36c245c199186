// kx_history_writer FILE NAME COUNT: records COUNT drills of the word file NAME into FILE.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "drill/history/sqlite_history.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        return 2;
    }
    drill::history::SqliteHistory history(args.at(1));
    const int count = args.at(3).toInt();
    for (int i = 0; i < count; ++i) {
        drill::history::DrillRecord record;
        record.started = QDateTime::currentDateTimeUtc();
        record.wordFile = args.at(2);
        record.asked = i;
        record.missed = {QStringLiteral("q%1").arg(i)};
        if (const QString reason = history.record(record); !reason.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(reason));
            return 1;
        }
    }
    return 0;
}
