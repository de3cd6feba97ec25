// The device state machine on its own: events in, signals and tracker changes out,
// against a test driver plug-in beside the test binary.
#include "machineRecorder.h"
#include "testDevice.h"

#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"

#include <QCoreApplication>
#include <QStandardPaths>
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

const QString BootSequenceFrame = QStringLiteral("4300065a50584d42544c0d");
const QString ReadProductIdFrame = QStringLiteral("43000150120d");
const QString ReadProtobufFrame = QStringLiteral("4300014c0e0d");

const QString ReportedConfiguration = QStringLiteral("reported");

QStringList resetEntries()
{
    return {"stopCyclicWrite", "connectedChanged false", "busyChanged false", "deviceIdStringChanged \"\"",
            "stopTimeoutWatch"};
}

QStringList disconnectedEntries()
{
    return {"connectedChanged false", "busyChanged false", "stopTimeoutWatch"};
}

QStringList connectedEntries()
{
    return {"busyChanged false", "connectedChanged true", "stopTimeoutWatch"};
}

// A connection that ends: through StateInitialization into StateDisconnected, where
// a configuration read from the device becomes a new one.
QStringList endEntries()
{
    return resetEntries() + QStringList{"configurationType 0"} + disconnectedEntries();
}

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
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1000); });
    guard.start(5000);
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
    void initTestCase();
    void init();

    void start_data();
    void start();
    void connectWithoutConfiguration();
    void connectWithLoadedConfiguration_data();
    void connectWithLoadedConfiguration();
    void identification_data();
    void identification();
    void readOnRequest();
    void writeOnRequest();
    void leaveConnection_data();
    void leaveConnection();
    void endsDisconnected_data();
    void endsDisconnected();
    void droppedEvents_data();
    void droppedEvents();
    void setDevice_data();
    void setDevice();
    void operationFromSignalRunsAfterTransition_data();
    void operationFromSignalRunsAfterTransition();
    void loadErrorDuringAutomaticRead();
    void exceptionInAction();
    void exceptionInAnonymousRow();
    void exceptionInEntryOfAnonymousRowTarget();
    void autoflashSuccess();
    void autoflashFailures_data();
    void autoflashFailures();
};

void tst_StateMachineDefinition::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KT Bridge tests"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_stateMachineDefinition"));
    QVERIFY(QVt::Device::DeviceFactory::instance()->supportedDeviceProductIds().contains(MachineRecorder::ProductIdA));
}

void tst_StateMachineDefinition::init()
{
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setCurrentFilePath(QString());
    tracker->setCurrentFileUrl(QString());
    tracker->setSaveNeeded(false);
    tracker->setConfigurationType(Types::CONFIGURATION_TYPE_NONE);
    TestDevice::resetInstancesMade();
    TestDevice::setInstancesFail(false);
}

void tst_StateMachineDefinition::start_data()
{
    QTest::addColumn<Types::eConfigurationType>("typeBefore");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("no configuration") << Types::CONFIGURATION_TYPE_NONE << resetEntries() + disconnectedEntries();
    QTest::newRow("file stays") << Types::CONFIGURATION_TYPE_FILE << resetEntries() + disconnectedEntries();
    QTest::newRow("device becomes new") << Types::CONFIGURATION_TYPE_DEVICE << endEntries();
}

// Course 1: the initial state's entry, then row 1.
void tst_StateMachineDefinition::start()
{
    QFETCH(Types::eConfigurationType, typeBefore);
    QFETCH(QStringList, log);

    SaveStatusTracker::instance()->setConfigurationType(typeBefore);
    MachineRecorder recorder;

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
    QCOMPARE(recorder.machine().isConnected(), false);
    QCOMPARE(recorder.machine().isBusy(), false);
}

