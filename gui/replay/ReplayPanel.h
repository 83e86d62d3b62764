#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QSlider;
class QToolButton;
class ReplayPlayer;
class ReplayTimeline;

// The replay's controls under the view: play / pause, one sweep back and
// forward, the speed, a slider over the whole recording, the time, which
// area the design is evaluated with, and the timeline of the outputs.
class ReplayPanel : public QWidget
{
    Q_OBJECT
public:
    ReplayPanel(ReplayPlayer *player, QWidget *parent = nullptr);

    void setLanguage(bool chinese);
    ReplayTimeline *timeline() const { return m_timeline; }
    // 0: the area being edited, 1: the area the recorded inputs selected.
    int areaChoice() const;
    QComboBox *speedBox() const { return m_speed; }
    QComboBox *areaBox() const { return m_area; }
    QSlider *slider() const { return m_slider; }
    QToolButton *playButton() const { return m_play; }
    QLabel *timeLabel() const { return m_time; }
    // Shows where the player stands (slider, time, timeline cursor).
    void showPosition();
    void setDifferences(int differences);

Q_SIGNALS:
    void areaChoiceChanged();
    void closeRequested();

private:
    void showPlaying(bool playing);

    ReplayPlayer *m_player;
    ReplayTimeline *m_timeline;
    QToolButton *m_play;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_close;
    QComboBox *m_speed;
    QComboBox *m_area;
    QLabel *m_speedLabel;
    QLabel *m_areaLabel;
    QSlider *m_slider;
    QLabel *m_time;
    QLabel *m_differences;
    int m_differenceCount = 0;
    bool m_chinese = true;
};
