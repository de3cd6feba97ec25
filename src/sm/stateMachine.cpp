#include "sm/stateMachine.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtbusgate/types.h>
#include <qvtpb/abstractMessage.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/networkConfig.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>

#include <KZip>

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

// Log lines name this unit whatever the build's message-context setting is.
#define KT_WARNING QMessageLogger("sm/stateMachine", __LINE__, Q_FUNC_INFO).warning

namespace QVt {
namespace Sm {

using QVt::Comms::CommsHandler;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Device::DeviceFactory;
using QVt::Global::Types;
using QVt::Pb::Configuration::File;

QSharedPointer<StateMachine> StateMachine::mInstance;

namespace {

// Archive entries are regular files, rw-r--r--, owned by "vt".
constexpr mode_t ARCHIVE_ENTRY_PERMISSIONS = 0100644;
const QString ARCHIVE_ENTRY_OWNER = QStringLiteral("vt");

QString localPath(const QString &url)
{
    return QUrl(url, QUrl::TolerantMode).toLocalFile();
}

void writeArchiveEntry(KZip &zip, const QString &name, const QByteArray &data)
{
    const QDateTime now = QDateTime::currentDateTime();
    zip.writeFile(name, data, ARCHIVE_ENTRY_PERMISSIONS, ARCHIVE_ENTRY_OWNER, ARCHIVE_ENTRY_OWNER,
                         now, now, now);
}

void appendLine(QByteArray &text, const QString &pattern, const QString &value)
{
    text += pattern.arg(value).toLocal8Bit();
}

// The network device information behind an interface method of the device
// ("wlanInterface", "bluetoothInterface"), or null when any link is missing.
const QVt::Pb::Network::DeviceInfo *networkDeviceInfo(AbstractDevice *device, const char *interfaceMethod)
{
    const QByteArray signature = QByteArray(interfaceMethod) + "()";
    if (device->metaObject()->indexOfMethod(signature.constData()) < 0)
        return nullptr;
    QVt::Pb::AbstractMessage *message = nullptr;
    if (!QMetaObject::invokeMethod(device, interfaceMethod, Qt::AutoConnection,
                                   Q_RETURN_ARG(QVt::Pb::AbstractMessage *, message)))
        return nullptr;
    const auto *interfaceConfig = qobject_cast<const QVt::Pb::Interface::Config *>(message);
    if (!interfaceConfig)
        return nullptr;
    const auto *networkConfig = qobject_cast<const QVt::Pb::Network::Config *>(interfaceConfig->object());
    if (!networkConfig)
        return nullptr;
    return networkConfig->deviceInfo();
}

QByteArray supportDetails(AbstractDevice *device, const QString &deviceIdString)
{
    QByteArray text;
    appendLine(text, QStringLiteral("Date and time: %1\r\n"),
               QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
    text += "\r\n";
    text += "APPLICATION\r\n-----------\r\n";
    appendLine(text, QStringLiteral("Name: %1\r\n"), QCoreApplication::applicationName());
    appendLine(text, QStringLiteral("Version: %1\r\n"), QCoreApplication::applicationVersion());
    text += "\r\n";
    text += "DEVICE\r\n------\r\n";
    appendLine(text, QStringLiteral("ID string: %1\r\n"), deviceIdString);

    const QVt::Pb::Product::DeviceInfo *info = device->deviceInfo();
    if (!info) {
        text += "Device info: [NONE]\r\n";
        return text;
    }
    appendLine(text, QStringLiteral("Serial number: %1\r\n"), QString::number(info->serialNumber()));
    appendLine(text, QStringLiteral("Product code: %1\r\n"), QString::number(info->productCode(), 16));
    appendLine(text, QStringLiteral("Vendor ID: %1\r\n"), QString::number(info->vendorId(), 16));
    appendLine(text, QStringLiteral("Product group: %1\r\n"), QString::number(info->productGroup(), 16));
    const QDateTime manufactured =
        QDateTime::fromMSecsSinceEpoch(qint64(info->unixTimeOfManufacture()) * 1000, Qt::UTC);
    appendLine(text, QStringLiteral("UNIX time of manufacture: %1\r\n"),
               manufactured.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss 'UTC'")));

    if (const auto *wlan = networkDeviceInfo(device, "wlanInterface")) {
        appendLine(text, QStringLiteral("WLAN FW version: %1\r\n"), wlan->moduleVersion());
        appendLine(text, QStringLiteral("WLAN MAC address: %1\r\n"), wlan->mac());
    }
    if (const auto *bluetooth = networkDeviceInfo(device, "bluetoothInterface"))
        appendLine(text, QStringLiteral("Bluetooth MAC address: %1\r\n"), bluetooth->mac());
    return text;
}

} // namespace

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
    quit();
    wait();
}

void StateMachine::setStartupOptions(const QString &configurationFile, const bool &autoflash)
{
    this->configurationFile = configurationFile;
    this->autoflash = autoflash;
}

bool StateMachine::connected() const
{
    return machine ? machine->isConnected() : false;
}

bool StateMachine::busy() const
{
    return machine ? machine->isBusy() : false;
}

QObject *StateMachine::currentDevice() const
{
    return machine ? machine->currentDeviceObject() : nullptr;
}

QString StateMachine::deviceIdString() const
{
    return machine ? machine->currentDeviceIdString() : QString();
}

QString StateMachine::productId() const
{
    return machine ? machine->currentProductId() : QString();
}

template<typename Event>
void StateMachine::processEvent(const Event &event)
{
    if (machine)
        machine->process_event(event);
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
    if (!machine) {
        KT_WARNING() << "Could not load from" << configurationUrl;
        return;
    }
    const QString filePath = localPath(configurationUrl);
    QFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        KT_WARNING() << "Could not open configuration file" << configurationUrl;
        return;
    }
    const QSharedPointer<File> configuration(new File(this));
    const QByteArray bytes = file.readAll();
    if (!configuration->load(bytes)) {
        const File::LOAD_ERROR loadError = configuration->loadError();
        if (!emitLoadErrorSignal(loadError))
            KT_WARNING() << "Unrecognized error loading the configuration file:" << int(loadError);
        return;
    }
    const QString productId = configuration->productId();
    const QSharedPointer<AbstractDevice> device = DeviceFactory::instance()->createDevice(productId);
    if (!device) {
        emit configurationUnsupported(productId);
        return;
    }
    device->deserialize(bytes);
    machine->process_event(EventSetDevice{device});
    recordConfiguration(filePath, configurationUrl, Types::CONFIGURATION_TYPE_FILE);
    emit loadFileSuccessful(filePath);
}

void StateMachine::doNewConfiguration(const QString &productId)
{
    if (!machine) {
        KT_WARNING() << "Could not create a new configuration for product ID" << productId;
        return;
    }
    const QSharedPointer<AbstractDevice> device = DeviceFactory::instance()->createDevice(productId);
    if (!device) {
        emit configurationUnsupported(productId);
        return;
    }
    machine->process_event(EventSetDevice{device});
    recordConfiguration(QString(), QString(), Types::CONFIGURATION_TYPE_NEW);
    emit newFileSuccessful(device->name());
}

QSharedPointer<AbstractDevice> StateMachine::sharedCurrentDevice() const
{
    return machine ? machine->sharedCurrentDevice() : QSharedPointer<AbstractDevice>();
}

void StateMachine::doSaveConfiguration(const QString &configurationUrl)
{
    const QSharedPointer<AbstractDevice> device = sharedCurrentDevice();
    if (!device) {
        KT_WARNING() << "Could not save to" << configurationUrl;
        return;
    }
    const QString filePath = localPath(configurationUrl);
    // Written beside the target and renamed over it, so that a failed save never
    // leaves a truncated configuration behind.
    QSaveFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        KT_WARNING() << "Could not open configuration file" << configurationUrl;
        return;
    }
    file.write(device->serialize());
    if (!file.commit())
        KT_WARNING() << "Could not write configuration file" << configurationUrl << file.errorString();
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
        KT_WARNING() << "Could not save support archive to" << archiveUrl;
        return;
    }
    const QString filePath = localPath(archiveUrl);
    KZip zip(filePath);
    if (!zip.open(QIODevice::WriteOnly)) {
        KT_WARNING() << "Could not open support archive file" << archiveUrl;
        return;
    }
    // Once the archive is open, success is reported whatever the entry writes say:
    // the user gets the file, and its content shows what could be written.
    writeArchiveEntry(zip, QStringLiteral("config.bgc"), device->serialize());
    writeArchiveEntry(zip, QStringLiteral("details.txt"),
                      supportDetails(device.data(), machine->currentDeviceIdString()));
    zip.close();
    emit packSupportArchiveSuccessful(filePath);
}

