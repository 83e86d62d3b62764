#include "graphics/CommissioningReport.h"

#include "graphics/CoverageChart.h"

#include "core/link/ScanRecord.h"
#include "core/project/FileWriting.h"
#include "core/sensor/CaseSelection.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"
#include "graphics/PageFlow.h"
#include "graphics/PdfPages.h"
#include "graphics/ReportTexts.h"
#include "graphics/StandaloneView.h"
#include "graphics/ViewWindow.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

using ReportTexts::pick;

namespace {

// The view's picture: drawn at twice its size, so that it prints sharp
// (well above 150 dpi at the width it is given on the page).
const QSize kViewport(700, 420);
constexpr int kPictureScale = 2;
// Share of the text width the picture takes; the values go beside it.
constexpr qreal kPictureShare = 0.62;
constexpr qreal kPad = 4;

struct Fonts {
    QFont title, h2, h3, body, bold, small;
};

Fonts makeFonts()
{
    Fonts f;
    const auto font = [](qreal px, bool bold) {
        QFont q(PdfPages::fontFamily());
        q.setPixelSize(int(px));
        q.setBold(bold);
        return q;
    };
    f.title = font(26, true);
    f.h2 = font(17, true);
    f.h3 = font(14, true);
    f.body = font(12, false);
    f.bold = font(12, true);
    f.small = font(11, false);
    return f;
}

// Measured a little narrower than drawn: the writer's glyph widths may
// differ a hair from the screen's, and a line must not wrap unforeseen.
qreal textHeight(const QFont &font, qreal width, const QString &text)
{
    const QFontMetricsF fm(font);
    return fm.boundingRect(QRectF(0, 0, width * 0.96, 1e6), Qt::TextWordWrap, text).height();
}

void drawText(QPainter &p, const QFont &font, const QColor &colour, const QRectF &r,
              const QString &text, int flags = Qt::AlignLeft | Qt::AlignTop)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, flags | Qt::TextWordWrap, text);
}

void addHeading(PageFlow &flow, const QFont &font, const QString &text, qreal above)
{
    const qreal h = QFontMetricsF(font).height();
    flow.add(
        above + h + 6,
        [font, text, above, h](QPainter &p, const QRectF &r) {
            drawText(p, font, PdfPages::kAccent, QRectF(r.left(), r.top() + above, r.width(), h),
                     text);
        },
        true);
}

void addParagraph(PageFlow &flow, const QFont &font, const QString &text, qreal width,
                  const QColor &colour = Qt::black, qreal after = 4)
{
    const qreal h = textHeight(font, width, text);
    flow.add(h + after, [font, text, colour, h](QPainter &p, const QRectF &r) {
        drawText(p, font, colour, QRectF(r.left(), r.top(), r.width(), h + 2), text);
    });
}

// A ruled table; no row is split, and a row that starts a page brings the
// heading row along. Without a heading, the first column is set bold.
struct Table {
    QVector<qreal> widths; // shares of the text width
    QStringList heading;
    QVector<QStringList> rows;
    bool keepTogether = false; // on one page when it fits on one
};

PageFlow::Paint rowPainter(const QVector<qreal> &xs, const QStringList &cells, const QFont &font,
                           const QFont &first, bool head)
{
    return [xs, cells, font, first, head](QPainter &p, const QRectF &r) {
        if (head)
            p.fillRect(r, PdfPages::kHeaderCell);
        p.setPen(QPen(PdfPages::kRule, 0.8));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        for (int c = 0; c < cells.size(); ++c) {
            const QRectF cell(r.left() + xs[c] + kPad, r.top() + kPad, xs[c + 1] - xs[c] - 2 * kPad,
                              r.height() - 2 * kPad);
            drawText(p, c == 0 ? first : font, Qt::black, cell, cells[c]);
        }
    };
}

