// Appends one JSON record as a line to a file that several processes may share (the
// autoflash record, the command-line tool's records). Free function only; owns nothing;
// runs on the calling thread.
#pragma once

#include <QJsonObject>
#include <QString>

namespace QVt {
namespace Sm {

// Appends record, compact and followed by a line end, to the regular file at path
// (created if missing) in one write to a descriptor opened for appending, so that the
// records of processes that finish together never interleave. Anything but a regular
// file is refused without waiting for it; a write that fails half-way is taken back,
// so that no half record is left for the next one to join. On false, error holds the
// system's reason.
bool appendRecordLine(const QString &path, const QJsonObject &record, QString *error);

} // namespace Sm
} // namespace QVt
