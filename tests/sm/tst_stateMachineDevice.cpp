// The facade with the real hub and serial provider against ktbridge-sim on a
// pseudo-terminal: the machine's requests reach the unit as frames, its replies and
// the reply watch come back as the facade's signals.
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtpb/utilities.h>

#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace DeviceTestSupport;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Sm::StateMachine;

namespace {

// Short enough that no case waits long, long enough for a loaded machine's replies.
constexpr int REPLY_TIMEOUT_MS = 1500;
const QString ID_STRING = QStringLiteral("KT Bridge boot loader 1.4");

// The line the simulator's --verbose log shows for a frame it received.
QByteArray receivedLine(const QByteArray &frame)
{
    return "rx " + frame.toHex(' ').toUpper() + '\n';
}

} // namespace

class TestStateMachineDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void operation_data();
    void operation();
    void staleTimeoutIsDropped();

private:
    bool startSimulator(const QStringList &arguments);
    QString path(const QString &name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSimulator;
    std::unique_ptr<StateMachine> mStateMachine;
};

bool TestStateMachineDevice::startSimulator(const QStringList &arguments)
{
    QFile::remove(path(QStringLiteral("store.bgc")));
    mSimulator.reset(new SimulatorProcess);
    return mSimulator->start(QStringList{"--link", path(QStringLiteral("port")), "--id-string", ID_STRING,
                                         "--config", path(QStringLiteral("device.bgc")), "--store",
                                         path(QStringLiteral("store.bgc")), "--product-id", PRODUCT_CWB, "--verbose"}
                             + arguments);
}

void TestStateMachineDevice::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVt::Pb::Utilities::registerMetaTypes();
    QVt::Config::SaveStatusTracker::instance();
    QVERIFY(mDir.isValid());
    QVERIFY(writeFile(path(QStringLiteral("device.bgc")), reportedCwbConfiguration()));
    QVERIFY(writeFile(path(QStringLiteral("cwb.bgc")), factoryConfiguration(PRODUCT_CWB)));

    // The provider offers the simulator's link first; it must exist when the hub
    // creates the provider, here on the GUI thread as in the interactive program.
    QVERIFY(startSimulator({}));
    qputenv("KTBRIDGE_EXTRA_PORTS", path(QStringLiteral("port")).toLocal8Bit());
    QSettings().setValue(QStringLiteral("comms/serial/port"), path(QStringLiteral("port")));
    QVt::Comms::CommsHandler::instance();

    mStateMachine.reset(new StateMachine(nullptr));
    mStateMachine->setReplyTimeout(REPLY_TIMEOUT_MS);
    QSignalSpy loaded(mStateMachine.get(), &StateMachine::loadFileSuccessful);
    mStateMachine->setStartupOptions(QUrl::fromLocalFile(path(QStringLiteral("cwb.bgc"))).toString(), false);
    mStateMachine->start();
    QTRY_COMPARE(loaded.count(), 1);
}

void TestStateMachineDevice::cleanup()
{
    mStateMachine->doDisconnect();
    QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
    mSimulator.reset();
}

void TestStateMachineDevice::operation_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("staysConnected");

    const QByteArray written = factoryConfiguration(PRODUCT_CWB);
    QTest::newRow("write") << QString() << QByteArray("doWriteDeviceConfiguration")
                           << QByteArray(SIGNAL(writeToDeviceSuccessful()))
                           << BootProtocol::buildWriteProtobufCommand(written) << true;
    QTest::newRow("write, error reply") << "error-on-write" << QByteArray("doWriteDeviceConfiguration")
                                        << QByteArray(SIGNAL(deviceError()))
                                        << BootProtocol::buildWriteProtobufCommand(written) << false;
    QTest::newRow("read") << QString() << QByteArray("doReadDeviceConfiguration")
                          << QByteArray(SIGNAL(readFromDeviceSuccessful())) << BootProtocol::buildReadProtobufCommand()
                          << true;
    QTest::newRow("factory reset") << QString() << QByteArray("doFactoryReset")
                                   << QByteArray(SIGNAL(factoryResetSuccessful()))
                                   << BootProtocol::buildFactoryResetCommand() << false;
    QTest::newRow("pairing mode") << QString() << QByteArray("doEnterPairingMode")
                                  << QByteArray(SIGNAL(pairingModeSuccessful()))
                                  << BootProtocol::buildEnterPairingModeCommand() << false;
    QTest::newRow("normal operation") << QString() << QByteArray("doEnterNormalOperation")
                                      << QByteArray(SIGNAL(disconnectSuccessful()))
                                      << BootProtocol::buildEnterNormalOperationCommand() << false;
}

// Connects to a unit (which reports itself into the loaded configuration), then runs
// one operation: its frame reaches the unit and its outcome comes back as a signal.
void TestStateMachineDevice::operation()
{
    QFETCH(QString, fault);
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, signal);
    QFETCH(QByteArray, command);
    QFETCH(bool, staysConnected);

    QVERIFY(startSimulator(fault.isEmpty() ? QStringList() : QStringList{"--fault", fault}));
    mStateMachine->doLoadConfiguration(QUrl::fromLocalFile(path(QStringLiteral("cwb.bgc"))).toString());
    QSignalSpy connectSuccess(mStateMachine.get(), &StateMachine::connectSuccessful);
    mStateMachine->doConnect();
    QTRY_VERIFY(mStateMachine->connected());
    QCOMPARE(connectSuccess.count(), 1);
    QCOMPARE(mStateMachine->deviceIdString(), ID_STRING);
    auto *device = qobject_cast<QVt::Device::AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device && device->deviceInfo());
    QCOMPARE(device->deviceInfo()->serialNumber(), quint32(42));
    QSignalSpy outcome(mStateMachine.get(), signal.constData());

    QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), operation.constData()));

    QTRY_COMPARE(outcome.count(), 1);
    QVERIFY(mSimulator->waitForStandardError(receivedLine(command)));
    QTRY_COMPARE(mStateMachine->connected(), staysConnected);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(QFile::exists(path(QStringLiteral("store.bgc"))), signal == SIGNAL(writeToDeviceSuccessful()));
}

// A silent unit: the watch ends each attempt after the reply time-out. An expiry that
// was already posted when the attempt was given up does not end the next one.
void TestStateMachineDevice::staleTimeoutIsDropped()
{
    QVERIFY(startSimulator({"--fault", "silent"}));
    QSignalSpy timeout(mStateMachine.get(), &StateMachine::timeout);
    mStateMachine->doConnect();
    QVERIFY(mStateMachine->busy());
    // The watch expires on its own thread while this one is blocked.
    QThread::msleep(REPLY_TIMEOUT_MS + 500);
    mStateMachine->doDisconnect();
    mStateMachine->doConnect();
    QTest::qWait(REPLY_TIMEOUT_MS / 3);
    QCOMPARE(timeout.count(), 0);
    QVERIFY(mStateMachine->busy());

    QTRY_COMPARE_WITH_TIMEOUT(timeout.count(), 1, 3 * REPLY_TIMEOUT_MS);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(mStateMachine->connected(), false);
}

QTEST_MAIN(TestStateMachineDevice)
#include "tst_stateMachineDevice.moc"
