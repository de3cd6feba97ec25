// The facade with the real hub and serial provider against ktbridge-sim on a
// pseudo-terminal: connections, reads, writes, the commands that end a connection,
// the support archive with device information, and the failures a device shows.
// The test's "devices" folder holds the CW and CWB drivers only, so a CB is a
// product that no driver serves.
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <KZip>

#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace DeviceTestSupport;
using QVt::Comms::CommsHandler;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Global::Types;
using QVt::Sm::StateMachine;

class TestStateMachineDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void connectReadsDeviceInformation();
    void connectCreatesDeviceForOtherProduct();
    void readOnRequest();
    void write();
    void commandsThatEndTheConnection_data();
    void commandsThatEndTheConnection();
    void packWithDeviceInformation();

    void errorReply_data();
    void errorReply();
    void hangUp();
    void unsupportedProduct();
    void repeatedIdentificationText();

private:
    bool startSimulator(const QStringList &arguments = {});
    void connectDevice();
    QString path(const QString &name) const { return mDir.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSimulator;
    std::unique_ptr<StateMachine> mStateMachine;
    QByteArray mDeviceConfiguration;
};

bool TestStateMachineDevice::startSimulator(const QStringList &arguments)
{
    mSimulator.reset(new SimulatorProcess);
    const QStringList common = {QStringLiteral("--link"), path(QStringLiteral("port")),
                                QStringLiteral("--id-string"), ID_STRING,
                                QStringLiteral("--config"), path(QStringLiteral("device.bgc")),
                                QStringLiteral("--store"), path(QStringLiteral("store.bgc")),
                                QStringLiteral("--verbose")};
    if (!arguments.contains(QStringLiteral("--product-id")))
        return mSimulator->start(common + arguments + QStringList{QStringLiteral("--product-id"), PRODUCT_CWB});
    return mSimulator->start(common + arguments);
}

void TestStateMachineDevice::connectDevice()
{
    mStateMachine->doConnect();
    QTRY_VERIFY(mStateMachine->connected());
    QCOMPARE(mStateMachine->busy(), false);
}

void TestStateMachineDevice::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
    QVt::Pb::Utilities::registerMetaTypes();
    qRegisterMetaType<Types::eConfigurationType>();
    SaveStatusTracker::instance();
    QVERIFY(mDir.isValid());

    mDeviceConfiguration = reportedCwbConfiguration();
    QVERIFY(!mDeviceConfiguration.isEmpty());
    QVERIFY(writeFile(path(QStringLiteral("device.bgc")), mDeviceConfiguration));
    QVERIFY(writeFile(path(QStringLiteral("cwb.bgc")), factoryConfiguration(PRODUCT_CWB)));

    // The provider offers the simulator's link first; it must exist when the hub
    // creates the provider, here on the GUI thread as in the interactive program.
    QVERIFY(startSimulator());
    qputenv("KTBRIDGE_EXTRA_PORTS", path(QStringLiteral("port")).toLocal8Bit());
    QSettings().setValue(QStringLiteral("comms/serial/port"), path(QStringLiteral("port")));
    CommsHandler::instance();

    mStateMachine.reset(new StateMachine(nullptr));
    QSignalSpy loaded(mStateMachine.get(), &StateMachine::loadFileSuccessful);
    mStateMachine->setStartupOptions(url(QStringLiteral("cwb.bgc")), false);
    mStateMachine->start();
    QTRY_COMPARE(loaded.count(), 1);
    mSimulator.reset();
}

// Every case starts disconnected, with the CWB's factory configuration loaded from
// a file, and a fresh simulator that keeps no configuration from earlier cases.
void TestStateMachineDevice::init()
{
    QFile::remove(path(QStringLiteral("store.bgc")));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("cwb.bgc")));
    QVERIFY(mStateMachine->currentDevice());
}

void TestStateMachineDevice::cleanup()
{
    mStateMachine->doDisconnect();
    QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
    mSimulator.reset();
}

void TestStateMachineDevice::cleanupTestCase()
{
    mStateMachine.reset();
}

