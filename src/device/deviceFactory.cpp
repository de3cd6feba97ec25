#include "device/deviceFactory.h"

#include "global/logging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QPluginLoader>

namespace QVt {
namespace Device {

QSharedPointer<DeviceFactory> DeviceFactory::mInstance;
const QString DeviceFactory::DRIVER_PATH_RELATIVE = QStringLiteral("devices");

DeviceFactory *DeviceFactory::instance()
{
    if (!mInstance)
        mInstance.reset(new DeviceFactory(nullptr));
    return mInstance.data();
}

DeviceFactory::DeviceFactory(QObject *parent)
    : DeviceFactory(QDir(QCoreApplication::applicationDirPath()).filePath(DRIVER_PATH_RELATIVE), parent)
{
}

DeviceFactory::DeviceFactory(const QString &driverFolder, QObject *parent)
    : QObject(parent)
{
    loadDrivers(driverFolder);
}

QSharedPointer<AbstractDevice> DeviceFactory::createDevice(const QString &productId)
{
    const auto it = mDrivers.constFind(productId);
    if (it == mDrivers.constEnd()) {
        qCWarning(Global::logDevice) << "Could not find driver for product ID" << productId;
        return {};
    }
    mCurrentDriver = it.value();
    if (!mCurrentDriver) {
        qCWarning(Global::logDevice) << "Driver was NULL; cannot create device.";
        return {};
    }
    return mCurrentDriver->newInstance();
}

QStringList DeviceFactory::supportedDeviceNames() const
{
    return mSupportedDeviceNames;
}

QStringList DeviceFactory::supportedDeviceProductIds() const
{
    return mSupportedDeviceProductIds;
}

void DeviceFactory::loadDrivers(const QString &driverFolder)
{
    const QDir dir(driverFolder);
    if (!dir.exists())
        return;

    // Both patterns everywhere: a driver built for the other platform is reported,
    // not silently ignored. The device library itself has no hyphen after its stem.
    const QStringList files = dir.entryList({QStringLiteral("*qvtbusgate-*.dll"), QStringLiteral("*qvtbusgate-*.so")},
                                            QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files) {
        const QString path = dir.absoluteFilePath(file);
        QPluginLoader loader(path);
        loader.load();
        if (!loader.isLoaded()) {
            qCWarning(Global::logDevice) << "Could not load driver from" << path << ":" << loader.errorString();
            continue;
        }
        auto *driver = qobject_cast<AbstractDevice *>(loader.instance());
        if (!driver) {
            qCWarning(Global::logDevice) << "Could not create driver instance from" << path;
            continue;
        }
        const QSharedPointer<AbstractDevice> shared(driver);
        const QString name = driver->name();
        for (const QString &productId : driver->productIds()) {
            if (mDrivers.contains(productId)) {
                qCWarning(Global::logDevice) << "Driver map already contains a driver with product ID" << productId;
                continue;
            }
            if (productId.isEmpty()) {
                qCWarning(Global::logDevice) << "Cannot insert driver with an empty product ID from" << path;
                continue;
            }
            if (!mSupportedDeviceNames.contains(name)) {
                mSupportedDeviceProductIds.append(productId);
                mSupportedDeviceNames.append(name);
            }
            mDrivers.insert(productId, shared);
        }
    }
}

} // namespace Device
} // namespace QVt
