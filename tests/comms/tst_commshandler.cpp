#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "comms/serialProvider.h"
#include "global/setting.h"
#include "ptyLine.h"
#include "simulatorProcess.h"

#include <QPointer>
#include <QSerialPort>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using QVt::Comms::CommsHandler;
using QVt::Comms::SerialProvider;
using QVt::Comms::Protocol::BootProtocol;

namespace {

const char *const PROVIDER_KEY = "comms/provider";
const QByteArray BOOT = BootProtocol::buildBootSequence();

QSerialPort *portOf(const CommsHandler &hub)
{
    return hub.currentProvider()->findChild<QSerialPort *>();
}

std::unique_ptr<CommsHandler> newHubOn(const QString &port)
{
    qputenv("KTBRIDGE_EXTRA_PORTS", port.toLocal8Bit());
    return std::make_unique<CommsHandler>(nullptr);
}

} // namespace

class TestCommsHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        QSettings().clear();
    }

    void unknownStoredType()
    {
        QSettings().setValue(PROVIDER_KEY, "Bluetooth");
        CommsHandler hub(nullptr);
        QVERIFY(!hub.currentProvider());
        // Without a provider the link operations are harmless.
        hub.open();
        hub.close();
        hub.onWriteData(BOOT);
        QTest::ignoreMessage(QtWarningMsg, "Attempted a cyclic write without a running data provider.");
        hub.onStartCyclicWrite(BOOT, 500, true);

        QStringList order;
        connect(&hub, &CommsHandler::currentProviderTypeChanged, this,
                [&order](const QString &type) { order.append(type); });
        connect(&hub, &CommsHandler::currentProviderChanged, this,
                [&order](QObject *provider) { order.append(provider->metaObject()->className()); });
        QVERIFY(hub.setProperty("currentProviderType", "Serial"));
        QCOMPARE(order, QStringList({"Serial", "QVt::Comms::SerialProvider"}));
        QCOMPARE(QSettings().value(PROVIDER_KEY).toString(), "Serial");
        QVERIFY(hub.currentProvider()->thread()->isRunning());
        QVERIFY(hub.currentProvider()->thread() != QThread::currentThread());
    }

    void refusedTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("current type again") << "Serial";
        QTest::newRow("unknown") << "USB";
        QTest::newRow("empty") << "";
    }

    void refusedTypes()
    {
        QFETCH(QString, type);
        CommsHandler hub(nullptr);
        QObject *provider = hub.currentProvider();
        QSettings().setValue(PROVIDER_KEY, "untouched");
        QSignalSpy typeChanges(&hub, &CommsHandler::currentProviderTypeChanged);

        hub.setCurrentProviderType(type);
        QCOMPARE(typeChanges.count(), 0);
        QCOMPARE(hub.currentProvider(), provider);
        QCOMPARE(QSettings().value(PROVIDER_KEY).toString(), "untouched");
    }

    // Requests through the worker thread to the simulator and the payloads back, as a
    // connection asks them; a repeated identification text arrives as a frame of its own.
    void requestAndReply_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QList<QByteArray>>("extraBefore");

        QTest::newRow("clean line") << QStringList() << QList<QByteArray>();
        QTest::newRow("split replies") << QStringList{"--fault", "split"} << QList<QByteArray>();
        QTest::newRow("noise before replies") << QStringList{"--fault", "noise"} << QList<QByteArray>();
        QTest::newRow("repeat-id without reply delay")
            << QStringList{"--fault", "repeat-id"} << QList<QByteArray>{"KTB"};
    }

    void requestAndReply()
    {
        QFETCH(QStringList, faults);
        QFETCH(QList<QByteArray>, extraBefore);
        // One stray piece before each of the four replies.
        for (int i = 0; faults.contains("noise") && i < 4; ++i)
            QTest::ignoreMessage(QtWarningMsg, "Read data with an invalid start byte; discarding.");
        SimulatorProcess simulator;
        QVERIFY(simulator.start(QStringList{"--id-string", "KTB", "--product-id", "0000c0de0001"} + faults));
        auto hub = newHubOn(simulator.portName());
        QSignalSpy received(hub.get(), &CommsHandler::newData);
        const auto replies = [&](const QByteArray &request, int count) {
            hub->onWriteData(request);
            for (int i = 0; i < 50 && received.count() < count; ++i)
                received.wait(100);
            QList<QByteArray> payloads = bytesIn(received);
            received.clear();
            return payloads;
        };

        expectModemLineWarning(simulator.portName());
        hub->onStartCyclicWrite(BOOT, 500, true);
        QTRY_COMPARE(bytesIn(received), extraBefore + QList<QByteArray>{"KTB"});
        received.clear();
        QCOMPARE(replies(BootProtocol::buildReadProductIdCommand(), extraBefore.size() + 1),
                 extraBefore + QList<QByteArray>{QByteArray::fromHex("500000c0de0001")});
        const QList<QByteArray> read = replies(BootProtocol::buildReadProtobufCommand(), extraBefore.size() + 1);
        QVERIFY(read.constLast().startsWith('L'));
        QCOMPARE(replies(BootProtocol::buildWriteProtobufCommand(read.constLast().mid(1)), extraBefore.size() + 1),
                 extraBefore + QList<QByteArray>{"S"});
    }

    // The wake-up is repeated at its interval until a late device answers, then stops.
    void cyclicWriteReachesLateDevice()
    {
        SimulatorProcess simulator;
        QVERIFY(simulator.start({"--id-string", "KTB", "--fault", "silent-for=3", "--verbose"}));
        auto hub = newHubOn(simulator.portName());
        QSignalSpy received(hub.get(), &CommsHandler::newData);

        expectModemLineWarning(simulator.portName());
        hub->onStartCyclicWrite(BOOT, 100, true);
        QVERIFY(received.wait(5000));
        QTest::qWait(300);
        QCOMPARE(bytesIn(received), QList<QByteArray>{"KTB"});
        QCOMPARE(simulator.standardError().count("rx " + BOOT.toHex(' ').toUpper()), 4);
    }

    void hangUpSurfacesAsError()
    {
        SimulatorProcess simulator;
        QVERIFY(simulator.start({"--fault", "hang-up-after=1"}));
        auto hub = newHubOn(simulator.portName());
        QSignalSpy errors(hub.get(), &CommsHandler::errorOccurred);

        expectModemLineWarning(simulator.portName());
        // The port sees the hung-up line as a failed read; the user learns the device left.
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 9");
        hub->onWriteData(BOOT);
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 5000);
        QVERIFY(simulator.waitForFinished());
        // Reported once, and the dead line no longer keeps the worker busy.
        QTRY_VERIFY(!portOf(*hub)->isOpen());
        QCOMPARE(errorsIn(errors), QStringList{"9: Device or resource has become unavailable (perhaps "
                                               "removed or disconnected)."});
    }

    void closeFromEitherThread()
    {
        PtyLine pty;
        auto hub = newHubOn(pty.path());
        QSerialPort *port = portOf(*hub);

        // The last request before a close still reaches the device.
        expectModemLineWarning(pty.path());
        const QByteArray request = BootProtocol::buildEnterNormalOperationCommand();
        hub->onWriteData(request);
        hub->close();
        QVERIFY(!port->isOpen());
        QCOMPARE(pty.read(request.size()), request);

        expectModemLineWarning(pty.path());
        hub->open();
        QVERIFY(port->isOpen());
        // From the worker thread itself it runs at once, without waiting for itself.
        bool openAfterClose = true;
        QMetaObject::invokeMethod(hub->currentProvider(), [&] {
                hub->close();
                openAfterClose = port->isOpen();
            }, Qt::BlockingQueuedConnection);
        QVERIFY(!openAfterClose);
    }

    // Released on the thread that owns them while it can still delete: a hub on a thread of
    // its own lets its provider and setting go when that thread ends, before the hub itself.
    void releaseOnOwnThread_data()
    {
        QTest::addColumn<bool>("ownThread");
        QTest::newRow("hub in this thread, destroyed") << false;
        QTest::newRow("hub in a thread of its own, which ends") << true;
    }

    void releaseOnOwnThread()
    {
        QFETCH(bool, ownThread);
        PtyLine pty;
        qputenv("KTBRIDGE_EXTRA_PORTS", pty.path().toLocal8Bit());
        std::unique_ptr<CommsHandler> hub;
        QThread thread;
        QPointer<QObject> provider;
        QPointer<QObject> setting;
        const auto create = [&] {
            hub = std::make_unique<CommsHandler>(nullptr);
            auto *serial = qobject_cast<SerialProvider *>(hub->currentProvider());
            provider = serial;
            setting = serial->settingsList().constFirst();
        };
        if (ownThread) {
            connect(&thread, &QThread::started, &thread, create, Qt::DirectConnection);
            thread.start();
            QTRY_VERIFY(!provider.isNull());
            thread.quit();
            QVERIFY(thread.wait(5000));
        } else {
            create();
            expectModemLineWarning(pty.path());
            hub->onStartCyclicWrite(BOOT, 50, true);
            QVERIFY(!pty.read(BOOT.size()).isEmpty());
            hub.reset();
        }
        QVERIFY(provider.isNull());
        QVERIFY(setting.isNull());
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
        PtyLine pty;
        auto hub = newHubOn(pty.path());
        QSignalSpy received(hub.get(), &CommsHandler::newData);

        expectModemLineWarning(pty.path());
        QTest::ignoreMessage(QtWarningMsg, "Attempted a cyclic write with empty data.");
        hub->onStartCyclicWrite(QByteArray(), 100, true);
        for (bool stopOnData : starts)
            hub->onStartCyclicWrite(BOOT, 100, stopOnData);
        // Each start writes at once; then the repetition follows.
        QCOMPARE(pty.read(3 * BOOT.size()), BOOT + BOOT + BOOT);

        QVERIFY(pty.write(BootProtocol::frame("KTB")));
        QTRY_COMPARE(bytesIn(received), QList<QByteArray>{"KTB"});
        pty.read(-1, 300);
        QCOMPARE(pty.read(-1, 500), QByteArray());

        // The stop left no link behind: a repetition without stop on data goes on.
        hub->onStartCyclicWrite(BOOT, 100, false);
        QVERIFY(pty.write(BootProtocol::frame("KTB")));
        QCOMPARE(pty.read(3 * BOOT.size()), BOOT + BOOT + BOOT);
        hub->onStopCyclicWrite();
        pty.read(-1, 300);
        QCOMPARE(pty.read(-1, 500), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCommsHandler)
#include "tst_commshandler.moc"