// A configuration loaded from a file serves the connected product: it stays, and
// the automatic read only adds what the unit reports about itself.
void TestStateMachineDevice::connectReadsDeviceInformation()
{
    QVERIFY(startSimulator());
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    const QByteArray fileConfiguration = device->serialize();
    QSignalSpy busy(mStateMachine.get(), &StateMachine::busyChanged);
    QSignalSpy connected(mStateMachine.get(), &StateMachine::connectedChanged);
    QSignalSpy connectSuccess(mStateMachine.get(), &StateMachine::connectSuccessful);
    QSignalSpy readSuccess(mStateMachine.get(), &StateMachine::readFromDeviceSuccessful);
    QSignalSpy idString(mStateMachine.get(), &StateMachine::deviceIdStringChanged);
    QSignalSpy devices(mStateMachine.get(), &StateMachine::currentDeviceChanged);

    connectDevice();

    QCOMPARE(connectSuccess.count(), 1);
    QCOMPARE(readSuccess.count(), 0);
    QCOMPARE(devices.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), device);
    QCOMPARE(mStateMachine->deviceIdString(), ID_STRING);
    QCOMPARE(idString.count(), 1);
    QCOMPARE(idString.at(0).at(0).toString(), ID_STRING);
    QCOMPARE(busy.first().at(0).toBool(), true);
    QCOMPARE(busy.last().at(0).toBool(), false);
    QCOMPARE(connected.last().at(0).toBool(), true);
    QVERIFY(device->deviceInfo());
    QCOMPARE(device->deviceInfo()->serialNumber(), SERIAL_NUMBER);
    QCOMPARE(SaveStatusTracker::instance()->configurationType(), Types::CONFIGURATION_TYPE_FILE);
    QVERIFY(mSimulator->waitForStandardError(receivedLine(BootProtocol::buildBootSequence())));
    QVERIFY(mSimulator->waitForStandardError(receivedLine(BootProtocol::buildReadProductIdCommand())));
    QVERIFY(mSimulator->waitForStandardError(receivedLine(BootProtocol::buildReadProtobufCommand())));
    // The reported information goes when the connection ends; the configuration stays.
    mStateMachine->doDisconnect();
    QCOMPARE(device->deviceInfo(), nullptr);
    QCOMPARE(mStateMachine->deviceIdString(), QString());
    QCOMPARE(device->serialize(), fileConfiguration);
}

// The loaded configuration is for a CW, the unit is a CWB: the connection gets a new
// device object of its own, which reports edits and load errors like any other.
void TestStateMachineDevice::connectCreatesDeviceForOtherProduct()
{
    QVERIFY(writeFile(path(QStringLiteral("cw.bgc")), factoryConfiguration(QStringLiteral("0000c0de0001"))));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("cw.bgc")));
    QObject *fileDevice = mStateMachine->currentDevice();
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    QVERIFY(startSimulator());
    QSignalSpy devices(mStateMachine.get(), &StateMachine::currentDeviceChanged);
    QSignalSpy readSuccess(mStateMachine.get(), &StateMachine::readFromDeviceSuccessful);

    connectDevice();

    QCOMPARE(devices.count(), 1);
    auto *device = qobject_cast<AbstractDevice *>(devices.at(0).at(0).value<QObject *>());
    QVERIFY(device);
    QVERIFY(device != fileDevice);
    QCOMPARE(mStateMachine->currentDevice(), device);
    QCOMPARE(device->primaryProductId(), PRODUCT_CWB);
    QVERIFY(device->deviceInfo());
    QCOMPARE(readSuccess.count(), 0);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_NEW);
    QCOMPARE(tracker->saveNeeded(), false);

    emit device->saveNeeded();
    QCOMPARE(tracker->saveNeeded(), true);
    QSignalSpy parseError(mStateMachine.get(), &StateMachine::configurationParseError);
    device->deserialize(QByteArray("garbage"));
    QCOMPARE(parseError.count(), 1);
    // A load error ends the connection.
    QCOMPARE(mStateMachine->connected(), false);
}

void TestStateMachineDevice::readOnRequest()
{
    QVERIFY(startSimulator());
    connectDevice();
    SaveStatusTracker::instance()->setSaveNeeded(true);
    QSignalSpy readSuccess(mStateMachine.get(), &StateMachine::readFromDeviceSuccessful);
    QSignalSpy busy(mStateMachine.get(), &StateMachine::busyChanged);
    QSignalSpy connected(mStateMachine.get(), &StateMachine::connectedChanged);

    mStateMachine->doReadDeviceConfiguration();
    QCOMPARE(mStateMachine->busy(), true);
    QTRY_COMPARE(readSuccess.count(), 1);

    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QCOMPARE(device->serialize(), mDeviceConfiguration);
    QCOMPARE(SaveStatusTracker::instance()->configurationType(), Types::CONFIGURATION_TYPE_DEVICE);
    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), false);
    QCOMPARE(busy.last().at(0).toBool(), false);
    QVERIFY(mStateMachine->connected());
    for (const QList<QVariant> &arguments : connected)
        QCOMPARE(arguments.at(0).toBool(), true);
}

