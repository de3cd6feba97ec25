// Runs one device state machine for a test: builds and starts it, writes everything it
// emits (and every change it makes to the save status tracker) into the test devices'
// shared log, and drives it into the state a test case starts from. Owns the machine;
// lives on the test's thread.
#pragma once

#include "sm/stateMachineDefinition.h"
#include "testDevice.h"

#include <QObject>
#include <QStringList>

class MachineRecorder : public QObject
{
    Q_OBJECT

public:
    // Where a test case starts, each reached through the rows a user's session takes.
    enum class Start { Disconnected, AttemptingConnection, ReadProductId, Connected, ReadDeviceConfiguration,
                       WriteDeviceConfiguration };
    Q_ENUM(Start)
    enum class Event { Connect, Disconnect, EnterNormalOperation, EnterPairingMode, FactoryReset,
                       ReadDeviceConfiguration, WriteDeviceConfiguration, NewData, CommsError, Timeout, LoadError,
                       SetDevice, Autoflash };
    Q_ENUM(Event)

    static const QByteArray IDENTIFICATION;
    static const QString PRODUCT_ID_A;

    explicit MachineRecorder(QObject *parent);

    QVt::Sm::Machine &machine();
    // The shared log since the last call, emptied.
    QStringList takeLog();
    QString state() const;
    // Starts from StateDisconnected; leaves the log empty.
    void reach(Start start);
    // An event of the kind with harmless arguments (a fresh "File A" device for
    // EventSetDevice); data is the payload of EventNewData.
    void give(Event event, const QByteArray &data = QByteArray());
    // The reply to the read-product-ID command for a product ID.
    static QByteArray productIdReply(const QString &productId);
    // A device standing for a configuration loaded from a file.
    static QSharedPointer<TestDevice> loadedDevice(const QStringList &productIds);
    TestDevice *currentTestDevice() const;

private:
    QVt::Sm::Machine mMachine;
};
