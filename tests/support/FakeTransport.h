#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QTimer>
#include <functional>

// A transport under the real link: records every frame written, and feeds
// bytes back as the sensor would, each feed arriving as one readyRead.
class FakeTransport : public QIODevice
{
public:
    // Answers a written frame; an empty answer means silence.
    std::function<QByteArray(const QByteArray &)> responder;
    QList<QByteArray> written;
    bool failOpen = false;

    FakeTransport() { open(QIODevice::ReadWrite); }

    bool open(OpenMode mode) override
    {
        if (failOpen)
            return false;
        return QIODevice::open(mode);
    }

    // Bytes from the sensor, delivered on the next turn of the event loop.
    void feed(const QByteArray &bytes)
    {
        QTimer::singleShot(0, this, [this, bytes] { feedNow(bytes); });
    }
    void feedNow(const QByteArray &bytes)
    {
        m_in.append(bytes);
        Q_EMIT readyRead();
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_in.size() + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        const qint64 n = qMin<qint64>(max, m_in.size());
        memcpy(data, m_in.constData(), size_t(n));
        m_in.remove(0, int(n));
        return n;
    }
    qint64 writeData(const char *data, qint64 len) override
    {
        const QByteArray frame(data, int(len));
        written << frame;
        if (responder) {
            const QByteArray answer = responder(frame);
            if (!answer.isEmpty())
                feed(answer);
        }
        return len;
    }

private:
    QByteArray m_in;
};
