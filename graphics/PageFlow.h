#pragma once

#include <QRectF>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QPainter;
class QPdfWriter;

// Blocks of known height laid down page after page: a block never splits,
// a heading goes with the block after it, a group that fits on a page is not
// split, and a table row that starts a page brings its table's heading row
// along. The blocks are placed first
// and painted after, so every page knows how many pages there are.
class PageFlow
{
public:
    // Paints a block into its rectangle (layout pixels, the page's text
    // width across).
    using Paint = std::function<void(QPainter &, const QRectF &)>;

    struct Block {
        qreal height = 0;
        Paint paint;
        bool newPage = false;      // starts a page (unless the page is still empty)
        bool keepWithNext = false; // a heading: never last on a page
        // Neighbouring blocks of one group (above 0) share a page when
        // they fit on one: the rows of a short table.
        int group = 0;
        // Painted first when this block starts a page: a table's heading row.
        std::shared_ptr<Block> repeat;
    };

    explicit PageFlow(qreal pageHeight);

    void add(Block block);
    void add(qreal height, Paint paint, bool keepWithNext = false);
    // Empty room below the block before.
    void space(qreal height);
    void newPage();

    // Lays the blocks on pages; the number of pages.
    int paginate();
    int pages() const { return m_pages; }
    // The page (from 0) a block added as number `index` landed on.
    int pageOf(int index) const;

    // Paints page `page` with its top left corner at the origin.
    void paintPage(QPainter &painter, int page, qreal width) const;

private:
    struct Placed {
        int page;
        qreal y;
        const Block *block;
    };
    qreal m_pageHeight;
    QVector<Block> m_blocks;
    QVector<Placed> m_placed;
    QVector<int> m_pageOfBlock;
    int m_pages = 0;
};
