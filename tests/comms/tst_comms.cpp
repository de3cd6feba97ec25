// The serial provider on a pseudo-terminal, and the hub that runs it in its worker thread.
#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "comms/serialProvider.h"
#include "global/setting.h"
#include "ptyLine.h"

#include <QPointer>
#include <QQmlEngine>
#include <QQmlListReference>
#include <QSerialPort>
#include <QSettings>
#include <QtTest>

#include <memory>

using QVt::Comms::CommsHandler;
using QVt::Comms::SerialProvider;
using QVt::Comms::Protocol::BootProtocol;

namespace {

const char *const PORT_KEY = "comms/serial/port";
const char *const PROVIDER_KEY = "comms/provider";
const QByteArray BOOT = BootProtocol::buildBootSequence();
constexpr int INTERVAL_MS = 50;

} // namespace

class TestComms : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        qunsetenv("KTBRIDGE_PORT");
        qputenv("KTBRIDGE_EXTRA_PORTS", (mPtyA.path() + ':' + mPtyB.path()).toLocal8Bit());
    }

    // The port chosen at start-up, what is stored, and where the first write goes.
    void portChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing stored: first offered port") << "" << "" << "A";
        QTest::newRow("stored port present") << "B" << "" << "B";
        QTest::newRow("stored port gone: first offered port") << "/dev/pts/gone" << "" << "A";
        QTest::newRow("KTBRIDGE_PORT: used, never stored") << "A" << "B" << "B";
    }

    void portChoice()
    {
        QFETCH(QString, stored);
        QFETCH(QString, environment);
        QFETCH(QString, expected);
        if (!stored.isEmpty())
            QSettings().setValue(PORT_KEY, path(stored));
        if (!environment.isEmpty())
            qputenv("KTBRIDGE_PORT", path(environment).toLocal8Bit());
        SerialProvider provider(nullptr);
        QCOMPARE(QSettings().value(PORT_KEY).toString(), path(environment.isEmpty() ? expected : stored));
        writeThrough(provider, expected == "A" ? mPtyA : mPtyB);
        QCOMPARE(provider.findChild<QSerialPort *>()->baudRate(), 115200);
    }

    // What the port reads reaches newData; a write, even an empty one, drops a pending reply.
    void writeDiscardsPartialReply()
    {
        SerialProvider provider(nullptr);
        writeThrough(provider, mPtyA);
        QSignalSpy received(&provider, &SerialProvider::newData);
        QVERIFY(feed(provider, QByteArray::fromHex("43000241")));
        QTest::ignoreMessage(QtWarningMsg, "Attempted to write empty data to the serial port.");
        provider.onWriteData(QByteArray());
        QTest::ignoreMessage(QtWarningMsg, "Read data with an invalid start byte; discarding.");
        QVERIFY(feed(provider, QByteArray::fromHex("42420d")));
        QVERIFY(feed(provider, QByteArray::fromHex("4300014c0e0d")));
        QCOMPARE(bytesIn(received), QList<QByteArray>{"L"});
        QCOMPARE(mPtyA.read(-1, 100), QByteArray());
    }

    // A frame goes on only while a request awaits its reply and the one passed on before
    // has been handled: a stale acknowledgement in the burst of a reply, or frames after the
    // exchange has ended, are dropped and counted until the next request.
    void replyFollowsItsRequest()
    {
        SerialProvider provider(nullptr);
        writeThrough(provider, mPtyA);
        QSignalSpy received(&provider, &SerialProvider::newData);
        QVERIFY(feed(provider, BootProtocol::frame("P12") + BootProtocol::frame("S")));
        provider.onReplyHandled(true);
        QVERIFY(feed(provider, BootProtocol::frame("L")));
        provider.onReplyHandled(false);
        QVERIFY(feed(provider, BootProtocol::frame("KTB")));
        QTest::ignoreMessage(QtWarningMsg, "Dropped received frames that no request was waiting for: 2");
        const QByteArray request = BootProtocol::buildReadProtobufCommand();
        provider.onWriteData(request);
        QCOMPARE(mPtyA.read(request.size()), request);
        QVERIFY(feed(provider, BootProtocol::frame("S")));
        QCOMPARE(bytesIn(received), (QList<QByteArray>{"P12", "L", "S"}));
    }

    // A port that another program holds is not blamed on the user's groups.
    void portInUseByAnotherProgram()
    {
        QSerialPort other(mPtyA.path());
        QVERIFY(other.open(QIODevice::ReadWrite));
        qputenv("KTBRIDGE_PORT", mPtyA.path().toLocal8Bit());
        SerialProvider provider(nullptr);
        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        const QByteArray port = '"' + mPtyA.path().toLocal8Bit() + '"';
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 2");
        QTest::ignoreMessage(QtWarningMsg, ("The serial port is in use by another program: " + port).constData());
        QTest::ignoreMessage(QtWarningMsg, ("Could not connect to port " + port + " with baud rate 115200").constData());
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port for writing.");
        provider.onWriteData(BootProtocol::buildReadProductIdCommand());
        QCOMPARE(errors.count(), 2);
    }

    // An unplugged line is reported once as a device gone, and the port is closed so that
    // the failed read does not repeat.
    void hangUp()
    {
        PtyLine line;
        qputenv("KTBRIDGE_PORT", line.path().toLocal8Bit());
        SerialProvider provider(nullptr);
        writeThrough(provider, line);
        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 9");
        line.close();
        QTRY_VERIFY(!provider.findChild<QSerialPort *>()->isOpen());
        QCOMPARE(errorsIn(errors),
                 QStringList{"9: Device or resource has become unavailable (perhaps removed or disconnected)."});
    }

    // QML sees the one Port setting on every read, and may not add or remove any; it goes
    // with the provider, cut loose first.
    void settingsForQml()
    {
        auto *provider = new SerialProvider(nullptr);
        QQmlEngine engine;
        for (int read = 0; read < 3; ++read) {
            QQmlListReference list(provider, "settings", &engine);
            QCOMPARE(list.count(), 1);
            QCOMPARE(list.at(0), provider->settingsList().constFirst());
            QVERIFY(!list.canAppend() && !list.canClear());
        }
        QPointer<QObject> setting = provider->settingsList().constFirst();
        int heard = 0;
        connect(setting, &QObject::destroyed, this, [&heard] { ++heard; });
        delete provider;
        QVERIFY(setting.isNull());
        QCOMPARE(heard, 0);
    }

    // A stored type that is no longer known leaves the hub without a provider until a
    // known one is chosen; choosing the current or an unknown one again changes nothing.
    void providerType()
    {
        QSettings().setValue(PROVIDER_KEY, "Bluetooth");
        CommsHandler hub(nullptr);
        QVERIFY(!hub.currentProvider());
        hub.close();
        QTest::ignoreMessage(QtWarningMsg, "Attempted a cyclic write without a running data provider.");
        hub.onStartCyclicWrite(BOOT, INTERVAL_MS, true);
        QSignalSpy changed(&hub, &CommsHandler::currentProviderChanged);
        for (const char *type : {"USB", "Serial", "Serial", ""})
            hub.setCurrentProviderType(type);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(QSettings().value(PROVIDER_KEY).toString(), "Serial");
        QThread *worker = qobject_cast<SerialProvider *>(hub.currentProvider())->thread();
        QVERIFY(worker->isRunning() && worker != QThread::currentThread());
    }

    // Writes through the worker thread at once, then every interval until the first
    // reply, which is still passed on; however often started, one reply stops it.
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
        CommsHandler hub(nullptr);
        QSignalSpy received(&hub, &CommsHandler::newData);
        expectModemLineWarning(mPtyA.path());
        QElapsedTimer timer;
        timer.start();
        for (bool stopOnData : starts)
            hub.onStartCyclicWrite(BOOT, INTERVAL_MS, stopOnData);
        QCOMPARE(mPtyA.read(4 * BOOT.size()), BOOT + BOOT + BOOT + BOOT);
        QVERIFY(timer.elapsed() >= (4 - starts.size()) * INTERVAL_MS * 9 / 10);  // coarse timers may fire early

        QVERIFY(mPtyA.write(BootProtocol::frame("KTB")));
        QTRY_COMPARE(bytesIn(received), QList<QByteArray>{"KTB"});
        expectSilence();

        // The stop left no link behind: a repetition without stop on data goes on.
        hub.onStartCyclicWrite(BOOT, INTERVAL_MS, false);
        QVERIFY(mPtyA.write(BootProtocol::frame("KTB")));
        QCOMPARE(mPtyA.read(3 * BOOT.size()), BOOT + BOOT + BOOT);
        hub.onStopCyclicWrite();
        expectSilence();
    }

    // The last request before a close still reaches the device.
    void closeSendsLastRequest()
    {
        CommsHandler hub(nullptr);
        expectModemLineWarning(mPtyA.path());
        const QByteArray request = BootProtocol::buildEnterNormalOperationCommand();
        hub.onWriteData(request);
        hub.close();
        QCOMPARE(mPtyA.read(request.size()), request);
    }

    // A hub on a thread of its own (the autoflash mode) lets its provider go on that
    // thread as it ends, where it can still be deleted.
    void releaseOnOwnThread()
    {
        QThread thread;
        std::unique_ptr<CommsHandler> hub;
        QPointer<QObject> provider;
        connect(&thread, &QThread::started, &thread, [&] {
            hub = std::make_unique<CommsHandler>(nullptr);
            provider = hub->currentProvider();
        }, Qt::DirectConnection);
        thread.start();
        thread.quit();
        QVERIFY(thread.wait(5000) && hub && provider.isNull());
    }

    // The hint about the device's group follows a permission error and no other.
    void permissionHint_data()
    {
        QTest::addColumn<int>("error");
        QTest::newRow("permission") << int(QSerialPort::PermissionError);
        QTest::newRow("device not found") << int(QSerialPort::DeviceNotFoundError);
        QTest::newRow("open") << int(QSerialPort::OpenError);
        QTest::newRow("resource") << int(QSerialPort::ResourceError);
    }

    void permissionHint()
    {
        QFETCH(int, error);
        SerialProvider provider(nullptr);
        static QStringList warnings;
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &message) { warnings.append(message); });
        emit provider.findChild<QSerialPort *>()->errorOccurred(QSerialPort::SerialPortError(error));
        qInstallMessageHandler(previous);
        // Which hint (group or busy port) is portInUseByAnotherProgram's concern; here: none but
        // for an error opening the port.
        const QRegularExpression hint(QStringLiteral("dialout|in use by another program"));
        QCOMPARE(!warnings.filter(hint).isEmpty(), error == QSerialPort::PermissionError);
    }

