#pragma once

#include "core/sensor/Replay.h"

#include <QWidget>

// Under the view while a recording plays: per output a row of what the
// sensor reported and a row of what the design gives, on one time axis, the
// sweeps where they disagree marked, and the sweep shown as a cursor. A
// click or a drag seeks.
class ReplayTimeline : public QWidget
{
    Q_OBJECT
public:
    explicit ReplayTimeline(QWidget *parent = nullptr);

    void setResult(const Replay::Result &result);
    const Replay::Result &result() const { return m_result; }
    void setPosition(int index);
    int position() const { return m_position; }
    void setLanguage(bool chinese);

    // The sweep under x (nearest in time), -1 with nothing loaded.
    int indexAt(int x) const;
    // Where a row lies: output 0..2, recorded or design.
    QRect rowRect(int output, bool design) const;
    int xOf(std::uint32_t timeMs) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void seekRequested(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QRect track() const;
    int labelWidth() const;
    int rowHeight() const;

    Replay::Result m_result;
    int m_position = -1;
    bool m_chinese = true;
};
