// Turns a Markdown manual into a paged A4 PDF with Qt's own text document
// and PDF writer: make-manual IN.md OUT.pdf IMAGE_DIR
//
// Pictures named in the Markdown are looked up in IMAGE_DIR; a missing one is
// an error, so a manual never goes out with a hole in it. Beyond plain
// Markdown it understands two marker paragraphs: "[[TOC]]" becomes the table
// of contents (every "##" chapter with its page) and "[[PAGEBREAK]]" starts a
// new page. Every chapter starts on a new page, a sub-heading is kept with
// what follows it up to its first picture, and a table row never splits
// across pages: a table that would be cut inside a row goes on on the next
// page with its heading row repeated.

#include "graphics/PdfPages.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <cstdio>

namespace {

using PdfPages::kAccent;
using PdfPages::kFooterBand;
using PdfPages::kHeaderBand;
using PdfPages::kHeaderCell;
using PdfPages::kRule;
const QColor kCodeBack(242, 242, 242);

bool insideTable(const QTextBlock &b)
{
    return QTextCursor(b).currentTable() != nullptr;
}

bool hasImage(const QTextBlock &b)
{
    for (auto it = b.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            return true;
    return false;
}

QList<QTextTable *> tables(QTextFrame *frame)
{
    QList<QTextTable *> found;
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *t = qobject_cast<QTextTable *>(child))
            found << t;
        found << tables(child);
    }
    return found;
}

// Sets the characters of a whole block to one size and colour, dropping the
// relative size the Markdown reader gives headings.
void setBlockFont(const QTextBlock &b, qreal points, const QColor &colour, bool bold)
{
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        QTextCharFormat cf = f.charFormat();
        if (cf.isImageFormat())
            continue;
        cf.clearProperty(QTextFormat::FontSizeAdjustment);
        cf.setFontPointSize(points);
        cf.setForeground(colour);
        cf.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        QTextCursor c(b);
        c.setPosition(f.position());
        c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
        c.setCharFormat(cf);
    }
}

// Scales every picture down, never wider than the text, keeping its
// proportions, and centres its paragraph. Returns the number placed, or -1
// when one is missing.
int fitPictures(QTextDocument &doc, const QDir &images, qreal width)
{
    int found = 0;
    bool missing = false;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture(images.filePath(image.name()));
            if (picture.isNull()) {
                std::fprintf(stderr, "make-manual: no picture %s\n", qPrintable(image.name()));
                missing = true;
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            ++found;
            // Screen pixels are drawn at two thirds, so dialogs stay in
            // proportion to the window grabs that fill the text width.
            const qreal w = qMin<qreal>(width, picture.width() * 2.0 / 3.0);
            image.setWidth(w);
            image.setHeight(w * picture.height() / picture.width());
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
            QTextBlockFormat bf = b.blockFormat();
            bf.setAlignment(Qt::AlignHCenter);
            bf.setTopMargin(6);
            bf.setBottomMargin(10);
            QTextCursor(b).setBlockFormat(bf);
        }
    }
    return missing ? -1 : found;
}

void styleTable(QTextTable *t, bool ruled)
{
    QTextTableFormat tf = t->format();
    tf.setBorder(ruled ? 0.8 : 0);
    tf.setBorderBrush(kRule);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellSpacing(0);
    tf.setCellPadding(ruled ? 4 : 2);
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tf.setTopMargin(4);
    tf.setBottomMargin(8);
    if (ruled)
        tf.setHeaderRowCount(1);
    t->setFormat(tf);
    if (!ruled)
        return;
    for (int c = 0; c < t->columns(); ++c) {
        QTextTableCell cell = t->cellAt(0, c);
        QTextCharFormat cf = cell.format();
        cf.setBackground(kHeaderCell);
        cell.setFormat(cf);
        QTextCursor cur = cell.firstCursorPosition();
        cur.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cur.mergeCharFormat(bold);
    }
}

