#include "sm/stateMachineDefinition.h"

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"
#include "global/logging.h"

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
using QVt::Pb::Configuration::File;

namespace {

// Ends an autoflash run: its word on standard error, at once, then the exit status.
void endAutoflashRun(const char *word, int exitStatus)
{
    std::fputs(word, stderr);
    std::fflush(stderr);
    QCoreApplication::exit(exitStatus);
}
// The boot loader listens for its wake-up sequence only briefly after power-up.
constexpr int BOOT_SEQUENCE_INTERVAL_MS = 500;

} // namespace

StateMachineDefinition::StateMachineDefinition(QObject *parent)
    : QObject(parent)
{
}

bool StateMachineDefinition::isConnected() const
{
    return mConnected;
}

bool StateMachineDefinition::isBusy() const
{
    return mBusy;
}

QObject *StateMachineDefinition::currentDeviceObject() const
{
    return mCurrentDevice.data();
}

QSharedPointer<AbstractDevice> StateMachineDefinition::sharedCurrentDevice() const
{
    return mCurrentDevice;
}

QString StateMachineDefinition::currentDeviceIdString() const
{
    return mDeviceIdString;
}

QString StateMachineDefinition::currentProductId() const
{
    return mProductId;
}

void StateMachineDefinition::setReplyTimeout(int ms)
{
    mReplyTimeoutMs = ms;
}