// Course 2 with nothing loaded: rows 2, 5, 10, 15, 33.
void tst_StateMachineDefinition::connectWithoutConfiguration()
{
    MachineRecorder recorder;
    recorder.takeLog();

    recorder.give(Kind::Connect);
    QCOMPARE(recorder.takeLog(), (QStringList{"busyChanged true", "startCyclicWrite " + BootSequenceFrame + " 500 true",
                                              "startTimeoutWatch 10000"}));
    QCOMPARE(recorder.state(), QStringLiteral("StateAttemptingConnection"));

    recorder.giveData(MachineRecorder::Identification);
    QCOMPARE(recorder.takeLog(), (QStringList{"deviceIdStringChanged \"KT Bridge CW 1.0\"", "stopCyclicWrite",
                                              "writeData " + ReadProductIdFrame, "startTimeoutWatch 10000"}));
    QCOMPARE(recorder.state(), QStringLiteral("StateReadProductId"));

    recorder.giveData(MachineRecorder::productIdReply(MachineRecorder::ProductIdA));
    QCOMPARE(recorder.takeLog(), (QStringList{"currentDeviceChanged Test A", "connectSuccessful", "busyChanged true",
                                              "startTimeoutWatch 10000", "writeData " + ReadProtobufFrame}));
    QCOMPARE(recorder.state(), QStringLiteral("StateReadDeviceConfiguration"));
    QCOMPARE(recorder.machine().isBusy(), true);
    QCOMPARE(recorder.machine().isConnected(), false);
    QCOMPARE(recorder.machine().isReadRequested(), false);
    QCOMPARE(TestDevice::instancesMade(), 1);

    recorder.giveData("L" + ReportedConfiguration.toLatin1());
    QCOMPARE(recorder.takeLog(), QStringList({"configurationType 2", "readFromDeviceSuccessful"}) + connectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateConnected"));
    QCOMPARE(recorder.currentTestDevice()->deserializeCalls(), QList<QByteArray>{ReportedConfiguration.toLatin1()});
    QCOMPARE(recorder.machine().isConnected(), true);
    QCOMPARE(recorder.machine().isBusy(), false);
    QCOMPARE(recorder.machine().currentDeviceIdString(), QStringLiteral("KT Bridge CW 1.0"));
}

void tst_StateMachineDefinition::connectWithLoadedConfiguration_data()
{
    QTest::addColumn<Types::eConfigurationType>("type");
    QTest::addColumn<QStringList>("loadedProductIds");
    QTest::addColumn<QStringList>("identifyLog");
    QTest::addColumn<int>("typeAfter");

    const QStringList kept{"connectSuccessful", "busyChanged true", "startTimeoutWatch 10000",
                           "writeData " + ReadProtobufFrame};
    const QStringList replaced = QStringList{"currentDeviceChanged Test A", "configurationType 0"} + kept;
    QTest::newRow("file serves the product") << Types::CONFIGURATION_TYPE_FILE << QStringList{"0000000000a1"}
                                             << kept << int(Types::CONFIGURATION_TYPE_FILE);
    QTest::newRow("file serves it second") << Types::CONFIGURATION_TYPE_FILE << QStringList{"0000000000b1", "0000000000a1"}
                                           << kept << int(Types::CONFIGURATION_TYPE_FILE);
    QTest::newRow("new serves the product") << Types::CONFIGURATION_TYPE_NEW << QStringList{"0000000000a1"}
                                            << kept << int(Types::CONFIGURATION_TYPE_NEW);
    QTest::newRow("file for another product") << Types::CONFIGURATION_TYPE_FILE << QStringList{"0000000000b1"}
                                              << replaced << int(Types::CONFIGURATION_TYPE_NEW);
    QTest::newRow("product ID case differs") << Types::CONFIGURATION_TYPE_FILE << QStringList{"0000000000A1"}
                                             << replaced << int(Types::CONFIGURATION_TYPE_NEW);
}

// The automatic read after connecting only adopts what the device reports about
// itself while a file or new configuration is being edited.
void tst_StateMachineDefinition::connectWithLoadedConfiguration()
{
    QFETCH(Types::eConfigurationType, type);
    QFETCH(QStringList, loadedProductIds);
    QFETCH(QStringList, identifyLog);
    QFETCH(int, typeAfter);

    MachineRecorder recorder;
    QSharedPointer<TestDevice> loaded = MachineRecorder::loadedDevice(loadedProductIds);
    recorder.machine().process_event(EventSetDevice{loaded});
    SaveStatusTracker::instance()->setConfigurationType(type);
    SaveStatusTracker::instance()->setSaveNeeded(true);
    recorder.reach(Start::ReadProductId);

    recorder.giveData(MachineRecorder::productIdReply(MachineRecorder::ProductIdA));
    QCOMPARE(recorder.takeLog(), identifyLog);
    recorder.giveData("L" + ReportedConfiguration.toLatin1());

    QCOMPARE(recorder.takeLog(), connectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateConnected"));
    QCOMPARE(int(SaveStatusTracker::instance()->configurationType()), typeAfter);
    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), true);
    TestDevice *device = recorder.currentTestDevice();
    QCOMPARE(device == loaded.data(), identifyLog.size() == 4);
    QCOMPARE(device->deserializeCalls(), QList<QByteArray>());
    QCOMPARE(device->deviceInfoUpdates().last(), ReportedConfiguration.toLatin1());
}