// Headings, code blocks, tables and the marker paragraphs.
void styleDocument(QTextDocument &doc, QString *title)
{
    QList<QTextBlock> breaks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (insideTable(b))
            continue;
        QTextBlockFormat bf = b.blockFormat();
        const int level = bf.headingLevel();
        if (level == 1) {
            if (title->isEmpty())
                *title = b.text();
            bf.setAlignment(Qt::AlignHCenter);
            bf.setTopMargin(120);
            bf.setBottomMargin(24);
            QTextCursor(b).setBlockFormat(bf);
            setBlockFont(b, 26, kAccent, true);
        } else if (level == 2) {
            // Every chapter starts on a page of its own.
            if (b.position() > 0)
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            bf.setTopMargin(0);
            bf.setBottomMargin(12);
            QTextCursor(b).setBlockFormat(bf);
            setBlockFont(b, 18, kAccent, true);
        } else if (level >= 3) {
            bf.setTopMargin(14);
            bf.setBottomMargin(6);
            QTextCursor(b).setBlockFormat(bf);
            setBlockFont(b, level == 3 ? 13 : 11, kAccent, true);
        } else if (bf.hasProperty(QTextFormat::BlockCodeFence)) {
            bf.setBackground(kCodeBack);
            bf.setLeftMargin(12);
            QTextCursor(b).setBlockFormat(bf);
        } else if (b.text() == QLatin1String("[[PAGEBREAK]]")) {
            breaks << b;
        }
    }
    // A marker paragraph goes; the paragraph after it starts the new page.
    for (const QTextBlock &b : breaks) {
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        c.deleteChar(); // the paragraph break: the next paragraph moves up
        QTextBlockFormat bf = c.block().blockFormat();
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        c.setBlockFormat(bf);
    }
    for (QTextTable *t : tables(doc.rootFrame()))
        styleTable(t, true);
}

// The page-number cells of the contents, one per chapter in order.
using Toc = QList<QTextTableCell>;

// Replaces the "[[TOC]]" paragraph by a two-column table of the chapters;
// the page numbers are filled in once the pages are final.
Toc insertToc(QTextDocument &doc)
{
    QTextBlock marker;
    QList<QTextBlock> chapters;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.text() == QLatin1String("[[TOC]]") && !insideTable(b))
            marker = b;
        else if (b.blockFormat().headingLevel() == 2 && !insideTable(b))
            chapters << b;
    }
    Toc toc;
    if (!marker.isValid() || chapters.isEmpty())
        return toc;
    QTextCursor c(marker);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    QTextTable *t = c.insertTable(chapters.size(), 2);
    styleTable(t, false);
    QTextTableFormat tf = t->format();
    tf.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                  QTextLength(QTextLength::PercentageLength, 10)});
    t->setFormat(tf);
    for (int i = 0; i < chapters.size(); ++i) {
        t->cellAt(i, 0).firstCursorPosition().insertText(chapters[i].text());
        QTextCursor pc = t->cellAt(i, 1).firstCursorPosition();
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        pc.setBlockFormat(right);
        pc.insertText(QStringLiteral("00"));
        toc << t->cellAt(i, 1);
    }
    return toc;
}

int pageOf(qreal y, qreal pageHeight)
{
    return int(y / pageHeight);
}

