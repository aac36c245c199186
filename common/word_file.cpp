#include "common/word_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "common/ansi_text.h"

namespace common {

namespace {

// The next line of text from `pos`, which moves past its line end (CR LF, LF or CR).
QStringView nextLine(QStringView text, qsizetype& pos) {
    const qsizetype start = pos;
    const QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype end = start;
    while (end < size && data[end] != u'\n' && data[end] != u'\r') {
        ++end;
    }
    pos = end;
    if (pos < size) {
        pos += (data[pos] == u'\r' && pos + 1 < size && data[pos + 1] == u'\n') ? 2 : 1;
    }
    return text.sliced(start, end - start);
}

// The word is compared in ASCII upper case only: the number after it is never looked at.
bool isVersionLine(QStringView line) {
    constexpr QStringView kWord = u"VERSION";
    if (line.size() < kWord.size()) {
        return false;
    }
    for (qsizetype i = 0; i < kWord.size(); ++i) {
        char16_t c = line[i].unicode();
        if (c >= u'a' && c <= u'z') {
            c = char16_t(c - (u'a' - u'A'));
        }
        if (c != kWord[i].unicode()) {
            return false;
        }
    }
    return true;
}

// Question, right answers and information from an entry line; false for a line with fewer than
// two separators. Pieces after the third are dropped.
bool splitEntryLine(QStringView line, Entry& entry) {
    const qsizetype first = line.indexOf(kFieldSeparator);
    if (first < 0) {
        return false;
    }
    const qsizetype rightsStart = first + kFieldSeparator.size();
    const qsizetype second = line.indexOf(kFieldSeparator, rightsStart);
    if (second < 0) {
        return false;
    }
    const qsizetype infoStart = second + kFieldSeparator.size();
    qsizetype third = line.indexOf(kFieldSeparator, infoStart);
    if (third < 0) {
        third = line.size();
    }
    entry.question = line.first(first).toString();
    entry.rights = line.sliced(rightsStart, second - rightsStart).toString();
    entry.information = line.sliced(infoStart, third - infoStart).toString();
    return true;
}

// A field holding a line break would split its entry in two on the next reading; the
// information keeps its breaks as the mark, the single-line fields get a blank instead.
QStringView singleLine(QStringView field, QStringView breakMark, QString& buffer) {
    if (!field.contains(u'\r') && !field.contains(u'\n')) {
        return field;
    }
    buffer.clear();
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < field.size() && field[i + 1] == u'\n') {
                ++i;
            }
            buffer += breakMark;
        } else {
            buffer += c;
        }
    }
    return buffer;
}

}  // namespace

ReadResult parseWordFile(QByteArrayView bytes) {
    ReadResult result;
    if (bytes.isEmpty()) {
        result.outcome = ReadOutcome::Invalid;
        return result;
    }
    const QString text = decodeAnsi(bytes);
    qsizetype pos = 0;
    if (!isVersionLine(nextLine(text, pos))) {
        result.outcome = ReadOutcome::OldVersion;
        return result;
    }
    Entry entry;
    while (pos < text.size()) {
        if (!splitEntryLine(nextLine(text, pos), entry)) {
            continue;
        }
        if (result.entries.size() == kMaxEntries) {
            result.entries.clear();
            result.outcome = ReadOutcome::TooMany;
            return result;
        }
        result.entries.append(std::move(entry));
    }
    result.outcome = ReadOutcome::Entries;
    return result;
}

ReadResult readWordFile(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.outcome = ReadOutcome::NotFound;
        return result;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        result.outcome = ReadOutcome::Unreadable;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.outcome = ReadOutcome::Unreadable;
        return result;
    }
    return parseWordFile(bytes);
}

QByteArray formatWordFile(const QList<Entry>& entries) {
    constexpr QStringView kLineEnd = u"\r\n";
    qsizetype length = kVersionLine.size() + kLineEnd.size();
    for (const Entry& entry : entries) {
        length += entry.question.size() + entry.rights.size() + entry.information.size() +
                  2 * kFieldSeparator.size() + kLineEnd.size();
    }
    QString text;
    text.reserve(length);
    text += kVersionLine;
    text += kLineEnd;
    QString buffer;
    for (const Entry& entry : entries) {
        text += singleLine(entry.question, u" ", buffer);
        text += kFieldSeparator;
        text += singleLine(entry.rights, u" ", buffer);
        text += kFieldSeparator;
        text += singleLine(entry.information, kLineBreakMark, buffer);
        text += kLineEnd;
    }
    return encodeAnsi(text);
}

WriteResult writeWordFile(const QString& path, const QList<Entry>& entries) {
    WriteResult result;
    const QByteArray bytes = formatWordFile(entries);
    QSaveFile file(path);
    // Unbuffered: a buffered flush that the disk cuts short loses the rest without an error,
    // and the commit would then put a truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return result;
    }
    for (qsizetype done = 0; done < bytes.size();) {
        // A short write means trouble; the next attempt reports its reason.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            result.error = file.errorString();
            file.cancelWriting();
            return result;
        }
        done += written;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace common