void tst_StateMachineDefinition::identification_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("deviceIdString");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("productId");

    QTest::newRow("plain; eight bytes, not cut") << QByteArray("KT Bridge CW 1.0") << "KT Bridge CW 1.0"
                                                 << QByteArray::fromHex("000102030405060708") << "0102030405060708";
    QTest::newRow("up to the zero byte; six bytes") << QByteArray("KT Bridge\0garbage", 17) << "KT Bridge"
                                                    << QByteArray::fromHex("ff0000000000b1") << "0000000000b1";
    QTest::newRow("utf-8; short, padded") << QByteArray("Br\xc3\xbc""cke") << QString::fromUtf8("Br\xc3\xbc""cke")
                                          << QByteArray::fromHex("00c0de") << "00000000c0de";
    QTest::newRow("anything; lowercase") << QByteArray("\x01\x02") << "\x01\x02" << QByteArray::fromHex("01ABCDEF")
                                         << "000000abcdef";
    // Not a reply starting with a zero byte here: that would repeat the empty text.
    QTest::newRow("zero byte first; leading byte only") << QByteArray("\0rest", 5) << "" << QByteArray("\x07")
                                                        << "000000000000";
}

// Row 5: any non-empty first payload is the identification text. Row 10: the bytes
// after the first, as lowercase hexadecimal, at least 12 digits, are the product ID
// the device factory is asked for.
void tst_StateMachineDefinition::identification()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, deviceIdString);
    QFETCH(QByteArray, reply);
    QFETCH(QString, productId);

    MachineRecorder recorder;
    recorder.reach(Start::AttemptingConnection);
    recorder.giveData(payload);

    QCOMPARE(recorder.takeLog().first(), QStringLiteral("deviceIdStringChanged \"%1\"").arg(deviceIdString));
    QCOMPARE(recorder.machine().currentDeviceIdString(), deviceIdString);
    QCOMPARE(recorder.state(), QStringLiteral("StateReadProductId"));

    const QString warning = QStringLiteral("Could not find driver for product ID \"%1\"").arg(productId);
    QTest::ignoreMessage(QtWarningMsg, warning.toUtf8().constData());
    recorder.giveData(reply);

    QVERIFY(recorder.takeLog().contains(QStringLiteral("deviceUnsupported \"%1\" \"%2\"").arg(deviceIdString, productId)));
}

// Course 3: row 22, then row 33 with the read requested.
void tst_StateMachineDefinition::readOnRequest()
{
    MachineRecorder recorder;
    recorder.machine().process_event(EventSetDevice{MachineRecorder::loadedDevice({MachineRecorder::ProductIdA})});
    SaveStatusTracker::instance()->setConfigurationType(Types::CONFIGURATION_TYPE_FILE);
    SaveStatusTracker::instance()->setSaveNeeded(true);
    recorder.reach(Start::Connected);

    recorder.give(Kind::ReadDeviceConfiguration);
    QCOMPARE(recorder.takeLog(), (QStringList{"busyChanged true", "startTimeoutWatch 10000", "writeData " + ReadProtobufFrame}));
    QCOMPARE(recorder.machine().isReadRequested(), true);
    QCOMPARE(recorder.machine().isConnected(), true);
    QCOMPARE(recorder.machine().isBusy(), true);

    recorder.giveData("Lfrom device");
    QCOMPARE(recorder.takeLog(), QStringList({"configurationType 2", "saveNeeded false", "readFromDeviceSuccessful"})
                                     + connectedEntries());
    QCOMPARE(recorder.currentTestDevice()->deserializeCalls(), QList<QByteArray>{"from device"});
    QCOMPARE(recorder.state(), QStringLiteral("StateConnected"));
}

