#include "graphics/PageFlow.h"

#include <QPainter>

PageFlow::PageFlow(qreal pageHeight)
    : m_pageHeight(pageHeight)
{
}

void PageFlow::add(Block block)
{
    m_blocks << std::move(block);
}

void PageFlow::add(qreal height, Paint paint, bool keepWithNext)
{
    Block b;
    b.height = height;
    b.paint = std::move(paint);
    b.keepWithNext = keepWithNext;
    add(std::move(b));
}

void PageFlow::space(qreal height)
{
    add(height, Paint());
}

void PageFlow::newPage()
{
    Block b;
    b.newPage = true;
    add(std::move(b));
}

int PageFlow::paginate()
{
    m_placed.clear();
    m_pageOfBlock.clear();
    int page = 0;
    qreal y = 0;
    for (int i = 0; i < m_blocks.size(); ++i) {
        const Block &b = m_blocks[i];
        if (b.newPage && y > 0) {
            ++page;
            y = 0;
        }
        // A heading needs room for itself and what it heads; the start of
        // a group for the whole group, when that fits on a page at all.
        qreal need = b.height;
        int k = i;
        for (; k + 1 < m_blocks.size() && m_blocks[k].keepWithNext; ++k)
            need += m_blocks[k + 1].height;
        const int group = m_blocks[k].group;
        if (group > 0 && (k > i || i == 0 || m_blocks[i - 1].group != group)) {
            qreal rest = 0;
            for (int j = k + 1; j < m_blocks.size() && m_blocks[j].group == group; ++j)
                rest += m_blocks[j].height;
            if (need + rest <= m_pageHeight)
                need += rest;
        }
        if (y > 0 && y + need > m_pageHeight) {
            ++page;
            y = 0;
        }
        // Room at the top of a page is no room to leave empty.
        if (y == 0 && !b.paint && !b.newPage) {
            m_pageOfBlock << page;
            continue;
        }
        if (y == 0 && b.repeat) {
            m_placed << Placed{page, y, b.repeat.get()};
            y += b.repeat->height;
        }
        m_placed << Placed{page, y, &b};
        m_pageOfBlock << page;
        y += b.height;
    }
    m_pages = page + 1;
    return m_pages;
}

int PageFlow::pageOf(int index) const
{
    return m_pageOfBlock.value(index, -1);
}

void PageFlow::paintPage(QPainter &painter, int page, qreal width) const
{
    for (const Placed &p : m_placed) {
        if (p.page != page || !p.block->paint)
            continue;
        painter.save();
        p.block->paint(painter, QRectF(0, p.y, width, p.block->height));
        painter.restore();
    }
}
