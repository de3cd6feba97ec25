// Faults of a unit, its line or a disk crossed with the operations they touch, end to end: the
// facade with the real hub and provider against ktbridge-sim, and autoflash runs of the program.
// Each cell's result goes to reliability/, whence docs/reliability.md, which says what a cell asserts.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
#include "comms/dataProvider.h"
#include "global/setting.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace DeviceTestSupport;
using QVt::Comms::CommsHandler;
using QVt::Comms::DataProvider;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Global::Types;
using QVt::Sm::StateMachine;

namespace {

// Stands for a unit that is unplugged or loses power: the simulator is killed once the
// operation's request has reached it, before its (delayed) reply is on the line.
const QString VANISH = QStringLiteral("vanish");
const QString STALE_REPLY = QStringLiteral("stale reply");
// A unit whose own configuration fails its checksum.
const QString CORRUPT = QStringLiteral("corrupt configuration");
const QString DISK_FULL = QStringLiteral("disk full");
// Smaller than any configuration or archive, so that every save hits it.
constexpr rlim_t DISK_FULL_BYTES = 16;
// Short, so that a time-out cell is quick, and still well above the wake-up that
// silent-for=1 needs (its second boot sequence, after 0.5 s).
constexpr int REPLY_TIMEOUT_MS = 1500;
constexpr int OUTCOME_WAIT_MS = 15000;

const char *const CONNECT = "connect";
const char *const READ = "read";
const char *const WRITE = "write";
const char *const RESET = "factory reset";

const QByteArray TIMEOUT = SIGNAL(timeout());
const QByteArray DEVICE_ERROR = SIGNAL(deviceError());
const QByteArray COMMS_ERROR = SIGNAL(commsError(quint16, QString));

// Each operation's facade method and the signal that tells its success.
const QMap<QString, QPair<const char *, QByteArray>> OPERATIONS = {
    {CONNECT, {"doConnect", SIGNAL(connectSuccessful())}},
    {READ, {"doReadDeviceConfiguration", SIGNAL(readFromDeviceSuccessful())}},
    {WRITE, {"doWriteDeviceConfiguration", SIGNAL(writeToDeviceSuccessful())}},
    {RESET, {"doFactoryReset", SIGNAL(factoryResetSuccessful())}}};

QByteArray successSignal(const QString &operation)
{
    return OPERATIONS.value(operation).second;
}

// The configuration the user is editing: the CWB's factory one with one setting
// changed, so that it differs from what the unit holds.
QByteArray editedConfiguration()
{
    using QVt::Pb::KtBridge::Configuration;
    Configuration configuration(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    configuration.parse(factoryConfiguration(PRODUCT_CWB).mid(CONFIGURATION_HEADER_SIZE));
    configuration.can()->setListenOnly(!configuration.can()->listenOnly());
    return QVt::Pb::Configuration::File::compose(PRODUCT_CWB, configuration.serialize());
}

void limitFileSize(rlim_t bytes)
{
    const rlimit limit{bytes, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVt::Pb::Utilities::registerMetaTypes();
        qRegisterMetaType<Types::eConfigurationType>();
        SaveStatusTracker::instance();
        // A write past the size limit then fails as on a full disk instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        mDeviceConfiguration = reportedCwbConfiguration();
        QVERIFY(writeFile(path("device.bgc"), mDeviceConfiguration));
        QByteArray corrupt = mDeviceConfiguration;
        corrupt[corrupt.size() - 1] = char(corrupt.back() ^ 0x5a);
        QVERIFY(writeFile(path("corrupt.bgc"), corrupt));
        QVERIFY(writeFile(path("edited.bgc"), editedConfiguration()));
        const QString resultsDir = qEnvironmentVariable("KT_BINARY_DIR", QDir::currentPath()) + "/reliability";
        QVERIFY(QDir().mkpath(resultsDir));
        // One file per run: CTest runs the in-process cells and the others side by side.
        mResults.setFileName(resultsDir + '/' + (QStringList("matrix") + QCoreApplication::arguments().mid(1)).join('-') + ".md");
        QVERIFY(mResults.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));

        // The hub creates its provider here, on the GUI thread, and the provider offers the
        // units' links first. A healthy unit serves the whole run, after every fault.
        startSimulator(mSimulator, "port", QString());
        startSimulator(mHealthy, "healthy", QString());
        qputenv("KTBRIDGE_EXTRA_PORTS", (path("port") + ':' + path("healthy")).toLocal8Bit());
        qputenv("KTBRIDGE_REPLY_TIMEOUT_MS", QByteArray::number(REPLY_TIMEOUT_MS));
        CommsHandler::instance();
        mStateMachine.reset(new StateMachine(nullptr));
        mStateMachine->setStartupOptions(url("edited.bgc"), false);
        mStateMachine->setReplyTimeout(REPLY_TIMEOUT_MS);
        mStateMachine->start();
        QTRY_VERIFY(device());
    }

    // Each cell starts disconnected, editing the file's configuration unsaved, with a fresh unit.
    void init()
    {
        QFile::remove(path("port.bgc"));
        useUnit("port");
        mStateMachine->doLoadConfiguration(url("edited.bgc"));
        QVERIFY(device());
        mEdited = device()->serialize();
        SaveStatusTracker::instance()->setSaveNeeded(true);
    }

    void cleanup()
    {
        limitFileSize(RLIM_INFINITY);
        mStateMachine->doDisconnect();
        QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
        mSimulator.reset();
        mResults.write(QStringLiteral("| %1 | %2 | %3 | %4 |\n").arg(mOperation, mFault, mOutcome, QTest::currentTestFailed() ? "FAIL" : "pass").toUtf8());
        mResults.flush();
    }

    void deviceFault_data()
    {
        QTest::addColumn<QByteArray>("outcome");
        QTest::newRow("connect, silent") << TIMEOUT;
        QTest::newRow("connect, error-on-read") << DEVICE_ERROR;
        QTest::newRow("connect, bad-checksum") << TIMEOUT;
        QTest::newRow("connect, silent-for=1") << successSignal(CONNECT);
        QTest::newRow("connect, split") << successSignal(CONNECT);
        QTest::newRow("connect, noise") << successSignal(CONNECT);
        QTest::newRow("connect, repeat-id") << successSignal(CONNECT);
        QTest::newRow("connect, hang-up-after=2") << COMMS_ERROR;
        QTest::newRow("connect, stale reply") << successSignal(CONNECT);
        QTest::newRow("connect, false-start") << successSignal(CONNECT);
        QTest::newRow("connect, flood") << TIMEOUT;
        QTest::newRow("read, split") << successSignal(READ);
        QTest::newRow("read, noise") << successSignal(READ);
        QTest::newRow("read, repeat-id") << successSignal(READ);
        QTest::newRow("read, vanish") << COMMS_ERROR;
        QTest::newRow("read, corrupt configuration") << QByteArray(SIGNAL(configurationChecksumError()));
        QTest::newRow("write, error-on-write") << DEVICE_ERROR;
        QTest::newRow("write, split") << successSignal(WRITE);
        QTest::newRow("write, noise") << successSignal(WRITE);
        QTest::newRow("write, repeat-id") << successSignal(WRITE);
        QTest::newRow("write, vanish") << COMMS_ERROR;
        QTest::newRow("write, false-start") << successSignal(WRITE);
        QTest::newRow("write, stale-reply") << TIMEOUT;
        // Nothing answers a reset; the unit restarts and is gone, which is no error.
        QTest::newRow("factory reset, vanish") << successSignal(RESET);
    }

    void deviceFault()
    {
        const QByteArray outcome = fetchCell();
        const QString &operation = mOperation;
        const bool succeeds = outcome == successSignal(operation);
        SaveStatusTracker *tracker = SaveStatusTracker::instance();
        AbstractDevice *edited = device();
        startSimulator(mSimulator, "port", mFault);
        QSignalSpy told(mStateMachine.get(), outcome.constData());
        QSignalSpy success(mStateMachine.get(), successSignal(operation).constData());
        QSignalSpy commsErrors(mStateMachine.get(), &StateMachine::commsError);

        runOperation(operation, mFault);
        QVERIFY(QTest::qWaitFor([&] { return !told.isEmpty() && !mStateMachine->busy(); }, OUTCOME_WAIT_MS));

        // Told once, by its own signal only; a connection is judged by the state it ends in.
        if (operation != QLatin1String(CONNECT))
            QCOMPARE(success.count(), succeeds ? 1 : 0);
        QCOMPARE(told.count(), 1);
        QCOMPARE(commsErrors.count(), outcome == COMMS_ERROR ? 1 : 0);
        QCOMPARE(mStateMachine->connected(), succeeds && operation != QLatin1String(RESET));
        QCOMPARE(mStateMachine->currentDevice(), edited);
        // What went out is what the device object holds while still connected.
        const QByteArray written = succeeds ? device()->serialize() : QByteArray();
        if (succeeds && operation == QLatin1String(READ)) {
            QCOMPARE(device()->serialize(), mDeviceConfiguration);
            QCOMPARE(tracker->saveNeeded(), false);
        } else {
            mStateMachine->doDisconnect();
            QCOMPARE(device()->serialize(), mEdited);
            QCOMPARE(tracker->saveNeeded(), true);
            QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_FILE);
        }
        // A unit that vanished may or may not have kept what reached it.
        if (operation == QLatin1String(WRITE) && mFault != VANISH)
            QCOMPARE(readFile(path("port.bgc")), written);

        // The same operation against a healthy unit.
        mStateMachine->doDisconnect();
        useUnit("healthy");
        success.clear();
        runOperation(operation, QString());
        QVERIFY(QTest::qWaitFor([&] { return !success.isEmpty(); }, OUTCOME_WAIT_MS));
        QCOMPARE(success.count(), 1);
    }

