#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "comms/serialProvider.h"
#include "global/setting.h"
#include "ptyPair.h"
#include "simulatorProcess.h"

#include <QPointer>
#include <QSerialPort>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <limits>
#include <memory>

using QVt::Comms::CommsHandler;
using QVt::Comms::SerialProvider;
using QVt::Comms::Protocol::BootProtocol;

namespace {

const char *const ProviderKey = "comms/provider";
const char *const PortKey = "comms/serial/port";

QSerialPort *portOf(const CommsHandler &hub)
{
    return hub.currentProvider()->findChild<QSerialPort *>();
}

// Frames read off the line, split at their declared lengths.
QList<QByteArray> framesIn(QByteArray bytes)
{
    QList<QByteArray> frames;
    while (bytes.size() >= 3) {
        const int size = quint8(bytes.at(1)) * 256 + quint8(bytes.at(2)) + 5;
        frames.append(bytes.left(size));
        bytes.remove(0, size);
    }
    return frames;
}

// True when, after writes that were already under way, nothing more is written for
// half a second (five intervals of the cyclic writes used here).
bool lineFallsQuiet(PtyPair &pty)
{
    pty.read(std::numeric_limits<int>::max(), 300);
    return pty.read(1, 500).isEmpty();
}

} // namespace

class TestCommsHandler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("KtBridgeTests"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_commshandler"));
    }

    void init()
    {
        QSettings().clear();
        mPty = std::make_unique<PtyPair>();
        QVERIFY(mPty->isOpen());
    }

    void cleanup()
    {
        qunsetenv("KTBRIDGE_EXTRA_PORTS");
        mPty.reset();
    }

    void firstRunSelectsSerial()
    {
        auto hub = newHubOnPty();

        QCOMPARE(hub->providerTypes(), QStringList{QStringLiteral("Serial")});
        QCOMPARE(hub->currentProviderType(), QStringLiteral("Serial"));
        QVERIFY(qobject_cast<SerialProvider *>(hub->currentProvider()));
        QCOMPARE(QSettings().value(ProviderKey).toString(), QStringLiteral("Serial"));
        QThread *worker = hub->currentProvider()->thread();
        QVERIFY(worker != QThread::currentThread());
        QVERIFY(worker->isRunning());
        QCOMPARE(portOf(*hub)->thread(), worker);
    }

    void unknownStoredType()
    {
        QSettings().setValue(ProviderKey, QStringLiteral("Bluetooth"));
        auto hub = newHubOnPty();
        QVERIFY(!hub->currentProvider());
        QVERIFY(hub->currentProviderType().isEmpty());
        QCOMPARE(QSettings().value(ProviderKey).toString(), QStringLiteral("Bluetooth"));

        // Without a provider the link operations are harmless.
        hub->open();
        hub->close();
        hub->onStopCyclicWrite();
        hub->onWriteData(BootProtocol::buildBootSequence());
        QTest::ignoreMessage(QtWarningMsg,
                             "Attempted a cyclic write without a running data provider.");
        hub->onStartCyclicWrite(BootProtocol::buildBootSequence(), 500, true);

        QStringList order;
        connect(hub.get(), &CommsHandler::currentProviderTypeChanged, this,
                [&order](const QString &type) { order.append("type " + type); });
        connect(hub.get(), &CommsHandler::currentProviderChanged, this,
                [&order](QObject *provider) {
                    order.append(QString("provider ") + provider->metaObject()->className());
                });
        QVERIFY(hub->setProperty("currentProviderType", QStringLiteral("Serial")));

        QCOMPARE(order, QStringList({"type Serial", "provider QVt::Comms::SerialProvider"}));
        QCOMPARE(QSettings().value(ProviderKey).toString(), QStringLiteral("Serial"));
    }

    void refusedTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("current type again") << QStringLiteral("Serial");
        QTest::newRow("other case") << QStringLiteral("serial");
        QTest::newRow("unknown") << QStringLiteral("USB");
        QTest::newRow("empty") << QString();
    }

    void refusedTypes()
    {
        QFETCH(QString, type);
        auto hub = newHubOnPty();
        QObject *provider = hub->currentProvider();
        QSettings().setValue(ProviderKey, QStringLiteral("untouched"));
        QSignalSpy typeChanges(hub.get(), &CommsHandler::currentProviderTypeChanged);
        QSignalSpy providerChanges(hub.get(), &CommsHandler::currentProviderChanged);

        hub->setCurrentProviderType(type);

        QCOMPARE(typeChanges.count(), 0);
        QCOMPARE(providerChanges.count(), 0);
        QCOMPARE(hub->currentProvider(), provider);
        QCOMPARE(QSettings().value(ProviderKey).toString(), QStringLiteral("untouched"));
    }

    void requestAndReply_data()
    {
        QTest::addColumn<QStringList>("extraArguments");
        QTest::newRow("clean line") << QStringList();
        // Pieces cut after a 0x0D inside a frame are checked early, rejected with a
        // warning, and completed by the next piece.
        QTest::newRow("split replies") << QStringList{"--fault", "split"};
        // Stray bytes before each reply are thrown away with a warning.
        QTest::newRow("noise before replies") << QStringList{"--fault", "noise"};
        QTest::newRow("paced line, slow device")
            << QStringList{"--baud", "115200", "--reply-delay", "20"};
    }

    void requestAndReply()
    {
        QFETCH(QStringList, extraArguments);
        SimulatorProcess simulator;
        auto hub = newHubOnSimulator(simulator, QStringList{"--product-id", "0000c0de0001",
                                                            "--id-string", "KT Bridge CWB"}
                                                    + extraArguments);
        QVERIFY2(hub, simulator.standardError().constData());
        QSignalSpy received(hub.get(), &CommsHandler::newData);
        QSignalSpy errors(hub.get(), &CommsHandler::errorOccurred);
        const auto reply = [&](const QByteArray &request) {
            hub->onWriteData(request);
            return received.wait(5000) ? received.takeFirst().at(0).toByteArray() : QByteArray();
        };
        // With nothing stored, the simulator's port is offered first, chosen and stored.
        auto *provider = qobject_cast<SerialProvider *>(hub->currentProvider());
        QCOMPARE(provider->settingsList().constFirst()->value().toString(), simulator.portName());
        QCOMPARE(QSettings().value(PortKey).toString(), simulator.portName());
        QVERIFY(!portOf(*hub)->isOpen());

        expectModemLineWarning(simulator.portName());
        QCOMPARE(reply(BootProtocol::buildBootSequence()), QByteArray("KT Bridge CWB"));
        QCOMPARE(reply(BootProtocol::buildReadProductIdCommand()).toHex(),
                 QByteArray("500000c0de0001"));
        // The device's configuration, written back and read again.
        const QByteArray read = reply(BootProtocol::buildReadProtobufCommand());
        QVERIFY(read.startsWith('L'));
        QVERIFY(reply(BootProtocol::buildWriteProtobufCommand(read.mid(1))).startsWith('S'));
        QCOMPARE(reply(BootProtocol::buildReadProtobufCommand()), read);
        QCOMPARE(received.count(), 0);
        QCOMPARE(errors.count(), 0);
    }

    void hangUpSurfacesAsError()
    {
        SimulatorProcess simulator;
        auto hub = newHubOnSimulator(simulator, {"--fault", "hang-up-after=1"});
        QVERIFY(hub);
        QSignalSpy received(hub.get(), &CommsHandler::newData);
        QSignalSpy errors(hub.get(), &CommsHandler::errorOccurred);

        expectModemLineWarning(simulator.portName());
        // The port sees the hung-up line as a failed read; the user learns the device left.
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 9");
        hub->onWriteData(BootProtocol::buildBootSequence());
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 5000);
        QCOMPARE(received.count(), 1);
        const QStringList gone{"9: Device or resource has become unavailable (perhaps removed or "
                               "disconnected)."};
        QCOMPARE(errorsIn(errors), gone);
        QVERIFY(simulator.waitForFinished());

        // Reported once, and the dead line no longer keeps the worker busy.
        QTest::qWait(300);
        QCOMPARE(errorsIn(errors), gone);
        QVERIFY(!portOf(*hub)->isOpen());
    }

    void closeFromEitherThread()
    {
        auto hub = newHubOnPty();
        QSerialPort *port = portOf(*hub);

        // The last request before a close still reaches the device.
        expectModemLineWarning(mPty->portPath());
        const QByteArray request = BootProtocol::buildEnterNormalOperationCommand();
        hub->onWriteData(request);
        hub->close();
        QVERIFY(!port->isOpen());
        QCOMPARE(mPty->read(request.size(), 5000).toHex(' '), request.toHex(' '));

        expectModemLineWarning(mPty->portPath());
        hub->open();
        QVERIFY(port->isOpen());

        // From the worker thread itself (a slot of the provider's thread) it runs at once.
        bool openAfterClose = true;
        QMetaObject::invokeMethod(
            hub->currentProvider(), [&hub, port, &openAfterClose] {
                hub->close();
                openAfterClose = port->isOpen();
            },
            Qt::BlockingQueuedConnection);
        QVERIFY(!openAfterClose);
    }

    void shutdownWithOpenPort()
    {
        auto hub = newHubOnPty();
        QPointer<QObject> provider = hub->currentProvider();
        QThread *worker = provider->thread();
        QSignalSpy finished(worker, &QThread::finished);

        expectModemLineWarning(mPty->portPath());
        hub->onWriteData(BootProtocol::buildBootSequence());
        QVERIFY(!mPty->read(1, 5000).isEmpty());
        hub->onStartCyclicWrite(BootProtocol::buildBootSequence(), 50, true);

        hub.reset();
        QCOMPARE(finished.count(), 1);
        QVERIFY(provider.isNull());
    }

    void cyclicWriteStopsOnFirstData_data()
    {
        QTest::addColumn<QList<bool>>("starts");
        QTest::newRow("started once") << QList<bool>{true};
        QTest::newRow("started twice") << QList<bool>{true, true};
        QTest::newRow("restarted without stop on data") << QList<bool>{true, false};
    }

    void cyclicWriteStopsOnFirstData()
    {
        QFETCH(QList<bool>, starts);
        auto hub = newHubOnPty();
        const QByteArray boot = BootProtocol::buildBootSequence();
        QSignalSpy received(hub.get(), &CommsHandler::newData);
        QSignalSpy writes(hub.get(), &CommsHandler::writeData);

        expectModemLineWarning(mPty->portPath());
        QList<QByteArray> written;
        for (bool stopOnData : starts) {
            hub->onStartCyclicWrite(boot, 100, stopOnData);
            written.append(boot);
        }
        // Each start writes at once, not after the interval; then the repetition follows.
        QCOMPARE(bytesIn(writes), written);
        QCOMPARE(framesIn(mPty->read(3 * boot.size(), 5000)),
                 QList<QByteArray>({boot, boot, boot}));

        QVERIFY(mPty->write(BootProtocol::frame("KT Bridge")));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(bytesIn(received), QList<QByteArray>{"KT Bridge"});

        // Nothing more goes out once the reply has stopped the repetition.
        QVERIFY(lineFallsQuiet(*mPty));
        QCOMPARE(received.count(), 1);

        // The stop left no link behind: a repetition without stop on data goes on.
        const QByteArray request = BootProtocol::buildReadProtobufCommand();
        hub->onStartCyclicWrite(request, 100, false);
        QVERIFY(mPty->write(BootProtocol::frame("second")));
        QTRY_COMPARE(received.count(), 2);
        mPty->readAll();
        QCOMPARE(framesIn(mPty->read(2 * request.size(), 5000)),
                 QList<QByteArray>({request, request}));
        hub->onStopCyclicWrite();
        QVERIFY(lineFallsQuiet(*mPty));
    }

    void cyclicWriteRefusals()
    {
        auto hub = newHubOnPty();
        QSignalSpy writes(hub.get(), &CommsHandler::writeData);

        QTest::ignoreMessage(QtWarningMsg, "Attempted a cyclic write with empty data.");
        hub->onStartCyclicWrite(QByteArray(), 100, true);
        QCOMPARE(writes.count(), 0);

        // A refused start leaves a running repetition alone.
        const QByteArray request = BootProtocol::buildReadProductIdCommand();
        expectModemLineWarning(mPty->portPath());
        hub->onStartCyclicWrite(request, 100, false);
        QTest::ignoreMessage(QtWarningMsg, "Attempted a cyclic write with empty data.");
        hub->onStartCyclicWrite(QByteArray(), 100, true);
        QCOMPARE(framesIn(mPty->read(3 * request.size(), 5000)),
                 QList<QByteArray>({request, request, request}));

        // Stopping twice is harmless.
        hub->onStopCyclicWrite();
        hub->onStopCyclicWrite();
        QVERIFY(lineFallsQuiet(*mPty));
    }

private:
    // A hub whose serial provider is offered the test's pseudo-terminal first.
    std::unique_ptr<CommsHandler> newHubOnPty()
    {
        qputenv("KTBRIDGE_EXTRA_PORTS", mPty->portPath().toLocal8Bit());
        return std::make_unique<CommsHandler>(nullptr);
    }

    std::unique_ptr<CommsHandler> newHubOnSimulator(SimulatorProcess &simulator,
                                                    const QStringList &arguments)
    {
        if (!simulator.start(arguments))
            return nullptr;
        qputenv("KTBRIDGE_EXTRA_PORTS", simulator.portName().toLocal8Bit());
        return std::make_unique<CommsHandler>(nullptr);
    }

    std::unique_ptr<PtyPair> mPty;
};

QTEST_GUILESS_MAIN(TestCommsHandler)
#include "tst_commshandler.moc"
