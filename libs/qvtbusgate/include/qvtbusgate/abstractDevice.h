// A device object: one kind of KT Bridge product with the configuration being
// edited and what the connected unit reported about itself. A driver plug-in's root
// object is such a device (the driver) and makes further ones with newInstance().
// Owns its configuration messages (QObject children). Lives on the GUI thread.
#pragma once

#include <qvtbusgate/qvtbusgateGlobal.h>
#include <qvtbusgate/serializable.h>

#include <qvtpb/configurationFile.h>
#include <qvtpb/productDeviceInfo.h>

#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QUrl>

namespace QVt {
namespace Device {
class AbstractDevice;
}
}

// Declared ahead of the class so that the class itself can answer the identifier,
// which is what the device factory casts a plug-in's root object to.
#define QVt_Device_AbstractDevice_iid "QVt.Device.AbstractDevice"
Q_DECLARE_INTERFACE(QVt::Device::AbstractDevice, QVt_Device_AbstractDevice_iid)

namespace QVt {
namespace Device {

class QVTBUSGATE_EXPORT AbstractDevice : public QObject, public QVt::Global::Serializable
{
    Q_OBJECT
    Q_INTERFACES(QVt::Device::AbstractDevice)
    Q_PROPERTY(QUrl qmlPath READ qmlPath CONSTANT)
    Q_PROPERTY(QVt::Pb::Product::DeviceInfo *deviceInfo READ deviceInfo NOTIFY deviceInfoChanged)

public:
    explicit AbstractDevice(QObject *parent = nullptr);
    ~AbstractDevice() override;

    // A fresh device of this kind holding the factory configuration; null on failure.
    virtual QSharedPointer<AbstractDevice> newInstance() const = 0;
    // What the unit reported about itself, or null while nothing was reported.
    virtual QVt::Pb::Product::DeviceInfo *deviceInfo() const = 0;
    // Display name of the device kind.
    Q_INVOKABLE virtual QString name() const = 0;
    // Lower-case hexadecimal product IDs this kind serves, primary first.
    virtual QStringList productIds() const = 0;
    // The QML page that edits this device's configuration.
    virtual QUrl qmlPath() const = 0;
    // Adopts the reported information carried by configuration bytes; the
    // configuration being edited stays as it is. Bytes that carry none (empty, or
    // not a configuration) leave the device with none.
    virtual void updateDeviceInfo(const QByteArray &configuration) = 0;

    // First of productIds(), or empty.
    QString primaryProductId() const;
    // Forgets what the unit reported (the connection ended).
    void resetDeviceInfo();

signals:
    // The configuration was edited (not emitted when it is loaded).
    void saveNeeded();
    // deserialize() rejected its bytes; the configuration is unchanged.
    void loadError(QVt::Pb::Configuration::File::LOAD_ERROR error);
    void deviceInfoChanged();
};

} // namespace Device
} // namespace QVt