// Course 4: row 23 sends the current configuration, row 39 confirms.
void tst_StateMachineDefinition::writeOnRequest()
{
    MachineRecorder recorder;
    recorder.reach(Start::Connected);
    recorder.currentTestDevice()->setConfiguration(QByteArray::fromHex("0102"));

    recorder.give(Kind::WriteDeviceConfiguration);
    QCOMPARE(recorder.takeLog(), (QStringList{"busyChanged true", "startTimeoutWatch 10000", "writeData 430003530102100d"}));
    QCOMPARE(recorder.machine().isConnected(), true);

    recorder.giveData("S");
    QCOMPARE(recorder.takeLog(), QStringList{"writeToDeviceSuccessful"} + connectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateConnected"));
}

void tst_StateMachineDefinition::leaveConnection_data()
{
    QTest::addColumn<Kind>("event");
    QTest::addColumn<QStringList>("actionLog");

    QTest::newRow("row 21: disconnect") << Kind::Disconnect << QStringList();
    QTest::newRow("row 24: normal operation")
        << Kind::EnterNormalOperation << QStringList{"writeData 43000151130d", "disconnectSuccessful"};
    QTest::newRow("row 25: pairing mode")
        << Kind::EnterPairingMode << QStringList{"writeData 430001591b0d", "pairingModeSuccessful"};
    QTest::newRow("row 26: factory reset")
        << Kind::FactoryReset << QStringList{"busyChanged true", "writeData 4300015a180d", "factoryResetSuccessful"};
}

// Course 5: each way out of StateConnected passes StateInitialization.
void tst_StateMachineDefinition::leaveConnection()
{
    QFETCH(Kind, event);
    QFETCH(QStringList, actionLog);

    MachineRecorder recorder;
    recorder.reach(Start::Connected);
    TestDevice *device = recorder.currentTestDevice();

    recorder.give(event);

    QCOMPARE(recorder.takeLog(), actionLog + endEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
    // The device object stays, without what the device reported.
    QCOMPARE(recorder.currentTestDevice(), device);
    QCOMPARE(device->deviceInfoUpdates().last(), QByteArray());
    QVERIFY(!device->deviceInfo());
    QCOMPARE(recorder.machine().currentDeviceIdString(), QString());
    QCOMPARE(recorder.machine().currentProductId(), QString());
}

void tst_StateMachineDefinition::endsDisconnected_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<Kind>("event");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("factoryWarning");
    QTest::addColumn<QStringList>("log");

    const QStringList early = resetEntries() + disconnectedEntries();
    const auto row = [](const char *name, Start start, Kind event, const QStringList &log,
                        const QByteArray &reply = QByteArray(), const QString &warning = QString()) {
        QTest::newRow(name) << start << event << reply << warning << log;
    };
    row("row 6: empty identification", Start::AttemptingConnection, Kind::NewData,
        QStringList{"deviceUnsupported \"\" \"\""} + early);
    row("row 7", Start::AttemptingConnection, Kind::Disconnect, early);
    row("row 8", Start::AttemptingConnection, Kind::CommsError, early);
    row("row 9", Start::AttemptingConnection, Kind::Timeout, early);
    row("row 11: empty product ID", Start::ReadProductId, Kind::NewData,
        QStringList{"deviceUnsupported \"KT Bridge CW 1.0\" \"\""} + early);
    row("row 12", Start::ReadProductId, Kind::Disconnect, early);
    row("row 13", Start::ReadProductId, Kind::CommsError, early);
    row("row 14", Start::ReadProductId, Kind::Timeout, early);
    row("row 17: no driver", Start::ReadProductId, Kind::NewData,
        QStringList{"currentDeviceChanged null", "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000ff\""} + early,
        MachineRecorder::productIdReply("0000000000ff"), "Could not find driver for product ID \"0000000000ff\"");
    row("row 29", Start::Connected, Kind::CommsError, endEntries());
    row("row 30", Start::Connected, Kind::Timeout, endEntries());
    row("row 31", Start::Connected, Kind::LoadError, endEntries());
    row("row 34", Start::ReadDeviceConfiguration, Kind::NewData, QStringList{"deviceError"} + endEntries(), "E");
    row("row 35", Start::ReadDeviceConfiguration, Kind::Disconnect, endEntries());
    row("row 36", Start::ReadDeviceConfiguration, Kind::CommsError, endEntries());
    row("row 37", Start::ReadDeviceConfiguration, Kind::Timeout, endEntries());
    row("row 38", Start::ReadDeviceConfiguration, Kind::LoadError, endEntries());
    row("row 41", Start::WriteDeviceConfiguration, Kind::NewData, QStringList{"deviceError"} + endEntries(),
        "E\x02 flash");
    row("row 42", Start::WriteDeviceConfiguration, Kind::Disconnect, endEntries());
    row("row 43", Start::WriteDeviceConfiguration, Kind::CommsError, endEntries());
    row("row 44", Start::WriteDeviceConfiguration, Kind::Timeout, endEntries());
}

// Course 6 and the other ways back: through StateError (rows 45 and 1, which report
// nothing of their own) within the one event. A disconnect sends no device command
// and reports no success: the device stays in its boot loader.
void tst_StateMachineDefinition::endsDisconnected()
{
    QFETCH(Start, start);
    QFETCH(Kind, event);
    QFETCH(QByteArray, reply);
    QFETCH(QString, factoryWarning);
    QFETCH(QStringList, log);

    MachineRecorder recorder;
    recorder.reach(start);
    if (!factoryWarning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, factoryWarning.toUtf8().constData());
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
    const QList<Kind> notInDisconnected{Kind::Disconnect, Kind::EnterNormalOperation, Kind::EnterPairingMode,
                                        Kind::FactoryReset, Kind::ReadDeviceConfiguration,
                                        Kind::WriteDeviceConfiguration, Kind::NewData, Kind::CommsError,
                                        Kind::Timeout, Kind::LoadError};
    for (Kind kind : notInDisconnected)
        QTest::addRow("disconnected, %s", QMetaEnum::fromType<Kind>().valueToKey(int(kind)))
            << Start::Disconnected << kind << unexpected;

    const QList<Start> busyStates{Start::AttemptingConnection, Start::ReadProductId, Start::ReadDeviceConfiguration,
                                  Start::WriteDeviceConfiguration};
    const QList<Kind> notWhileBusy{Kind::Connect, Kind::SetDevice, Kind::Autoflash, Kind::EnterNormalOperation,
                                   Kind::ReadDeviceConfiguration, Kind::WriteDeviceConfiguration};
    for (Start start : busyStates) {
        for (Kind kind : notWhileBusy) {
            QTest::addRow("%s, %s", QMetaEnum::fromType<Start>().valueToKey(int(start)),
                          QMetaEnum::fromType<Kind>().valueToKey(int(kind)))
                << start << kind << unexpected;
        }
    }
    QTest::newRow("attempting, load error") << Start::AttemptingConnection << Kind::LoadError << unexpected;
    QTest::newRow("product ID, load error") << Start::ReadProductId << Kind::LoadError << unexpected;
    QTest::newRow("writing, load error") << Start::WriteDeviceConfiguration << Kind::LoadError << unexpected;
    QTest::newRow("connected, connect") << Start::Connected << Kind::Connect << unexpected;
    QTest::newRow("connected, autoflash") << Start::Connected << Kind::Autoflash << unexpected;
    QTest::newRow("connected, data") << Start::Connected << Kind::NewData << unexpected;

    // Replies no row takes.
    const auto reply = [](const char *name, Start start, const QByteArray &data) {
        QTest::newRow(name) << start << Kind::NewData << data;
    };
    reply("identification while reading the product ID", Start::ReadProductId, MachineRecorder::Identification);
    reply("identification with zero byte", Start::ReadProductId,
          MachineRecorder::Identification + QByteArray("\0tail", 5));
    reply("identification while reading", Start::ReadDeviceConfiguration, MachineRecorder::Identification);
    reply("identification while writing", Start::WriteDeviceConfiguration, MachineRecorder::Identification);
    reply("read answered as a write", Start::ReadDeviceConfiguration, "S");
    reply("read answered with junk", Start::ReadDeviceConfiguration, "l lower case");
    reply("write answered as a read", Start::WriteDeviceConfiguration, "Lconfig");
    reply("empty write reply", Start::WriteDeviceConfiguration, QByteArray());
}

// Pairs without a row are dropped silently: nothing is emitted (the watch keeps
// running), and the state and the device object stay.
void tst_StateMachineDefinition::droppedEvents()
{
    QFETCH(Start, start);
    QFETCH(Kind, event);
    QFETCH(QByteArray, reply);

    MachineRecorder recorder;
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
    QTest::addColumn<bool>("null");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("takesReport");

    QTest::newRow("row 3") << Start::Disconnected << QStringList{"0000000000b1"} << false
                           << QStringList{"currentDeviceChanged null", "currentDeviceChanged File A"} + disconnectedEntries()
                           << "StateDisconnected" << false;
    QTest::newRow("row 3, null device") << Start::Disconnected << QStringList() << true << disconnectedEntries()
                                        << "StateDisconnected" << false;
    QTest::newRow("row 27, same primary product")
        << Start::Connected << QStringList{"0000000000a1"} << false
        << QStringList{"currentDeviceChanged null", "currentDeviceChanged File A"} + connectedEntries()
        << "StateConnected" << true;
    QTest::newRow("row 27, product served second")
        << Start::Connected << QStringList{"0000000000a2", "0000000000a1"} << false
        << QStringList{"currentDeviceChanged null", "currentDeviceChanged File A"} + connectedEntries()
        << "StateConnected" << false;
    QTest::newRow("row 28, another product")
        << Start::Connected << QStringList{"0000000000b1"} << false
        << QStringList{"currentDeviceChanged null", "currentDeviceChanged File A"} + disconnectedEntries()
        << "StateDisconnected" << false;
    QTest::newRow("row 28, null device") << Start::Connected << QStringList() << true << disconnectedEntries()
                                         << "StateDisconnected" << false;
}

// Course 7. Leaving the connection by row 28 neither closes it nor forgets the
// identification text.
void tst_StateMachineDefinition::setDevice()
{
    QFETCH(Start, start);
    QFETCH(QStringList, productIds);
    QFETCH(bool, null);
    QFETCH(QStringList, log);
    QFETCH(QString, state);
    QFETCH(bool, takesReport);

    MachineRecorder recorder;
    recorder.reach(start);
    const QSharedPointer<QVt::Device::AbstractDevice> before = recorder.machine().sharedCurrentDevice();
    const QString deviceIdString = recorder.machine().currentDeviceIdString();
    const QSharedPointer<TestDevice> device = null ? nullptr : MachineRecorder::loadedDevice(productIds);

    recorder.machine().process_event(EventSetDevice{device});

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), state);
    QCOMPARE(recorder.machine().currentDeviceObject(), null ? before.data() : device.data());
    QCOMPARE(recorder.machine().currentDeviceIdString(), deviceIdString);
    if (!null) {
        QCOMPARE(recorder.machine().currentProductId(), productIds.first());
        QCOMPARE(device->deviceInfoUpdates(),
                 takesReport ? QList<QByteArray>{before->serialize()} : QList<QByteArray>());
    }
}

