#pragma once

#include "tests/gui/walk/WalkWire.h"

#include <QProcess>
#include <QString>

// One sector-sim for a sequence of the walk: started on loopback with a
// state file the walk seeded and, for some sequences, faults; its state is
// read back from that file, which the emulator rewrites after every write
// it accepts.
namespace Walk {

// The emulator's process; it ends with whoever started it, so a sequence
// that crashed leaves no emulator behind.
class SimChild : public QProcess
{
public:
    SimChild();
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
protected:
    void setupChildProcess() override;
#endif
};

class WalkSim
{
public:
    WalkSim(const QString &program, const QString &stateFile, const SensorState &seed,
            const QString &faults, quint32 seed32);
    ~WalkSim();

    bool ready() const { return m_tcpPort != 0 && !m_serial.isEmpty(); }
    QString error() const { return m_error; }
    quint16 tcpPort() const { return m_tcpPort; }
    QString serialDevice() const { return m_serial; }
    QString faults() const { return m_faults; }
    // What the emulator holds now; false when the file cannot be read.
    bool state(SensorState *out) const;

private:
    SimChild m_process;
    QString m_stateFile;
    QString m_faults;
    quint16 m_tcpPort = 0;
    QString m_serial;
    QString m_error;
};

} // namespace Walk