private:
    // The path of pseudo-terminal "A" or "B"; any other name as it is.
    QString path(const QString &name) const
    {
        return name == "A" ? mPtyA.path() : name == "B" ? mPtyB.path() : name;
    }

    // Writes a request with CRs inside, which opens the port, and takes it off the line at pty.
    void writeThrough(SerialProvider &provider, PtyLine &pty)
    {
        const QByteArray request = BootProtocol::buildWriteProtobufCommand(QByteArray(300, '\r'));
        expectModemLineWarning(pty.path());
        provider.onWriteData(request);
        QCOMPARE(pty.read(request.size()).toHex(' '), request.toHex(' '));
    }

    // Sends bytes from the device side and waits until the provider has read them.
    bool feed(SerialProvider &provider, const QByteArray &piece)
    {
        QSignalSpy reads(provider.findChild<QSerialPort *>(), &QSerialPort::readyRead);
        return mPtyA.write(piece) && reads.wait(5000);
    }

    // Takes what is on its way off the line, then sees nothing more come.
    void expectSilence()
    {
        mPtyA.read(-1, 2 * INTERVAL_MS);
        QCOMPARE(mPtyA.read(-1, 4 * INTERVAL_MS), QByteArray());
    }

    PtyLine mPtyA;
    PtyLine mPtyB;
};

QTEST_GUILESS_MAIN(TestComms)
#include "tst_comms.moc"