void tst_StateMachineDefinition::operationFromSignalRunsAfterTransition_data()
{
    QTest::addColumn<QString>("signal");
    QTest::addColumn<Start>("start");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<Kind>("operation");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("state");

    QTest::newRow("write asked for when the read succeeds")
        << "readFromDeviceSuccessful" << Start::ReadDeviceConfiguration << QByteArray("Lnew")
        << Kind::WriteDeviceConfiguration
        << QStringList{"readFromDeviceSuccessful"} + connectedEntries()
               + QStringList{"busyChanged true", "startTimeoutWatch 10000", "writeData 430004536e6577680d"}
        << "StateWriteDeviceConfiguration";
    QTest::newRow("disconnect asked for when the device is announced")
        << "currentDeviceChanged" << Start::ReadProductId << MachineRecorder::productIdReply(MachineRecorder::ProductIdA)
        << Kind::Disconnect
        << QStringList{"currentDeviceChanged Test A", "connectSuccessful", "busyChanged true",
                       "startTimeoutWatch 10000", "writeData " + ReadProtobufFrame}
               + resetEntries() + disconnectedEntries()
        << "StateDisconnected";
    QTest::newRow("connect asked for on an error reply, after the anonymous rows")
        << "deviceError" << Start::WriteDeviceConfiguration << QByteArray("E") << Kind::Connect
        << QStringList{"deviceError"} + endEntries()
               + QStringList{"busyChanged true", "startCyclicWrite " + BootSequenceFrame + " 500 true",
                             "startTimeoutWatch 10000"}
        << "StateAttemptingConnection";
}

