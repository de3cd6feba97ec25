#include "sm/autoflashReport.h"

#include "comms/commsHandler.h"
#include "comms/dataProvider.h"
#include "global/setting.h"
#include "sm/networkDeviceInfo.h"
#include "sm/recordFile.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/abstractDevice.h>

#include <qvtpb/configurationFile.h>

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QJsonObject>

namespace QVt {
namespace Sm {

namespace {

const char LOG_VARIABLE[] = "KTBRIDGE_AUTOFLASH_LOG";

QJsonValue known(const QString &value)
{
    return value.isEmpty() ? QJsonValue() : QJsonValue(value);
}

} // namespace

AutoflashReport::AutoflashReport(const QString &configurationPath, StateMachine *stateMachine, QObject *parent)
    : QObject(parent)
    , mConfigurationPath(configurationPath)
    , mStateMachine(stateMachine)
    , mStarted(QDateTime::currentDateTimeUtc())
{
    mDuration.start();
    // The hub releases its provider when its thread ends, before finish() runs.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { mPort = portName(); });
    connect(stateMachine, &StateMachine::loadFileSuccessful, this, &AutoflashReport::takeConfigurationProductId);
    connect(stateMachine, &StateMachine::deviceIdStringChanged, this, [this](const QString &deviceIdString) {
        if (!deviceIdString.isEmpty())
            mDeviceIdString = deviceIdString;
    });
    // The machine forgets the product ID when a run fails, so it is taken while it is current.
    connect(stateMachine, &StateMachine::connectSuccessful, this,
            [this] { mProductId = mStateMachine->productId(); });
    connect(stateMachine, &StateMachine::deviceInfoRead, this, &AutoflashReport::takeUnitIdentity);

    connect(stateMachine, &StateMachine::deviceUnsupported, this,
            [this](const QString &deviceIdString, const QString &productId) {
                mProductId = productId;
                fail(QStringLiteral("The connected device is not supported by this application: "
                                    "Device ID: %1, Product ID: %2")
                         .arg(deviceIdString, productId));
            });
    connect(stateMachine, &StateMachine::deviceError, this,
            [this] { fail(QStringLiteral("The connected device has reported an error.")); });
    connect(stateMachine, &StateMachine::configurationForAnotherProduct, this,
            [this](const QString &deviceName, const QString &productId) {
                fail(QStringLiteral("The configuration file is for a %1, not for the connected device "
                                    "(product ID %2).").arg(deviceName, productId));
            });
    connect(stateMachine, &StateMachine::configurationTooLarge, this, [this] {
        fail(QStringLiteral("The configuration is too large to be written to the device; nothing was sent."));
    });
    connect(stateMachine, &StateMachine::timeout, this,
            [this] { fail(QStringLiteral("A communication timeout has occurred.")); });
    connect(stateMachine, &StateMachine::commsError, this, [this](quint16 errorCode, const QString &errorText) {
        fail(QStringLiteral("A communication error has occurred. %1 (Error code: %2)").arg(errorText).arg(errorCode));
    });

    // A file that does not load: the run still connects, and ends at the device.
    connect(stateMachine, &StateMachine::configurationUnsupported, this, [this](const QString &productId) {
        mConfigurationProductId = productId;
        fail(QStringLiteral("The configuration data cannot be loaded, as its product ID is unsupported. "
                            "Product ID: %1")
                 .arg(productId));
    });
    connect(stateMachine, &StateMachine::configurationUnreadable, this,
            [this](const QString &, const QString &reason) {
                fail(QStringLiteral("The configuration file could not be read: %1").arg(reason));
            });
    connect(stateMachine, &StateMachine::configurationVersionMismatch, this, [this] {
        fail(QStringLiteral("The configuration data was created with another version of this software "
                            "and could not be loaded."));
    });
    connect(stateMachine, &StateMachine::configurationVersionObsolete, this,
            [this] { fail(QStringLiteral("The configuration data is obsolete and could not be loaded.")); });
    connect(stateMachine, &StateMachine::configurationChecksumError, this, [this] {
        fail(QStringLiteral("The configuration data could not be loaded due to a checksum error."));
    });
    connect(stateMachine, &StateMachine::configurationParseError, this, [this] {
        fail(QStringLiteral("The configuration data could not be parsed and may be corrupt."));
    });
}

void AutoflashReport::fail(const QString &reason)
{
    if (!mReason.isEmpty())
        return;
    mReason = reason;
    qWarning() << "Autoflash failed:" << reason;
}

void AutoflashReport::takeConfigurationProductId(const QString &filePath)
{
    QFile file(filePath);
    QVt::Pb::Configuration::File configuration;
    if (file.open(QIODevice::ReadOnly) && configuration.load(file.readAll()))
        mConfigurationProductId = configuration.productId();
}

void AutoflashReport::takeUnitIdentity()
{
    auto *device = qobject_cast<QVt::Device::AbstractDevice *>(mStateMachine->currentDevice());
    const QVt::Pb::Product::DeviceInfo *info = device ? device->deviceInfo() : nullptr;
    mUnitIdentity = info ? QStringLiteral("reported") : QStringLiteral("unknown");
    mSerialNumber = info ? QJsonValue(double(info->serialNumber())) : QJsonValue();
    const auto mac = [device, info](const char *interfaceMethod) {
        const QVt::Pb::Network::DeviceInfo *network = info ? networkDeviceInfo(device, interfaceMethod) : nullptr;
        return network ? known(network->mac()) : QJsonValue();
    };
    mWlanMac = mac("wlanInterface");
    mBluetoothMac = mac("bluetoothInterface");
}

QString AutoflashReport::portName() const
{
    const auto *provider = qobject_cast<QVt::Comms::DataProvider *>(QVt::Comms::CommsHandler::instance()->currentProvider());
    if (!provider)
        return QString();
    for (const QVt::Global::Setting *setting : provider->settingsList()) {
        if (setting->name() == QLatin1String("Port"))
            return setting->value().toString();
    }
    return QString();
}

void AutoflashReport::finish(int exitStatus)
{
    const QString logPath = qEnvironmentVariable(LOG_VARIABLE);
    if (logPath.isEmpty())
        return;
    const bool success = exitStatus == 0;
    const QJsonObject record{
        {QStringLiteral("time"), mStarted.toString(Qt::ISODateWithMs)},
        {QStringLiteral("port"), known(mPort)},
        {QStringLiteral("configurationFile"), mConfigurationPath},
        {QStringLiteral("configurationProductId"), known(mConfigurationProductId)},
        {QStringLiteral("deviceIdString"), known(mDeviceIdString)},
        {QStringLiteral("productId"), known(mProductId)},
        {QStringLiteral("unitIdentity"), known(mUnitIdentity)},
        {QStringLiteral("serialNumber"), mSerialNumber},
        {QStringLiteral("wlanMac"), mWlanMac},
        {QStringLiteral("bluetoothMac"), mBluetoothMac},
        {QStringLiteral("outcome"), success ? QStringLiteral("SUCCESS") : QStringLiteral("ERROR")},
        {QStringLiteral("reason"), success ? QJsonValue() : known(mReason)},
        {QStringLiteral("durationMs"), double(mDuration.elapsed())},
    };
    QString error;
    if (!appendRecordLine(logPath, record, &error))
        qWarning() << "Cannot write the autoflash record to" << logPath << error;
}

} // namespace Sm
} // namespace QVt