void StateMachine::run()
{
    const QSharedPointer<Machine> built(new Machine());
    Machine *m = built.data();
    CommsHandler *hub = CommsHandler::instance();

    connect(m, &StateMachineDefinition::writeData, hub, &CommsHandler::onWriteData);
    connect(m, &StateMachineDefinition::startCyclicWrite, hub, &CommsHandler::onStartCyclicWrite);
    connect(m, &StateMachineDefinition::stopCyclicWrite, hub, &CommsHandler::onStopCyclicWrite);
    connect(hub, &CommsHandler::newData, this, &StateMachine::onNewData);
    connect(hub, &CommsHandler::errorOccurred, this, &StateMachine::onCommsError);

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

    timeoutWatch.reset(new QTimer());
    timeoutWatch->setSingleShot(true);
    connect(m, &StateMachineDefinition::startTimeoutWatch, timeoutWatch.data(), qOverload<int>(&QTimer::start));
    connect(m, &StateMachineDefinition::stopTimeoutWatch, timeoutWatch.data(), &QTimer::stop);
    connect(m, &StateMachineDefinition::currentDeviceChanged, this, &StateMachine::onCurrentDeviceChanged);
    connect(timeoutWatch.data(), &QTimer::timeout, this, &StateMachine::onTimeout);

    m->start();

    // The GUI thread drives the machine from now on. Handing it over with a queued
    // call orders it after the start's own queued emissions and before the start-up
    // options below, and keeps every access to `machine` on one thread.
    QMetaObject::invokeMethod(this, [this, built] { machine = built; }, Qt::QueuedConnection);

    if (!configurationFile.isEmpty()) {
        connect(this, &StateMachine::loadStartupOptions, this, &StateMachine::onLoadStartupOptions);
        emit loadStartupOptions(configurationFile, autoflash);
    }

    exec();

    // Deliver what the machine queued for objects of this thread (the hub in the
    // autoflash mode: its last stop of the cyclic write) before the thread ends,
    // and release the watch here, where its timer runs.
    QCoreApplication::sendPostedEvents();
    timeoutWatch.reset();
}

void StateMachine::onNewData(QByteArray data)
{
    processEvent(EventNewData{data});
}

void StateMachine::onLoadStartupOptions(QString configurationFile, bool autoflash)
{
    disconnect(this, &StateMachine::loadStartupOptions, this, &StateMachine::onLoadStartupOptions);
    doLoadConfiguration(configurationFile);
    if (autoflash)
        processEvent(EventAutoflash());
}

void StateMachine::onCommsError(quint16 errorCode, const QString &errorText)
{
    processEvent(EventCommsError{errorCode});
    emit commsError(errorCode, errorText);
}

void StateMachine::onTimeout()
{
    processEvent(EventTimeout());
    emit timeout();
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
