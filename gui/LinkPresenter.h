#pragma once

#include <QObject>
#include <QPixmap>

class QLabel;
class QProgressDialog;
class QWidget;
class SERIAL_COMM;

// Shows the link's progress and messages: the area transfer's progress
// dialog (0..64, no cancel button, application-modal) and the information
// and warning boxes. Connected directly, so each box is open while the link
// still holds its request, exactly as if the link had opened it itself.
class LinkPresenter : public QObject
{
    Q_OBJECT
public:
    LinkPresenter(SERIAL_COMM *link, QWidget *parent = nullptr);

    QProgressDialog *progressDialog() const { return m_progress; }

private:
    void showMessage(int icon, const QString &title, const QString &text);

    QProgressDialog *m_progress;
    QLabel *m_label;
};
