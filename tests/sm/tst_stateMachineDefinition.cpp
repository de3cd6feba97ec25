// The device state machine on its own: events in, signals, device calls and tracker
// changes out, against a test driver plug-in beside the test binary.
#include "machineRecorder.h"

#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"

#include <QCoreApplication>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <utility>

#include <unistd.h>

using QVt::Config::SaveStatusTracker;
using QVt::Global::Types;
using namespace QVt::Sm;
using Start = MachineRecorder::Start;
using Kind = MachineRecorder::Event;

namespace {

const QString BOOT_SEQUENCE_FRAME = QStringLiteral("4300065a50584d42544c0d");
const QString READ_PROTOBUF_FRAME = QStringLiteral("4300014c0e0d");
const QString WATCH = QStringLiteral("startTimeoutWatch 10000");
const QStringList RESET = {"stopCyclicWrite", "connectedChanged false", "busyChanged false",
                           "deviceIdStringChanged \"\"", "stopTimeoutWatch"};
const QStringList DISCONNECTED = {"connectedChanged false", "busyChanged false", "stopTimeoutWatch"};
const QStringList CONNECTED = {"busyChanged false", "connectedChanged true", "stopTimeoutWatch"};
// A connection ends through StateInitialization, where a configuration read from the
// device becomes a new one, into StateDisconnected.
const QStringList END = RESET + QStringList{"configurationType 0"} + DISCONNECTED;
const QStringList EARLY_END = RESET + DISCONNECTED;
// The same with a device object, which forgets what the device reported about itself.
const QStringList DEVICE_END = RESET + QStringList{"updateDeviceInfo ", "configurationType 0"} + DISCONNECTED;
const QStringList FILE_END = RESET + QStringList{"updateDeviceInfo "} + DISCONNECTED;

// Runs the event loop until something calls QCoreApplication::exit, doing step first;
// returns the exit status (1000 when nothing ended the loop) and what the process
// wrote to its standard error stream meanwhile.
std::pair<int, QByteArray> runToExit(const std::function<void()> &step)
{
    QTemporaryFile capture;
    capture.open();
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    QTimer::singleShot(0, step);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1000); });
    const int status = QCoreApplication::exec();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return {status, capture.readAll()};
}

} // namespace

class tst_StateMachineDefinition : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void start_data();
    void start();
    void connect_data();
    void connect();
    void identification_data();
    void identification();
    void fromConnected_data();
    void fromConnected();
    void endsDisconnected_data();
    void endsDisconnected();
    void droppedEvents_data();
    void droppedEvents();
    void setDevice_data();
    void setDevice();
    void operationFromSignalRunsAfterTransition();
    void exceptionInAction();
    void exceptionInAnonymousRow();
    void autoflash_data();
    void autoflash();
};

void tst_StateMachineDefinition::init()
{
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(false);
    tracker->setConfigurationType(Types::CONFIGURATION_TYPE_NONE);
    TestDevice::setInstancesFail(false);
    TestDevice::takeLog();
}

void tst_StateMachineDefinition::start_data()
{
    QTest::addColumn<Types::eConfigurationType>("typeBefore");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("file configuration stays") << Types::CONFIGURATION_TYPE_FILE << EARLY_END;
    QTest::newRow("device configuration becomes new") << Types::CONFIGURATION_TYPE_DEVICE << END;
}

