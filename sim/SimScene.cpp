#include "sim/SimScene.h"

#include "core/zones/ZoneGeometry.h"

#include <QPainterPath>
#include <QTransform>
#include <cmath>

namespace {
// The hall: 16 m wide, from 6 m behind the sensor to 20 m ahead of it.
constexpr double kLeft = -8000, kRight = 8000, kBack = -6000, kFront = 20000;
constexpr double kRadius = 350; // the moving object
} // namespace

SimScene::SimScene(quint32 seed) : m_noise(seed ? seed : 1)
{
    m_pillars = {{-4000, 6000, 300, 2600}, {4000, 6000, 300, 2600},
                 {-4000, 14000, 300, 2600}, {4000, 14000, 300, 2600}};
}

int SimScene::noise(int amplitude)
{
    // xorshift: cheap and the same on every run
    m_noise ^= m_noise << 13;
    m_noise ^= m_noise >> 17;
    m_noise ^= m_noise << 5;
    return int(m_noise % std::uint32_t(2 * amplitude + 1)) - amplitude;
}

void SimScene::advance(double seconds)
{
    m_time += seconds;
}

SimScene::Hit SimScene::measure(float degrees)
{
    const double a = degrees * M_PI / 180.0;
    const double dx = std::cos(a), dy = std::sin(a);
    double best = 1e12;
    int intensity = 0;
    // Walls.
    auto wall = [&](double t, int value) {
        if (t > 0 && t < best) {
            best = t;
            intensity = value;
        }
    };
    if (dx > 1e-9)
        wall(kRight / dx, 1400);
    if (dx < -1e-9)
        wall(kLeft / dx, 1400);
    if (dy > 1e-9)
        wall(kFront / dy, 1100);
    if (dy < -1e-9)
        wall(kBack / dy, 1100);
    // Round things: pillars and the object, which crosses the field 3 m
    // ahead at walking speed, back and forth.
    std::vector<Circle> round = m_pillars;
    const double phase = std::fmod(m_time / 12.0, 2.0);
    const double x = -6000 + 12000 * (phase < 1 ? phase : 2 - phase);
    round.push_back({x, 3000, kRadius, 2000});
    for (const Circle &c : round) {
        const double b = dx * c.x + dy * c.y;
        const double cc = c.x * c.x + c.y * c.y - c.r * c.r;
        const double disc = b * b - cc;
        if (disc < 0)
            continue;
        const double t = b - std::sqrt(disc);
        if (t > 0 && t < best) {
            best = t;
            intensity = c.intensity;
        }
    }
    Hit h;
    const int d = int(best) + noise(6);
    h.distance = std::uint16_t(std::max(0, std::min(65535, d)));
    // Farther surfaces answer weaker.
    h.intensity = std::uint16_t(std::max(0, intensity - int(best / 40) + noise(40)));
    return h;
}

void SimScene::sweep(int n, std::vector<std::uint16_t> &distances,
                     std::vector<std::uint16_t> &intensities)
{
    distances.resize(size_t(n));
    intensities.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const Hit h = measure(float(-70.0 + 320.0 * i / n));
        distances[size_t(i)] = h.distance;
        intensities[size_t(i)] = h.intensity;
    }
}

std::array<std::uint16_t, 640> SimScene::serialScan(bool intensity)
{
    std::array<std::uint16_t, 640> out{};
    for (int a = 0; a < 640; ++a) {
        const Hit h = measure(float(-69.5 + 0.5 * a));
        out[size_t(a)] = intensity ? h.intensity : h.distance;
    }
    return out;
}

std::vector<std::uint16_t> SimScene::scanDistances()
{
    std::vector<std::uint16_t> d(640);
    for (int a = 0; a < 640; ++a)
        d[size_t(a)] = measure(float(-69.5 + 0.5 * a)).distance;
    return d;
}

QList<QByteArray> streamPackets(const std::vector<std::uint16_t> &distances,
                                const std::vector<std::uint16_t> &intensities, int perDegree)
{
    QList<QByteArray> packets;
    constexpr int kSector = 40;
    constexpr int kMaxPoints = 300;
    const int sectorPoints = perDegree * kSector;
    size_t next = 0;
    for (int start = 20; start < 340; start += kSector) {
        int sent = 0;
        while (sent < sectorPoints) {
            const int n = std::min(kMaxPoints, sectorPoints - sent);
            QByteArray p("CRVN");
            p.reserve(16 + 4 * n);
            auto be = [&p](int v) {
                p.append(char((v >> 8) & 0xFF));
                p.append(char(v & 0xFF));
            };
            sent += n;
            be(start);
            be(start + kSector);
            be(n);
            be(sent); // reaches the sector's points in its last packet
            be(sectorPoints);
            be(0);
            for (int k = 0; k < n; ++k, ++next) {
                const std::uint16_t d = next < distances.size() ? distances[next] : 0;
                const std::uint16_t i = next < intensities.size() ? intensities[next] : 0;
                p.append(char(d & 0xFF));
                p.append(char(d >> 8));
                p.append(char(i & 0xFF));
                p.append(char(i >> 8));
            }
            packets << p;
        }
    }
    return packets;
}
