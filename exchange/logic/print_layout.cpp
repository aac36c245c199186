// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/logic/print_layout.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <algorithm>

#include "common/atomic_file.h"
#include "common/entry_text.h"
#include "exchange/logic/pdf_text_map.h"

namespace exchange {

namespace {

constexpr qsizetype kMaxPrintedChars = 32767;

// The CJK face cut to one code point per glyph (built in, see print_font.py): the PDF's text
// map takes the lowest code point of a glyph, which in the whole face is often a radical.
QString japanesePrintFamily() {
    static const QString family = [] {
        for (const QString& weight : {QStringLiteral("Regular"), QStringLiteral("Bold")}) {
            QFontDatabase::addApplicationFont(
                QStringLiteral(":/kx/fonts/print-%1.otf").arg(weight));
        }
        return QStringLiteral("Kx Print JP");
    }();
    return family;
}

QFont printFont(qreal points, bool bold = false) {
    // Latin from a Latin font: text set in the CJK font loses its digits when a PDF is read
    // back as text. Japanese falls back to the CJK font, and what that lacks to the whole face.
    QFont font(QStringList{QStringLiteral("DejaVu Sans"), japanesePrintFamily(),
                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Lays text out from the top of the page down, starting a new page where a block would not fit.
class Cursor {
public:
    Cursor(QPagedPaintDevice& device, QPainter& painter)
        : device_(device),
          painter_(painter),
          page_(painter.viewport()),
          y_(page_.top()),
          gap_(page_.height() / 120.0) {}

    // The rectangle text takes in the column from `indent` leaving `right` free, at the current
    // height. A damaged file's megabyte-long field prints its beginning, as the drill window
    // shows it.
    QRectF measure(const QString& whole, const QFont& font, qreal indent = 0, qreal right = 0) {
        painter_.setFont(font);
        const QRectF column(page_.left() + indent, y_, page_.width() - indent - right,
                            page_.height());
        return painter_.boundingRect(column, kFlags, whole.left(kMaxPrintedChars));
    }

    // Starts a new page unless `height` fits below; a block taller than a page starts one.
    void keep(qreal height) {
        if (y_ + height > page_.bottom() && y_ > page_.top()) {
            newPage();
        }
    }

    // Draws text in the column; returns its rectangle.
    QRectF text(const QString& whole, const QFont& font, qreal indent = 0, qreal right = 0) {
        keep(measure(whole, font, indent, right).height());
        const QRectF needed = measure(whole, font, indent, right);
        painter_.drawText(needed.adjusted(0, 0, 1, 0), kFlags, whole.left(kMaxPrintedChars));
        y_ = needed.bottom();
        return needed;
    }

    void space(qreal lines = 1) { y_ += gap_ * lines; }

    void newPage() {
        device_.newPage();
        ++pages_;
        y_ = page_.top();
    }

    qreal y() const { return y_; }
    void moveTo(qreal y) { y_ = y; }
    qreal gap() const { return gap_; }
    const QRectF& page() const { return page_; }
    int pages() const { return pages_; }

private:
    static constexpr int kFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

    QPagedPaintDevice& device_;
    QPainter& painter_;
    QRectF page_;
    qreal y_;
    qreal gap_;
    int pages_ = 1;
};

QString answersOf(const common::Entry& entry) {
    return common::splitRights(entry.rights).join(QStringLiteral(" / "));
}

// An entry is kept on one page: a learner reads the question and its answers together.
void paintWordList(Cursor& cursor, const PrintJob& job) {
    const QFont question = printFont(11, true);
    const QFont answers = printFont(11);
    const QFont information = printFont(9);
    const qreal indent = cursor.page().width() / 20;
    for (const common::Entry& entry : job.entries) {
        const QString answerText = answersOf(entry);
        const QString informationText = common::informationToDisplay(entry.information);
        qreal height = cursor.measure(entry.question, question).height() +
                       cursor.measure(answerText, answers, indent).height();
        if (!informationText.isEmpty()) {
            height += cursor.measure(informationText, information, indent).height();
        }
        cursor.keep(height);
        cursor.text(entry.question, question);
        cursor.text(answerText, answers, indent);
        if (!informationText.isEmpty()) {
            cursor.text(informationText, information, indent);
        }
        cursor.space();
    }
}

// A line to write on from `left` to the column's right edge, just under `baseline`.
void writingLine(QPainter& painter, const Cursor& cursor, qreal left, qreal baseline) {
    painter.drawLine(QPointF(left, baseline), QPointF(cursor.page().right(), baseline));
}

// Each question on the left half with a line for its answer on the right half, as high as
// handwriting needs, so that a page holds more than twenty.
void paintTestSheet(Cursor& cursor, QPainter& painter, const PrintJob& job) {
    const QFont question = printFont(11);
    const QFont answers = printFont(10);
    const qreal room = cursor.page().height() / 30;  // about 8.5 mm on A4
    const qreal half = cursor.page().width() / 2;
    for (qsizetype i = 0; i < job.entries.size(); ++i) {
        const QString text = QStringLiteral("%1. %2").arg(i + 1).arg(job.entries[i].question);
        const QRectF size = cursor.measure(text, question, 0, half + cursor.gap());
        const qreal height = std::max(size.height(), room);
        cursor.keep(height);
        // The question's last line sits on the row's line, as on ruled paper.
        const qreal bottom = cursor.y() + height;
        cursor.moveTo(bottom - size.height());
        cursor.text(text, question, 0, half + cursor.gap());
        writingLine(painter, cursor, cursor.page().left() + half, bottom);
        cursor.moveTo(bottom);
        cursor.space();
    }
    cursor.newPage();
    cursor.text(QStringLiteral("解答"), printFont(14, true));
    cursor.space(2);
    for (qsizetype i = 0; i < job.entries.size(); ++i) {
        cursor.text(QStringLiteral("%1. %2").arg(i + 1).arg(answersOf(job.entries[i])), answers);
        cursor.space(0.5);
    }
}

int paintOn(QPagedPaintDevice& device, QPainter& painter, const PrintJob& job) {
    Cursor cursor(device, painter);
    // A thin line that prints the same at any resolution.
    painter.setPen(QPen(Qt::black, cursor.page().width() / 800));
    if (!job.title.isEmpty()) {
        cursor.text(job.title, printFont(16, true));
    }
    if (job.kind == PrintKind::TestSheet) {
        // The name is written on a line of its own, as high as an answer's.
        cursor.moveTo(cursor.y() + cursor.page().height() / 30);
        const QRectF label = cursor.measure(QStringLiteral("名前:"), printFont(11));
        cursor.moveTo(cursor.y() - label.height());
        const QRectF drawn =
            cursor.text(QStringLiteral("名前:"), printFont(11), cursor.page().width() / 2);
        writingLine(painter, cursor, drawn.right() + cursor.gap(), drawn.bottom());
    }
    if (!job.title.isEmpty() || job.kind == PrintKind::TestSheet) {
        cursor.space(3);
    }
    if (job.kind == PrintKind::WordList) {
        paintWordList(cursor, job);
    } else {
        paintTestSheet(cursor, painter, job);
    }
    return cursor.pages();
}

// The characters of the job that a PDF's text map leaves out unless mended.
QList<char32_t> unmappedCharacters(const PrintJob& job) {
    QString text = job.title;
    for (const common::Entry& entry : job.entries) {
        text += entry.question + entry.rights + entry.information;
    }
    return outsideBasicPlane(text);
}

// Draws the job's characters that a PDF's text map leaves out off the page, in each weight the
// printout uses (a font of its own where the face differs); gives them as drawn.
QList<char32_t> drawUnmapped(QPainter& painter, const PrintJob& job) {
    const QList<char32_t> outside = unmappedCharacters(job);
    QList<char32_t> drawn;
    for (const bool bold : {false, true}) {
        painter.setFont(printFont(11, bold));
        drawOffPage(painter, outside);
        drawn += outside;
    }
    return drawn;
}

}  // namespace

int paintJob(QPagedPaintDevice& device, const PrintJob& job, QList<char32_t>* drawnOffPage) {
    QPainter painter(&device);
    if (!painter.isActive()) {
        return 0;
    }
    if (drawnOffPage != nullptr) {
        *drawnOffPage = drawUnmapped(painter, job);
    }
    return paintOn(device, painter, job);
}

common::Outcome mendPdfFile(const QString& path, const QList<char32_t>& drawn) {
    if (drawn.isEmpty()) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return common::Outcome::failure(common::OutcomeKind::Unreadable, file.errorString());
    }
    const QByteArray pdf = file.readAll();
    file.close();
    return common::writeFileAtomically(path, mendTextMap(pdf, drawn));
}

common::Outcome writePdf(const QString& path, const PrintJob& job, Paper paper) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QList<char32_t> drawn;  // off the page, before all else
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(job.title);
        writer.setCreator(QStringLiteral("Brelmi"));
        writer.setPageLayout(
            QPageLayout(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter),
                        QPageLayout::Portrait, QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        QPainter painter(&writer);
        if (!painter.isActive()) {
            return common::Outcome::failure(common::OutcomeKind::Unwritable,
                                            QStringLiteral("PDF を作れません。"));
        }
        drawn = drawUnmapped(painter, job);
        paintOn(writer, painter, job);
    }
    return common::writeFileAtomically(path, mendTextMap(buffer.data(), drawn));
}

}  // namespace exchange
