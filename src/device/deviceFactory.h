// Process-wide factory of device objects: finds the driver plug-ins in the "devices"
// folder beside the executable (or in a folder given) once, keeps one driver per
// product ID, and creates devices by product ID. Owns the drivers (one shared pointer per driver, held under
// each of its product IDs); the devices it hands out belong to the caller; the
// plug-in libraries stay loaded for the life of the process. Lives on the GUI thread.
#pragma once

#include <qvtbusgate/abstractDevice.h>

#include <QHash>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>

namespace QVt {
namespace Device {

class DeviceFactory : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList supportedDeviceNames READ supportedDeviceNames CONSTANT)
    Q_PROPERTY(QStringList supportedDeviceProductIds READ supportedDeviceProductIds CONSTANT)

public:
    static DeviceFactory *instance();

    // Drivers from the folder DRIVER_PATH_RELATIVE beside the executable.
    explicit DeviceFactory(QObject *parent);
    // Drivers from the given folder.
    DeviceFactory(const QString &driverFolder, QObject *parent);

    // A new device for the product ID, or null when no driver serves it.
    QSharedPointer<AbstractDevice> createDevice(const QString &productId);

    // One entry per device kind (unique names), each with the first product ID
    // registered for it; the two lists run in parallel.
    QStringList supportedDeviceNames() const;
    QStringList supportedDeviceProductIds() const;

    static const QString DRIVER_PATH_RELATIVE;

private:
    void loadDrivers(const QString &driverFolder);

    QHash<QString, QSharedPointer<AbstractDevice>> mDrivers;
    QSharedPointer<AbstractDevice> mCurrentDriver;
    QStringList mSupportedDeviceNames;
    QStringList mSupportedDeviceProductIds;

    static QSharedPointer<DeviceFactory> mInstance;
};

} // namespace Device
} // namespace QVt