    void autoflash_data()
    {
        QTest::addColumn<QByteArray>("outcome");
        QTest::newRow("autoflash, silent") << QByteArray("ERROR");
        QTest::newRow("autoflash, silent-for=1") << QByteArray("SUCCESS");
        QTest::newRow("autoflash, error-on-write") << QByteArray("ERROR");
        QTest::newRow("autoflash, bad-checksum") << QByteArray("ERROR");
        QTest::newRow("autoflash, split") << QByteArray("SUCCESS");
        QTest::newRow("autoflash, noise") << QByteArray("SUCCESS");
        QTest::newRow("autoflash, repeat-id") << QByteArray("SUCCESS");
        QTest::newRow("autoflash, hang-up-after=2") << QByteArray("ERROR");
        QTest::newRow("autoflash, corrupt configuration") << QByteArray("SUCCESS");
        QTest::newRow("autoflash, false-start") << QByteArray("SUCCESS");
        QTest::newRow("autoflash, stale-reply") << QByteArray("ERROR");
        QTest::newRow("autoflash, flood") << QByteArray("ERROR");
    }

    // The verdict once with its exit status, an "ERROR" just after its reason; the start-up file
    // untouched, the unit holding its settings with the unit's own identity after a success
    // only; then a healthy unit's run succeeds.
    void autoflash()
    {
        const QByteArray verdict = fetchCell();
        const bool succeeds = verdict == "SUCCESS";
        const QString startupFile = path("edited.bgc");
        const QByteArray startupBytes = readFile(startupFile);
        const QStringList arguments = {QStringLiteral("--config"), startupFile, QStringLiteral("--autoflash")};
        startSimulator(mSimulator, "port", mFault);

        CommandLineRun run = CommandLineRunner(mDir.path(), path("port")).run(arguments);

        QCOMPARE(run.exitCode, succeeds ? 0 : 255);
        const QList<QByteArray> lines = run.standardError.split('\n');
        QVERIFY2(lines.count(verdict) == 1, run.standardError.constData());
        QVERIFY2(succeeds || lines.value(lines.indexOf("ERROR") - 1).startsWith("Autoflash failed:"), run.standardError.constData());
        QCOMPARE(run.standardError.count("Serial port error:"), mFault.startsWith("hang-up") ? 1 : 0);
        QCOMPARE(readFile(startupFile), startupBytes);
        const QByteArray unit = readFile(path(mFault == CORRUPT ? "corrupt.bgc" : "device.bgc"));
        QCOMPARE(readFile(path("port.bgc")), succeeds ? flashedConfiguration(startupBytes, unit) : QByteArray());

        run = CommandLineRunner(mDir.path(), path("healthy")).run(arguments);
        QVERIFY2(run.exitCode == 0 && run.standardError.contains("SUCCESS\n"), run.standardError.constData());
    }

