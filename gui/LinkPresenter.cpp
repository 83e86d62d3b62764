#include "gui/LinkPresenter.h"

#include "core/link/SERIAL_COMM.h"
#include "gui/UiPrompt.h"

#include <QLabel>
#include <QProgressDialog>

LinkPresenter::LinkPresenter(SERIAL_COMM *link, QWidget *parent) : QObject(parent)
{
    m_progress = new QProgressDialog(parent);
    m_label = new QLabel;
    m_label->setPixmap(QPixmap(QStringLiteral(":images/ConnectSensor")));
    m_label->setAlignment(Qt::AlignCenter);
    m_progress->setLabel(m_label);
    m_progress->setRange(0, 64);
    m_progress->setCancelButton(nullptr);
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->close();

    connect(link, &SERIAL_COMM::ProgressShow, m_progress, &QWidget::show, Qt::DirectConnection);
    connect(link, &SERIAL_COMM::ProgressTitle, m_progress, &QWidget::setWindowTitle,
            Qt::DirectConnection);
    connect(link, &SERIAL_COMM::ProgressValue, m_progress, &QProgressDialog::setValue,
            Qt::DirectConnection);
    connect(link, &SERIAL_COMM::ProgressClose, m_progress, &QWidget::close, Qt::DirectConnection);
    connect(link, &SERIAL_COMM::MessageSignal, this, &LinkPresenter::showMessage,
            Qt::DirectConnection);
}

void LinkPresenter::showMessage(int icon, const QString &title, const QString &text)
{
    UiPrompt::Box box;
    box.icon = icon == SERIAL_COMM::Warning ? QMessageBox::Warning : QMessageBox::Information;
    box.title = title;
    box.text = text;
    box.buttons = QStringList{QStringLiteral("OK")};
    // Modal: the link stays busy until the box is closed.
    UiPrompt::show(qobject_cast<QWidget *>(parent()), box);
}
