#include "gui/replay/ReplayPanel.h"

#include "core/sensor/Replay.h"
#include "graphics/ReportTexts.h"
#include "gui/replay/ReplayPlayer.h"
#include "gui/replay/ReplayTimeline.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

using ReportTexts::pick;

namespace {
QToolButton *button(const char *name, const char *icon, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(QIcon(QLatin1String(icon)));
    b->setIconSize(QSize(22, 22));
    b->setAutoRaise(true);
    return b;
}
} // namespace

ReplayPanel::ReplayPanel(ReplayPlayer *player, QWidget *parent)
    : QWidget(parent)
    , m_player(player)
{
    setObjectName(QStringLiteral("ReplayPanel"));
    m_back = button("ReplayStepBack", ":/images/stepBack.png", this);
    m_play = button("ReplayPlay", ":/images/play.png", this);
    m_forward = button("ReplayStepForward", ":/images/stepForward.png", this);
    m_speedLabel = new QLabel(this);
    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("ReplaySpeed"));
    for (double s : {0.25, 0.5, 1.0, 2.0, 4.0, 8.0})
        m_speed->addItem(QString(), s);
    m_speed->setCurrentIndex(2);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("ReplaySlider"));
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("ReplayTime"));
    m_areaLabel = new QLabel(this);
    m_area = new QComboBox(this);
    m_area->setObjectName(QStringLiteral("ReplayArea"));
    m_area->addItems({QString(), QString()});
    m_differences = new QLabel(this);
    m_differences->setObjectName(QStringLiteral("ReplayDifferences"));
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("ReplayClose"));
    m_timeline = new ReplayTimeline(this);

    // Two rows, to fit under the view: the transport, then the evaluation.
    auto *transport = new QHBoxLayout;
    transport->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : {static_cast<QWidget *>(m_back), static_cast<QWidget *>(m_play),
                       static_cast<QWidget *>(m_forward), static_cast<QWidget *>(m_speedLabel),
                       static_cast<QWidget *>(m_speed)})
        transport->addWidget(w);
    transport->addWidget(m_slider, 1);
    transport->addWidget(m_time);
    auto *evaluation = new QHBoxLayout;
    evaluation->setContentsMargins(0, 0, 0, 0);
    evaluation->addWidget(m_areaLabel);
    evaluation->addWidget(m_area);
    evaluation->addSpacing(8);
    evaluation->addWidget(m_differences);
    evaluation->addStretch(1);
    evaluation->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(transport);
    layout->addLayout(evaluation);
    layout->addWidget(m_timeline);

    connect(m_play, &QToolButton::clicked, this,
            [this] { m_player->playing() ? m_player->pause() : m_player->play(); });
    connect(m_back, &QToolButton::clicked, this, [this] { m_player->step(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { m_player->step(1); });
    connect(m_speed, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { m_player->setSpeed(m_speed->currentData().toDouble()); });
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) {
        if (v != m_player->index())
            m_player->seek(v);
    });
    connect(m_timeline, &ReplayTimeline::seekRequested, m_player, &ReplayPlayer::seek);
    connect(m_area, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ReplayPanel::areaChoiceChanged);
    connect(m_close, &QToolButton::clicked, this, &ReplayPanel::closeRequested);
    connect(m_player, &ReplayPlayer::playingChanged, this, &ReplayPanel::showPlaying);
    connect(m_player, &ReplayPlayer::frameChanged, this, &ReplayPanel::showPosition);
    setLanguage(true);
}

int ReplayPanel::areaChoice() const
{
    return m_area->currentIndex();
}

void ReplayPanel::setLanguage(bool chinese)
{
    m_chinese = chinese;
    m_speedLabel->setText(pick(chinese, "速度", "Speed"));
    for (int i = 0; i < m_speed->count(); ++i) {
        const QString factor = QString::number(m_speed->itemData(i).toDouble());
        m_speed->setItemText(i, chinese ? factor + QStringLiteral(" 倍")
                                        : QStringLiteral("×") + factor);
    }
    m_areaLabel->setText(pick(chinese, "区域", "Area"));
    m_area->setItemText(0, pick(chinese, "当前编辑区域", "Area being edited"));
    m_area->setItemText(1, pick(chinese, "记录的输入所选区域", "Area the inputs selected"));
    m_close->setText(pick(chinese, "关闭回放", "Close Replay"));
    m_back->setToolTip(pick(chinese, "上一次扫描", "Previous sweep"));
    m_forward->setToolTip(pick(chinese, "下一次扫描", "Next sweep"));
    m_slider->setToolTip(pick(chinese, "拖动定位", "Drag to seek"));
    showPlaying(m_player->playing());
    m_timeline->setLanguage(chinese);
    setDifferences(m_differenceCount);
    showPosition();
}

void ReplayPanel::showPlaying(bool playing)
{
    m_play->setIcon(QIcon(playing ? QStringLiteral(":/images/pause.png")
                                  : QStringLiteral(":/images/play.png")));
    m_play->setToolTip(playing ? pick(m_chinese, "暂停", "Pause")
                               : pick(m_chinese, "播放", "Play"));
}

void ReplayPanel::showPosition()
{
    const int n = m_player->count();
    const int k = m_player->index();
    {
        const QSignalBlocker block(m_slider);
        m_slider->setRange(0, qMax(0, n - 1));
        m_slider->setValue(qMax(0, k));
    }
    if (n > 0 && k >= 0) {
        const std::uint32_t t = m_player->timeMs(k) - m_player->timeMs(0);
        QString text = QStringLiteral("%1 / %2").arg(Replay::seconds(t),
                                                     Replay::seconds(m_player->durationMs()));
        // The area the sweep was evaluated in, when it follows the inputs.
        const Replay::Result &r = m_timeline->result();
        if (areaChoice() == 1 && k < r.area.size())
            text += pick(m_chinese, "  区域 %1", "  area %1").arg(r.area[k]);
        m_time->setText(text);
    } else {
        m_time->clear();
    }
    m_timeline->setPosition(k);
}

void ReplayPanel::setDifferences(int differences)
{
    m_differenceCount = differences;
    m_differences->setText(pick(m_chinese, "差异：", "Differences: ") +
                           QString::number(differences));
    m_differences->setStyleSheet(
        differences > 0 ? QStringLiteral("color: #c00000; font-weight: bold;") : QString());
}
