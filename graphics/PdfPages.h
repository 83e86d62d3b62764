#pragma once

#include <functional>

#include <QColor>
#include <QSizeF>
#include <QString>

class QPainter;
class QPdfWriter;

// A4 pages as the manual and the commissioning report print them: one page
// set-up, one palette and one running head, so both documents look like they
// come from the same hands. Layout works in 96 dpi pixels; the painter is
// scaled to the writer's resolution page by page.
namespace PdfPages {

inline const QColor kAccent{24, 72, 128};
inline const QColor kRule{150, 160, 170};
inline const QColor kHeaderCell{226, 233, 242};
// Header and footer bands of a page, in layout pixels.
constexpr qreal kHeaderBand = 28;
constexpr qreal kFooterBand = 28;

// A font with the Chinese glyphs, so no text turns into boxes.
QString fontFamily();

// A4, the margins of the manual, the program as creator.
void setUpA4(QPdfWriter &writer);
// What may be printed on a page, in layout pixels: the bands included.
QSizeF printArea(const QPdfWriter &writer);
// The scale from layout pixels to the writer's resolution.
qreal layoutScale(const QPdfWriter &writer);

// The running head (left and right texts over a rule) and the page number
// "3 / 12" in the footer. The painter works in layout pixels with the
// print area's top left corner at the origin.
void paintPageFrame(QPainter &painter, const QSizeF &area, const QString &left,
                    const QString &right, int page, int pages);

// Paints each page in turn, in layout pixels with the print area's top left
// corner at the origin: the painter is saved and scaled around each call.
void paintPages(QPdfWriter &writer, QPainter &painter, int pages,
                const std::function<void(int page)> &paintPage);

} // namespace PdfPages