    void fileFault_data()
    {
        QTest::addColumn<QByteArray>("outcome");
        QTest::newRow("save, unwritable folder") << QByteArray(SIGNAL(saveFileFailed(QString, QString)));
        QTest::newRow("save, disk full") << QByteArray(SIGNAL(saveFileFailed(QString, QString)));
        QTest::newRow("support archive, unwritable folder") << QByteArray(SIGNAL(packSupportArchiveFailed(QString, QString)));
        QTest::newRow("support archive, disk full") << QByteArray(SIGNAL(packSupportArchiveFailed(QString, QString)));
    }

    // The user is told, the earlier file stays whole, the configuration keeps its unsaved
    // mark and its file, and the next save to a sound place succeeds.
    void fileFault()
    {
        const QByteArray outcome = fetchCell();
        const bool save = mOperation == QLatin1String("save");
        const bool diskFull = mFault == DISK_FULL;
        const QString suffix = save ? QStringLiteral(".bgc") : QStringLiteral(".zip");
        // sysfs takes no new files, not even from root.
        const QString target = diskFull ? path("old" + suffix) : "/sys/kt-matrix" + suffix;
        if (diskFull)
            QVERIFY(writeFile(target, mDeviceConfiguration));
        const char *method = save ? "doSaveConfiguration" : "doPackSupportArchive";
        QSignalSpy failed(mStateMachine.get(), outcome.constData());
        QSignalSpy succeeded(mStateMachine.get(), save ? SIGNAL(saveFileSuccessful(QString))
                                                       : SIGNAL(packSupportArchiveSuccessful(QString)));

        if (diskFull)
            limitFileSize(DISK_FULL_BYTES);
        QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), method, Q_ARG(QString, QUrl::fromLocalFile(target).toString())));
        limitFileSize(RLIM_INFINITY);

        QCOMPARE(succeeded.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), target);
        QCOMPARE(readFile(target), diskFull ? mDeviceConfiguration : QByteArray());
        QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), true);

        const QString next = path("next" + suffix);
        QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), method, Q_ARG(QString, QUrl::fromLocalFile(next).toString())));
        QCOMPARE(succeeded.count(), 1);
        if (save)
            QCOMPARE(readFile(next), mEdited);
        QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), !save);
    }

