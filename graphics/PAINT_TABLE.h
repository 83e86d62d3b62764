#pragma once

#include <QWidget>

class ZoneStore;

// Thumbnail of one area's three zones for the area list: the zone items'
// drawing, scaled so that the area's farthest point lies 50 pixels from the
// centre.
class PAINT_TABLE : public QWidget
{
    Q_OBJECT
public:
    PAINT_TABLE(int areaIndex, ZoneStore *store, QWidget *parent = nullptr);

    int areaIndex() const { return m_area; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_area;
    ZoneStore *m_store;
};
