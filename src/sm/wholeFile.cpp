#include "sm/wholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRandomGenerator>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace QVt {
namespace Sm {

namespace {

// Writes all of bytes; 0, or the error that stopped it.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        data += written;
        left -= written;
    }
    return 0;
}

} // namespace

QString WholeFile::localPath(const QString &url)
{
    return QUrl(url, QUrl::TolerantMode).toLocalFile();
}

bool WholeFile::read(const QString &filePath, QByteArray *bytes, QString *reason)
{
    // Checked before opening: opening a FIFO without a writer blocks for good.
    const QFileInfo info(filePath);
    if (info.exists() && !info.isFile()) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(MAX_READ_SIZE);
    if (info.size() > MAX_READ_SIZE) {
        *reason = tooLarge;
        return false;
    }
    QFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *reason = filePath.isEmpty() ? QStringLiteral("not a local file") : file.errorString();
        return false;
    }
    // The file may have grown since it was looked at.
    *bytes = file.read(MAX_READ_SIZE + 1);
    if (bytes->size() > MAX_READ_SIZE) {
        bytes->clear();
        *reason = tooLarge;
        return false;
    }
    return true;
}

bool WholeFile::write(const QString &filePath, const QByteArray &bytes, QString *reason)
{
    if (filePath.isEmpty()) {
        *reason = QStringLiteral("not a local file");
        return false;
    }
    // Renaming over a link would replace the link, not the file it names.
    const QFileInfo info(filePath);
    const QByteArray target = QFile::encodeName(info.isSymLink() && info.exists() ? info.canonicalFilePath() : filePath);
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    // A new file would replace a FIFO or a device node instead of writing to it.
    if (exists && !S_ISREG(existing.st_mode)) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }

    QByteArray temporary;
    int fd = -1;
    // The new copy's name is not guessable, and the open fails rather than follow anything
    // another process put there.
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *reason = qt_error_string(errno);
        return false;
    }

    int error = writeAll(fd, bytes);
    // Owner first: a change of owner clears the set-ID bits that the mode then restores.
    // Only root may give a file away; anyone else's copy simply stays theirs.
    if (!error && exists && ::fchown(fd, existing.st_uid, existing.st_gid) != 0 && errno != EPERM)
        error = errno;
    if (!error && exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
        error = errno;
    // The data must be on the disk before the name points at it; an I/O error may show
    // only here or at close, not at write.
    if (!error && ::fdatasync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        *reason = qt_error_string(error);
        return false;
    }
    return true;
}

} // namespace Sm
} // namespace QVt
