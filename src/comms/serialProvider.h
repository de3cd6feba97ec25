#pragma once

#include "comms/dataProvider.h"
#include "comms/protocol/frameReader.h"
#include "comms/replyGate.h"

#include <QSerialPort>
#include <QVariantList>

namespace QVt {
namespace Comms {

// The data provider for a serial port: opens the chosen port lazily on the first
// write, cuts the received bytes into boot-protocol frames and emits each good
// frame's payload that a request awaits (ReplyGate). Owns its port object and its one setting, "Port" (remembered
// under "comms/serial/port"). Constructed in the hub's thread, then lives in the
// communication worker thread; call open(), close() and settingsValid() there.
class SerialProvider : public DataProvider
{
    Q_OBJECT

public:
    explicit SerialProvider(QObject *parent);
    ~SerialProvider() override;

    void open() override;
    void close() override;
    QList<QVt::Global::Setting *> settingsList() const override;
    bool settingsValid() const;

    // The user-facing sentence for a serial-port error number.
    static QString serialPortErrorToText(quint16 errorCode);

public slots:
    void onWriteData(QByteArray data) override;
    // The state machine has handled the payload passed on last (see ReplyGate).
    void onReplyHandled(bool replyAwaited);

private slots:
    void onReadyRead();
    void onSerialPortError(QSerialPort::SerialPortError error);
    void onPortChanged(QVariant value);

private:
    void openSerial();
    void closeSerial();

    QSerialPort *mPort;  // child
    QString mPortName;
    Protocol::FrameReader mReader;
    ReplyGate mGate;
    QVariantList mAvailablePorts;
    QVt::Global::Setting *mPortSetting = nullptr;
    // Set while DTR and RTS are driven right after opening: a port without modem
    // lines (a pseudo-terminal) refuses that harmlessly, so it is only logged.
    bool mDrivingModemLines = false;
    // Set once the open port's device has been reported gone, until the port is opened again.
    bool mLineGone = false;
};

} // namespace Comms
} // namespace QVt
