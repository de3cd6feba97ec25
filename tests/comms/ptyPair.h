#pragma once

#include <QByteArray>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

// A pseudo-terminal held from the device's end, so that a test can see the exact bytes
// a serial port writes and feed it bytes in chosen pieces. Owns the master descriptor;
// use from one thread.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isOpen() const { return mMaster >= 0; }
    // The path a serial port opens.
    QString portPath() const { return mPortPath; }

    bool write(const QByteArray &bytes);
    // Everything the port has written so far and not yet read here.
    QByteArray readAll();
    // Runs the event loop until count bytes have come, or timeoutMs passed.
    QByteArray read(int count, int timeoutMs);
    // Ends the device side, as an unplugged cable would.
    void hangUp();

private:
    int mMaster = -1;
    QString mPortPath;
};

// Expects the warning of an open of a pseudo-terminal, which has no DTR and RTS to drive.
void expectModemLineWarning(const QString &port);
// What a spy caught, as comparable lists: "code: text" per errorOccurred; the bytes of
// each newData or writeData.
QStringList errorsIn(const QSignalSpy &errors);
QList<QByteArray> bytesIn(const QSignalSpy &spy);
