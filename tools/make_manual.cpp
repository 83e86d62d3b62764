// Turns a Markdown manual into a PDF with Qt's own text document and PDF
// writer: make-manual IN.md OUT.pdf IMAGE_DIR
// Pictures named in the Markdown are looked up in IMAGE_DIR.

#include <QApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>
#include <cstdio>

namespace {
// Scales every picture down, never wider than the text, keeping its
// proportions.
int fitPictures(QTextDocument &doc, const QDir &images, qreal width)
{
    int found = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture(images.filePath(image.name()));
            if (picture.isNull()) {
                std::fprintf(stderr, "make-manual: no picture %s\n", qPrintable(image.name()));
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
        }
    }
    return found;
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
    QFont font(QStringLiteral("WenQuanYi Micro Hei"), 10);
    doc.setDefaultFont(font);
    doc.setBaseUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[3]) + QLatin1Char('/')));
    doc.setMarkdown(QString::fromUtf8(in.readAll()));

    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make-manual: cannot write %s\n", argv[2]);
        return 2;
    }
    {
        QPdfWriter writer(&out);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        writer.setTitle(QFileInfo(QString::fromLocal8Bit(argv[1])).baseName());
        writer.setCreator(QStringLiteral("Sector Studio"));
        // The document lays out in 96 dpi pixels; print() scales each page
        // to the writer's resolution.
        const QSizeF page = writer.pageLayout().paintRect(QPageLayout::Point).size() * (96.0 / 72.0);
        doc.setPageSize(page);
        const int pictures = fitPictures(doc, QDir(QString::fromLocal8Bit(argv[3])), page.width() - 2 * doc.documentMargin());
        doc.print(&writer);
        std::fprintf(stderr, "make-manual: %d pictures, %d pages\n", pictures, doc.pageCount());
    }
    if (!out.commit()) {
        std::fprintf(stderr, "make-manual: cannot write %s\n", argv[2]);
        return 2;
    }
    return 0;
}
