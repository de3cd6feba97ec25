// A device object of the tests: the test chooses its name, product IDs and configuration,
// and reads back what it was handed in one ordered log. In a shared library, so that the
// test and the driver plug-ins share one class and one log. Owns its device information.
#pragma once

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/productDeviceInfo.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

class TestDevice : public QVt::Device::AbstractDevice
{
    Q_OBJECT

public:
    TestDevice(const QString &name, const QStringList &productIds, QObject *parent = nullptr)
        : AbstractDevice(parent), mName(name), mProductIds(productIds), mDeviceInfo(new QVt::Pb::Product::DeviceInfo(this))
    {
    }

    QSharedPointer<AbstractDevice> newInstance() const override
    {
        log("new " + mName);
        return QSharedPointer<TestDevice>::create(mName, mProductIds);
    }
    // Only a configuration read from a device carries what it reports about itself.
    QVt::Pb::Product::DeviceInfo *deviceInfo() const override { return mReported.isEmpty() ? nullptr : mDeviceInfo; }
    QString name() const override { return mName; }
    QStringList productIds() const override { return mProductIds; }
    QUrl qmlPath() const override { return QUrl(); }
    void updateDeviceInfo(const QByteArray &configuration) override
    {
        log("updateDeviceInfo " + QString::fromLatin1(configuration));
        mReported = configuration;
    }
    QByteArray serialize() const override { return mConfiguration; }
    // Bytes starting with "corrupt" do not load, and leave everything as it was.
    bool deserialize(const QByteArray &data) override
    {
        log("deserialize " + QString::fromLatin1(data));
        if (data.startsWith("corrupt")) {
            emit loadError(QVt::Pb::Configuration::File::LOAD_ERROR_CHECKSUM);
            return false;
        }
        mConfiguration = mReported = data;
        return true;
    }

    void setConfiguration(const QByteArray &configuration) { mConfiguration = configuration; }

    // The shared log: every device made by newInstance() ("new <name>"), every call of
    // deserialize() and updateDeviceInfo() ("deserialize <bytes>", "updateDeviceInfo
    // <bytes>") and whatever else a test writes, since the last take.
    static void log(const QString &entry);
    static QStringList takeLog();

private:
    QString mName;
    QStringList mProductIds;
    QByteArray mConfiguration = QByteArray::fromHex("0102");
    QByteArray mReported;
    QVt::Pb::Product::DeviceInfo *mDeviceInfo;
};
