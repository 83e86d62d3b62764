#include "sim/SensorModel.h"

#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/zones/AreaRecord.h"

using namespace LinkProtocol;

namespace {
const Command *const kRequests[] = {&RBoot, &RPrda, &RPara, &WPara, &RArea, &WArea, &RCase,
                                    &WCase, &WSimu, &SCtrl, &RScan, &RStre, &RAuto};

const Command *commandAt(const QByteArray &bytes, int at)
{
    if (bytes.size() - at < 5)
        return nullptr;
    for (const Command *c : kRequests)
        if (memcmp(bytes.constData() + at, c->token, 5) == 0)
            return c;
    return nullptr;
}

QByteArray withCrc(QByteArray body)
{
    appendCrc(body);
    return body;
}
} // namespace

SensorModel::SensorModel()
    : m_cases(640, '\0'), m_simulation(11, '\0')
{
    for (int i = 0; i < 64; ++i)
        m_areas[i] = AreaCodec::encode("RArea", i, AreaRecord()).mid(5, 1257);
    const QByteArray w = Payloads::encodeWPara(SensorParameters());
    m_parameters = w.mid(5, 40);
}

SensorParameters SensorModel::parameters() const
{
    QByteArray frame = "RPara" + m_parameters + QByteArray(22, '\0');
    return Payloads::decodeRPara(frame);
}

void SensorModel::setScanAngle(int index)
{
    SensorParameters p = parameters();
    p.ScanSensorAngle = index;
    if (index == 0)
        p.ScanMotorSpeed = 0;
    m_parameters = Payloads::encodeWPara(p).mid(5, 40);
}

QList<QByteArray> SensorModel::feed(QByteArray &pending, const QByteArray &bytes)
{
    QByteArray &m_pending = pending;
    m_pending.append(bytes);
    QList<QByteArray> replies;
    int at = 0;
    while (at < m_pending.size()) {
        const Command *c = commandAt(m_pending, at);
        if (!c) {
            if (m_pending.size() - at < 5) {
                // Could be the start of a token: keep it if it matches one.
                bool prefix = false;
                for (const Command *k : kRequests)
                    if (memcmp(m_pending.constData() + at, k->token, size_t(m_pending.size() - at)) == 0)
                        prefix = true;
                if (prefix)
                    break;
            }
            ++at; // garbage
            continue;
        }
        if (m_pending.size() - at < c->requestLength)
            break;
        const QByteArray request = m_pending.mid(at, c->requestLength);
        // Five letters that fail as a request may still hide the start of
        // the next one: look again from the next byte, not past their length.
        if (!CheckFrameCrc(request, c->requestLength - 2)) {
            ++at;
            continue;
        }
        at += c->requestLength;
        const QByteArray reply = answer(request);
        if (!reply.isEmpty())
            replies << reply;
    }
    m_pending.remove(0, at);
    return replies;
}

QByteArray SensorModel::answer(const QByteArray &request)
{
    const Command *c = commandAt(request, 0);
    if (!c || request.size() != c->requestLength)
        return QByteArray();
    // A request with a bad checksum is ignored, as the sensor does.
    if (!CheckFrameCrc(request, c->requestLength - 2))
        return QByteArray();
    ++m_answered;
    const QByteArray token(c->token, 5);
    const auto status = [this, &token] {
        return withCrc(token + QByteArray(1, char(rejectStatus)));
    };

    if (c == &RBoot) {
        m_streaming = false;
        if (rebooted)
            rebooted();
        return withCrc(token + QByteArray(1, '\0'));
    }
    if (c == &RPrda) {
        QByteArray body = token + QByteArray(502, '\0');
        put16(body, 5, product.type);
        put16(body, 7, product.firmware);
        put16(body, 9, product.serial);
        put16(body, 11, product.year);
        put16(body, 13, product.month);
        put16(body, 15, product.day);
        return withCrc(body);
    }
    if (c == &RPara)
        return withCrc(token + m_parameters + QByteArray(20, '\0'));
    if (c == &WPara) {
        if (rejectStatus == 0)
            m_parameters = request.mid(5, 40);
        return status();
    }
    if (c == &RArea) {
        const int k = std::uint8_t(request[5]);
        QByteArray image = k < 64 ? m_areas[k] : QByteArray(1257, '\0');
        image[0] = char(k);
        return withCrc(token + image);
    }
    if (c == &WArea) {
        const int k = std::uint8_t(request[5]);
        if (rejectStatus == 0 && k < 64 && k != forgetArea)
            m_areas[k] = request.mid(5, 1257);
        return status();
    }
    if (c == &RCase)
        return withCrc(token + m_cases);
    if (c == &WCase) {
        if (rejectStatus == 0)
            m_cases = request.mid(5, 640);
        return status();
    }
    if (c == &WSimu) {
        m_simulation = request.mid(5, 11);
        const Live l = live ? live() : Live();
        QByteArray body = token + QByteArray(16, '\0');
        body[5] = char(l.inputs);
        body[7] = char(l.outputs);
        put16(body, 11, l.temperature);
        put16(body, 13, l.rotateSpeed);
        put16(body, 15, l.driveVoltage);
        put16(body, 17, l.sendVoltage);
        put16(body, 19, l.receiveVoltage);
        return withCrc(body);
    }
    if (c == &SCtrl)
        return withCrc(token + request.mid(5, 5));
    if (c == &RScan || c == &RStre) {
        QByteArray body = token + QByteArray(1280, '\0');
        if (serialScan) {
            const auto values = serialScan(c == &RStre);
            for (int i = 0; i < 640; ++i)
                put16(body, 5 + 2 * i, values[size_t(i)]);
        }
        return body;
    }
    if (c == &RAuto) {
        m_streaming = request[5] != 0;
        if (streamSwitched)
            streamSwitched(m_streaming);
        return QByteArray();
    }
    return QByteArray();
}

QByteArray SensorModel::saveState() const
{
    QByteArray out("SECTORSIM1");
    for (const QByteArray &a : m_areas)
        out += a;
    out += m_cases;
    out += m_parameters;
    return out;
}

bool SensorModel::restoreState(const QByteArray &state)
{
    const int want = 10 + 64 * 1257 + 640 + 40;
    if (state.size() != want || !state.startsWith("SECTORSIM1"))
        return false;
    int at = 10;
    for (QByteArray &a : m_areas) {
        a = state.mid(at, 1257);
        at += 1257;
    }
    m_cases = state.mid(at, 640);
    m_parameters = state.mid(at + 640, 40);
    return true;
}
