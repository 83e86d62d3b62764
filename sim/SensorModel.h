#pragma once

#include "core/sensor/SensorParameters.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <functional>

// What the emulated sensor holds and how it answers each command frame. The
// transports of sector-sim (and the tests' fake sensor) feed it the bytes
// they receive and send back what it returns.
class SensorModel
{
public:
    SensorModel();

    struct Product {
        int type = 9; // "ZQxxxx-ETH"
        int firmware = 105;
        int serial = 1;
        int year = 2026;
        int month = 1;
        int day = 1;
    };

    // Live values the scene provides at the moment of a reply.
    struct Live {
        std::uint8_t inputs = 0;
        std::uint8_t outputs = 0;
        std::int16_t temperature = 3650; // hundredths of a degree
        std::uint16_t rotateSpeed = 1200;
        std::uint16_t driveVoltage = 2400;
        std::uint16_t sendVoltage = 1850;
        std::uint16_t receiveVoltage = 12000;
    };

    // Faults the tests ask for.
    int rejectStatus = 0; // 1 or 2: every write is answered with that status
    int forgetArea = -1;  // a write of this area is acknowledged but not kept

    Product product;
    std::function<Live()> live;
    // 640 distances (RScan) or intensities (RStre), in the order sent.
    std::function<std::array<std::uint16_t, 640>(bool intensity)> serialScan;
    // RAuto: the scan stream switched on or off.
    std::function<void(bool on)> streamSwitched;
    // RBoot received.
    std::function<void()> rebooted;

    // Consumes request bytes (whole, split or merged frames; garbage, and a
    // request whose CRC fails, are skipped byte by byte) and returns the
    // replies, in order.
    QList<QByteArray> feed(const QByteArray &bytes) { return feed(m_pending, bytes); }
    // The same with the caller's own partial-frame buffer (one per client).
    QList<QByteArray> feed(QByteArray &pending, const QByteArray &bytes);
    // Answer to one complete request frame; empty for none.
    QByteArray answer(const QByteArray &request);

    // Stored state, as the frames carry it.
    QByteArray areaImage(int index) const { return m_areas[index]; } // bytes 5..1261
    QByteArray caseBytes() const { return m_cases; }                 // 640 bytes
    QByteArray parameterBytes() const { return m_parameters; }       // 40 bytes
    SensorParameters parameters() const;
    // Sets the angular resolution index (0.025 deg runs at 10 Hz only).
    void setScanAngle(int index);
    QByteArray simulationBytes() const { return m_simulation; } // last WSimu payload (11)
    bool streaming() const { return m_streaming; }
    void setStreaming(bool on) { m_streaming = on; }

    // Persisted state: 64 area images, cases, parameters.
    QByteArray saveState() const;
    bool restoreState(const QByteArray &state);

    int framesAnswered() const { return m_answered; }

private:
    QByteArray m_pending;
    std::array<QByteArray, 64> m_areas;
    QByteArray m_cases;
    QByteArray m_parameters;
    QByteArray m_simulation;
    bool m_streaming = false;
    int m_answered = 0;
};