// StateInitialization's entry, then the anonymous row into StateDisconnected.
void tst_StateMachineDefinition::start()
{
    QFETCH(Types::eConfigurationType, typeBefore);
    QFETCH(QStringList, log);
    SaveStatusTracker::instance()->setConfigurationType(typeBefore);
    MachineRecorder recorder(nullptr);
    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

void tst_StateMachineDefinition::connect_data()
{
    QTest::addColumn<QStringList>("loadedProductIds");
    QTest::addColumn<Types::eConfigurationType>("type");
    QTest::addColumn<QStringList>("identifyLog");
    QTest::addColumn<QStringList>("readLog");

    const QStringList read = {"connectSuccessful", "busyChanged true", WATCH, "writeData " + READ_PROTOBUF_FRAME};
    const QStringList replaced = QStringList{"new Test A", "currentDeviceChanged Test A", "configurationType 0"} + read;
    const QStringList adopted = QStringList{"updateDeviceInfo reported"} + CONNECTED;
    QTest::newRow("nothing loaded: the read replaces the configuration")
        << QStringList() << Types::CONFIGURATION_TYPE_NONE
        << QStringList{"new Test A", "currentDeviceChanged Test A"} + read
        << QStringList{"deserialize reported", "configurationType 2", "readFromDeviceSuccessful"} + CONNECTED;
    QTest::newRow("file serves the product: kept") << QStringList{"0000000000a1"} << Types::CONFIGURATION_TYPE_FILE
                                                   << read << adopted;
    QTest::newRow("file serves it second: kept")
        << QStringList{"0000000000b1", "0000000000a1"} << Types::CONFIGURATION_TYPE_FILE << read << adopted;
    QTest::newRow("new configuration serves the product: kept")
        << QStringList{"0000000000a1"} << Types::CONFIGURATION_TYPE_NEW << read << adopted;
    QTest::newRow("file for another product: replaced, type new")
        << QStringList{"0000000000b1"} << Types::CONFIGURATION_TYPE_FILE << replaced << adopted;
    QTest::newRow("product ID case differs: replaced")
        << QStringList{"0000000000A1"} << Types::CONFIGURATION_TYPE_FILE << replaced << adopted;
}

// StateDisconnected -> StateAttemptingConnection -> StateReadProductId ->
// StateIdentifyDevice -> StateReadDeviceConfiguration -> StateConnected. The automatic
// read replaces the configuration only when none was being edited.
void tst_StateMachineDefinition::connect()
{
    QFETCH(QStringList, loadedProductIds);
    QFETCH(Types::eConfigurationType, type);
    QFETCH(QStringList, identifyLog);
    QFETCH(QStringList, readLog);

    MachineRecorder recorder(nullptr);
    if (!loadedProductIds.isEmpty())
        recorder.machine().process_event(EventSetDevice{MachineRecorder::loadedDevice(loadedProductIds)});
    SaveStatusTracker::instance()->setConfigurationType(type);
    recorder.takeLog();

    recorder.give(Kind::Connect);
    QCOMPARE(recorder.takeLog(),
             (QStringList{"busyChanged true", "startCyclicWrite " + BOOT_SEQUENCE_FRAME + " 500 true", WATCH}));
    recorder.give(Kind::NewData, MachineRecorder::IDENTIFICATION);
    QCOMPARE(recorder.takeLog(), (QStringList{"deviceIdStringChanged \"KT Bridge CW 1.0\"", "stopCyclicWrite",
                                              "writeData 43000150120d", WATCH}));
    recorder.give(Kind::NewData, MachineRecorder::productIdReply(MachineRecorder::PRODUCT_ID_A));
    QCOMPARE(recorder.takeLog(), identifyLog);
    QCOMPARE(recorder.machine().isConnected(), false);
    recorder.give(Kind::NewData, "Lreported");
    QCOMPARE(recorder.takeLog(), readLog);
    QCOMPARE(recorder.state(), QStringLiteral("StateConnected"));
    QCOMPARE(recorder.machine().isConnected(), true);
    QCOMPARE(recorder.machine().isBusy(), false);
}

void tst_StateMachineDefinition::identification_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("deviceIdString");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("productId");
    QTest::newRow("plain text; eight bytes, not cut") << QByteArray("KT Bridge CW 1.0") << "KT Bridge CW 1.0"
                                                      << QByteArray::fromHex("000102030405060708") << "0102030405060708";
    QTest::newRow("text up to the zero byte; six bytes") << QByteArray("KT Bridge\0garbage", 17) << "KT Bridge"
                                                         << QByteArray::fromHex("ff0000000000b1") << "0000000000b1";
    QTest::newRow("utf-8 text; short ID padded") << QByteArray("Br\xc3\xbc""cke") << QString::fromUtf8("Br\xc3\xbc""cke")
                                                 << QByteArray::fromHex("00c0de") << "00000000c0de";
    QTest::newRow("zero byte first; leading byte only") << QByteArray("\0rest", 5) << "" << QByteArray("\x07")
                                                        << "000000000000";
}