void addTable(PageFlow &flow, const Table &t, const Fonts &f, qreal width)
{
    QVector<qreal> xs{0};
    for (qreal w : t.widths)
        xs << xs.last() + w * width;
    const auto height = [&](const QStringList &cells, const QFont &font, const QFont &first) {
        qreal h = 0;
        for (int c = 0; c < cells.size(); ++c)
            h = qMax(h, textHeight(c == 0 ? first : font, xs[c + 1] - xs[c] - 2 * kPad, cells[c]));
        return h + 2 * kPad;
    };
    static int groups = 0;
    const int group = ++groups;
    std::shared_ptr<PageFlow::Block> head;
    if (!t.heading.isEmpty()) {
        head = std::make_shared<PageFlow::Block>();
        head->height = height(t.heading, f.bold, f.bold);
        head->paint = rowPainter(xs, t.heading, f.bold, f.bold, true);
        PageFlow::Block first = *head;
        first.keepWithNext = true;
        flow.add(first);
    }
    const QFont &firstFont = t.heading.isEmpty() ? f.bold : f.body;
    for (int i = 0; i < t.rows.size(); ++i) {
        const QStringList &row = t.rows[i];
        PageFlow::Block b;
        b.group = t.keepTogether ? group : 0;
        b.height = height(row, f.body, firstFont);
        b.paint = rowPainter(xs, row, f.body, firstFont, false);
        b.repeat = head;
        flow.add(b);
    }
    flow.space(10);
}

// The zoom that shows the area's zones whole, and where to look.
void fitView(StandaloneView &view, const AreaRecord &area, int model)
{
    const DeviceModelInfo *m = deviceModelInfo(model);
    const double span = m ? m->sceneSpan : 60000;
    QRectF bounds(-500, -500, 1000, 1000); // the sensor itself is always in the picture
    for (const ZoneGeometry::Outline &o : ZoneGeometry::buildAreaOutlines(area, span, span)) {
        QRectF r;
        switch (o.draw) {
        case ZoneGeometry::Outline::Polygon: r = o.polygon.boundingRect(); break;
        case ZoneGeometry::Outline::FilledPath:
        case ZoneGeometry::Outline::Path: r = o.path.boundingRect(); break;
        case ZoneGeometry::Outline::ScaledPath: {
            const QRectF p = o.path.boundingRect();
            r = QRectF(p.topLeft() * o.scale, p.bottomRight() * o.scale);
            break;
        }
        default: break;
        }
        if (r.isValid())
            bounds |= r;
    }
    const double scale =
        0.8 * qMin(kViewport.width() / bounds.width(), kViewport.height() / bounds.height());
    view.view()->ChangeSetupMatrix(int(std::floor(250 + 50 * std::log2(scale))));
    view.view()->centerOn(bounds.center());
}

