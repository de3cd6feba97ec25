// Runs one device state machine for a test: builds and starts it, writes everything
// it emits (and every change it makes to the save status tracker) into one ordered
// log, and drives it into the state a test case starts from. Owns the machine and a
// device kind of its own ("File A") that stands for a configuration loaded from a
// file. Lives on the test's thread.
#pragma once

#include "sm/stateMachineDefinition.h"

#include <QObject>
#include <QStringList>

class TestDevice;

class MachineRecorder : public QObject
{
    Q_OBJECT

public:
    // Where a test case starts, each reached through the rows a user's session takes.
    enum class Start {
        Disconnected,
        AttemptingConnection,
        ReadProductId,
        Connected,
        ReadDeviceConfiguration,
        WriteDeviceConfiguration,
    };
    Q_ENUM(Start)

    // The machine's events, for tables that feed each of them.
    enum class Event {
        Connect,
        Disconnect,
        EnterNormalOperation,
        EnterPairingMode,
        FactoryReset,
        ReadDeviceConfiguration,
        WriteDeviceConfiguration,
        NewData,
        CommsError,
        Timeout,
        LoadError,
        SetDevice,
        Autoflash,
    };
    Q_ENUM(Event)

    static const QByteArray Identification;
    static const QString ProductIdA;

    explicit MachineRecorder(QObject *parent = nullptr);
    ~MachineRecorder() override;

    QVt::Sm::Machine &machine();
    // The log since the last call, emptied.
    QStringList takeLog();
    // Name of the state the machine is in.
    QString state() const;

    // Starts from StateDisconnected; leaves the log empty.
    void reach(Start start);
    // An event of the kind with harmless arguments (a fresh "File A" device for
    // EventSetDevice); data is the payload of EventNewData.
    void give(Event event, const QByteArray &data = QByteArray());
    void giveData(const QByteArray &data);

    // The reply to the read-product-ID command for a product ID.
    static QByteArray productIdReply(const QString &productId);
    // A device standing for a configuration loaded from a file.
    static QSharedPointer<TestDevice> loadedDevice(const QStringList &productIds);
    TestDevice *currentTestDevice() const;

private:
    void record(const QString &entry);

    QVt::Sm::Machine mMachine;
    QStringList mLog;
};
