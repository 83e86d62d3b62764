#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file so that a failure never passes for success and never
// leaves the user with less than they had.
namespace FileWriting {

enum class Outcome {
    Saved,
    OpenFailed,    // nothing could be created or opened; nothing changed
    WriteFailed,   // not all bytes reached the disk; the previous file is as it was
    TargetDamaged, // written in place, failed, and the previous bytes could not be put back
};

// The bytes go to a new file next to the target that replaces it only once
// everything is on the disk. Where no file can be created next to the target
// (a folder without write permission holding a writable file) they are
// written in place; should that fail (a full disk), the previous bytes are
// written back into the room they had. `error` receives the system's reason
// ("No space left on device").
Outcome writeWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// What became of the previous file, for a command-line message:
// "the previous file is unchanged", "the previous file could not be restored".
QString consequence(Outcome outcome);

} // namespace FileWriting
