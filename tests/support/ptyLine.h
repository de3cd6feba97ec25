#pragma once

#include <QByteArray>
#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

// One end of a pseudo-terminal for tests: a new one from its master (device) side, or an
// existing one such as the simulator's, opened raw. Owns its descriptor; one thread.
class PtyLine
{
public:
    PtyLine();
    explicit PtyLine(const QString &path);
    ~PtyLine() { close(); }
    Q_DISABLE_COPY(PtyLine)

    bool isOpen() const { return mFd >= 0; }
    QString path() const { return mPath; }
    bool write(const QByteArray &bytes);
    // Runs the event loop until count bytes have come (any number for a negative count),
    // timeoutMs passed or the line hung up; bytes beyond count are kept for the next read.
    QByteArray read(int count, int timeoutMs = 5000);
    // The reads from the line that made up the last read(), in order.
    QList<QByteArray> chunks() const { return mChunks; }
    // Ends this side, as an unplugged cable would.
    void close();

private:
    int mFd = -1;
    bool mMaster = false;
    QString mPath;
    QByteArray mUnclaimed;
    QList<QByteArray> mChunks;
};

// Expects the warning of an open of a pseudo-terminal, which has no DTR and RTS to drive.
void expectModemLineWarning(const QString &port);
// What a spy caught: "code: text" per errorOccurred; the bytes of each newData or writeData.
QStringList errorsIn(const QSignalSpy &errors);
QList<QByteArray> bytesIn(const QSignalSpy &spy);
