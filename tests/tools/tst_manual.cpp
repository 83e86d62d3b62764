// The manual build: make-manual sets Markdown with pictures into paged PDFs
// whose text reads back, keeps table rows whole, refuses a missing picture,
// and the build's own manuals are long enough and carry every picture named.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// This program builds without the source root on its include path: its own
// few poppler helpers.
namespace {
QString run(const QString &program, const QStringList &args, int *code = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return QString();
    if (code)
        *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pages(const QString &pdf)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pageText(const QString &pdf, int page)
{
    const QString n = QString::number(page);
    return run("pdftotext", {"-f", n, "-l", n, pdf, "-"}).simplified();
}

int makeManual(const QTemporaryDir &dir, const QByteArray &md, const QString &pdf)
{
    QFile f(dir.filePath("in.md"));
    if (!f.open(QIODevice::WriteOnly) || f.write(md) != md.size())
        return -1;
    f.close();
    int code = -1;
    run(MAKE_MANUAL_PATH, {f.fileName(), pdf, dir.path()}, &code);
    return code;
}

} // namespace

class TestManual : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
    }

    void setsChaptersPicturesAndContents()
    {
        QTemporaryDir dir;
        QImage wide(2000, 600, QImage::Format_RGB32);
        wide.fill(Qt::darkCyan);
        QVERIFY(wide.save(dir.filePath("wide.png")));
        QByteArray md = "# Title line\n\n[[TOC]]\n\n## First chapter\n\n中文段落：区域与输出\n\n"
                        "![wide](wide.png)\n\n## Last chapter\n\nend\n";
        const QString pdf = dir.filePath("out.pdf");
        QCOMPARE(makeManual(dir, md, pdf), 0);
        // The cover with the contents, then one page per chapter.
        QCOMPARE(pages(pdf), 3);
        const QString cover = pageText(pdf, 1);
        QVERIFY2(cover.contains("First chapter 2") && cover.contains("Last chapter 3"),
                 qPrintable(cover));
        QVERIFY(pageText(pdf, 2).contains("中文段落：区域与输出"));
        QVERIFY(pageText(pdf, 3).contains("Last chapter"));
        // The picture is embedded whole, scaled to the page rather than cut.
        QVERIFY(run("pdfimages", {"-list", pdf}).contains("2000   600"));
    }

    void keepsTableRowsWhole()
    {
        QTemporaryDir dir;
        QByteArray md = "# T\n\n| row | text |\n|---|---|\n";
        for (int i = 0; i < 40; ++i) {
            md += "| r" + QByteArray::number(i) + " | begin" + QByteArray::number(i);
            for (int w = 0; w < 30 + (i % 4) * 25; ++w)
                md += " word";
            md += " end" + QByteArray::number(i) + " |\n";
        }
        // What follows a table cut in two keeps its text and its picture.
        md += "\n## After the table\n\n![tool bar](bar.png)\n\nlast words\n";
        QImage bar(420, 60, QImage::Format_RGB32);
        bar.fill(Qt::darkGreen);
        QVERIFY(bar.save(dir.filePath("bar.png")));
        const QString pdf = dir.filePath("rows.pdf");
        QCOMPARE(makeManual(dir, md, pdf), 0);
        const int n = pages(pdf);
        QVERIFY(n >= 3);
        QVERIFY(pageText(pdf, n).contains("After the table") &&
                pageText(pdf, n).contains("last words"));
        QVERIFY(run("pdfimages", {"-list", pdf}).contains("420    60"));
        int found = 0;
        for (int p = 1; p <= n; ++p) {
            const QStringList words = pageText(pdf, p).split(' ');
            for (int i = 0; i < 40; ++i) {
                const bool begins = words.contains(QStringLiteral("begin%1").arg(i));
                QVERIFY2(begins == words.contains(QStringLiteral("end%1").arg(i)),
                         qPrintable(QStringLiteral("row %1 split on page %2").arg(i).arg(p)));
                found += begins ? 1 : 0;
            }
            // Every page after the first that carries rows repeats the heading row.
            if (p > 1 && p < n && words.contains("word"))
                QVERIFY(words.contains("row"));
        }
        QCOMPARE(found, 40);
    }

    void refusesAMissingPicture()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("o.pdf");
        QCOMPARE(makeManual(dir, "# T\n\n![gone](gone.png)\n", pdf), 3);
        QVERIFY(!QFile::exists(pdf));
        int code = -1;
        run(MAKE_MANUAL_PATH, {dir.filePath("none.md"), pdf, dir.path()}, &code);
        QCOMPARE(code, 2);
        QVERIFY(!QFile::exists(pdf));
    }

    void builtManuals_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("cn") << "cn"
                            << "扇区工作室 — 使用手册";
        QTest::newRow("en") << "en"
                            << "Sector Studio — User Manual";
    }
    void builtManuals()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        const QDir manual(MANUAL_DIR);
        const QString pdf = manual.filePath(QStringLiteral("manual_%1.pdf").arg(language));
        QVERIFY2(pages(pdf) >= 12, qPrintable(pdf));
        QVERIFY(pageText(pdf, 1).contains(title));

        QFile md(manual.filePath(QStringLiteral("manual_%1.md").arg(language)));
        QVERIFY(md.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(md.readAll());
        // The pictures are made beside make-manual, in the build folder.
        const QDir images(QFileInfo(MAKE_MANUAL_PATH).dir().filePath("manual-images"));
        auto it = QRegularExpression("!\\[[^\\]]*\\]\\(([^)]+)\\)").globalMatch(text);
        while (it.hasNext()) {
            const QString file = it.next().captured(1);
            QVERIFY2(QImage(images.filePath(file)).width() > 0, qPrintable(file));
            // The same pictures in both languages, each in its own language.
            QVERIFY2(!file.contains(language == "en" ? "_cn." : "_en."), qPrintable(file));
        }
        // Every chapter has a picture: no "##" section without one.
        const QStringList chapters = text.split("\n## ").mid(1);
        QCOMPARE(chapters.size(), 14);
        for (const QString &c : chapters)
            QVERIFY2(c.contains("!["), qPrintable(c.left(40)));
    }
};

QTEST_GUILESS_MAIN(TestManual)
#include "tst_manual.moc"
