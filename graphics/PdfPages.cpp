#include "graphics/PdfPages.h"

#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace PdfPages {

QString fontFamily()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

void setUpA4(QPdfWriter &writer)
{
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(18, 16, 18, 14), QPageLayout::Millimeter);
    writer.setCreator(QStringLiteral("Sector Studio"));
}

QSizeF printArea(const QPdfWriter &writer)
{
    return writer.pageLayout().paintRect(QPageLayout::Point).size() * (96.0 / 72.0);
}

qreal layoutScale(const QPdfWriter &writer)
{
    return writer.resolution() / 96.0;
}

void paintPageFrame(QPainter &painter, const QSizeF &area, const QString &left,
                    const QString &right, int page, int pages)
{
    QFont small(fontFamily());
    small.setPixelSize(11);
    painter.setFont(small);
    painter.setPen(kRule);
    const QRectF head(0, 0, area.width(), kHeaderBand - 8);
    painter.drawText(head, Qt::AlignLeft | Qt::AlignBottom, left);
    painter.drawText(head, Qt::AlignRight | Qt::AlignBottom, right);
    painter.drawLine(QPointF(0, kHeaderBand - 4), QPointF(area.width(), kHeaderBand - 4));
    painter.drawText(QRectF(0, area.height() - kFooterBand + 8, area.width(), kFooterBand - 8),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("%1 / %2").arg(page).arg(pages));
}

void paintPages(QPdfWriter &writer, QPainter &painter, int pages,
                const std::function<void(int page)> &paintPage)
{
    const qreal scale = layoutScale(writer);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            writer.newPage();
        painter.save();
        painter.scale(scale, scale);
        paintPage(p);
        painter.restore();
    }
}

} // namespace PdfPages
