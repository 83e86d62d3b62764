// The manual build: make-manual sets Markdown with pictures into paged PDFs
// whose text reads back, and the build's own manuals carry their chapters.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString run(const QString &program, const QStringList &args, int *code = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QString();
    if (code)
        *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pages(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = re.match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString text(const QString &pdf)
{
    // Lines broken by the layout are joined so phrases can be searched.
    return run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).simplified();
}
} // namespace

class TestManual : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
    }

    void setsMarkdownWithPicturesIntoPages()
    {
        QTemporaryDir dir;
        QImage wide(2000, 600, QImage::Format_RGB32);
        wide.fill(Qt::darkCyan);
        QVERIFY(wide.save(dir.filePath(QStringLiteral("wide.png"))));
        QByteArray md = "# Title line\n\n中文段落：区域与输出\n\n![wide](wide.png)\n\n";
        for (int i = 0; i < 120; ++i)
            md += "- item " + QByteArray::number(i) + " of a long list\n";
        md += "\n## Last chapter\n";
        QFile f(dir.filePath(QStringLiteral("in.md")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(md);
        f.close();
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        int code = -1;
        run(QStringLiteral(MAKE_MANUAL_PATH), {f.fileName(), pdf, dir.path()}, &code);
        QCOMPARE(code, 0);
        QVERIFY(pages(pdf) >= 3); // 120 list lines do not fit on one A4 page
        const QString t = text(pdf);
        QVERIFY(t.contains(QStringLiteral("Title line")));
        QVERIFY(t.contains(QStringLiteral("中文段落：区域与输出")));
        QVERIFY(t.contains(QStringLiteral("item 119 of a long list")));
        QVERIFY(t.contains(QStringLiteral("Last chapter")));
        // The picture is embedded, scaled to the page rather than cut off.
        const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        QVERIFY2(images.contains(QStringLiteral("2000   600")), qPrintable(images));
    }

    void failsClearlyOnMissingInput()
    {
        QTemporaryDir dir;
        int code = -1;
        run(QStringLiteral(MAKE_MANUAL_PATH),
            {dir.filePath(QStringLiteral("none.md")), dir.filePath(QStringLiteral("o.pdf")), dir.path()},
            &code);
        QCOMPARE(code, 2);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("o.pdf"))));
    }

    void builtManualsAreTheManuals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("phrases");
        QTest::newRow("cn") << QStringLiteral("manual_cn.pdf")
                            << QStringList{QStringLiteral("扇区工作室 — 使用手册"), QStringLiteral("设计监控区"),
                                           QStringLiteral("连接传感器"), QStringLiteral("故障排除"),
                                           QStringLiteral("文件损坏")};
        QTest::newRow("en") << QStringLiteral("manual_en.pdf")
                            << QStringList{QStringLiteral("Sector Studio — User Manual"),
                                           QStringLiteral("Designing zones"), QStringLiteral("Troubleshooting"),
                                           QStringLiteral("Serial Open error")};
    }

    void builtManualsAreTheManuals()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, phrases);
        const QString pdf = QDir(QStringLiteral(MANUAL_DIR)).filePath(file);
        QVERIFY2(QFile::exists(pdf), qPrintable(pdf));
        QVERIFY(pages(pdf) >= 4);
        const QString t = text(pdf);
        for (const QString &p : phrases)
            QVERIFY2(t.contains(p), qPrintable(p));
        // Five pictures from the program itself.
        const QStringList images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(images.size() - 2 >= 5, qPrintable(images.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestManual)
#include "tst_manual.moc"
