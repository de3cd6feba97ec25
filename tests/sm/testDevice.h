// A device object for the state machine tests: the test chooses its name, product IDs
// and configuration bytes, and reads back what the machine handed it in one ordered
// log that the test's own recorder writes too. It
// can fail the way a device library might (throwing, reporting a load error). Built
// into a shared library so that the test and the driver plug-in share one class.
// Owns its device information object; lives on the test's thread.
#pragma once

#include <qvtbusgate/abstractDevice.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

class TestDevice : public QVt::Device::AbstractDevice
{
    Q_OBJECT

public:
    // Configuration bytes that deserialize() rejects with a parse error.
    static const QByteArray UNLOADABLE_CONFIGURATION;

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

    // The shared log: every device made by newInstance() ("new <name>"), every call of
    // deserialize() and updateDeviceInfo() ("deserialize <bytes>", "updateDeviceInfo
    // <bytes>") and whatever else a test writes, since the last take.
    static void log(const QString &entry);
    static QStringList takeLog();
    // newInstance() throws std::runtime_error while set.
    static void setInstancesFail(bool fail);

private:
    QString mName;
    QStringList mProductIds;
    QByteArray mConfiguration;
    QByteArray mReported;
    QVt::Pb::Product::DeviceInfo *mDeviceInfo;
    bool mThrowing = false;
};
