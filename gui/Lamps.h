#pragma once

#include <QString>

// The lamp pictures of the IO lamps and the IO simulation's buttons.
namespace Lamps {

// Input n (0..5): green when on, grey when off.
inline QString inputPicture(int n, bool on)
{
    return QStringLiteral(":/images/%1%2.png").arg(on ? "Green" : "Gray").arg(n + 1);
}

// Output n (0..2): yellow, orange, red when on, grey when off.
inline QString outputPicture(int n, bool on)
{
    static const char *const lit[3] = {"Yellow", "Orange", "Red"};
    return QStringLiteral(":/images/%1%2.png").arg(on ? lit[n] : "Gray").arg(n + 1);
}

} // namespace Lamps
