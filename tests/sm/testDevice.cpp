#include "testDevice.h"

#include <qvtpb/productDeviceInfo.h>

#include <stdexcept>
#include <utility>

namespace {

QStringList entries;
bool instancesFail = false;

} // namespace

const QByteArray TestDevice::UNLOADABLE_CONFIGURATION = QByteArrayLiteral("unloadable");

TestDevice::TestDevice(const QString &name, const QStringList &productIds, QObject *parent)
    : AbstractDevice(parent)
    , mName(name)
    , mProductIds(productIds)
    , mConfiguration(name.toUtf8() + " configuration")
    , mDeviceInfo(new QVt::Pb::Product::DeviceInfo(this))
{
}

QSharedPointer<QVt::Device::AbstractDevice> TestDevice::newInstance() const
{
    if (instancesFail)
        throw std::runtime_error("no memory for a new device");
    log(QStringLiteral("new ") + mName);
    return QSharedPointer<TestDevice>::create(mName, mProductIds);
}

QVt::Pb::Product::DeviceInfo *TestDevice::deviceInfo() const
{
    return mReported.isEmpty() ? nullptr : mDeviceInfo;
}

QString TestDevice::name() const
{
    return mName;
}

QStringList TestDevice::productIds() const
{
    return mProductIds;
}

QUrl TestDevice::qmlPath() const
{
    return QUrl();
}

void TestDevice::updateDeviceInfo(const QByteArray &configuration)
{
    log(QStringLiteral("updateDeviceInfo ") + QString::fromLatin1(configuration));
    mReported = configuration;
}

QByteArray TestDevice::serialize() const
{
    if (mThrowing)
        throw std::runtime_error("cannot serialize");
    return mConfiguration;
}

bool TestDevice::deserialize(const QByteArray &data)
{
    log(QStringLiteral("deserialize ") + QString::fromLatin1(data));
    if (mThrowing) {
        emit saveNeeded();
        throw std::runtime_error("cannot deserialize");
    }
    if (data == UNLOADABLE_CONFIGURATION) {
        emit loadError(QVt::Pb::Configuration::File::LOAD_ERROR_PARSE);
        return false;
    }
    // A configuration read from a device carries what the device reports about itself.
    mConfiguration = data;
    mReported = data;
    return true;
}

void TestDevice::setConfiguration(const QByteArray &configuration)
{
    mConfiguration = configuration;
}

void TestDevice::setThrowing(bool throwing)
{
    mThrowing = throwing;
}

void TestDevice::log(const QString &entry)
{
    entries.append(entry);
}

QStringList TestDevice::takeLog()
{
    return std::exchange(entries, {});
}

void TestDevice::setInstancesFail(bool fail)
{
    instancesFail = fail;
}
