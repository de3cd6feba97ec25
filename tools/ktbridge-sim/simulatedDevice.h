#pragma once

#include "comms/protocol/frameReader.h"
#include "simulatorOptions.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace QVt {
namespace Sim {

// The boot loader of one KT Bridge device, seen from the line: takes the bytes a client
// sends, answers each request frame as the device would (with the faults it was told to
// have) and keeps its configuration, in the store file if one was given. Configuration
// bytes are kept as they come, unchecked, like the device's flash: only the factory
// configuration it makes itself (UnitIdentity) is known to be one. Knows nothing of
// pseudo-terminals or timing: what it sends leaves through transmit(). With --units it
// plays one unit after another. Lives in the main thread.
class SimulatedDevice : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedDevice(const SimulatorOptions &options, QObject *parent = nullptr);

    // Makes or reads the factory configuration and reads the stored one; false with a
    // reason if one of the files cannot be read.
    bool start(QString *errorText);

    void onBytesReceived(const QByteArray &bytes);
    // A client opened or closed the port: a half-received frame belongs to nobody now.
    void onClientChanged();

signals:
    // Bytes for the line, to go out delayMs after whatever was sent before.
    void transmit(const QByteArray &bytes, int delayMs);
    // The last frame before a hang-up fault has been answered.
    void hangUpRequested();

private:
    void handleRequest(const QByteArray &payload);
    // stalePayload, if any, follows the reply's frame in the same burst.
    void sendReply(const QByteArray &payload, const QByteArray &stalePayload = QByteArray());
    QByteArray frameToSend(const QByteArray &payload) const;
    bool keepConfiguration(const QByteArray &configuration);
    // Makes unit number mUnit answer: its identity, its factory and stored configuration.
    bool startUnit(QString *errorText);
    void onUnitLeft();
    QString storePath() const;
    void onFrameTimeout();
    void onFloodTimer();
    void log(const QString &line) const;

    const SimulatorOptions mOptions;
    QByteArray mFactoryConfiguration;
    QByteArray mConfiguration;
    Comms::Protocol::FrameReader mReader;
    QTimer mFrameTimeout;
    // Drives the flood fault while it runs.
    QTimer mFloodTimer;
    int mFramesReceived = 0;
    int mUnit = 0;
    // A unit in normal operation no longer answers; the next one comes after a pause.
    bool mUnitGone = false;
};

} // namespace Sim
} // namespace QVt
