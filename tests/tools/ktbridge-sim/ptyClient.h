#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The client end of the simulator's line for tests: opens the pseudo-terminal raw, writes
// bytes and reads them back with plain POSIX calls, recording how they were cut into reads.
// Owns its descriptor; blocking, for use from the test's thread only.
class PtyClient
{
public:
    PtyClient() = default;
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;
    ~PtyClient();

    bool open(const QString &path);
    void close();
    bool write(const QByteArray &bytes);

    // Reads until size bytes have arrived or timeoutMs have passed; returns at most size
    // bytes, keeping any more for the next read.
    QByteArray read(int size, int timeoutMs = 5000);
    // Reads whatever arrives within ms (to show that nothing does).
    QByteArray readFor(int ms);
    // The reads from the line that made up the last read() or readFor(), in order.
    QList<QByteArray> chunks() const;
    // Waits until the line is hung up on this client.
    bool waitForHangUp(int timeoutMs = 5000);

private:
    QByteArray readUntil(int size, int timeoutMs);

    int mFd = -1;
    QList<QByteArray> mChunks;
    QByteArray mUnclaimed;
};