private:
    // A row is named "operation, fault"; its outcome (a signal or a verdict) completes the cell.
    QByteArray fetchCell()
    {
        const QStringList cell = QString::fromLatin1(QTest::currentDataTag()).split(QStringLiteral(", "));
        mOperation = cell.value(0);
        mFault = cell.value(1);
        QFETCH(QByteArray, outcome);
        mOutcome = QString::fromLatin1(outcome.contains('(') ? outcome.mid(1, outcome.indexOf('(') - 1) : outcome);
        return outcome;
    }

    // A unit with the fault; for a stale reply, one that has just ended a connection with its
    // reply received but not yet handled. Operations other than connect connect first.
    void startSimulator(std::unique_ptr<SimulatorProcess> &simulator, const QString &link, const QString &fault)
    {
        QStringList arguments = {"--link", path(link), "--id-string", ID_STRING, "--product-id", PRODUCT_CWB,
                                 "--config", path(fault == CORRUPT ? "corrupt.bgc" : "device.bgc"),
                                 "--store", path(link + ".bgc"), "--verbose"};
        if (fault == VANISH)
            arguments << "--reply-delay" << "300";
        else if (!fault.isEmpty() && fault != STALE_REPLY && fault != CORRUPT)
            arguments << "--fault" << fault;
        simulator.reset(new SimulatorProcess);
        QVERIFY2(simulator->start(arguments), simulator->standardError().constData());
        if (fault != STALE_REPLY)
            return;
        mStateMachine->doConnect();
        QVERIFY(QTest::qWaitFor([this] { return mStateMachine->connected() && !mStateMachine->busy(); }, OUTCOME_WAIT_MS));
        QSemaphore received;
        QObject receiver;
        connect(qobject_cast<DataProvider *>(CommsHandler::instance()->currentProvider()), &DataProvider::newData,
                &receiver, [&received] { received.release(); }, Qt::DirectConnection);
        mStateMachine->doReadDeviceConfiguration();
        QVERIFY(received.tryAcquire(1, OUTCOME_WAIT_MS));
        mStateMachine->doDisconnect();
    }

    void runOperation(const QString &operation, const QString &fault)
    {
        if (operation != QLatin1String(CONNECT)) {
            mStateMachine->doConnect();
            QVERIFY(QTest::qWaitFor([this] { return mStateMachine->connected() && !mStateMachine->busy(); }, OUTCOME_WAIT_MS));
        }
        const int requests = mSimulator->standardError().count("rx ");
        QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), OPERATIONS.value(operation).first));
        if (fault == VANISH) {
            QVERIFY(QTest::qWaitFor([&] { return mSimulator->standardError().count("rx ") > requests; }, OUTCOME_WAIT_MS));
            QVERIFY(::kill(pid_t(mSimulator->processId()), SIGKILL) == 0);
        }
    }

    // The hub takes the unit's link before its next write.
    void useUnit(const QString &link)
    {
        qobject_cast<DataProvider *>(CommsHandler::instance()->currentProvider())->settingsList().constFirst()->setValue(path(link));
    }

    QString path(const QString &name) const { return mDir.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }
    AbstractDevice *device() const { return qobject_cast<AbstractDevice *>(mStateMachine->currentDevice()); }

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSimulator;
    std::unique_ptr<SimulatorProcess> mHealthy;
    std::unique_ptr<StateMachine> mStateMachine;
    QByteArray mDeviceConfiguration;
    QByteArray mEdited;
    QFile mResults;
    // The cell under test, for the results file.
    QString mOperation;
    QString mFault;
    QString mOutcome;
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultMatrix.moc"
