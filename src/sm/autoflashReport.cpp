#include "sm/autoflashReport.h"

#include "comms/commsHandler.h"
#include "comms/dataProvider.h"
#include "global/logging.h"
#include "global/setting.h"
#include "sm/networkDeviceInfo.h"
#include "sm/outcomeTexts.h"
#include "sm/recordFile.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/abstractDevice.h>

#include <QCoreApplication>
#include <QDebug>
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
    , mTexts(new OutcomeTexts(this))
{
    mDuration.start();
    // The hub releases its provider when its thread ends, before finish() runs.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { mPort = portName(); });
    connect(stateMachine, &StateMachine::loadFileSuccessful, this,
            [this] { mConfigurationProductId = mStateMachine->loadedProductId(); });
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
                fail(QStringLiteral("deviceUnsupported"), {deviceIdString, productId});
            });
    connect(stateMachine, &StateMachine::deviceError, this, [this] { fail(QStringLiteral("deviceError")); });
    connect(stateMachine, &StateMachine::configurationForAnotherProduct, this,
            [this](const QString &deviceName, const QString &productId) {
                fail(QStringLiteral("configurationForAnotherProduct"), {deviceName, productId});
            });
    connect(stateMachine, &StateMachine::configurationTooLarge, this,
            [this] { fail(QStringLiteral("configurationTooLarge")); });
    connect(stateMachine, &StateMachine::timeout, this, [this] { fail(QStringLiteral("timeout")); });
    connect(stateMachine, &StateMachine::commsError, this, [this](quint16 errorCode, const QString &errorText) {
        fail(QStringLiteral("commsError"), {errorCode, errorText});
    });

    // A file that does not load: the run still connects, and ends at the device.
    connect(stateMachine, &StateMachine::configurationUnsupported, this, [this](const QString &productId) {
        mConfigurationProductId = productId;
        fail(QStringLiteral("configurationUnsupported"), {productId});
    });
    connect(stateMachine, &StateMachine::configurationUnreadable, this,
            [this](const QString &filePath, const QString &reason) {
                fail(QStringLiteral("configurationUnreadable"), {filePath, reason});
            });
    connect(stateMachine, &StateMachine::configurationVersionMismatch, this,
            [this] { fail(QStringLiteral("configurationVersionMismatch")); });
    connect(stateMachine, &StateMachine::configurationVersionObsolete, this,
            [this] { fail(QStringLiteral("configurationVersionObsolete")); });
    connect(stateMachine, &StateMachine::configurationChecksumError, this,
            [this] { fail(QStringLiteral("configurationChecksumError")); });
    connect(stateMachine, &StateMachine::configurationParseError, this,
            [this] { fail(QStringLiteral("configurationParseError")); });
}

void AutoflashReport::fail(const QString &outcome, const QVariantList &values)
{
    if (!mReason.isEmpty())
        return;
    const QString reason = mTexts->oneLine(outcome, values);
    mReason = reason;
    qCWarning(Global::logMachine) << "Autoflash failed:" << reason;
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
        qCWarning(Global::logFiles) << "Cannot write the autoflash record to" << logPath << error;
}

} // namespace Sm
} // namespace QVt