QImage areaPicture(StandaloneView &view, const AreaRecord &area, int index, int model)
{
    view.showPicture(index, 0);
    fitView(view, area, model);
    QImage image(kViewport * kPictureScale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(kPictureScale, kPictureScale);
    view.render(&p);
    return image;
}

QString outputsInUse(const AreaRecord &a)
{
    QStringList used;
    for (int o = 0; o < kOutputCount; ++o)
        if (!a.points[o].isEmpty())
            used << QStringLiteral("Out%1").arg(o + 1);
    return used.join(QStringLiteral(", "));
}

void addArea(PageFlow &flow, const Fonts &f, const ReportInput &in, int index, const QImage &image,
             qreal width)
{
    const bool zh = in.chinese;
    const AreaRecord &a = in.areas[index];
    QVector<QPair<QString, QString>> values;
    for (int i = 0; i < 4; ++i)
        values << qMakePair(ReportTexts::areaParameterLabel(i, zh),
                            ReportTexts::areaParameterValue(a, i, zh));
    values << qMakePair(pick(zh, "驱动转角范围", "Steering range"),
                        ReportTexts::steeringRange(a, zh))
           << qMakePair(pick(zh, "车辆速度范围", "Speed range"), ReportTexts::speedRange(a, zh))
           << qMakePair(pick(zh, "车辆操作模式", "Operation mode"),
                        ReportTexts::operationMode(a.operationMode, zh));
    for (int o = 0; o < kOutputCount; ++o)
        values << qMakePair(QStringLiteral("Out%1").arg(o + 1),
                            DesignCompare::outputText(a, o, zh));

    const qreal pictureWidth = width * kPictureShare;
    const qreal pictureHeight = pictureWidth * kViewport.height() / kViewport.width();
    const qreal left = pictureWidth + 12;
    const qreal column = width - left;
    const qreal labelWidth = column * 0.45;
    QVector<qreal> heights;
    qreal valuesHeight = 0;
    for (const auto &v : values) {
        const qreal h = qMax(textHeight(f.small, labelWidth - kPad, v.first),
                             textHeight(f.small, column - labelWidth, v.second)) +
                        2 * 3;
        heights << h;
        valuesHeight += h;
    }
    const QString title =
        zh ? QStringLiteral("区域 %1").arg(index) : QStringLiteral("Area %1").arg(index);
    const qreal titleHeight = QFontMetricsF(f.h3).height() + 6;
    const qreal height = titleHeight + qMax(pictureHeight, valuesHeight) + 16;
    flow.add(height, [=](QPainter &p, const QRectF &r) {
        drawText(p, f.h3, PdfPages::kAccent, QRectF(r.left(), r.top(), r.width(), titleHeight),
                 title);
        const QRectF picture(r.left(), r.top() + titleHeight, pictureWidth, pictureHeight);
        p.drawImage(picture, image);
        p.setPen(QPen(PdfPages::kRule, 0.8));
        p.drawRect(picture);
        qreal y = r.top() + titleHeight;
        for (int i = 0; i < values.size(); ++i) {
            const qreal x = r.left() + left;
            drawText(p, f.small, QColor(70, 70, 70),
                     QRectF(x, y + 3, labelWidth - kPad, heights[i]), values[i].first);
            drawText(p, f.small, Qt::black,
                     QRectF(x + labelWidth, y + 3, column - labelWidth, heights[i]),
                     values[i].second);
            y += heights[i];
            p.setPen(QPen(PdfPages::kHeaderCell, 0.8));
            p.drawLine(QPointF(x, y), QPointF(r.right(), y));
        }
    });
}

void addSensor(PageFlow &flow, const Fonts &f, const ReportInput &in, qreal width)
{
    const bool zh = in.chinese;
    addHeading(flow, f.h2, pick(zh, "传感器", "Sensor"), 18);
    if (!in.sensor.present) {
        addParagraph(flow, f.body,
                     pick(zh, "生成本报告时未连接传感器：报告只说明设计本身。",
                          "No sensor was connected for this report: it states the design only."),
                     width, QColor(90, 90, 90), 10);
        return;
    }
    const Payloads::ProductInfo &i = in.sensor.product;
    const QString name = Payloads::productName(i.type);
    Table t;
    t.widths = {0.3, 0.7};
    t.rows << QStringList{pick(zh, "产品型号", "Product type"),
                          name.isEmpty()
                              ? (zh ? QStringLiteral("类型 %1") : QStringLiteral("type %1"))
                                    .arg(i.type)
                              : QStringLiteral("%1 (%2)").arg(name).arg(i.type)}
           << QStringList{pick(zh, "固件版本", "Firmware"),
                          QString::number(i.firmware / 100.0, 'f', 2)}
           << QStringList{pick(zh, "串行编号", "Serial number"), QString::number(i.serial)}
           << QStringList{pick(zh, "生产日期", "Production date"),
                          zh ? QStringLiteral("%1年%2月%3日").arg(i.year).arg(i.month).arg(i.day)
                             : QStringLiteral("%1-%2-%3")
                                   .arg(i.year)
                                   .arg(i.month, 2, 10, QLatin1Char('0'))
                                   .arg(i.day, 2, 10, QLatin1Char('0'))};
    if (!in.sensor.connection.isEmpty())
        t.rows << QStringList{pick(zh, "连接", "Connection"), in.sensor.connection};
    addTable(flow, t, f, width);
    if (!in.sensor.compared)
        return;
    const QVector<DesignCompare::Difference> &diffs = in.sensor.differences;
    if (diffs.isEmpty()) {
        const QString text =
            pick(zh, "已核对：传感器中保存的正是本设计", "verified: the sensor holds this design");
        const qreal h = textHeight(f.bold, width - 20, text) + 12;
        flow.add(h + 8, [=](QPainter &p, const QRectF &r) {
            const QRectF box(r.left(), r.top(), r.width(), h);
            p.fillRect(box, QColor(226, 242, 228));
            drawText(p, f.bold, QColor(20, 100, 40), box.adjusted(10, 6, -10, -6), text);
        });
        return;
    }
    const QString summary =
        zh ? QStringLiteral("传感器中的设置与本设计不一致，共 %1 处差异：").arg(diffs.size())
           : QStringLiteral("The sensor does not hold this design; %1 difference%2:")
                 .arg(diffs.size())
                 .arg(diffs.size() == 1 ? "" : "s");
    addParagraph(flow, f.bold, summary, width, QColor(160, 30, 30), 6);
    for (const DesignCompare::Difference &d : diffs)
        addParagraph(flow, f.small, ReportTexts::differenceLine(d, zh), width, Qt::black, 3);
    flow.space(8);
}

void addParameters(PageFlow &flow, const Fonts &f, const ReportInput &in, qreal width)
{
    const bool zh = in.chinese;
    addHeading(flow, f.h2, pick(zh, "传感器参数", "Sensor parameters"), 18);
    Table t;
    t.widths = {0.34, 0.30, 0.36};
    t.keepTogether = true;
    t.heading = QStringList{pick(zh, "设定项", "Setting"), pick(zh, "设定值", "Value"),
                            pick(zh, "字段 = 值", "Field = value")};
    for (int field = 0; field < 18; ++field) {
        DesignCompare::Difference named;
        named.kind = DesignCompare::Kind::SensorParameter;
        named.item = field;
        t.rows << QStringList{
            ReportTexts::parameterLabel(field, zh),
            ReportTexts::parameterValue(in.parameters, field, zh),
            QStringLiteral("%1 = %2").arg(named.itemName(false)).arg(in.parameters.field(field))};
    }
    // The two address words show as one address.
    t.rows << QStringList{ReportTexts::parameterLabel(18, zh),
                          ReportTexts::parameterValue(in.parameters, 18, zh),
                          QStringLiteral("SensorIPAddressHigh = %1\nSensorIPAddressLow = %2")
                              .arg(in.parameters.SensorIPAddressHigh)
                              .arg(in.parameters.SensorIPAddressLow)};
    addTable(flow, t, f, width);
}

// The page on how the case channels cover the vehicle's states.
void addCoverage(PageFlow &flow, const Fonts &f, const ReportInput &in, const QVector<int> &used,
                 qreal width)
{
    const bool zh = in.chinese;
    flow.newPage();
    addHeading(flow, f.h2, pick(zh, "工况覆盖", "Case coverage"), 0);

    // The chart of all six operation modes, a block of its own above the
    // table. Blocks are painted after pagination: the painter keeps copies.
    flow.add(width * 0.78, [areas = in.areas, zh](QPainter &p, const QRectF &r) {
        CoverageChart::paintAllModes(p, r, areas, zh);
    });

    if (used.isEmpty()) {
        addParagraph(flow, f.body, pick(zh, "没有使用中的区域。", "No area is in use."), width);
        return;
    }
    Table t;
    t.widths = {0.12, 0.2, 0.2, 0.28, 0.2};
    t.heading =
        QStringList{pick(zh, "区域", "Area"), pick(zh, "驱动转角范围", "Steering range"),
                    pick(zh, "车辆速度范围", "Speed range"),
                    pick(zh, "车辆操作模式", "Operation mode"), pick(zh, "输出", "Outputs")};
    for (int a : used) {
        const AreaRecord &r = in.areas[a];
        t.rows << QStringList{QString::number(a), ReportTexts::steeringRange(r, zh),
                              ReportTexts::speedRange(r, zh),
                              ReportTexts::operationMode(r.operationMode, zh), outputsInUse(r)};
    }
    addTable(flow, t, f, width);
}

void addSignOff(PageFlow &flow, const Fonts &f, const ReportInput &in)
{
    const bool zh = in.chinese;
    addHeading(flow, f.h2, pick(zh, "签署确认", "Sign-off"), 24);
    const QString who[2] = {pick(zh, "调试人员", "Commissioned by"),
                            pick(zh, "验收人员", "Accepted by")};
    const QStringList lines{pick(zh, "姓名", "Name"), pick(zh, "单位", "Company"),
                            pick(zh, "日期", "Date"), pick(zh, "签名", "Signature")};
    const qreal lineStep = 38;
    const qreal height = 30 + lines.size() * lineStep + 10;
    flow.add(height, [=](QPainter &p, const QRectF &r) {
        const qreal column = (r.width() - 30) / 2;
        for (int c = 0; c < 2; ++c) {
            const qreal x = r.left() + c * (column + 30);
            drawText(p, f.bold, Qt::black, QRectF(x, r.top(), column, 24), who[c]);
            for (int i = 0; i < lines.size(); ++i) {
                const qreal y = r.top() + 30 + (i + 1) * lineStep - 8;
                drawText(p, f.body, QColor(70, 70, 70), QRectF(x, y - 20, column, 20), lines[i],
                         Qt::AlignLeft | Qt::AlignBottom);
                p.setPen(QPen(Qt::black, 0.8));
                p.drawLine(QPointF(x + 90, y), QPointF(x + column, y));
            }
        }
    });
}

void addProject(PageFlow &flow, const Fonts &f, const ReportInput &in, qreal width)
{
    const bool zh = in.chinese;
    const QString title = pick(zh, "调试报告", "Commissioning Report");
    const qreal th = QFontMetricsF(f.title).height();
    flow.add(th + 16, [=](QPainter &p, const QRectF &r) {
        drawText(p, f.title, PdfPages::kAccent, QRectF(r.left(), r.top(), r.width(), th), title);
        p.setPen(QPen(PdfPages::kAccent, 1.5));
        p.drawLine(QPointF(r.left(), r.top() + th + 6), QPointF(r.right(), r.top() + th + 6));
    });
    addHeading(flow, f.h2, pick(zh, "项目", "Project"), 6);
    Table t;
    t.widths = {0.3, 0.7};
    t.rows << QStringList{pick(zh, "项目文件", "Project file"),
                          in.projectName.isEmpty() ? pick(zh, "（尚未保存）", "(never saved)")
                                                   : in.projectName};
    if (in.fileState == ReportInput::FileState::Saved)
        t.rows << QStringList{pick(zh, "状态", "State"),
                              pick(zh, "设计与文件一致", "saved: the design is this file")};
    else if (in.fileState == ReportInput::FileState::UnsavedChanges)
        t.rows << QStringList{pick(zh, "状态", "State"),
                              pick(zh, "有未保存的更改：校验值按当前设计保存后的内容计算",
                                   "unsaved changes: the checksum is that of the design as it "
                                   "would be saved now")};
    t.rows << QStringList{
        QStringLiteral("SHA-256"),
        QString::fromLatin1(
            QCryptographicHash::hash(in.projectBytes, QCryptographicHash::Sha256).toHex())};
    const DeviceModelInfo *m = deviceModelInfo(in.model);
    t.rows << QStringList{pick(zh, "传感器型号", "Model"),
                          m ? QString::fromLatin1(m->name) : QString()}
           << QStringList{pick(zh, "报告日期和时间", "Date and time"),
                          in.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))}
           << QStringList{pick(zh, "软件版本", "Tool version"),
                          QStringLiteral("Sector Studio %1").arg(in.version)};
    addTable(flow, t, f, width);
}

} // namespace

