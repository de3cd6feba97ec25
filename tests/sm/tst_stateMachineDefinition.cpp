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

// What the process writes to its standard error stream while one of these lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        mFile.open();
        std::fflush(stderr);
        mSaved = ::dup(STDERR_FILENO);
        ::dup2(mFile.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }

    QByteArray text()
    {
        restore();
        mFile.seek(0);
        return mFile.readAll();
    }

private:
    void restore()
    {
        if (mSaved < 0)
            return;
        std::fflush(stderr);
        ::dup2(mSaved, STDERR_FILENO);
        ::close(mSaved);
        mSaved = -1;
    }

    QTemporaryFile mFile;
    int mSaved = -1;
};

// Runs the application's event loop until something calls QCoreApplication::exit,
// doing step first; returns the exit status (or 1000 when nothing ended the loop).
int exitStatusOf(const std::function<void()> &step)
{
    QTimer::singleShot(0, step);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1000); });
    guard.start(5000);
    return QCoreApplication::exec();
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
    void identificationText_data();
    void identificationText();
    void productId_data();
    void productId();
    void unsupportedDevice_data();
    void unsupportedDevice();
    void readOnRequest();
    void writeOnRequest();
    void leaveConnection_data();
    void leaveConnection();
    void disconnectWhileExchanging_data();
    void disconnectWhileExchanging();
    void failures_data();
    void failures();
    void errorReplies_data();
    void errorReplies();
    void ignoredReplies_data();
    void ignoredReplies();
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

void tst_StateMachineDefinition::identificationText_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("deviceIdString");

    QTest::newRow("plain") << QByteArray("KT Bridge CW 1.0") << "KT Bridge CW 1.0";
    QTest::newRow("up to the zero byte") << QByteArray("KT Bridge\0garbage", 17) << "KT Bridge";
    QTest::newRow("utf-8") << QByteArray("Br\xc3\xbc""cke") << QString::fromUtf8("Br\xc3\xbc""cke");
    QTest::newRow("anything") << QByteArray("\x01\x02") << "\x01\x02";
    QTest::newRow("zero byte first") << QByteArray("\0rest", 5) << "";
}

// Row 5: any non-empty first payload is the identification text.
void tst_StateMachineDefinition::identificationText()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, deviceIdString);

    MachineRecorder recorder;
    recorder.reach(Start::AttemptingConnection);
    recorder.giveData(payload);

    QCOMPARE(recorder.takeLog().first(), QStringLiteral("deviceIdStringChanged \"%1\"").arg(deviceIdString));
    QCOMPARE(recorder.machine().currentDeviceIdString(), deviceIdString);
    QCOMPARE(recorder.state(), QStringLiteral("StateReadProductId"));
}

void tst_StateMachineDefinition::productId_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("productId");

    QTest::newRow("leading byte only") << QByteArray("\x07") << "000000000000";
    QTest::newRow("six bytes") << QByteArray::fromHex("ff0000000000b1") << "0000000000b1";
    QTest::newRow("short, padded") << QByteArray::fromHex("00c0de") << "00000000c0de";
    QTest::newRow("lowercase") << QByteArray::fromHex("01ABCDEF") << "000000abcdef";
    QTest::newRow("eight bytes, not cut") << QByteArray::fromHex("000102030405060708") << "0102030405060708";
}

// Row 10: the bytes after the first, as lowercase hexadecimal, at least 12 digits;
// the device factory is asked for that product ID.
void tst_StateMachineDefinition::productId()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, productId);

    MachineRecorder recorder;
    recorder.reach(Start::ReadProductId);
    const QString warning = QStringLiteral("Could not find driver for product ID \"%1\"").arg(productId);
    QTest::ignoreMessage(QtWarningMsg, warning.toUtf8().constData());
    recorder.giveData(reply);

    QVERIFY(recorder.takeLog().contains(QStringLiteral("deviceUnsupported \"KT Bridge CW 1.0\" \"%1\"").arg(productId)));
}

void tst_StateMachineDefinition::unsupportedDevice_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("factoryWarning");

    QTest::newRow("row 6: empty identification")
        << Start::AttemptingConnection << QByteArray()
        << QStringList{"deviceUnsupported \"\" \"\""} + resetEntries() + disconnectedEntries() << QString();
    QTest::newRow("row 11: empty product ID")
        << Start::ReadProductId << QByteArray()
        << QStringList{"deviceUnsupported \"KT Bridge CW 1.0\" \"\""} + resetEntries() + disconnectedEntries()
        << QString();
    QTest::newRow("row 17: no driver")
        << Start::ReadProductId << MachineRecorder::productIdReply("0000000000ff")
        << QStringList{"currentDeviceChanged null", "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000ff\""}
               + resetEntries() + disconnectedEntries()
        << "Could not find driver for product ID \"0000000000ff\"";
}

