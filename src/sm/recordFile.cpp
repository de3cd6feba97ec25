#include "sm/recordFile.h"

#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace QVt {
namespace Sm {

bool appendRecordLine(const QString &path, const QJsonObject &record, QString *error)
{
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    // Non-blocking: opening a FIFO without a reader would otherwise wait for good.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = QStringLiteral("not a regular file");
        ::close(fd);
        return false;
    }
    const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    if (written != line.size()) {
        *error = written < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("short write");
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace Sm
} // namespace QVt
