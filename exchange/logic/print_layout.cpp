#include "exchange/logic/print_layout.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include "common/entry_text.h"

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

    // Draws text in the column from `indent`; returns its rectangle. A damaged file's
    // megabyte-long field prints its beginning, as the drill window shows it.
    QRectF text(const QString& whole, const QFont& font, qreal indent = 0, qreal reserveBelow = 0) {
        const QString text = whole.left(kMaxPrintedChars);
        painter_.setFont(font);
        const QRectF column(page_.left() + indent, y_, page_.width() - indent, page_.height());
        const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
        QRectF needed = painter_.boundingRect(column, flags, text);
        if (needed.bottom() + reserveBelow > page_.bottom() && y_ > page_.top()) {
            newPage();
            return this->text(whole, font, indent, reserveBelow);
        }
        painter_.drawText(needed.adjusted(0, 0, 1, 0), flags, text);
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
    const QRectF& page() const { return page_; }
    int pages() const { return pages_; }

private:
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

void paintWordList(Cursor& cursor, const PrintJob& job) {
    const QFont question = printFont(11, true);
    const QFont answers = printFont(11);
    const QFont information = printFont(9);
    for (const common::Entry& entry : job.entries) {
        cursor.text(entry.question, question);
        cursor.text(answersOf(entry), answers, cursor.page().width() / 20);
        if (!entry.information.isEmpty()) {
            cursor.text(common::informationToDisplay(entry.information), information,
                        cursor.page().width() / 20);
        }
        cursor.space();
    }
}

void paintTestSheet(Cursor& cursor, QPainter& painter, const PrintJob& job) {
    const QFont question = printFont(11);
    const QFont answers = printFont(10);
    const qreal lineSpace = cursor.page().height() / 28;  // room to write an answer by hand
    // A thin line that prints the same at any resolution.
    painter.setPen(QPen(Qt::black, cursor.page().width() / 800));
    for (qsizetype i = 0; i < job.entries.size(); ++i) {
        const QRectF drawn =
            cursor.text(QStringLiteral("%1. %2").arg(i + 1).arg(job.entries[i].question), question,
                        0, lineSpace);
        const qreal lineY = drawn.bottom() + lineSpace;
        painter.drawLine(QPointF(cursor.page().left() + cursor.page().width() / 20, lineY),
                         QPointF(cursor.page().right(), lineY));
        cursor.moveTo(lineY);
        cursor.space(2);
    }
    cursor.newPage();
    cursor.text(QStringLiteral("解答"), printFont(14, true));
    cursor.space(2);
    for (qsizetype i = 0; i < job.entries.size(); ++i) {
        cursor.text(QStringLiteral("%1. %2").arg(i + 1).arg(answersOf(job.entries[i])), answers);
        cursor.space(0.5);
    }
}

}  // namespace

int paintJob(QPagedPaintDevice& device, const PrintJob& job) {
    QPainter painter(&device);
    if (!painter.isActive()) {
        return 0;
    }
    Cursor cursor(device, painter);
    if (!job.title.isEmpty()) {
        cursor.text(job.title, printFont(16, true));
        if (job.kind == PrintKind::TestSheet) {
            cursor.text(QStringLiteral("名前:"), printFont(11), cursor.page().width() / 2);
        }
        cursor.space(3);
    }
    if (job.kind == PrintKind::WordList) {
        paintWordList(cursor, job);
    } else {
        paintTestSheet(cursor, painter, job);
    }
    return cursor.pages();
}

common::WriteResult writePdf(const QString& path, const PrintJob& job, Paper paper) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(job.title);
        writer.setCreator(QStringLiteral("Brelmi"));
        writer.setPageLayout(
            QPageLayout(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter),
                        QPageLayout::Portrait, QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        paintJob(writer, job);
    }
    return common::writeFileAtomically(path, buffer.data());
}

}  // namespace exchange