void tst_StateMachineDefinition::unsupportedDevice()
{
    QFETCH(Start, start);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, log);
    QFETCH(QString, factoryWarning);

    MachineRecorder recorder;
    recorder.reach(start);
    if (!factoryWarning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, factoryWarning.toUtf8().constData());
    recorder.giveData(reply);

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
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

void tst_StateMachineDefinition::disconnectWhileExchanging_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("row 7") << Start::AttemptingConnection << resetEntries() + disconnectedEntries();
    QTest::newRow("row 12") << Start::ReadProductId << resetEntries() + disconnectedEntries();
    QTest::newRow("row 35") << Start::ReadDeviceConfiguration << endEntries();
    QTest::newRow("row 42") << Start::WriteDeviceConfiguration << endEntries();
}

// No device command and no success signal: the device stays in its boot loader.
void tst_StateMachineDefinition::disconnectWhileExchanging()
{
    QFETCH(Start, start);
    QFETCH(QStringList, log);

    MachineRecorder recorder;
    recorder.reach(start);
    recorder.give(Kind::Disconnect);

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

void tst_StateMachineDefinition::failures_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<Kind>("event");
    QTest::addColumn<QStringList>("log");

    const QStringList early = resetEntries() + disconnectedEntries();
    QTest::newRow("row 8") << Start::AttemptingConnection << Kind::CommsError << early;
    QTest::newRow("row 9") << Start::AttemptingConnection << Kind::Timeout << early;
    QTest::newRow("row 13") << Start::ReadProductId << Kind::CommsError << early;
    QTest::newRow("row 14") << Start::ReadProductId << Kind::Timeout << early;
    QTest::newRow("row 29") << Start::Connected << Kind::CommsError << endEntries();
    QTest::newRow("row 30") << Start::Connected << Kind::Timeout << endEntries();
    QTest::newRow("row 31") << Start::Connected << Kind::LoadError << endEntries();
    QTest::newRow("row 36") << Start::ReadDeviceConfiguration << Kind::CommsError << endEntries();
    QTest::newRow("row 37") << Start::ReadDeviceConfiguration << Kind::Timeout << endEntries();
    QTest::newRow("row 38") << Start::ReadDeviceConfiguration << Kind::LoadError << endEntries();
    QTest::newRow("row 43") << Start::WriteDeviceConfiguration << Kind::CommsError << endEntries();
    QTest::newRow("row 44") << Start::WriteDeviceConfiguration << Kind::Timeout << endEntries();
}

// Course 6: into StateError, and by rows 45 and 1 on to StateDisconnected within
// the one event; StateError itself reports nothing.
void tst_StateMachineDefinition::failures()
{
    QFETCH(Start, start);
    QFETCH(Kind, event);
    QFETCH(QStringList, log);

    MachineRecorder recorder;
    recorder.reach(start);
    recorder.give(event);

    QCOMPARE(recorder.takeLog(), log);
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

void tst_StateMachineDefinition::errorReplies_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("row 34") << Start::ReadDeviceConfiguration << QByteArray("E");
    QTest::newRow("row 41") << Start::WriteDeviceConfiguration << QByteArray("E\x02 flash");
}

void tst_StateMachineDefinition::errorReplies()
{
    QFETCH(Start, start);
    QFETCH(QByteArray, reply);

    MachineRecorder recorder;
    recorder.reach(start);
    recorder.giveData(reply);

    QCOMPARE(recorder.takeLog(), QStringList{"deviceError"} + endEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
}

void tst_StateMachineDefinition::ignoredReplies_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray repeated = MachineRecorder::Identification;
    const QByteArray repeatedWithZero = MachineRecorder::Identification + QByteArray("\0tail", 5);
    QTest::newRow("identification while reading the product ID") << Start::ReadProductId << repeated;
    QTest::newRow("identification with zero byte") << Start::ReadProductId << repeatedWithZero;
    QTest::newRow("identification while reading") << Start::ReadDeviceConfiguration << repeated;
    QTest::newRow("identification while writing") << Start::WriteDeviceConfiguration << repeated;
    QTest::newRow("read answered as a write") << Start::ReadDeviceConfiguration << QByteArray("S");
    QTest::newRow("read answered with junk") << Start::ReadDeviceConfiguration << QByteArray("l lower case");
    QTest::newRow("write answered as a read") << Start::WriteDeviceConfiguration << QByteArray("Lconfig");
    QTest::newRow("empty write reply") << Start::WriteDeviceConfiguration << QByteArray();
}

