#pragma once

#include "core/zones/AreaRecord.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <cstdint>
#include <vector>

// A hall the emulated sensor stands in: walls, pillars and one object that
// moves through the field, measured by ray casting. Angles are sensor angles
// in degrees (0 = +X, 90 = forward).
class SimScene
{
public:
    explicit SimScene(quint32 seed = 1);

    // Moves the object on by the given time.
    void advance(double seconds);
    // Seconds since the start: the object is at x = -6000 + 12000 p mm,
    // y = 3000 mm, p = t / 12 mod 2 folded back above 1 (1 m/s, to and fro).
    double time() const { return m_time; }

    struct Hit {
        std::uint16_t distance; // mm, 0 when nothing answers
        std::uint16_t intensity;
    };
    Hit measure(float degrees);

    // One sweep of n steps from -70 deg, 320/n apart, as the scan stream
    // sends it.
    void sweep(int n, std::vector<std::uint16_t> &distances, std::vector<std::uint16_t> &intensities);
    // The serial scan: 640 steps from -69.5 deg in 0.5 deg, in the order sent.
    std::array<std::uint16_t, 640> serialScan(bool intensity);

    // The distances of a 0.5 deg scan of the scene as it is now: 640 steps
    // from -69.5 deg, the sweep the outputs are switched by.
    std::vector<std::uint16_t> scanDistances();

private:
    struct Circle {
        double x, y, r;
        int intensity;
    };
    double m_time = 0;
    quint32 m_noise;
    std::vector<Circle> m_pillars;
    int noise(int amplitude);
};

// The scan stream packets of one sweep: eight sectors of 40 degrees from 20
// to 340, each split into packets of at most 300 points.
QList<QByteArray> streamPackets(const std::vector<std::uint16_t> &distances,
                                const std::vector<std::uint16_t> &intensities, int perDegree);
