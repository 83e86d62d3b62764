#pragma once

#include "core/sensor/CaseSelection.h"

#include <QWidget>

class QComboBox;
class QLabel;
class ZoneStore;

// The "Case Coverage" tool window: for the operation mode chosen, which area
// the sensor applies at each steering angle and speed, where no area applies
// and where case channels overlap, and the areas no state selects. Hovering
// a state names it and its areas; clicking it picks the area that applies.
// The window reads the store only; designChanged() after every edit keeps it
// current (while hidden it only notes that it is out of date).
class CaseCoverage : public QWidget
{
    Q_OBJECT
public:
    CaseCoverage(const ZoneStore *store, QWidget *parent = nullptr);

    void setLanguage(bool chinese);
    bool chinese() const { return m_chinese; }
    int mode() const;
    void setMode(int mode);
    // What the window shows now.
    const CaseSelection::ModeGrid &shownGrid() const { return m_grids[mode()]; }
    const CaseSelection::Coverage &shownCoverage() const { return m_coverage; }
    QWidget *chartView() const { return m_chart; }
    // Where a state lies in the chart view.
    QPoint chartPoint(int steer, int speed) const;
    // The tooltip of a state of the mode shown.
    QString stateText(int steer, int speed) const;
    // An operation mode as the edit controls' combo box names it.
    static QString modeName(int mode, bool chinese);

Q_SIGNALS:
    // The area that applies to a clicked state.
    void areaPicked(int area);

public Q_SLOTS:
    void designChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void recompute();
    void showTexts();

    const ZoneStore *m_store;
    bool m_chinese = true;
    bool m_stale = true;
    QVector<CaseSelection::ModeGrid> m_grids;
    CaseSelection::Coverage m_coverage;
    bool m_anyChannel = false;
    QComboBox *m_mode;
    QLabel *m_modeLabel;
    QLabel *m_counts;
    QLabel *m_unreachable;
    QWidget *m_chart;
};
