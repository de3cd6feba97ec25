// The wrappers as QML sees them after registration: enumerations by name, values and
// bindings that follow C++; and the load error crossing threads as a meta type.
#include <qvtpb/configurationFile.h>
#include <qvtpb/ktBridgeConfiguration.h>
#include <qvtpb/utilities.h>

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

using QVt::Pb::KtBridge::Configuration;

class LoadErrorSender : public QObject
{
    Q_OBJECT

signals:
    void loadError(QVt::Pb::Configuration::File::LOAD_ERROR loadError);
};

class TestQmlAccess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void qmlFollowsTheConfiguration_data();
    void qmlFollowsTheConfiguration();
    void loadErrorCrossesThreads();

private:
    std::unique_ptr<QObject> create(const QByteArray &qml);

    std::unique_ptr<QQmlEngine> mEngine;
    std::unique_ptr<Configuration> mConfig;
};

void TestQmlAccess::initTestCase()
{
    QVt::Pb::Utilities::registerMetaTypes();
    QVt::Pb::Utilities::registerQmlTypes();
}

void TestQmlAccess::init()
{
    mConfig = std::make_unique<Configuration>(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    mEngine = std::make_unique<QQmlEngine>();
    mEngine->rootContext()->setContextProperty(QStringLiteral("config"), mConfig.get());
}

std::unique_ptr<QObject> TestQmlAccess::create(const QByteArray &qml)
{
    QQmlComponent component(mEngine.get());
    component.setData(qml, QUrl(QStringLiteral("qrc:/test.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        qWarning() << component.errorString();
    return object;
}

void TestQmlAccess::qmlFollowsTheConfiguration_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("vendor ID above 2^31, hexadecimal") << "config.deviceInfo.vendorId.toString(16)"
                                                       << QVariant(QStringLiteral("c0de0000"));
    QTest::newRow("time of manufacture") << "new Date(config.deviceInfo.unixTimeOfManufacture * 1000).toISOString()"
                                         << QVariant(QStringLiteral("2025-12-05T00:00:00.000Z"));
    QTest::newRow("module MAC through the interface")
        << "config.wlanInterface.object.deviceInfo.mac" << QVariant(QStringLiteral("02:00:c0:de:00:03"));
    QTest::newRow("filter list")
        << "config.can.filters.length + ' ' + (config.can.filterCount > 1 ? config.can.filters[1].identifier : '')"
        << QVariant(QStringLiteral("2 42"));
    QTest::newRow("enumeration by name") << "config.wlanInterface.object.security === WlanConfig.SECURITY_WPA3_SAE"
                                         << QVariant(true);
}

void TestQmlAccess::qmlFollowsTheConfiguration()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);

    const auto object = create(QStringLiteral(R"(
        import QtQml 2.2
        import com.vtcan.qvt.pb 1.0
        QtObject { property var value: %1 })").arg(expression).toUtf8());
    QVERIFY(object);

    // Set after creation: the binding must follow the change signals.
    mConfig->deviceInfo()->setVendorId(0xc0de0000);
    mConfig->deviceInfo()->setUnixTimeOfManufacture(1764892800);
    mConfig->wlan()->deviceInfo()->setMac(QStringLiteral("02:00:c0:de:00:03"));
    mConfig->can()->addFilter();
    mConfig->can()->addFilter()->setIdentifier(42);
    mConfig->wlan()->setSecurityAndPassphrase(QVt::Pb::Network::WlanConfig::SECURITY_WPA3_SAE, QStringLiteral("x"));

    QCOMPARE(object->property("value"), expected);
}

void TestQmlAccess::loadErrorCrossesThreads()
{
    QThread thread;
    LoadErrorSender sender;
    sender.moveToThread(&thread);
    QList<QVt::Pb::Configuration::File::LOAD_ERROR> received;
    connect(&sender, &LoadErrorSender::loadError, this,
            [&received](QVt::Pb::Configuration::File::LOAD_ERROR error) { received.append(error); });
    thread.start();
    QMetaObject::invokeMethod(&sender, [&sender] {
        emit sender.loadError(QVt::Pb::Configuration::File::LOAD_ERROR_CHECKSUM);
    });
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.first(), QVt::Pb::Configuration::File::LOAD_ERROR_CHECKSUM);
    thread.quit();
    thread.wait();
}

QTEST_GUILESS_MAIN(TestQmlAccess)
#include "tst_qmlAccess.moc"