QString StateMachineDefinition::textUpToZero(const QByteArray &data)
{
    const int end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

void StateMachineDefinition::logCaughtException(const std::exception &exception)
{
    qCWarning(Global::logMachine) << "Caught an exception in a state machine action:"
                                  << QString::fromLocal8Bit(exception.what());
}

// Every end of a connection comes through here: forget the connection, close the link.
void StateMachineDefinition::StateInitialization::enter(StateMachineDefinition &machine)
{
    machine.mConnected = false;
    machine.mBusy = false;
    machine.mDeviceIdString.clear();
    machine.mProductId.clear();
    machine.mAutoflash = false;
    machine.mReadRequested = false;
    machine.mReplacedDeviceName.clear();
    emit machine.stopCyclicWrite();
    emit machine.connectedChanged(false);
    emit machine.busyChanged(false);
    emit machine.deviceIdStringChanged(QString());
    emit machine.stopTimeoutWatch();
    if (machine.mCurrentDevice)
        machine.mCurrentDevice->resetDeviceInfo();
    CommsHandler::instance()->close();
    // What was read from the device is now just a configuration being edited.
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    if (tracker->configurationType() == Types::CONFIGURATION_TYPE_DEVICE)
        tracker->setConfigurationType(Types::CONFIGURATION_TYPE_NEW);
}

void StateMachineDefinition::StateDisconnected::enter(StateMachineDefinition &machine)
{
    machine.mConnected = false;
    emit machine.connectedChanged(false);
    machine.mBusy = false;
    emit machine.busyChanged(false);
    emit machine.stopTimeoutWatch();
}

void StateMachineDefinition::StateAttemptingConnection::enter(StateMachineDefinition &machine)
{
    machine.mBusy = true;
    emit machine.busyChanged(true);
    emit machine.startCyclicWrite(BootProtocol::buildBootSequence(), BOOT_SEQUENCE_INTERVAL_MS, true);
    emit machine.startTimeoutWatch(machine.mReplyTimeoutMs);
}

void StateMachineDefinition::StateReadProductId::enter(StateMachineDefinition &machine)
{
    emit machine.writeData(BootProtocol::buildReadProductIdCommand());
    emit machine.startTimeoutWatch(machine.mReplyTimeoutMs);
}

void StateMachineDefinition::StateIdentifyDevice::enter(StateMachineDefinition &machine)
{
    // A device object loaded from a file, made new or kept from an earlier connection
    // serves the device as it is.
    if (machine.mCurrentDevice && machine.mCurrentDevice->productIds().contains(machine.mProductId))
        return;
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    // A configuration of another product cannot be written to this unit; the unit's own
    // takes its place when it has been read.
    if (machine.mCurrentDevice && tracker->configurationType() != Types::CONFIGURATION_TYPE_NONE)
        machine.mReplacedDeviceName = machine.mCurrentDevice->name();
    // An unattended run writes only the configuration it was started with; it never
    // falls back to a driver's default configuration.
    if (machine.mAutoflash && machine.mCurrentDevice)
        emit machine.configurationForAnotherProduct(machine.mCurrentDevice->name(), machine.mProductId);
    machine.mCurrentDevice = machine.mAutoflash
        ? QSharedPointer<AbstractDevice>()
        : DeviceFactory::instance()->createDevice(machine.mProductId);
    emit machine.currentDeviceChanged(machine.mCurrentDevice.data());
    if (tracker->configurationType() != Types::CONFIGURATION_TYPE_NONE)
        tracker->setConfigurationType(Types::CONFIGURATION_TYPE_NEW);
}

void StateMachineDefinition::StateConnected::enter(StateMachineDefinition &machine)
{
    machine.mBusy = false;
    emit machine.busyChanged(false);
    machine.mConnected = true;
    emit machine.connectedChanged(true);
    emit machine.stopTimeoutWatch();
}

void StateMachineDefinition::StateReadDeviceConfiguration::enter(StateMachineDefinition &machine,
                                                                 bool readRequested)
{
    machine.mBusy = true;
    emit machine.busyChanged(true);
    machine.mReadRequested = readRequested;
    emit machine.startTimeoutWatch(machine.mReplyTimeoutMs);
    emit machine.writeData(BootProtocol::buildReadProtobufCommand());
}

void StateMachineDefinition::StateWriteDeviceConfiguration::enter(StateMachineDefinition &machine)
{
    machine.mBusy = true;
    emit machine.busyChanged(true);
    // A configuration too large for one frame is refused by the framing, and one that
    // cannot be serialized at all throws; either way nothing is sent, and an anonymous
    // row ends the write as the device's error would.
    machine.mWriteRefused = true;
    const QByteArray frame = BootProtocol::buildWriteProtobufCommand(machine.mCurrentDevice->serialize());
    machine.mWriteRefused = frame.isEmpty();
    if (machine.mWriteRefused)
        return;
    emit machine.startTimeoutWatch(machine.mReplyTimeoutMs);
    emit machine.writeData(frame);
}

void StateMachineDefinition::ActionSetDevice::execute(StateMachineDefinition &machine,
                                                      const QSharedPointer<AbstractDevice> &device,
                                                      bool whileConnected)
{
    if (!device)
        return;
    // A replacement for the connected product keeps what the device reported about itself.
    if (whileConnected && machine.mCurrentDevice
        && device->primaryProductId() == machine.mCurrentDevice->primaryProductId()
        && machine.mCurrentDevice->deviceInfo()) {
        device->updateDeviceInfo(machine.mCurrentDevice->serialize());
    }
    machine.mProductId = device->primaryProductId();
    // Users of the old object let go of it before the new one is announced.
    emit machine.currentDeviceChanged(nullptr);
    machine.mCurrentDevice = device;
    emit machine.currentDeviceChanged(machine.mCurrentDevice.data());
}

void StateMachineDefinition::ActionSetDeviceForAnotherProduct::execute(
    StateMachineDefinition &machine, const QSharedPointer<AbstractDevice> &device)
{
    emit machine.writeData(BootProtocol::buildEnterNormalOperationCommand());
    ActionSetDevice::execute(machine, device, true);
}

void StateMachineDefinition::ActionFinalizeConnection::execute(StateMachineDefinition &machine,
                                                               const QByteArray &data)
{
    machine.mDeviceIdString = textUpToZero(data);
    emit machine.deviceIdStringChanged(machine.mDeviceIdString);
    emit machine.stopCyclicWrite();
}

void StateMachineDefinition::ActionStoreProductId::execute(StateMachineDefinition &machine,
                                                           const QByteArray &data)
{
    machine.mProductId = File::productIdFromHex(data.mid(1).toHex());
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
    machine.mBusy = true;
    emit machine.busyChanged(true);
    emit machine.writeData(BootProtocol::buildFactoryResetCommand());
    emit machine.factoryResetSuccessful();
}

void StateMachineDefinition::ActionStoreDeviceConfiguration::execute(StateMachineDefinition &machine,
                                                                     const QByteArray &data)
{
    const QByteArray configuration = data.mid(1);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    const QString replacedDeviceName = machine.mReplacedDeviceName;
    machine.mReplacedDeviceName.clear();
    if (tracker->configurationType() == Types::CONFIGURATION_TYPE_NONE || machine.mReadRequested
        || !replacedDeviceName.isEmpty()) {
        // Bytes that do not load leave the edits and their mark alone; the device reports
        // why through its loadError(), and that report ends the connection.
        if (!machine.mCurrentDevice->deserialize(configuration))
            return;
        tracker->setConfigurationType(Types::CONFIGURATION_TYPE_DEVICE);
        tracker->setSaveNeeded(false);
        emit machine.deviceInfoRead();
        emit machine.readFromDeviceSuccessful();
        if (!replacedDeviceName.isEmpty())
            emit machine.editedConfigurationReplaced(replacedDeviceName);
    } else {
        // The configuration being edited stays; it takes only the unit's identity, or
        // none when the unit's bytes carry none.
        machine.mCurrentDevice->updateDeviceInfo(configuration);
        emit machine.deviceInfoRead();
    }
}

void StateMachineDefinition::ActionAbortWithSuccess::execute(StateMachineDefinition &machine)
{
    // The run is over: StateConnected, entered next, must not start another write.
    machine.mAutoflash = false;
    endAutoflashRun("SUCCESS\n", 0);
}

void StateMachineDefinition::ActionAbortWithError::execute()
{
    endAutoflashRun("ERROR\n", -1);
}

} // namespace Sm
} // namespace QVt
