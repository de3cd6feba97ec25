// Appends records, one JSON object per line, to a file that several processes may share
// (production stations, fixtures). Static functions only; owns nothing; any thread.
#pragma once

#include <QJsonObject>
#include <QString>

namespace QVt {
namespace Sm {

// Appends record as one compact JSON line with a single write() to path, opened for
// appending without blocking, so that lines of parallel writers never mix. Anything
// but a regular file (a FIFO, a device) is refused. On false, error says why.
bool appendRecordLine(const QString &path, const QJsonObject &record, QString *error);

} // namespace Sm
} // namespace QVt