// Any non-empty first payload is the identification text; the bytes after the first of
// the next, as lower-case hexadecimal of at least 12 digits, are the product ID.
void tst_StateMachineDefinition::identification()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, deviceIdString);
    QFETCH(QByteArray, reply);
    QFETCH(QString, productId);

    MachineRecorder recorder(nullptr);
    recorder.reach(Start::AttemptingConnection);
    recorder.give(Kind::NewData, payload);
    QCOMPARE(recorder.machine().currentDeviceIdString(), deviceIdString);
    recorder.takeLog();
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Could not find driver for product ID \"%1\"").arg(productId)));
    recorder.give(Kind::NewData, reply);
    QVERIFY(recorder.takeLog().contains(QStringLiteral("deviceUnsupported \"%1\" \"%2\"").arg(deviceIdString, productId)));
}

void tst_StateMachineDefinition::fromConnected_data()
{
    QTest::addColumn<Kind>("event");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("state");

    const QStringList busy = {"busyChanged true", WATCH};
    QTest::newRow("read requested: replaces the configuration")
        << Kind::ReadDeviceConfiguration << QByteArray("Lfrom device")
        << busy + QStringList{"writeData " + READ_PROTOBUF_FRAME, "deserialize from device", "configurationType 2",
                              "saveNeeded false", "readFromDeviceSuccessful"} + CONNECTED
        << "StateConnected";
    QTest::newRow("write requested, confirmed")
        << Kind::WriteDeviceConfiguration << QByteArray("S")
        << busy + QStringList{"writeData 430003530102100d", "writeToDeviceSuccessful"} + CONNECTED << "StateConnected";
    QTest::newRow("normal operation") << Kind::EnterNormalOperation << QByteArray()
                                      << QStringList{"writeData 43000151130d", "disconnectSuccessful"} + FILE_END
                                      << "StateDisconnected";
    QTest::newRow("pairing mode") << Kind::EnterPairingMode << QByteArray()
                                  << QStringList{"writeData 430001591b0d", "pairingModeSuccessful"} + FILE_END
                                  << "StateDisconnected";
    QTest::newRow("factory reset")
        << Kind::FactoryReset << QByteArray()
        << QStringList{"busyChanged true", "writeData 4300015a180d", "factoryResetSuccessful"} + FILE_END
        << "StateDisconnected";
}

// What StateConnected's operations send and report, with a file being edited. Leaving
// the connection keeps the device object and the file.
void tst_StateMachineDefinition::fromConnected()
{
    QFETCH(Kind, event);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, log);
    QFETCH(QString, state);

    MachineRecorder recorder(nullptr);
    SaveStatusTracker::instance()->setConfigurationType(Types::CONFIGURATION_TYPE_FILE);
    SaveStatusTracker::instance()->setSaveNeeded(true);
    recorder.reach(Start::Connected);
    TestDevice *device = recorder.currentTestDevice();
    device->setConfiguration(QByteArray::fromHex("0102"));

    recorder.give(event);
    if (!reply.isEmpty())
        recorder.give(Kind::NewData, reply);

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), state);
    QCOMPARE(recorder.currentTestDevice(), device);
}

void tst_StateMachineDefinition::endsDisconnected_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<Kind>("event");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("log");

    const auto name = [](auto value) { return QMetaEnum::fromType<decltype(value)>().valueToKey(int(value)); };
    // Before a device object is there, and after.
    for (Start start : {Start::AttemptingConnection, Start::ReadProductId})
        for (Kind kind : {Kind::Disconnect, Kind::CommsError, Kind::Timeout})
            QTest::addRow("%s, %s", name(start), name(kind)) << start << kind << QByteArray() << EARLY_END;
    for (Start start : {Start::Connected, Start::ReadDeviceConfiguration, Start::WriteDeviceConfiguration})
        for (Kind kind : {Kind::Disconnect, Kind::CommsError, Kind::Timeout, Kind::LoadError})
            if (kind != Kind::LoadError || start != Start::WriteDeviceConfiguration)
                QTest::addRow("%s, %s", name(start), name(kind)) << start << kind << QByteArray() << DEVICE_END;
    QTest::newRow("AttemptingConnection, empty identification")
        << Start::AttemptingConnection << Kind::NewData << QByteArray() << QStringList{"deviceUnsupported \"\" \"\""} + EARLY_END;
    QTest::newRow("ReadProductId, empty reply") << Start::ReadProductId << Kind::NewData << QByteArray()
                                                << QStringList{"deviceUnsupported \"KT Bridge CW 1.0\" \"\""} + EARLY_END;
    QTest::newRow("ReadProductId, no driver")
        << Start::ReadProductId << Kind::NewData << MachineRecorder::productIdReply("0000000000ff")
        << QStringList{"currentDeviceChanged null", "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000ff\""} + EARLY_END;
    QTest::newRow("ReadDeviceConfiguration, error reply") << Start::ReadDeviceConfiguration << Kind::NewData
                                                          << QByteArray("E") << QStringList{"deviceError"} + DEVICE_END;
    QTest::newRow("WriteDeviceConfiguration, error reply") << Start::WriteDeviceConfiguration << Kind::NewData
                                                           << QByteArray("E\x02 flash") << QStringList{"deviceError"} + DEVICE_END;
}

