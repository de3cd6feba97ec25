#include "sm/stateMachineDefinition.h"

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"

#include <QCoreApplication>
#include <QDebug>

#include <cstdio>

namespace QVt {
namespace Sm {

using QVt::Comms::CommsHandler;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Device::DeviceFactory;
using QVt::Global::Types;

namespace {

// Every step of a connection waits this long for the device's reply.
constexpr int ReplyTimeoutMs = 10000;

// Ends an autoflash run: its word on standard error, at once, then the exit status.
void endAutoflashRun(const char *word, int exitStatus)
{
    std::fputs(word, stderr);
    std::fflush(stderr);
    QCoreApplication::exit(exitStatus);
}
// The boot loader listens for its wake-up sequence only briefly after power-up.
constexpr int BootSequenceIntervalMs = 500;
// Product IDs are shown with at least this many hexadecimal digits.
constexpr int ProductIdMinimumDigits = 12;

} // namespace

StateMachineDefinition::StateMachineDefinition(QObject *parent)
    : QObject(parent)
{
}

bool StateMachineDefinition::isConnected() const
{
    return connected;
}

bool StateMachineDefinition::isBusy() const
{
    return busy;
}

QObject *StateMachineDefinition::currentDeviceObject() const
{
    return currentDevice.data();
}

QSharedPointer<AbstractDevice> StateMachineDefinition::sharedCurrentDevice() const
{
    return currentDevice;
}

QString StateMachineDefinition::currentDeviceIdString() const
{
    return deviceIdString;
}

QString StateMachineDefinition::currentProductId() const
{
    return productId;
}

bool StateMachineDefinition::isAutoflash() const
{
    return autoflash;
}

bool StateMachineDefinition::isReadRequested() const
{
    return readRequested;
}

QString StateMachineDefinition::textUpToZero(const QByteArray &data)
{
    const int end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

void StateMachineDefinition::logCaughtException(const std::exception &exception)
{
    qWarning() << "Caught an exception in a state machine action:" << QString::fromLocal8Bit(exception.what());
}

// Every end of a connection comes through here: forget the connection, close the link.
void StateMachineDefinition::StateInitialization::enter(StateMachineDefinition &machine)
{
    machine.connected = false;
    machine.busy = false;
    machine.deviceIdString.clear();
    machine.productId.clear();
    machine.autoflash = false;
    machine.readRequested = false;
    emit machine.stopCyclicWrite();
    emit machine.connectedChanged(false);
    emit machine.busyChanged(false);
    emit machine.deviceIdStringChanged(QString());
    emit machine.stopTimeoutWatch();
    if (machine.currentDevice)
        machine.currentDevice->resetDeviceInfo();
    CommsHandler::instance()->close();
    // What was read from the device is now just a configuration being edited.
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    if (tracker->configurationType() == Types::CONFIGURATION_TYPE_DEVICE)
        tracker->setConfigurationType(Types::CONFIGURATION_TYPE_NEW);
}

void StateMachineDefinition::StateDisconnected::enter(StateMachineDefinition &machine)
{
    machine.connected = false;
    emit machine.connectedChanged(false);
    machine.busy = false;
    emit machine.busyChanged(false);
    emit machine.stopTimeoutWatch();
}

void StateMachineDefinition::StateAttemptingConnection::enter(StateMachineDefinition &machine)
{
    machine.busy = true;
    emit machine.busyChanged(true);
    emit machine.startCyclicWrite(BootProtocol::buildBootSequence(), BootSequenceIntervalMs, true);
    emit machine.startTimeoutWatch(ReplyTimeoutMs);
}

void StateMachineDefinition::StateReadProductId::enter(StateMachineDefinition &machine)
{
    emit machine.writeData(BootProtocol::buildReadProductIdCommand());
    emit machine.startTimeoutWatch(ReplyTimeoutMs);
}

void StateMachineDefinition::StateIdentifyDevice::enter(StateMachineDefinition &machine)
{
    // A device object loaded from a file, made new or kept from an earlier connection
    // serves the device as it is.
    if (machine.currentDevice && machine.currentDevice->productIds().contains(machine.productId))
        return;
    // An unattended run writes only the configuration it was started with; it never
    // falls back to a driver's default configuration.
    machine.currentDevice = machine.autoflash
        ? QSharedPointer<AbstractDevice>()
        : DeviceFactory::instance()->createDevice(machine.productId);
    emit machine.currentDeviceChanged(machine.currentDevice.data());
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    if (tracker->configurationType() != Types::CONFIGURATION_TYPE_NONE)
        tracker->setConfigurationType(Types::CONFIGURATION_TYPE_NEW);
}

void StateMachineDefinition::StateConnected::enter(StateMachineDefinition &machine)
{
    machine.busy = false;
    emit machine.busyChanged(false);
    machine.connected = true;
    emit machine.connectedChanged(true);
    emit machine.stopTimeoutWatch();
}

void StateMachineDefinition::StateReadDeviceConfiguration::enter(StateMachineDefinition &machine,
                                                                 bool readRequested)
{
    machine.busy = true;
    emit machine.busyChanged(true);
    machine.readRequested = readRequested;
    emit machine.startTimeoutWatch(ReplyTimeoutMs);
    emit machine.writeData(BootProtocol::buildReadProtobufCommand());
}

void StateMachineDefinition::StateWriteDeviceConfiguration::enter(StateMachineDefinition &machine)
{
    machine.busy = true;
    emit machine.busyChanged(true);
    emit machine.startTimeoutWatch(ReplyTimeoutMs);
    emit machine.writeData(BootProtocol::buildWriteProtobufCommand(machine.currentDevice->serialize()));
}

void StateMachineDefinition::ActionSetDevice::execute(StateMachineDefinition &machine,
                                                      const QSharedPointer<AbstractDevice> &device,
                                                      bool whileConnected)
{
    if (!device)
        return;
    // A replacement for the connected product keeps what the device reported about itself.
    if (whileConnected && machine.currentDevice
        && device->primaryProductId() == machine.currentDevice->primaryProductId()
        && machine.currentDevice->deviceInfo()) {
        device->updateDeviceInfo(machine.currentDevice->serialize());
    }
    machine.productId = device->primaryProductId();
    // Users of the old object let go of it before the new one is announced.
    emit machine.currentDeviceChanged(nullptr);
    machine.currentDevice = device;
    emit machine.currentDeviceChanged(machine.currentDevice.data());
}

void StateMachineDefinition::ActionFinalizeConnection::execute(StateMachineDefinition &machine,
                                                               const QByteArray &data)
{
    machine.deviceIdString = textUpToZero(data);
    emit machine.deviceIdStringChanged(machine.deviceIdString);
    emit machine.stopCyclicWrite();
}

void StateMachineDefinition::ActionStoreProductId::execute(StateMachineDefinition &machine,
                                                           const QByteArray &data)
{
    machine.productId = QString::fromLatin1(data.mid(1).toHex())
                            .rightJustified(ProductIdMinimumDigits, QLatin1Char('0'));
}

void StateMachineDefinition::ActionEnterNormalOperation::execute(StateMachineDefinition &machine)
{
    emit machine.writeData(BootProtocol::buildEnterNormalOperationCommand());
    emit machine.disconnectSuccessful();
}

void StateMachineDefinition::ActionEnterPairingMode::execute(StateMachineDefinition &machine)
{
    emit machine.writeData(BootProtocol::buildEnterPairingModeCommand());
    emit machine.pairingModeSuccessful();
}

void StateMachineDefinition::ActionFactoryReset::execute(StateMachineDefinition &machine)
{
    machine.busy = true;
    emit machine.busyChanged(true);
    emit machine.writeData(BootProtocol::buildFactoryResetCommand());
    emit machine.factoryResetSuccessful();
}

void StateMachineDefinition::ActionStoreDeviceConfiguration::execute(StateMachineDefinition &machine,
                                                                     const QByteArray &data)
{
    const QByteArray configuration = data.mid(1);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    if (tracker->configurationType() == Types::CONFIGURATION_TYPE_NONE || machine.readRequested) {
        machine.currentDevice->deserialize(configuration);
        tracker->setConfigurationType(Types::CONFIGURATION_TYPE_DEVICE);
        tracker->setSaveNeeded(false);
        emit machine.readFromDeviceSuccessful();
    } else {
        // The automatic read after connecting leaves the configuration being edited alone.
        machine.currentDevice->updateDeviceInfo(configuration);
    }
}

void StateMachineDefinition::ActionAbortWithSuccess::execute(StateMachineDefinition &machine)
{
    // The run is over: StateConnected, entered next, must not start another write.
    machine.autoflash = false;
    endAutoflashRun("SUCCESS\n", 0);
}

void StateMachineDefinition::ActionAbortWithError::execute()
{
    endAutoflashRun("ERROR\n", -1);
}

} // namespace Sm
} // namespace QVt
