#pragma once

#include <array>
#include <cstdint>

// The live scan data: filled by the sensor link, drawn by the scan items and
// listed by the data table. One instance per process.
struct ScanRecord {
    static constexpr int kSerialPoints = 640;
    static constexpr int kRingSize = 30000;

    int ringIndex = 0;   // next write position in the two rings
    int sweepLength = 0; // ring entries of the last complete Ethernet sweep
    std::array<std::uint16_t, kSerialPoints> serialDistances{};
    std::array<std::uint16_t, kSerialPoints> serialIntensities{};
    std::array<std::uint16_t, kRingSize> distanceRing{};
    std::array<std::uint16_t, kRingSize> intensityRing{};
    int connectionType = 0; // 0 serial, 1 Ethernet
    int ethernetMode = 0;   // 0 TCP, 1 UDP
    int displayMode = 0;    // 0 Graph, 1 Cloud, 2 Line
    int resolutionChanged = 0;
    int pointsPerDegree = 0;
};
