#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "comms/serialProvider.h"
#include "global/setting.h"
#include "global/threadHandoff.h"
#include "ptyLine.h"
#include "simulatorProcess.h"

#include <QPointer>
#include <QSerialPort>
#include <QSettings>
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

        // The current type again, or one not listed, changes nothing.
        QSettings().setValue(PROVIDER_KEY, "untouched");
        QObject *provider = hub.currentProvider();
        for (const char *type : {"Serial", "USB", ""})
            hub.setCurrentProviderType(type);
        QCOMPARE(order.size(), 2);
        QCOMPARE(hub.currentProvider(), provider);
        QCOMPARE(QSettings().value(PROVIDER_KEY).toString(), "untouched");
    }

    // The wake-up repeated until the simulator answers, then a request, through the worker
    // thread and back; a repeated identification text arrives as a frame of its own.
    void requestAndReply_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QList<QByteArray>>("extra");

        QTest::newRow("clean line") << QStringList() << QList<QByteArray>();
        QTest::newRow("late device") << QStringList{"--fault", "silent-for=3"} << QList<QByteArray>();
        QTest::newRow("repeat-id without reply delay") << QStringList{"--fault", "repeat-id"} << QList<QByteArray>{"KTB"};
    }

    void requestAndReply()
    {
        QFETCH(QStringList, faults);
        QFETCH(QList<QByteArray>, extra);
        SimulatorProcess simulator;
        QVERIFY(simulator.start(QStringList{"--id-string", "KTB", "--product-id", "0000c0de0001"} + faults));
        auto hub = newHubOn(simulator.portName());
        QSignalSpy received(hub.get(), &CommsHandler::newData);

        expectModemLineWarning(simulator.portName());
        hub->onStartCyclicWrite(BOOT, 500, true);
        QTRY_COMPARE_WITH_TIMEOUT(bytesIn(received), extra + QList<QByteArray>{"KTB"}, 5000);
        received.clear();
        hub->onWriteData(BootProtocol::buildReadProductIdCommand());
        QTRY_COMPARE(bytesIn(received), extra + QList<QByteArray>{QByteArray::fromHex("500000c0de0001")});
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
        QCOMPARE(errorsIn(errors),
                 QStringList{"9: Device or resource has become unavailable (perhaps removed or disconnected)."});
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
        const QVt::Global::ThreadHandoff handoff(hub->currentProvider());
        QMetaObject::invokeMethod(hub->currentProvider(), [&hub, port, &openAfterClose, handoff] {
                handoff.receive();
                hub->close();
                openAfterClose = port->isOpen();
                QVt::Global::ThreadHandoff::release(&openAfterClose);
            }, Qt::BlockingQueuedConnection);
        QVt::Global::ThreadHandoff::acquire(&openAfterClose);
        QVERIFY(!openAfterClose);
    }

    // A hub on a thread of its own lets its provider and setting go on that thread as it
    // ends, while they can still be deleted there, before the hub itself is destroyed.
    void releaseOnOwnThread()
    {
        PtyLine pty;
        qputenv("KTBRIDGE_EXTRA_PORTS", pty.path().toLocal8Bit());
        std::unique_ptr<CommsHandler> hub;
        QPointer<QObject> provider;
        QPointer<QObject> setting;
        QThread thread;
        connect(&thread, &QThread::started, &thread, [&] {
            hub = std::make_unique<CommsHandler>(nullptr);
            provider = hub->currentProvider();
            setting = qobject_cast<SerialProvider *>(provider)->settingsList().constFirst();
        }, Qt::DirectConnection);
        thread.start();
        thread.quit();
        QVERIFY(thread.wait(5000));
        QVERIFY(hub);
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
