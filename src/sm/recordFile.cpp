#include "sm/recordFile.h"

#include "global/logging.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace QVt {
namespace Sm {

namespace {

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

bool failWithErrno(QString *error)
{
    return failWith(error, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

bool appendRecordLine(const QString &path, const QJsonObject &record, QString *error)
{
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    // Read as well, to see whether the last record was finished. O_NONBLOCK: a FIFO without a reader must not hold the run; it is refused below.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0)
        return failWithErrno(error);
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const bool failed = failWithErrno(error);
        ::close(fd);
        return failed;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return failWith(error, QStringLiteral("not a regular file"));
    }
    // The file's end before this record: a short write is cut back to it, and a record
    // left unfinished by an earlier run is ended first, so that records stay one a line.
    const off_t end = ::lseek(fd, 0, SEEK_END);
    QByteArray bytes = line;
    char last = '\n';
    if (end > 0 && ::pread(fd, &last, 1, end - 1) == 1 && last != '\n')
        bytes.prepend('\n');
    const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    if (written == bytes.size())
        return ::close(fd) == 0 || failWithErrno(error);
    const QString reason = written < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                       : QStringLiteral("only %1 of %2 bytes written").arg(written).arg(bytes.size());
    // Taken back only while no other process has appended behind it.
    if (written > 0 && end >= 0 && ::fstat(fd, &status) == 0 && status.st_size == end + written
        && ::ftruncate(fd, end) != 0)
        qCWarning(Global::logFiles) << "Cannot take back a part record from" << path << std::strerror(errno);
    ::close(fd);
    return failWith(error, reason);
}

} // namespace Sm
} // namespace QVt
