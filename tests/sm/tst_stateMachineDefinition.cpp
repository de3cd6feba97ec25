// The device state machine on its own: events in; signals, device calls and tracker
// changes out, in one ordered log; against a test driver plug-in beside the test binary.
#include "testDevice.h"

#include "config/saveStatusTracker.h"
#include "sm/stateMachineDefinition.h"

#include <boost/msm/back/metafunctions.hpp>

#include <QMetaEnum>
#include <QTest>

using QVt::Config::SaveStatusTracker;
using QVt::Global::Types;
using namespace QVt::Sm;
using D = StateMachineDefinition;

namespace {

// The device's identification text ends at its zero byte.
const QByteArray IDENTIFICATION = QByteArrayLiteral("KT Bridge CW 1.0\0boot");
const QByteArray PRODUCT_ID_REPLY = QByteArray::fromHex("010000000000a1");
const QString BOOT_SEQUENCE = QStringLiteral("startCyclicWrite 4300065a50584d42544c0d 500 true");
const QString READ_CONFIGURATION = QStringLiteral("writeData 4300014c0e0d");
const QString WATCH = QStringLiteral("startTimeoutWatch 10000");
const QStringList RESET = {"stopCyclicWrite", "connectedChanged false", "busyChanged false",
                           "deviceIdStringChanged \"\"", "stopTimeoutWatch"};
const QStringList DISCONNECTED = {"connectedChanged false", "busyChanged false", "stopTimeoutWatch"};
const QStringList CONNECTED = {"busyChanged false", "connectedChanged true", "stopTimeoutWatch"};
// A connection ends through StateInitialization into StateDisconnected: before a device
// object is there; with one, which forgets what the device reported about itself, and
// the configuration read from the device becomes a new one.
const QStringList EARLY_END = RESET + DISCONNECTED;
const QStringList DEVICE_END = RESET + QStringList{"updateDeviceInfo ", "configurationType 0"} + DISCONNECTED;

void (*const record)(const QString &) = &TestDevice::log;

template <class State>
int id()
{
    return boost::msm::back::get_state_id<Machine::stt, State>::value;
}

template <class Enum>
const char *key(Enum value)
{
    return QMetaEnum::fromType<Enum>().valueToKey(int(value));
}

} // namespace

// Runs one machine: logs everything it emits and every change it makes to the save status
// tracker into the test devices' log. Owns the machine; lives on the test's thread.
class MachineRecorder : public QObject
{
    Q_OBJECT

public:
    // Where a case starts, each reached through the rows a user's session takes.
    enum class Start { Disconnected, AttemptingConnection, ReadProductId, Connected, ReadDeviceConfiguration,
                       WriteDeviceConfiguration };
    Q_ENUM(Start)
    enum class Kind { Connect, Disconnect, EnterNormalOperation, EnterPairingMode, FactoryReset,
                      ReadDeviceConfiguration, WriteDeviceConfiguration, NewData, CommsError, Timeout, LoadError,
                      SetDevice, Autoflash };
    Q_ENUM(Kind)

