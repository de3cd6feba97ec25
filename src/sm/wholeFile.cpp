#include "sm/wholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace QVt {
namespace Sm {

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
    QSaveFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        *reason = filePath.isEmpty() ? QStringLiteral("not a local file") : file.errorString();
        return false;
    }
    // commit() can report success although its own final flush failed for lack of
    // space, so the flush is made and checked here first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace Sm
} // namespace QVt