// No row fires: nothing is emitted and the watch keeps running.
void tst_StateMachineDefinition::ignoredReplies()
{
    QFETCH(Start, start);
    QFETCH(QByteArray, reply);

    MachineRecorder recorder;
    recorder.reach(start);
    const QString state = recorder.state();
    recorder.giveData(reply);

    QCOMPARE(recorder.takeLog(), QStringList());
    QCOMPARE(recorder.state(), state);
}

void tst_StateMachineDefinition::droppedEvents_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<Kind>("event");

    const QList<Kind> notInDisconnected{Kind::Disconnect, Kind::EnterNormalOperation, Kind::EnterPairingMode,
                                        Kind::FactoryReset, Kind::ReadDeviceConfiguration,
                                        Kind::WriteDeviceConfiguration, Kind::NewData, Kind::CommsError,
                                        Kind::Timeout, Kind::LoadError};
    for (Kind kind : notInDisconnected)
        QTest::addRow("disconnected, %s", QMetaEnum::fromType<Kind>().valueToKey(int(kind))) << Start::Disconnected << kind;

    const QList<Start> busyStates{Start::AttemptingConnection, Start::ReadProductId, Start::ReadDeviceConfiguration,
                                  Start::WriteDeviceConfiguration};
    const QList<Kind> notWhileBusy{Kind::Connect, Kind::SetDevice, Kind::Autoflash, Kind::EnterNormalOperation,
                                   Kind::ReadDeviceConfiguration, Kind::WriteDeviceConfiguration};
    for (Start start : busyStates) {
        for (Kind kind : notWhileBusy) {
            QTest::addRow("%s, %s", QMetaEnum::fromType<Start>().valueToKey(int(start)),
                          QMetaEnum::fromType<Kind>().valueToKey(int(kind)))
                << start << kind;
        }
    }
    QTest::newRow("attempting, load error") << Start::AttemptingConnection << Kind::LoadError;
    QTest::newRow("product ID, load error") << Start::ReadProductId << Kind::LoadError;
    QTest::newRow("writing, load error") << Start::WriteDeviceConfiguration << Kind::LoadError;
    QTest::newRow("connected, connect") << Start::Connected << Kind::Connect;
    QTest::newRow("connected, autoflash") << Start::Connected << Kind::Autoflash;
    QTest::newRow("connected, data") << Start::Connected << Kind::NewData;
}

// Pairs without a row are dropped silently; the device object stays.
void tst_StateMachineDefinition::droppedEvents()
{
    QFETCH(Start, start);
    QFETCH(Kind, event);

    MachineRecorder recorder;
    recorder.reach(start);
    const QString state = recorder.state();
    QObject *device = recorder.machine().currentDeviceObject();

    recorder.give(event);

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

    StderrCapture stderrCapture;
    QCOMPARE(exitStatusOf([&] { recorder.give(Kind::Timeout); }), -1);
    QCOMPARE(stderrCapture.text(), QByteArray("ERROR\n"));
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

    StderrCapture stderrCapture;
    QCOMPARE(exitStatusOf([&] { recorder.giveData("S"); }), 0);
    QCOMPARE(stderrCapture.text(), QByteArray("SUCCESS\n"));
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

    StderrCapture stderrCapture;
    const int status = exitStatusOf([&] {
        recorder.giveData(productIdReply);
        if (recorder.state() == "StateWriteDeviceConfiguration") {
            recorder.takeLog();
            if (writeReply.isEmpty())
                recorder.give(Kind::Timeout);
            else
                recorder.giveData(writeReply);
        }
    });

    QCOMPARE(status, -1);
    QCOMPARE(stderrCapture.text(), QByteArray("ERROR\n"));
    const QStringList log = recorder.takeLog();
    QCOMPARE(log, failureLog + resetEntries() + disconnectedEntries());
    QCOMPARE(recorder.state(), QStringLiteral("StateDisconnected"));
    QCOMPARE(recorder.machine().isAutoflash(), false);
    QCOMPARE(TestDevice::instancesMade(), 0);
}

QTEST_GUILESS_MAIN(tst_StateMachineDefinition)

#include "tst_stateMachineDefinition.moc"