// Every other way back to StateDisconnected, through StateError and StateInitialization
// within the one event. A disconnect sends no device command and reports no success.
void tst_StateMachineDefinition::endsDisconnected()
{
    QFETCH(Start, start);
    QFETCH(Kind, event);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, log);

    MachineRecorder recorder(nullptr);
    recorder.reach(start);
    if (log.contains(QStringLiteral("currentDeviceChanged null")))
        QTest::ignoreMessage(QtWarningMsg, "Could not find driver for product ID \"0000000000ff\"");
    recorder.give(event, reply);
    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

void tst_StateMachineDefinition::droppedEvents_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<Kind>("event");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray unexpected("X unexpected");
    const auto name = [](auto value) { return QMetaEnum::fromType<decltype(value)>().valueToKey(int(value)); };
    for (Kind kind : {Kind::Disconnect, Kind::EnterNormalOperation, Kind::EnterPairingMode, Kind::FactoryReset,
                      Kind::ReadDeviceConfiguration, Kind::WriteDeviceConfiguration, Kind::NewData, Kind::CommsError,
                      Kind::Timeout, Kind::LoadError})
        QTest::addRow("Disconnected, %s", name(kind)) << Start::Disconnected << kind << unexpected;
    for (Start start : {Start::AttemptingConnection, Start::ReadProductId, Start::ReadDeviceConfiguration,
                        Start::WriteDeviceConfiguration}) {
        for (Kind kind : {Kind::Connect, Kind::SetDevice, Kind::Autoflash, Kind::EnterNormalOperation,
                          Kind::ReadDeviceConfiguration, Kind::WriteDeviceConfiguration})
            QTest::addRow("%s, %s", name(start), name(kind)) << start << kind << unexpected;
    }
    for (Start start : {Start::AttemptingConnection, Start::ReadProductId, Start::WriteDeviceConfiguration})
        QTest::addRow("%s, LoadError", name(start)) << start << Kind::LoadError << unexpected;
    for (Kind kind : {Kind::Connect, Kind::Autoflash, Kind::NewData})
        QTest::addRow("Connected, %s", name(kind)) << Start::Connected << kind << unexpected;

    // Replies no row takes: a repeated identification text, a reply of the wrong kind.
    const QByteArray id = MachineRecorder::IDENTIFICATION;
    QTest::newRow("ReadProductId, identification again") << Start::ReadProductId << Kind::NewData << id;
    QTest::newRow("ReadProductId, identification with zero byte")
        << Start::ReadProductId << Kind::NewData << id + QByteArray("\0tail", 5);
    QTest::newRow("ReadDeviceConfiguration, identification again") << Start::ReadDeviceConfiguration << Kind::NewData << id;
    QTest::newRow("WriteDeviceConfiguration, identification again") << Start::WriteDeviceConfiguration << Kind::NewData << id;
    QTest::newRow("ReadDeviceConfiguration, write reply") << Start::ReadDeviceConfiguration << Kind::NewData << QByteArray("S");
    QTest::newRow("ReadDeviceConfiguration, lower-case reply")
        << Start::ReadDeviceConfiguration << Kind::NewData << QByteArray("l lower case");
    QTest::newRow("WriteDeviceConfiguration, read reply") << Start::WriteDeviceConfiguration << Kind::NewData << QByteArray("Lconfig");
    QTest::newRow("WriteDeviceConfiguration, empty reply") << Start::WriteDeviceConfiguration << Kind::NewData << QByteArray();
}

// Pairs without a row are dropped silently: nothing is emitted (the watch keeps
// running), and the state and the device object stay.
void tst_StateMachineDefinition::droppedEvents()
{
    QFETCH(Start, start);
    QFETCH(Kind, event);
    QFETCH(QByteArray, reply);

    MachineRecorder recorder(nullptr);
    recorder.reach(start);
    const QString state = recorder.state();
    QObject *device = recorder.machine().currentDeviceObject();
    recorder.give(event, reply);
    QCOMPARE(recorder.takeLog(), QStringList());
    QCOMPARE(recorder.state(), state);
    QCOMPARE(recorder.machine().currentDeviceObject(), device);
}