QString studioVersion()
{
    return QStringLiteral("1.1.0");
}

QByteArray commissioningReportPdf(const ReportInput &in, int *pageCount)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    PdfPages::setUpA4(writer);
    const bool zh = in.chinese;
    const QString reportTitle = pick(zh, "调试报告", "Commissioning Report");
    const QString project =
        in.projectName.isEmpty() ? pick(zh, "未保存的设计", "Unsaved design") : in.projectName;
    writer.setTitle(reportTitle + QStringLiteral(" - ") + project);
    const QSizeF area = PdfPages::printArea(writer);
    const qreal width = area.width();
    const qreal pageHeight = area.height() - PdfPages::kHeaderBand - PdfPages::kFooterBand;
    const Fonts f = makeFonts();

    QVector<int> used;
    for (int a = 0; a < in.areas.size(); ++a)
        if (CaseSelection::inUse(in.areas[a]))
            used << a;

    PageFlow flow(pageHeight);
    addProject(flow, f, in, width);
    addSensor(flow, f, in, width);
    addParameters(flow, f, in, width);

    flow.newPage();
    addHeading(flow, f.h2,
               zh ? QStringLiteral("使用中的区域（%1 个）").arg(used.size())
                  : QStringLiteral("Areas in use (%1)").arg(used.size()),
               0);
    if (used.isEmpty()) {
        addParagraph(flow, f.body, pick(zh, "没有使用中的区域。", "No area is in use."), width);
    } else {
        ZoneStore store;
        store.areas = in.areas;
        ScanRecord scan;
        scan.connectionType = 1; // no sweep: nothing drawn over the zones
        StandaloneView view(&store, &scan, in.model, kViewport);
        for (int a : used)
            addArea(flow, f, in, a, areaPicture(view, in.areas[a], a, in.model), width);
    }
    addCoverage(flow, f, in, used, width);
    addSignOff(flow, f, in);

    const int pages = flow.paginate();
    QPainter painter(&writer);
    PdfPages::paintPages(writer, painter, pages, [&](int p) {
        PdfPages::paintPageFrame(painter, area, project, reportTitle, p + 1, pages);
        painter.translate(0, PdfPages::kHeaderBand);
        flow.paintPage(painter, p, width);
    });
    painter.end();
    if (pageCount)
        *pageCount = pages;
    return buffer.data();
}

bool writeCommissioningReport(const QString &path, const ReportInput &input, QString *why)
{
    const QByteArray pdf = commissioningReportPdf(input);
    return FileWriting::writeWhole(path, pdf, why) == FileWriting::Outcome::Saved;
}