void TestStateMachineDevice::write()
{
    QVERIFY(startSimulator());
    connectDevice();
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    const QByteArray written = device->serialize();
    QSignalSpy writeSuccess(mStateMachine.get(), &StateMachine::writeToDeviceSuccessful);

    mStateMachine->doWriteDeviceConfiguration();
    QCOMPARE(mStateMachine->busy(), true);
    QTRY_COMPARE(writeSuccess.count(), 1);

    QVERIFY(mSimulator->waitForStandardError(receivedLine(BootProtocol::buildWriteProtobufCommand(written))));
    QTRY_COMPARE(readFile(path(QStringLiteral("store.bgc"))), written);
    QVERIFY(mStateMachine->connected());
    QCOMPARE(mStateMachine->busy(), false);
}

void TestStateMachineDevice::commandsThatEndTheConnection_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<QByteArray>("successSignal");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("factory reset") << QByteArray("doFactoryReset") << QByteArray(SIGNAL(factoryResetSuccessful()))
                                   << BootProtocol::buildFactoryResetCommand();
    QTest::newRow("pairing mode") << QByteArray("doEnterPairingMode") << QByteArray(SIGNAL(pairingModeSuccessful()))
                                  << BootProtocol::buildEnterPairingModeCommand();
    QTest::newRow("normal operation") << QByteArray("doEnterNormalOperation")
                                      << QByteArray(SIGNAL(disconnectSuccessful()))
                                      << BootProtocol::buildEnterNormalOperationCommand();
    QTest::newRow("disconnect: no command, no success") << QByteArray("doDisconnect")
                                                         << QByteArray(SIGNAL(disconnectSuccessful())) << QByteArray();
}

// Each sends its command (a disconnect none), reports success and ends the
// connection, leaving the device object and its configuration in place.
void TestStateMachineDevice::commandsThatEndTheConnection()
{
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, successSignal);
    QFETCH(QByteArray, command);

    QVERIFY(startSimulator());
    connectDevice();
    QObject *device = mStateMachine->currentDevice();
    QSignalSpy success(mStateMachine.get(), successSignal.constData());
    QSignalSpy connected(mStateMachine.get(), &StateMachine::connectedChanged);

    QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), operation.constData()));

    QCOMPARE(success.count(), command.isEmpty() ? 0 : 1);
    QCOMPARE(mStateMachine->connected(), false);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(connected.last().at(0).toBool(), false);
    QCOMPARE(mStateMachine->currentDevice(), device);
    if (command.isEmpty())
        QTest::qWait(300);
    else
        QVERIFY(mSimulator->waitForStandardError(receivedLine(command)));
    const QByteArray log = mSimulator->standardError();
    for (const QByteArray &ending : {BootProtocol::buildEnterNormalOperationCommand(),
                                     BootProtocol::buildEnterPairingModeCommand(),
                                     BootProtocol::buildFactoryResetCommand()})
        QCOMPARE(log.contains(receivedLine(ending)), ending == command);
}

void TestStateMachineDevice::packWithDeviceInformation()
{
    QVERIFY(startSimulator());
    connectDevice();
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QSignalSpy packed(mStateMachine.get(), &StateMachine::packSupportArchiveSuccessful);

    mStateMachine->doPackSupportArchive(url(QStringLiteral("support.zip")));

    QCOMPARE(packed.count(), 1);
    QCOMPARE(packed.at(0).at(0).toString(), path(QStringLiteral("support.zip")));
    KZip zip(path(QStringLiteral("support.zip")));
    QVERIFY(zip.open(QIODevice::ReadOnly));
    const auto *config = zip.directory()->file(QStringLiteral("config.bgc"));
    QVERIFY(config);
    QCOMPARE(config->data(), device->serialize());
    const auto *details = zip.directory()->file(QStringLiteral("details.txt"));
    QVERIFY(details);
    const QList<QByteArray> lines = details->data().split('\n');
    const QList<QByteArray> expected = {
        "\r",
        "APPLICATION\r",
        "-----------\r",
        "Name: KT Bridge Configurator\r",
        "Version: 2.1.0\r",
        "\r",
        "DEVICE\r",
        "------\r",
        "ID string: " + ID_STRING.toLocal8Bit() + '\r',
        "Serial number: 42\r",
        "Product code: abc\r",
        "Vendor ID: c0de\r",
        "Product group: 3\r",
        "UNIX time of manufacture: 1970/01/01 00:00:00 UTC\r",
        "WLAN FW version: " + WLAN_FIRMWARE.toLocal8Bit() + '\r',
        "WLAN MAC address: " + WLAN_MAC.toLocal8Bit() + '\r',
        "Bluetooth MAC address: " + BLUETOOTH_MAC.toLocal8Bit() + '\r',
        "",
    };
    QVERIFY(lines.first().startsWith("Date and time: "));
    QCOMPARE(lines.mid(1), expected);
}

