#include "core/project/FileWriting.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace FileWriting {

namespace {

// Pushes what the file holds to the disk: a full disk or a failing device can
// surface only here (network file systems, delayed allocation).
bool syncToDisk(QFileDevice &file, QString *error)
{
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(error);
#endif
    return true;
}

// A short write carries no reason; the next one fails with it (a full disk).
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Writes `bytes` from the start of an open file and cuts it to their length.
bool overwrite(QFile &file, const QByteArray &bytes, QString *error)
{
    if (!file.seek(0) || !writeAll(file, bytes) || !file.resize(bytes.size())) {
        *error = file.errorString();
        return false;
    }
    return syncToDisk(file, error);
}

Outcome writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    // Unbuffered: a write that fails leaves nothing behind to be retried later.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return Outcome::OpenFailed;
    }
    const QByteArray previous = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return Outcome::OpenFailed;
    }
    if (overwrite(file, bytes, error))
        return Outcome::Saved;
    // The previous bytes fit into the blocks they held before.
    QString ignored;
    file.unsetError();
    return overwrite(file, previous, &ignored) ? Outcome::WriteFailed : Outcome::TargetDamaged;
}

} // namespace

Outcome writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QString scratch;
    if (!error)
        error = &scratch;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        // A file not committed is removed; the target stays as it was. The
        // bytes are on the disk before the new file replaces the old one.
        if (!writeAll(file, bytes) || !file.flush()) {
            *error = file.errorString();
            return Outcome::WriteFailed;
        }
        if (!syncToDisk(file, error))
            return Outcome::WriteFailed;
        if (!file.commit()) {
            *error = file.errorString();
            return Outcome::WriteFailed;
        }
        return Outcome::Saved;
    }
    *error = file.errorString();
    const QFileInfo target(path);
    if (target.isFile() && !QFileInfo(target.absolutePath()).isWritable() && target.isWritable())
        return writeInPlace(path, bytes, error);
    return Outcome::OpenFailed;
}

QString consequence(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Saved:
        break;
    case Outcome::OpenFailed:
        return QStringLiteral("nothing was written");
    case Outcome::WriteFailed:
        return QStringLiteral("the previous file is unchanged");
    case Outcome::TargetDamaged:
        return QStringLiteral("the previous file could not be restored");
    }
    return QString();
}

} // namespace FileWriting