// An operation requested from inside a signal of a transition waits for that
// transition and its anonymous rows.
void tst_StateMachineDefinition::operationFromSignalRunsAfterTransition()
{
    QFETCH(QString, signal);
    QFETCH(Start, start);
    QFETCH(QByteArray, reply);
    QFETCH(Kind, operation);
    QFETCH(QStringList, log);
    QFETCH(QString, state);

    MachineRecorder recorder;
    recorder.reach(start);
    bool asked = false;
    auto ask = [&] {
        if (!asked) {
            asked = true;
            recorder.give(operation);
        }
    };
    Machine &machine = recorder.machine();
    if (signal == "readFromDeviceSuccessful")
        QObject::connect(&machine, &Machine::readFromDeviceSuccessful, ask);
    else if (signal == "currentDeviceChanged")
        QObject::connect(&machine, &Machine::currentDeviceChanged, ask);
    else
        QObject::connect(&machine, &Machine::deviceError, ask);

    recorder.giveData(reply);

    QVERIFY(asked);
    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), state);
}

// A device that rejects the configuration read right after connecting: its load
// error is queued and ends the connection from StateConnected (row 31).
void tst_StateMachineDefinition::loadErrorDuringAutomaticRead()
{
    MachineRecorder recorder;
    recorder.reach(Start::ReadProductId);
    Machine &machine = recorder.machine();
    QObject::connect(&machine, &Machine::currentDeviceChanged, [&machine](QObject *device) {
        if (auto *testDevice = qobject_cast<TestDevice *>(device)) {
            QObject::connect(testDevice, &TestDevice::loadError, [&machine](QVt::Pb::Configuration::File::LOAD_ERROR error) {
                machine.process_event(EventLoadError{error});
            });
        }
    });
    recorder.giveData(MachineRecorder::productIdReply(MachineRecorder::ProductIdA));
    recorder.takeLog();

    recorder.giveData("L" + TestDevice::UnloadableConfiguration);

    QCOMPARE(recorder.takeLog(), QStringList({"configurationType 2", "readFromDeviceSuccessful"}) + connectedEntries()
                                     + endEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

// A throwing action is caught: the row counts as fired (its target is current, its
// target's entry did not run) and the queue is still worked off.
void tst_StateMachineDefinition::exceptionInAction()
{
    MachineRecorder recorder;
    recorder.reach(Start::ReadDeviceConfiguration);
    TestDevice *device = recorder.currentTestDevice();
    device->setThrowing(true);
    Machine &machine = recorder.machine();
    QObject::connect(device, &TestDevice::saveNeeded, [&machine] { machine.process_event(EventDisconnect{}); });

    QTest::ignoreMessage(QtWarningMsg, "Caught an exception in a state machine action: \"cannot deserialize\"");
    recorder.giveData("Lconfig");

    // Row 21, which only StateConnected has, handled the queued disconnect.
    QCOMPARE(recorder.takeLog(), endEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

// An entry action throwing while a state's anonymous rows are tried: the anonymous
// rows go on from the state entered.
void tst_StateMachineDefinition::exceptionInAnonymousRow()
{
    MachineRecorder recorder;
    recorder.reach(Start::ReadProductId);
    TestDevice::setInstancesFail(true);

    QTest::ignoreMessage(QtWarningMsg, "Caught an exception in a state machine action: \"no memory for a new device\"");
    recorder.giveData(MachineRecorder::productIdReply(MachineRecorder::ProductIdA));

    QCOMPARE(recorder.takeLog(), QStringList{"deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000a1\""}
                                     + resetEntries() + disconnectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

// The target of an anonymous row throws on entry: the machine rests there (and does
// not try the row again and again) until the watch ends the exchange.
void tst_StateMachineDefinition::exceptionInEntryOfAnonymousRowTarget()
{
    MachineRecorder recorder;
    QSharedPointer<TestDevice> loaded = MachineRecorder::loadedDevice({MachineRecorder::ProductIdA});
    loaded->setThrowing(true);
    recorder.machine().process_event(EventSetDevice{loaded});
    recorder.give(Kind::Autoflash);
    recorder.giveData(MachineRecorder::Identification);
    recorder.takeLog();

    QTest::ignoreMessage(QtWarningMsg, "Caught an exception in a state machine action: \"cannot serialize\"");
    recorder.giveData(MachineRecorder::productIdReply(MachineRecorder::ProductIdA));

    QCOMPARE(recorder.takeLog(), (QStringList{"connectSuccessful"} + connectedEntries()
                                  + QStringList{"busyChanged true", "startTimeoutWatch 10000"}));
    QCOMPARE(recorder.state(), QStringLiteral("StateWriteDeviceConfiguration"));

    QCOMPARE(runToExit([&] { recorder.give(Kind::Timeout); }), std::make_pair(-1, QByteArray("ERROR\n")));
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

// Course 8: rows 4, 5, 10, 16, 32 and 40 (not 39); "SUCCESS" once, no second write.
void tst_StateMachineDefinition::autoflashSuccess()
{
    MachineRecorder recorder;
    QSharedPointer<TestDevice> loaded = MachineRecorder::loadedDevice({MachineRecorder::ProductIdA});
    loaded->setConfiguration(QByteArray::fromHex("0102"));
    recorder.machine().process_event(EventSetDevice{loaded});
    SaveStatusTracker::instance()->setConfigurationType(Types::CONFIGURATION_TYPE_FILE);
    recorder.takeLog();

    recorder.give(Kind::Autoflash);
    QCOMPARE(recorder.machine().isAutoflash(), true);
    recorder.giveData(MachineRecorder::Identification);
    recorder.takeLog();
    recorder.giveData(MachineRecorder::productIdReply(MachineRecorder::ProductIdA));
    QCOMPARE(recorder.takeLog(), (QStringList{"connectSuccessful"} + connectedEntries()
                                  + QStringList{"busyChanged true", "startTimeoutWatch 10000",
                                                "writeData 430003530102100d"}));
    QCOMPARE(recorder.state(), QStringLiteral("StateWriteDeviceConfiguration"));
    QCOMPARE(TestDevice::instancesMade(), 0);

    QCOMPARE(runToExit([&] { recorder.giveData("S"); }), std::make_pair(0, QByteArray("SUCCESS\n")));
    QCOMPARE(recorder.takeLog(), connectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateConnected"));
}

void tst_StateMachineDefinition::autoflashFailures_data()
{
    QTest::addColumn<QStringList>("loadedProductIds");
    QTest::addColumn<QByteArray>("productIdReply");
    QTest::addColumn<QByteArray>("writeReply");
    QTest::addColumn<QStringList>("failureLog");

    const QByteArray productA = MachineRecorder::productIdReply(MachineRecorder::ProductIdA);
    QTest::newRow("error reply") << QStringList{"0000000000a1"} << productA << QByteArray("E")
                                 << QStringList{"deviceError"};
    QTest::newRow("silence") << QStringList{"0000000000a1"} << productA << QByteArray() << QStringList();
    QTest::newRow("file for another product")
        << QStringList{"0000000000b1"} << productA << QByteArray()
        << QStringList{"currentDeviceChanged null", "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000a1\""};
    QTest::newRow("file did not load")
        << QStringList() << productA << QByteArray()
        << QStringList{"currentDeviceChanged null", "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000a1\""};
}

// Any way into StateError fires row 46 (not 45): "ERROR" and exit status -1; a run
// never writes a configuration that did not come from its start-up file.
void tst_StateMachineDefinition::autoflashFailures()
{
    QFETCH(QStringList, loadedProductIds);
    QFETCH(QByteArray, productIdReply);
    QFETCH(QByteArray, writeReply);
    QFETCH(QStringList, failureLog);

    MachineRecorder recorder;
    if (!loadedProductIds.isEmpty())
        recorder.machine().process_event(EventSetDevice{MachineRecorder::loadedDevice(loadedProductIds)});
    recorder.give(Kind::Autoflash);
    recorder.giveData(MachineRecorder::Identification);
    recorder.takeLog();

    const std::pair<int, QByteArray> exit = runToExit([&] {
        recorder.giveData(productIdReply);
        if (recorder.state() == "StateWriteDeviceConfiguration") {
            recorder.takeLog();
            if (writeReply.isEmpty())
                recorder.give(Kind::Timeout);
            else
                recorder.giveData(writeReply);
        }
    });

    QCOMPARE(exit, std::make_pair(-1, QByteArray("ERROR\n")));
    const QStringList log = recorder.takeLog();
    QCOMPARE(log, failureLog + resetEntries() + disconnectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
    QCOMPARE(recorder.machine().isAutoflash(), false);
    QCOMPARE(TestDevice::instancesMade(), 0);
}

QTEST_GUILESS_MAIN(tst_StateMachineDefinition)

#include "tst_stateMachineDefinition.moc"