void tst_StateMachineDefinition::setDevice_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<QStringList>("productIds");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("state");

    const QStringList replaced = {"currentDeviceChanged null", "currentDeviceChanged File A"};
    QTest::newRow("Disconnected") << Start::Disconnected << QStringList{"0000000000b1"} << replaced + DISCONNECTED
                                  << "StateDisconnected";
    QTest::newRow("Disconnected, null device") << Start::Disconnected << QStringList() << DISCONNECTED
                                               << "StateDisconnected";
    QTest::newRow("Connected, same primary product: takes the report")
        << Start::Connected << QStringList{"0000000000a1"}
        << QStringList{"updateDeviceInfo reported"} + replaced + CONNECTED << "StateConnected";
    QTest::newRow("Connected, product served second")
        << Start::Connected << QStringList{"0000000000a2", "0000000000a1"} << replaced + CONNECTED << "StateConnected";
    QTest::newRow("Connected, another product: leaves the connection open")
        << Start::Connected << QStringList{"0000000000b1"} << replaced + DISCONNECTED << "StateDisconnected";
    QTest::newRow("Connected, null device") << Start::Connected << QStringList() << DISCONNECTED
                                            << "StateDisconnected";
}

// EventSetDevice: a new configuration while disconnected or connected. Leaving the
// connection this way neither closes it nor forgets the identification text.
void tst_StateMachineDefinition::setDevice()
{
    QFETCH(Start, start);
    QFETCH(QStringList, productIds);
    QFETCH(QStringList, log);
    QFETCH(QString, state);

    MachineRecorder recorder(nullptr);
    recorder.reach(start);
    QObject *before = recorder.machine().currentDeviceObject();
    const QString deviceIdString = recorder.machine().currentDeviceIdString();
    const QSharedPointer<TestDevice> device =
        productIds.isEmpty() ? nullptr : MachineRecorder::loadedDevice(productIds);

    recorder.machine().process_event(EventSetDevice{device});

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), state);
    QCOMPARE(recorder.machine().currentDeviceObject(), device ? device.data() : before);
    QCOMPARE(recorder.machine().currentDeviceIdString(), deviceIdString);
}

// An operation requested from inside a signal of a transition waits for that
// transition and its anonymous rows: a connect asked for on an error reply.
void tst_StateMachineDefinition::operationFromSignalRunsAfterTransition()
{
    MachineRecorder recorder(nullptr);
    recorder.reach(Start::WriteDeviceConfiguration);
    QObject::connect(&recorder.machine(), &Machine::deviceError, [&recorder] { recorder.give(Kind::Connect); });
    recorder.give(Kind::NewData, "E");
    QCOMPARE(recorder.takeLog(), (QStringList{"deviceError"} + DEVICE_END
                                  + QStringList{"busyChanged true", "startCyclicWrite " + BOOT_SEQUENCE_FRAME + " 500 true",
                                                WATCH}));
    QCOMPARE(recorder.state(), QStringLiteral("StateAttemptingConnection"));
}

