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
    // bytes, keeping any more for the next read. A negative size reads whatever arrives.
    QByteArray read(int size, int timeoutMs = 5000);
    // Reads whatever arrives within ms (to show that nothing does).
    QByteArray readFor(int ms) { return read(-1, ms); }
    // Reads one whole frame, however long; empty when it does not arrive whole.
    QByteArray readFrame();
    // The reads from the line that made up the last read(), in order.
    QList<QByteArray> chunks() const { return mChunks; }
    // Waits until the line is hung up on this client, dropping what still arrives.
    bool waitForHangUp(int timeoutMs = 5000);

private:
    int mFd = -1;
    QList<QByteArray> mChunks;
    QByteArray mUnclaimed;
    bool mHungUp = false;
};

inline QByteArray bytes(const char *hexText)
{
    return QByteArray::fromHex(hexText);
}

// Requests and the replies of the default product.
const QByteArray kBootSequence = bytes("43 00 06 5A 50 58 4D 42 54 4C 0D");
const QByteArray kReadProductId = bytes("43 00 01 50 12 0D");
const QByteArray kReadConfiguration = bytes("43 00 01 4C 0E 0D");
const QByteArray kWriteAbc = bytes("43 00 04 53 41 42 43 54 0D"); // "S" + "ABC"
const QByteArray kProductIdReply = bytes("43 00 07 50 00 00 C0 DE 00 03 09 0D");
const QByteArray kErrorReply = bytes("43 00 01 45 07 0D");
