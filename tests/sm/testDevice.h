// A device object for the state machine tests: a test chooses its name, product IDs
// and configuration bytes, reads back what the machine handed it, and can make it
// fail the way a device library might (throwing, or reporting a load error). Built
// into a shared library so that the test and the driver plug-in share one class.
// Owns its device information object; lives on the test's thread.
#pragma once

#include <qvtbusgate/abstractDevice.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TestDevice : public QVt::Device::AbstractDevice
{
    Q_OBJECT

public:
    // Configuration bytes that deserialize() rejects with a parse error.
    static const QByteArray UnloadableConfiguration;

    TestDevice(const QString &name, const QStringList &productIds, QObject *parent = nullptr);

    QSharedPointer<AbstractDevice> newInstance() const override;
    QVt::Pb::Product::DeviceInfo *deviceInfo() const override;
    QString name() const override;
    QStringList productIds() const override;
    QUrl qmlPath() const override;
    void updateDeviceInfo(const QByteArray &configuration) override;

    QByteArray serialize() const override;
    bool deserialize(const QByteArray &data) override;

    void setConfiguration(const QByteArray &configuration);
    // serialize() and deserialize() throw std::runtime_error (deserialize after
    // announcing saveNeeded(), so that a test sees what was queued before the throw).
    void setThrowing(bool throwing);

    // Every argument deserialize() and updateDeviceInfo() were called with, in order.
    QList<QByteArray> deserializeCalls() const;
    QList<QByteArray> deviceInfoUpdates() const;

    // Devices made by newInstance() since the last reset, across all drivers.
    static int instancesMade();
    static void resetInstancesMade();
    // newInstance() throws std::runtime_error while set.
    static void setInstancesFail(bool fail);

private:
    QString mName;
    QStringList mProductIds;
    QByteArray mConfiguration;
    QByteArray mReported;
    QVt::Pb::Product::DeviceInfo *mDeviceInfo;
    bool mThrowing = false;
    QList<QByteArray> mDeserializeCalls;
    QList<QByteArray> mDeviceInfoUpdates;
};
