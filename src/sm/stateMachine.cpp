#include "sm/stateMachine.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"
#include "global/logging.h"
#include "global/threadHandoff.h"
#include "sm/supportArchive.h"
#include "sm/wholeFile.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtbusgate/types.h>

#include <QCoreApplication>
#include <QDebug>

namespace QVt {
namespace Sm {

using QVt::Comms::CommsHandler;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Device::DeviceFactory;
using QVt::Global::Types;
using QVt::Pb::Configuration::File;

QSharedPointer<StateMachine> StateMachine::mInstance;

StateMachine *StateMachine::instance()
{
    if (!mInstance)
        mInstance.reset(new StateMachine(nullptr));
    return mInstance.data();
}

StateMachine::StateMachine(QObject *parent)
    : QThread(parent)
{
}

StateMachine::~StateMachine()
{
    Global::ThreadHandoff::release(this);
    quit();
    wait();
}

void StateMachine::setStartupOptions(const QString &configurationFile, const bool &autoflash)
{
    mConfigurationFile = configurationFile;
    mAutoflash = autoflash;
}

void StateMachine::setReplyTimeout(int ms)
{
    mReplyTimeoutMs = ms;
}

bool StateMachine::connected() const
{
    return mMachine ? mMachine->isConnected() : false;
}

bool StateMachine::busy() const
{
    return mMachine ? mMachine->isBusy() : false;
}

QObject *StateMachine::currentDevice() const
{
    return mMachine ? mMachine->currentDeviceObject() : nullptr;
}

QString StateMachine::deviceIdString() const
{
    return mMachine ? mMachine->currentDeviceIdString() : QString();
}

QString StateMachine::productId() const
{
    return mMachine ? mMachine->currentProductId() : QString();
}

QString StateMachine::loadedProductId() const
{
    return mLoadedProductId;
}

template<typename Event>
void StateMachine::processEvent(const Event &event)
{
    if (mMachine)
        mMachine->process_event(event);
}

void StateMachine::doConnect()
{
    processEvent(EventConnect());
}

void StateMachine::doDisconnect()
{
    processEvent(EventDisconnect());
}

void StateMachine::doEnterNormalOperation()
{
    processEvent(EventEnterNormalOperation());
}

void StateMachine::doLoadConfiguration(const QString &configurationUrl)
{
    if (!mMachine) {
        qCWarning(Global::logMachine) << "Could not load from" << configurationUrl;
        return;
    }
    const QString filePath = WholeFile::localPath(configurationUrl);
    QByteArray bytes;
    QString reason;
    if (!WholeFile::read(filePath, &bytes, &reason)) {
        qCWarning(Global::logFiles) << "Could not open configuration file" << configurationUrl << reason;
        emit configurationUnreadable(filePath.isEmpty() ? configurationUrl : filePath, reason);
        return;
    }
    File configuration(nullptr);
    if (!configuration.load(bytes)) {
        const File::LOAD_ERROR loadError = configuration.loadError();
        if (!emitLoadErrorSignal(loadError))
            qCWarning(Global::logFiles) << "Unrecognized error loading the configuration file:" << int(loadError);
        return;
    }
    const QString productId = configuration.productId();
    const QSharedPointer<AbstractDevice> device = DeviceFactory::instance()->createDevice(productId);
    if (!device) {
        emit configurationUnsupported(productId);
        return;
    }
    device->deserialize(bytes);
    mMachine->process_event(EventSetDevice{device});
    recordConfiguration(filePath, configurationUrl, Types::CONFIGURATION_TYPE_FILE);
    mLoadedProductId = productId;
    emit loadFileSuccessful(filePath);
}

void StateMachine::doNewConfiguration(const QString &productId)
{
    if (!mMachine) {
        qCWarning(Global::logMachine) << "Could not create a new configuration for product ID" << productId;
        return;
    }
    const QSharedPointer<AbstractDevice> device = DeviceFactory::instance()->createDevice(productId);
    if (!device) {
        emit configurationUnsupported(productId);
        return;
    }
    mMachine->process_event(EventSetDevice{device});
    recordConfiguration(QString(), QString(), Types::CONFIGURATION_TYPE_NEW);
    emit newFileSuccessful(device->name());
}

QSharedPointer<AbstractDevice> StateMachine::sharedCurrentDevice() const
{
    return mMachine ? mMachine->sharedCurrentDevice() : QSharedPointer<AbstractDevice>();
}

void StateMachine::doSaveConfiguration(const QString &configurationUrl)
{
    const QSharedPointer<AbstractDevice> device = sharedCurrentDevice();
    if (!device) {
        qCWarning(Global::logMachine) << "Could not save to" << configurationUrl;
        return;
    }
    const QString filePath = WholeFile::localPath(configurationUrl);
    QString reason;
    if (!WholeFile::write(filePath, device->serialize(), &reason)) {
        qCWarning(Global::logFiles) << "Could not write configuration file" << configurationUrl << reason;
        emit saveFileFailed(filePath.isEmpty() ? configurationUrl : filePath, reason);
        return;
    }
    recordConfiguration(filePath, configurationUrl, Types::CONFIGURATION_TYPE_FILE);
    emit saveFileSuccessful(filePath);
}

void StateMachine::doReadDeviceConfiguration()
{
    processEvent(EventReadDeviceConfiguration());
}

void StateMachine::doWriteDeviceConfiguration()
{
    processEvent(EventWriteDeviceConfiguration());
}

void StateMachine::doEnterPairingMode()
{
    processEvent(EventEnterPairingMode());
}

void StateMachine::doFactoryReset()
{
    processEvent(EventFactoryReset());
}

void StateMachine::doPackSupportArchive(const QString &archiveUrl)
{
    const QSharedPointer<AbstractDevice> device = sharedCurrentDevice();
    if (!device) {
        qCWarning(Global::logMachine) << "Could not save support archive to" << archiveUrl;
        return;
    }
    const QString filePath = WholeFile::localPath(archiveUrl);
    QString reason;
    const QByteArray archive = SupportArchive::build(device.data(), mMachine->currentDeviceIdString(), &reason);
    if (archive.isEmpty() || !WholeFile::write(filePath, archive, &reason)) {
        qCWarning(Global::logFiles) << "Could not write support archive file" << archiveUrl << reason;
        emit packSupportArchiveFailed(filePath.isEmpty() ? archiveUrl : filePath, reason);
        return;
    }
    emit packSupportArchiveSuccessful(filePath);
}

void StateMachine::run()
{
    const QSharedPointer<Machine> built(new Machine());
    Machine *m = built.data();
    m->setReplyTimeout(mReplyTimeoutMs);
    CommsHandler *hub = CommsHandler::instance();
    ReplyWatch watch(nullptr);
    mReplyWatch = &watch;

    connect(m, &StateMachineDefinition::writeData, hub, &CommsHandler::onWriteData);
    connect(m, &StateMachineDefinition::startCyclicWrite, hub, &CommsHandler::onStartCyclicWrite);
    connect(m, &StateMachineDefinition::stopCyclicWrite, hub, &CommsHandler::onStopCyclicWrite);
    connect(hub, &CommsHandler::newData, this, &StateMachine::onNewData);
    connect(hub, &CommsHandler::errorOccurred, this, &StateMachine::onCommsError);
    connect(this, &StateMachine::replyHandled, hub, &CommsHandler::onReplyHandled);

    connect(m, &StateMachineDefinition::connectedChanged, this, &StateMachine::connectedChanged);
    connect(m, &StateMachineDefinition::busyChanged, this, &StateMachine::busyChanged);
    connect(m, &StateMachineDefinition::currentDeviceChanged, this, &StateMachine::currentDeviceChanged);
    connect(m, &StateMachineDefinition::deviceIdStringChanged, this, &StateMachine::deviceIdStringChanged);
    connect(m, &StateMachineDefinition::deviceUnsupported, this, &StateMachine::deviceUnsupported);
    connect(m, &StateMachineDefinition::deviceError, this, &StateMachine::deviceError);
    connect(m, &StateMachineDefinition::connectSuccessful, this, &StateMachine::connectSuccessful);
    connect(m, &StateMachineDefinition::disconnectSuccessful, this, &StateMachine::disconnectSuccessful);
    connect(m, &StateMachineDefinition::readFromDeviceSuccessful, this, &StateMachine::readFromDeviceSuccessful);
    connect(m, &StateMachineDefinition::writeToDeviceSuccessful, this, &StateMachine::writeToDeviceSuccessful);
    connect(m, &StateMachineDefinition::factoryResetSuccessful, this, &StateMachine::factoryResetSuccessful);
    connect(m, &StateMachineDefinition::pairingModeSuccessful, this, &StateMachine::pairingModeSuccessful);
    connect(m, &StateMachineDefinition::configurationTooLarge, this, &StateMachine::configurationTooLarge);
    connect(m, &StateMachineDefinition::deviceInfoRead, this, &StateMachine::deviceInfoRead);
    connect(m, &StateMachineDefinition::editedConfigurationReplaced, this, &StateMachine::editedConfigurationReplaced);
    connect(m, &StateMachineDefinition::configurationForAnotherProduct, this,
            &StateMachine::configurationForAnotherProduct);

    connect(m, &StateMachineDefinition::startTimeoutWatch, this, &StateMachine::onStartTimeoutWatch);
    connect(m, &StateMachineDefinition::stopTimeoutWatch, this, &StateMachine::onStopTimeoutWatch);
    connect(m, &StateMachineDefinition::currentDeviceChanged, this, &StateMachine::onCurrentDeviceChanged);
    connect(&watch, &ReplyWatch::expired, this, &StateMachine::onTimeout);

    m->start();
    // From now on the machine is driven, and so released, on the GUI thread.
    m->moveToThread(thread());

    // The GUI thread drives the machine from now on. Handing it over with a queued
    // call orders it after the start's own queued emissions and before the start-up
    // options below, and keeps every access to mMachine on one thread.
    const Global::ThreadHandoff handoff(this);
    QMetaObject::invokeMethod(this, [this, built, handoff] {
            handoff.receive();
            mMachine = built;
        }, Qt::QueuedConnection);

    if (!mConfigurationFile.isEmpty()) {
        connect(this, &StateMachine::loadStartupOptions, this, &StateMachine::onLoadStartupOptions);
        emit loadStartupOptions(mConfigurationFile, mAutoflash);
    }

    exec();
    // Whatever the quitting thread did before quit() comes before this point.
    Global::ThreadHandoff::acquire(this);

    // Deliver what the machine queued for objects of this thread (the hub in the
    // autoflash mode: its last stop of the cyclic write) before the thread ends; the
    // watch goes with this frame, on its own thread.
    QCoreApplication::sendPostedEvents();
}

void StateMachine::onNewData(QByteArray data)
{
    processEvent(EventNewData{data});
    // A busy machine still awaits a reply (it ignored a repeated identification text,
    // or sent its next request).
    emit replyHandled(busy());
}

void StateMachine::onLoadStartupOptions(QString configurationFile, bool autoflash)
{
    disconnect(this, &StateMachine::loadStartupOptions, this, &StateMachine::onLoadStartupOptions);
    doLoadConfiguration(configurationFile);
    if (autoflash)
        processEvent(EventAutoflash());
}

// The user is told before the machine reacts: an autoflash run prints its verdict while
// the machine reacts, and the reason must stand before it.
void StateMachine::onCommsError(quint16 errorCode, const QString &errorText)
{
    emit commsError(errorCode, errorText);
    processEvent(EventCommsError{errorCode});
}

void StateMachine::onStartTimeoutWatch(int ms)
{
    const quint64 sequence = ++mWatchSequence;
    if (ReplyWatch *watch = mReplyWatch.data()) {
        const Global::ThreadHandoff handoff(watch);
        QMetaObject::invokeMethod(watch, [watch, ms, sequence, handoff] {
                handoff.receive();
                watch->start(ms, sequence);
            }, Qt::QueuedConnection);
    }
}

void StateMachine::onStopTimeoutWatch()
{
    ++mWatchSequence;
    if (ReplyWatch *watch = mReplyWatch.data()) {
        const Global::ThreadHandoff handoff(watch);
        QMetaObject::invokeMethod(watch, [watch, handoff] {
                handoff.receive();
                watch->stop();
            }, Qt::QueuedConnection);
    }
}

void StateMachine::onTimeout(quint64 sequence)
{
    if (sequence != mWatchSequence)
        return;
    emit timeout();
    processEvent(EventTimeout());
}

void StateMachine::onLoadError(QVt::Pb::Configuration::File::LOAD_ERROR loadError)
{
    processEvent(EventLoadError{loadError});
    emitLoadErrorSignal(loadError);
}

void StateMachine::onCurrentDeviceChanged(QObject *currentDevice)
{
    auto *device = qobject_cast<AbstractDevice *>(currentDevice);
    if (!device)
        return;
    connect(device, &AbstractDevice::saveNeeded, SaveStatusTracker::instance(), &SaveStatusTracker::onForceSaveNeeded);
    connect(device, &AbstractDevice::loadError, this, &StateMachine::onLoadError);
}

bool StateMachine::emitLoadErrorSignal(QVt::Pb::Configuration::File::LOAD_ERROR loadError)
{
    switch (loadError) {
    case File::LOAD_ERROR_VERSION_OBSOLETE:
        emit configurationVersionObsolete();
        return true;
    case File::LOAD_ERROR_VERSION_MISMATCH:
        emit configurationVersionMismatch();
        return true;
    case File::LOAD_ERROR_CHECKSUM:
        emit configurationChecksumError();
        return true;
    case File::LOAD_ERROR_PARSE:
        emit configurationParseError();
        return true;
    default:
        return false;
    }
}

void StateMachine::recordConfiguration(const QString &filePath, const QString &fileUrl,
                                       QVt::Global::Types::eConfigurationType type)
{
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setCurrentFilePath(filePath);
    tracker->setCurrentFileUrl(fileUrl);
    tracker->setSaveNeeded(false);
    tracker->setConfigurationType(type);
}

} // namespace Sm
} // namespace QVt