    explicit MachineRecorder(QObject *parent)
        : QObject(parent)
    {
        connect(&mMachine, &D::writeData, this, [](const QByteArray &data) { record("writeData " + QString(data.toHex())); });
        connect(&mMachine, &D::startCyclicWrite, this, [](const QByteArray &data, int intervalMs, bool stopOnData) {
            record(QStringLiteral("startCyclicWrite %1 %2 %3").arg(QString(data.toHex())).arg(intervalMs).arg(QVariant(stopOnData).toString()));
        });
        connect(&mMachine, &D::stopCyclicWrite, this, [] { record("stopCyclicWrite"); });
        connect(&mMachine, &D::connectedChanged, this, [](bool connected) { record("connectedChanged " + QVariant(connected).toString()); });
        connect(&mMachine, &D::busyChanged, this, [](bool busy) { record("busyChanged " + QVariant(busy).toString()); });
        connect(&mMachine, &D::currentDeviceChanged, this, [](QObject *device) {
            record("currentDeviceChanged " + (device ? qobject_cast<TestDevice *>(device)->name() : QStringLiteral("null")));
        });
        connect(&mMachine, &D::deviceIdStringChanged, this, [](const QString &id) { record("deviceIdStringChanged \"" + id + '"'); });
        connect(&mMachine, &D::deviceUnsupported, this, [](const QString &id, const QString &productId) {
            record(QStringLiteral("deviceUnsupported \"%1\" \"%2\"").arg(id, productId));
        });
        connect(&mMachine, &D::deviceError, this, [] { record("deviceError"); });
        connect(&mMachine, &D::startTimeoutWatch, this, [](int ms) { record("startTimeoutWatch " + QString::number(ms)); });
        connect(&mMachine, &D::stopTimeoutWatch, this, [] { record("stopTimeoutWatch"); });
        connect(&mMachine, &D::connectSuccessful, this, [] { record("connectSuccessful"); });
        connect(&mMachine, &D::disconnectSuccessful, this, [] { record("disconnectSuccessful"); });
        connect(&mMachine, &D::readFromDeviceSuccessful, this, [] { record("readFromDeviceSuccessful"); });
        connect(&mMachine, &D::writeToDeviceSuccessful, this, [] { record("writeToDeviceSuccessful"); });
        connect(&mMachine, &D::factoryResetSuccessful, this, [] { record("factoryResetSuccessful"); });
        connect(&mMachine, &D::pairingModeSuccessful, this, [] { record("pairingModeSuccessful"); });
        connect(&mMachine, &D::configurationTooLarge, this, [] { record("configurationTooLarge"); });
        connect(&mMachine, &D::deviceInfoRead, this, [] { record("deviceInfoRead"); });
        connect(&mMachine, &D::editedConfigurationReplaced, this,
                [](const QString &name) { record("editedConfigurationReplaced " + name); });
        SaveStatusTracker *tracker = SaveStatusTracker::instance();
        connect(tracker, &SaveStatusTracker::configurationTypeChanged, this,
                [](Types::eConfigurationType type) { record("configurationType " + QString::number(type)); });
        connect(tracker, &SaveStatusTracker::saveNeededChanged, this, [](bool saveNeeded) { record("saveNeeded " + QVariant(saveNeeded).toString()); });
        mMachine.start();
    }

    int state() const { return mMachine.current_state()[0]; }

    // From StateDisconnected, with nothing loaded; leaves the log empty.
    void reach(Start start)
    {
        const QByteArray session[] = {{}, IDENTIFICATION, PRODUCT_ID_REPLY, "Lreported"};
        for (int step = 0; step < (start >= Start::Connected ? 4 : int(start)); ++step)
            give(step == 0 ? Kind::Connect : Kind::NewData, session[step]);
        if (start > Start::Connected)
            give(start == Start::ReadDeviceConfiguration ? Kind::ReadDeviceConfiguration : Kind::WriteDeviceConfiguration);
        TestDevice::takeLog();
    }

    // data: the payload of EventNewData; the product IDs, comma-separated, of the "File A"
    // device that EventSetDevice carries (none: a null device); the configuration the
    // current device holds when EventWriteDeviceConfiguration comes, if not empty.
    void give(Kind event, const QByteArray &data = QByteArray())
    {
        const QStringList productIds = QString::fromLatin1(data).split(',', Qt::SkipEmptyParts);
        switch (event) {
        case Kind::Connect: mMachine.process_event(EventConnect{}); break;
        case Kind::Disconnect: mMachine.process_event(EventDisconnect{}); break;
        case Kind::EnterNormalOperation: mMachine.process_event(EventEnterNormalOperation{}); break;
        case Kind::EnterPairingMode: mMachine.process_event(EventEnterPairingMode{}); break;
        case Kind::FactoryReset: mMachine.process_event(EventFactoryReset{}); break;
        case Kind::ReadDeviceConfiguration: mMachine.process_event(EventReadDeviceConfiguration{}); break;
        case Kind::WriteDeviceConfiguration:
            if (!data.isEmpty() && mMachine.currentDeviceObject())
                qobject_cast<TestDevice *>(mMachine.currentDeviceObject())->setConfiguration(data);
            mMachine.process_event(EventWriteDeviceConfiguration{});
            break;
        case Kind::NewData: mMachine.process_event(EventNewData{data}); break;
        case Kind::CommsError: mMachine.process_event(EventCommsError{5}); break;
        case Kind::Timeout: mMachine.process_event(EventTimeout{}); break;
        case Kind::LoadError: mMachine.process_event(EventLoadError{QVt::Pb::Configuration::File::LOAD_ERROR_CHECKSUM}); break;
        case Kind::SetDevice:
            mMachine.process_event(
                EventSetDevice{productIds.isEmpty() ? nullptr : QSharedPointer<TestDevice>::create("File A", productIds)});
            break;
        case Kind::Autoflash: mMachine.process_event(EventAutoflash{}); break;
        }
    }

private:
    Machine mMachine;
};