// A table row cut by a page end: the table is split before that row and the
// rest starts on the next page under a copy of the heading row. A table
// whose first rows are cut moves to the next page as a whole.
bool keepRowsWhole(QTextDocument &doc, qreal pageHeight)
{
    auto *layout = doc.documentLayout();
    for (QTextTable *t : tables(doc.rootFrame())) {
        if (t->format().border() == 0)
            continue; // the contents: one line per row
        for (int r = 0; r < t->rows(); ++r) {
            qreal top = 1e12, bottom = -1;
            for (int col = 0; col < t->columns(); ++col) {
                const QTextTableCell cell = t->cellAt(r, col);
                top =
                    qMin(top, layout->blockBoundingRect(doc.findBlock(cell.firstPosition())).top());
                bottom = qMax(
                    bottom, layout->blockBoundingRect(doc.findBlock(cell.lastPosition())).bottom());
            }
            if (pageOf(top, pageHeight) == pageOf(bottom - 1, pageHeight))
                continue;
            if (bottom - top > pageHeight * 0.8)
                continue; // would not fit on any page: let it run on
            if (r <= 1) {
                QTextTableFormat tf = t->format();
                if (tf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                    continue;
                tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                t->setFormat(tf);
                return true;
            }
            // The rows above go into a new table in front; this one keeps
            // its heading row and the rest, and starts a page. (A table put
            // behind would take the place of the paragraph that follows.)
            QTextCursor c(&doc);
            c.setPosition(t->firstPosition() - 1);
            QTextTable *head = c.insertTable(r, t->columns(), t->format());
            for (int k = 0; k < r; ++k) {
                for (int col = 0; col < t->columns(); ++col) {
                    const QTextTableCell s = t->cellAt(k, col);
                    QTextCursor sc = s.firstCursorPosition();
                    sc.setPosition(s.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                    QTextTableCell d = head->cellAt(k, col);
                    d.setFormat(s.format());
                    d.firstCursorPosition().insertFragment(sc.selection());
                }
            }
            t->removeRows(1, r - 1);
            QTextTableFormat tf = t->format();
            tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            t->setFormat(tf);
            return true;
        }
    }
    return false;
}

// A sub-heading is not left at the foot of a page: it goes with what follows
// it up to its first picture (or its first paragraph).
bool keepHeadingsWithText(QTextDocument &doc, qreal pageHeight)
{
    auto *layout = doc.documentLayout();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        if (bf.headingLevel() < 3 || insideTable(b) ||
            (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
            continue;
        QTextBlock end = b.next();
        for (QTextBlock n = b.next(); n.isValid() && n.blockFormat().headingLevel() == 0;
             n = n.next()) {
            if (hasImage(n)) {
                end = n;
                break;
            }
        }
        if (!end.isValid())
            continue;
        const qreal top = layout->blockBoundingRect(b).top();
        const qreal bottom = layout->blockBoundingRect(end).bottom();
        if (pageOf(top, pageHeight) == pageOf(bottom - 1, pageHeight) ||
            bottom - top > pageHeight * 0.85)
            continue;
        QTextBlockFormat moved = bf;
        moved.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(b).setBlockFormat(moved);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make-manual IN.md OUT.pdf IMAGE_DIR\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make-manual: cannot read %s\n", argv[1]);
        return 2;
    }
    QTextDocument doc;
    // A font that has the Chinese glyphs, so no text turns into boxes.
    doc.setDefaultFont(QFont(PdfPages::fontFamily(), 10));
    doc.setDocumentMargin(0);
    doc.setBaseUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[3]) + QLatin1Char('/')));
    doc.setMarkdown(QString::fromUtf8(in.readAll()));

    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make-manual: cannot write %s\n", argv[2]);
        return 2;
    }
    QPdfWriter writer(&out);
    PdfPages::setUpA4(writer);
    // The document lays out in 96 dpi pixels; the painter scales each page
    // to the writer's resolution.
    const QSizeF area = PdfPages::printArea(writer);
    const qreal pageHeight = area.height() - kHeaderBand - kFooterBand;
    doc.setPageSize(QSizeF(area.width(), pageHeight));

    QString title;
    styleDocument(doc, &title);
    const int pictures = fitPictures(doc, QDir(QString::fromLocal8Bit(argv[3])), area.width());
    if (pictures < 0) {
        out.cancelWriting();
        return 3;
    }
    const Toc toc = insertToc(doc);
    // Qt lays out again only around an edit, and after a table was split
    // the paragraphs behind it can be left without lines: every pass starts
    // from a whole new layout.
    const auto relayout = [&doc, &area, pageHeight] {
        doc.setPageSize(QSizeF(area.width(), pageHeight + 1));
        doc.setPageSize(QSizeF(area.width(), pageHeight));
    };
    for (int pass = 0; pass < 500; ++pass) {
        relayout();
        if (!keepRowsWhole(doc, pageHeight) && !keepHeadingsWithText(doc, pageHeight))
            break;
    }
    relayout();

    // Chapter of each page, for the running head, and the contents' pages.
    // Filling in the numbers lays the document out again, so they are
    // counted until they no longer change.
    auto *layout = doc.documentLayout();
    int pages = 0;
    QStringList chapterOfPage;
    QList<int> filled;
    for (int pass = 0; pass < 4; ++pass) {
        relayout();
        pages = doc.pageCount();
        chapterOfPage = QVector<QString>(pages).toList();
        QList<int> chapterPages;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() != 2 || insideTable(b))
                continue;
            // A page break moves the heading's line, not the top of its
            // block: its bottom tells the page it is printed on.
            const int p = pageOf(layout->blockBoundingRect(b).bottom() - 1, pageHeight);
            chapterPages << p + 1;
            for (int k = p; k < pages; ++k)
                chapterOfPage[k] = b.text();
        }
        if (chapterPages == filled)
            break;
        filled = chapterPages;
        for (int i = 0; i < toc.size() && i < chapterPages.size(); ++i) {
            QTextCursor c = toc[i].firstCursorPosition();
            c.setPosition(toc[i].lastCursorPosition().position(), QTextCursor::KeepAnchor);
            c.insertText(QString::number(chapterPages[i]));
        }
    }
    writer.setTitle(title);

    QPainter painter(&writer);
    PdfPages::paintPages(writer, painter, pages, [&](int p) {
        if (p > 0) // the cover page carries neither
            PdfPages::paintPageFrame(painter, area, title, chapterOfPage[p], p + 1, pages);
        painter.translate(0, kHeaderBand - p * pageHeight);
        const QRectF visible(0, p * pageHeight, area.width(), pageHeight);
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        context.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(&painter, context);
    });
    if (!painter.end() || !out.commit()) {
        std::fprintf(stderr, "make-manual: cannot write %s\n", argv[2]);
        return 2;
    }
    std::fprintf(stderr, "make-manual: %d pictures, %d pages\n", pictures, pages);
    return 0;
}
