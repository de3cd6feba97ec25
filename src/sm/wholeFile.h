// Whole-file reads and writes for the files the user names (configurations, support
// archives): a read never blocks and never reads without bound, a write replaces the
// file entirely or leaves the old one as it was (POSIX calls: the whole chain must be
// checked, which QSaveFile does not do). Static functions only; owns nothing; runs on the
// calling thread (the GUI thread).
#pragma once

#include <QByteArray>
#include <QString>

namespace QVt {
namespace Sm {

class WholeFile
{
public:
    // Far above any configuration; anything larger is not one.
    static constexpr qint64 MAX_READ_SIZE = 1024 * 1024;

    // The local path of a URL as the file dialogs deliver it; empty for a URL that
    // names no local file.
    static QString localPath(const QString &url);

    // The file's bytes. Anything but a regular file (a FIFO, a device, a folder) and
    // anything larger than MAX_READ_SIZE is refused before it is opened; on false,
    // reason says why.
    static bool read(const QString &filePath, QByteArray *bytes, QString *reason);

    // Writes beside the file and renames over it, keeping an existing file's mode and,
    // where the process may, its owner and group; every step up to the rename is checked
    // (write, sync, close), and a failed one drops the new copy. A target that exists
    // but is not a regular file (a FIFO, a device node) is refused. On false, reason says why.
    static bool write(const QString &filePath, const QByteArray &bytes, QString *reason);
};

} // namespace Sm
} // namespace QVt