using Start = MachineRecorder::Start;
using Kind = MachineRecorder::Kind;

class tst_StateMachineDefinition : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        SaveStatusTracker::instance()->setSaveNeeded(false);
        SaveStatusTracker::instance()->setConfigurationType(Types::CONFIGURATION_TYPE_NONE);
        TestDevice::takeLog();
    }

    void connect_data()
    {
        QTest::addColumn<QByteArray>("loaded");
        QTest::addColumn<Types::eConfigurationType>("type");
        QTest::addColumn<Kind>("start");
        QTest::addColumn<QStringList>("identifyLog");
        QTest::addColumn<QStringList>("readLog");

        const QStringList read = {"connectSuccessful", "busyChanged true", WATCH, READ_CONFIGURATION};
        const QStringList adopted = QStringList{"updateDeviceInfo reported", "deviceInfoRead"} + CONNECTED;
        const QStringList stored = {"deserialize reported", "configurationType 2", "deviceInfoRead", "readFromDeviceSuccessful"};
        QTest::newRow("nothing loaded: the read replaces the configuration")
            << QByteArray() << Types::CONFIGURATION_TYPE_NONE << Kind::Connect
            << QStringList{"new Test A", "currentDeviceChanged Test A"} + read << stored + CONNECTED;
        QTest::newRow("new configuration serves it second: kept")
            << QByteArray("0000000000b1,0000000000a1") << Types::CONFIGURATION_TYPE_NEW << Kind::Connect << read << adopted;
        QTest::newRow("file of another product: replaced by the unit's own, with a warning")
            << QByteArray("0000000000A1") << Types::CONFIGURATION_TYPE_FILE << Kind::Connect
            << QStringList{"new Test A", "currentDeviceChanged Test A", "configurationType 0"} + read
            << stored + QStringList{"editedConfigurationReplaced File A"} + CONNECTED;
        QTest::newRow("autoflash: the file's configuration takes the unit's identity, then is written")
            << QByteArray("0000000000a1") << Types::CONFIGURATION_TYPE_FILE << Kind::Autoflash << read
            << adopted + QStringList{"busyChanged true", WATCH, "writeData 430003530102100d"};
    }

    // StateDisconnected -> StateAttemptingConnection -> StateReadProductId ->
    // StateIdentifyDevice -> StateReadDeviceConfiguration -> StateConnected. The automatic
    // read replaces the configuration when none of the unit's product was being edited.
    void connect()
    {
        QFETCH(QByteArray, loaded);
        QFETCH(Types::eConfigurationType, type);
        QFETCH(Kind, start);
        QFETCH(QStringList, identifyLog);
        QFETCH(QStringList, readLog);

        MachineRecorder recorder(nullptr);
        if (!loaded.isEmpty())
            recorder.give(Kind::SetDevice, loaded);
        SaveStatusTracker::instance()->setConfigurationType(type);
        TestDevice::takeLog();

        recorder.give(start);
        QCOMPARE(TestDevice::takeLog(), (QStringList{"busyChanged true", BOOT_SEQUENCE, WATCH}));
        recorder.give(Kind::NewData, IDENTIFICATION);
        QCOMPARE(TestDevice::takeLog(), (QStringList{"deviceIdStringChanged \"KT Bridge CW 1.0\"", "stopCyclicWrite",
                                                     "writeData 43000150120d", WATCH}));
        recorder.give(Kind::NewData, PRODUCT_ID_REPLY);
        QCOMPARE(TestDevice::takeLog(), identifyLog);
        recorder.give(Kind::NewData, "Lreported");
        QCOMPARE(TestDevice::takeLog(), readLog);
    }

    void event_data()
    {
        QTest::addColumn<Start>("start");
        QTest::addColumn<Kind>("event");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("state"); // -1: the state it started in

        const auto row = [](const QString &name, Start start, Kind event, const QByteArray &data, const QStringList &log,
                            int state, const QByteArray &reply = {}, const QString &warning = {}) {
            QTest::newRow(qPrintable(name)) << start << event << data << reply << warning << log << state;
        };
        const auto name = [](Start start, const QString &what) { return QStringLiteral("%1, %2").arg(key(start), what); };
        const int connected = id<D::StateConnected>();
        const int disconnected = id<D::StateDisconnected>();

        // What StateConnected's operations send and report.
        const QStringList busy = {"busyChanged true", WATCH};
        const QString normalOperation = QStringLiteral("writeData 43000151130d");
        row("Connected, read requested: replaces the edited configuration", Start::Connected,
            Kind::ReadDeviceConfiguration, {}, busy + QStringList{READ_CONFIGURATION, "deserialize from device",
            "saveNeeded false", "deviceInfoRead", "readFromDeviceSuccessful"} + CONNECTED, connected, "Lfrom device");
        // The device's load error, which the facade turns into the end of the connection.
        row("Connected, read that does not load: the edits and their mark stay", Start::Connected,
            Kind::ReadDeviceConfiguration, {}, busy + QStringList{READ_CONFIGURATION, "deserialize corrupt"} + CONNECTED,
            connected, "Lcorrupt");
        row("Connected, write confirmed", Start::Connected, Kind::WriteDeviceConfiguration, QByteArray::fromHex("0102"),
            busy + QStringList{"writeData 430003530102100d", "writeToDeviceSuccessful"} + CONNECTED, connected, "S");
        row("Connected, write too large for a frame: nothing sent", Start::Connected, Kind::WriteDeviceConfiguration,
            QByteArray(70000, 'x'), QStringList{"busyChanged true", "configurationTooLarge"} + DEVICE_END, disconnected, {},
            "Refused to frame a payload longer than the protocol allows: 70001 bytes");
        row("Disconnected, autoflash: connects", Start::Disconnected, Kind::Autoflash, {},
            QStringList{"busyChanged true", BOOT_SEQUENCE, WATCH}, id<D::StateAttemptingConnection>());
        row("Connected, normal operation", Start::Connected, Kind::EnterNormalOperation, {},
            QStringList{normalOperation, "disconnectSuccessful"} + DEVICE_END, disconnected);
        row("Connected, pairing mode", Start::Connected, Kind::EnterPairingMode, {},
            QStringList{"writeData 430001591b0d", "pairingModeSuccessful"} + DEVICE_END, disconnected);
        row("Connected, factory reset", Start::Connected, Kind::FactoryReset, {},
            QStringList{"busyChanged true", "writeData 4300015a180d", "factoryResetSuccessful"} + DEVICE_END, disconnected);

        // Every other way back to StateDisconnected, through StateError and StateInitialization.
        for (Start start : {Start::AttemptingConnection, Start::ReadProductId})
            for (Kind kind : {Kind::Disconnect, Kind::CommsError, Kind::Timeout})
                row(name(start, key(kind)), start, kind, {}, EARLY_END, disconnected);
        for (Start start : {Start::Connected, Start::ReadDeviceConfiguration, Start::WriteDeviceConfiguration})
            for (Kind kind : {Kind::Disconnect, Kind::CommsError, Kind::Timeout, Kind::LoadError})
                if (kind != Kind::LoadError || start != Start::WriteDeviceConfiguration)
                    row(name(start, key(kind)), start, kind, {}, DEVICE_END, disconnected);
        row("AttemptingConnection, empty identification", Start::AttemptingConnection, Kind::NewData, {},
            QStringList{"deviceUnsupported \"\" \"\""} + EARLY_END, disconnected);
        row("ReadProductId, empty reply", Start::ReadProductId, Kind::NewData, {},
            QStringList{"deviceUnsupported \"KT Bridge CW 1.0\" \"\""} + EARLY_END, disconnected);
        row("ReadProductId, no driver", Start::ReadProductId, Kind::NewData, QByteArray::fromHex("010000000000ff"),
            QStringList{"currentDeviceChanged null", "deviceUnsupported \"KT Bridge CW 1.0\" \"0000000000ff\""} + EARLY_END,
            disconnected, {}, "Could not find driver for product ID \"0000000000ff\"");
        row("ReadDeviceConfiguration, error reply", Start::ReadDeviceConfiguration, Kind::NewData, "E",
            QStringList{"deviceError"} + DEVICE_END, disconnected);
        row("WriteDeviceConfiguration, error reply", Start::WriteDeviceConfiguration, Kind::NewData, "E\x02 flash",
            QStringList{"deviceError"} + DEVICE_END, disconnected);

        // A new configuration while disconnected or connected. One the connection cannot
        // serve ends it, the unit sent back to normal operation first.
        const QStringList replaced = {"currentDeviceChanged null", "currentDeviceChanged File A"};
        row("Disconnected, device for another product", Start::Disconnected, Kind::SetDevice, "0000000000b1",
            replaced + DISCONNECTED, disconnected);
        row("Disconnected, null device", Start::Disconnected, Kind::SetDevice, {}, DISCONNECTED, disconnected);
        row("Connected, device for the same primary product: takes the report", Start::Connected, Kind::SetDevice,
            "0000000000a1", QStringList{"updateDeviceInfo reported"} + replaced + CONNECTED, connected);
        row("Connected, device serving the product second", Start::Connected, Kind::SetDevice,
            "0000000000a2,0000000000a1", replaced + CONNECTED, connected);
        row("Connected, device for another product: normal operation, then the end", Start::Connected, Kind::SetDevice,
            "0000000000b1", QStringList{normalOperation} + replaced + DEVICE_END, disconnected);
        row("Connected, null device", Start::Connected, Kind::SetDevice, {}, QStringList{normalOperation} + DEVICE_END,
            disconnected);

        // Pairs without a row are dropped silently: nothing is emitted (the watch keeps
        // running), and the state and the device object stay.
        const auto dropped = [&](Start start, Kind kind, const QByteArray &data = "X unexpected", const char *what = nullptr) {
            row(name(start, what ? what : key(kind)), start, kind, data, {}, -1);
        };
        for (Kind kind : {Kind::Disconnect, Kind::ReadDeviceConfiguration, Kind::NewData, Kind::Timeout})
            dropped(Start::Disconnected, kind);
        // Replies no row takes: the identification text again, a reply of the wrong kind.
        for (Start start : {Start::ReadProductId, Start::ReadDeviceConfiguration, Start::WriteDeviceConfiguration})
            dropped(start, Kind::NewData, "KT Bridge CW 1.0", "identification again");
        dropped(Start::ReadDeviceConfiguration, Kind::NewData, "S", "write reply");
        dropped(Start::ReadDeviceConfiguration, Kind::NewData, "l lower case", "lower-case reply");
        dropped(Start::WriteDeviceConfiguration, Kind::NewData, "Lconfig", "read reply");
        dropped(Start::WriteDeviceConfiguration, Kind::NewData, {}, "empty reply");
    }

    // One event (and the device's reply to it, if any) in the state a session reached,
    // with the configuration edited since.
    void event()
    {
        QFETCH(Start, start);
        QFETCH(Kind, event);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, reply);
        QFETCH(QString, warning);
        QFETCH(QStringList, log);
        QFETCH(int, state);

        MachineRecorder recorder(nullptr);
        recorder.reach(start);
        const int before = recorder.state();
        SaveStatusTracker::instance()->setSaveNeeded(true);
        TestDevice::takeLog();
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        recorder.give(event, data);
        if (!reply.isEmpty())
            recorder.give(Kind::NewData, reply);
        QCOMPARE(TestDevice::takeLog(), log);
        QCOMPARE(recorder.state(), state < 0 ? before : state);
    }
};

QTEST_GUILESS_MAIN(tst_StateMachineDefinition)

#include "tst_stateMachineDefinition.moc"