void TestStateMachineDevice::errorReply_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("write");
    QTest::newRow("automatic read: the connection ends before it is established") << "error-on-read" << false;
    QTest::newRow("write") << "error-on-write" << true;
}

void TestStateMachineDevice::errorReply()
{
    QFETCH(QString, fault);
    QFETCH(bool, write);
    QVERIFY(startSimulator({QStringLiteral("--fault"), fault}));
    QSignalSpy deviceError(mStateMachine.get(), &StateMachine::deviceError);
    QSignalSpy connectSuccess(mStateMachine.get(), &StateMachine::connectSuccessful);
    QSignalSpy writeSuccess(mStateMachine.get(), &StateMachine::writeToDeviceSuccessful);
    QSignalSpy connected(mStateMachine.get(), &StateMachine::connectedChanged);

    if (write) {
        connectDevice();
        mStateMachine->doWriteDeviceConfiguration();
    } else {
        mStateMachine->doConnect();
    }
    QTRY_COMPARE(deviceError.count(), 1);

    QCOMPARE(connectSuccess.count(), 1);
    QCOMPARE(writeSuccess.count(), 0);
    QCOMPARE(mStateMachine->connected(), false);
    QCOMPARE(mStateMachine->busy(), false);
    // Connected only by the connection that the write then ends.
    QCOMPARE(connected.count(QList<QVariant>{true}), write ? 1 : 0);
    QVERIFY(!QFile::exists(path(QStringLiteral("store.bgc"))));
}

// The unit goes away in the middle of connecting, as an unplugged cable would.
void TestStateMachineDevice::hangUp()
{
    QVERIFY(startSimulator({QStringLiteral("--fault"), QStringLiteral("hang-up-after=2")}));
    QSignalSpy commsError(mStateMachine.get(), &StateMachine::commsError);

    mStateMachine->doConnect();
    QTRY_VERIFY(commsError.count() >= 1);

    QCOMPARE(commsError.at(0).at(0).value<quint16>(), quint16(9));
    QCOMPARE(commsError.at(0).at(1).toString(),
             QStringLiteral("Device or resource has become unavailable (perhaps removed or disconnected)."));
    QTRY_VERIFY(!mStateMachine->busy());
    QCOMPARE(mStateMachine->connected(), false);
    // The read command already on its way reopens the port, now without a device:
    // let its errors arrive here rather than in the next case.
    QTest::qWait(1000);
    QCOMPARE(mStateMachine->connected(), false);
}

void TestStateMachineDevice::unsupportedProduct()
{
    QVERIFY(startSimulator({QStringLiteral("--product-id"), PRODUCT_CB}));
    QSignalSpy unsupported(mStateMachine.get(), &StateMachine::deviceUnsupported);
    QSignalSpy connectSuccess(mStateMachine.get(), &StateMachine::connectSuccessful);

    QTest::ignoreMessage(QtWarningMsg, "Could not find driver for product ID \"0000c0de0002\"");
    mStateMachine->doConnect();
    QTRY_COMPARE(unsupported.count(), 1);

    QCOMPARE(unsupported.at(0).at(0).toString(), ID_STRING);
    QCOMPARE(unsupported.at(0).at(1).toString(), PRODUCT_CB);
    QCOMPARE(connectSuccess.count(), 0);
    QCOMPARE(mStateMachine->connected(), false);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(mStateMachine->currentDevice(), nullptr);
}

// The unit sends its identification text again before every reply; the machine
// takes only the replies.
void TestStateMachineDevice::repeatedIdentificationText()
{
    // The reply delay keeps the repeated text and the reply of one command apart from
    // those of the previous one: frames that share one read are dropped by the link.
    QVERIFY(startSimulator({QStringLiteral("--fault"), QStringLiteral("repeat-id"), QStringLiteral("--reply-delay"),
                            QStringLiteral("200")}));
    QSignalSpy idString(mStateMachine.get(), &StateMachine::deviceIdStringChanged);
    QSignalSpy writeSuccess(mStateMachine.get(), &StateMachine::writeToDeviceSuccessful);
    connectDevice();

    mStateMachine->doWriteDeviceConfiguration();
    QTRY_COMPARE(writeSuccess.count(), 1);

    QCOMPARE(mStateMachine->deviceIdString(), ID_STRING);
    QCOMPARE(idString.count(), 1);
    QVERIFY(mStateMachine->connected());
}

QTEST_MAIN(TestStateMachineDevice)
#include "tst_stateMachineDevice.moc"