// A throwing action is caught: the row counts as fired (its target is current, its
// target's entry did not run) and the queue is still worked off.
void tst_StateMachineDefinition::exceptionInAction()
{
    MachineRecorder recorder(nullptr);
    recorder.reach(Start::ReadDeviceConfiguration);
    TestDevice *device = recorder.currentTestDevice();
    device->setThrowing(true);
    QObject::connect(device, &TestDevice::saveNeeded, [&recorder] { recorder.give(Kind::Disconnect); });

    QTest::ignoreMessage(QtWarningMsg, "Caught an exception in a state machine action: \"cannot deserialize\"");
    recorder.give(Kind::NewData, "Lconfig");
    // Only StateConnected takes the queued disconnect.
    QCOMPARE(recorder.takeLog(), QStringList{"deserialize config"} + DEVICE_END);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

// An entry action throwing while a state's anonymous rows are tried: they go on from
// the state entered.
void tst_StateMachineDefinition::exceptionInAnonymousRow()
{
    MachineRecorder recorder(nullptr);
    recorder.reach(Start::ReadProductId);
    TestDevice::setInstancesFail(true);
    QTest::ignoreMessage(QtWarningMsg, "Caught an exception in a state machine action: \"no memory for a new device\"");
    recorder.give(Kind::NewData, MachineRecorder::productIdReply(MachineRecorder::PRODUCT_ID_A));
    QCOMPARE(recorder.takeLog(), QStringList{"deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000a1\""} + EARLY_END);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

void tst_StateMachineDefinition::autoflash_data()
{
    QTest::addColumn<QStringList>("loadedProductIds");
    QTest::addColumn<QByteArray>("configuration");
    QTest::addColumn<QByteArray>("writeReply");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("exitStatus");

    const QStringList a1{"0000000000a1"};
    const QStringList written = QStringList{"connectSuccessful"} + CONNECTED
                                + QStringList{"busyChanged true", WATCH, "writeData 430003530102100d"};
    const QStringList unsupported = {"currentDeviceChanged null", "configurationType 0",
                                     "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000a1\""};
    QTest::newRow("confirmed: success, no second write")
        << a1 << QByteArray::fromHex("0102") << QByteArray("S") << QString() << written + CONNECTED << 0;
    QTest::newRow("error reply") << a1 << QByteArray::fromHex("0102") << QByteArray("E") << QString()
                                 << written + QStringList{"deviceError"} + FILE_END << -1;
    QTest::newRow("silence until the timeout")
        << a1 << QByteArray::fromHex("0102") << QByteArray() << QString() << written + FILE_END << -1;
    QTest::newRow("configuration too large for a frame: nothing sent")
        << a1 << QByteArray(70000, 'x') << QByteArray()
        << "Refused to frame a payload longer than the protocol allows: 70001 bytes"
        << QStringList{"connectSuccessful"} + CONNECTED + QStringList{"busyChanged true", "deviceError"} + FILE_END << -1;
    QTest::newRow("configuration cannot be serialized: nothing sent")
        << a1 << QByteArray() << QByteArray()
        << "Caught an exception in a state machine action: \"cannot serialize\""
        << QStringList{"connectSuccessful"} + CONNECTED + QStringList{"busyChanged true", "deviceError"} + FILE_END << -1;
    QTest::newRow("file for another product: never the driver's default")
        << QStringList{"0000000000b1"} << QByteArray() << QByteArray() << QString() << unsupported + EARLY_END << -1;
    QTest::newRow("file did not load") << QStringList() << QByteArray() << QByteArray() << QString()
                                       << unsupported + EARLY_END << -1;
}

// EventAutoflash connects, writes the loaded configuration once and ends the run with
// "SUCCESS" (exit status 0) or, from any way into StateError, "ERROR" (-1).
void tst_StateMachineDefinition::autoflash()
{
    QFETCH(QStringList, loadedProductIds);
    QFETCH(QByteArray, configuration);
    QFETCH(QByteArray, writeReply);
    QFETCH(QString, warning);
    QFETCH(QStringList, log);
    QFETCH(int, exitStatus);

    MachineRecorder recorder(nullptr);
    if (!loadedProductIds.isEmpty()) {
        const QSharedPointer<TestDevice> loaded = MachineRecorder::loadedDevice(loadedProductIds);
        loaded->setConfiguration(configuration);
        loaded->setThrowing(warning.contains("exception"));
        recorder.machine().process_event(EventSetDevice{loaded});
    }
    SaveStatusTracker::instance()->setConfigurationType(Types::CONFIGURATION_TYPE_FILE);
    recorder.give(Kind::Autoflash);
    recorder.give(Kind::NewData, MachineRecorder::IDENTIFICATION);
    recorder.takeLog();
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));

    const std::pair<int, QByteArray> exit = runToExit([&] {
        recorder.give(Kind::NewData, MachineRecorder::productIdReply(MachineRecorder::PRODUCT_ID_A));
        if (recorder.state() == "StateWriteDeviceConfiguration")
            recorder.give(writeReply.isEmpty() ? Kind::Timeout : Kind::NewData, writeReply);
    });

    QCOMPARE(exit, std::make_pair(exitStatus, QByteArray(exitStatus == 0 ? "SUCCESS\n" : "ERROR\n")));
    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), exitStatus == 0 ? QStringLiteral("StateConnected") : QStringLiteral("StateDisconnected"));
}

QTEST_GUILESS_MAIN(tst_StateMachineDefinition)

#include "tst_stateMachineDefinition.moc"
