// Every fault a unit, its line or a disk can show, crossed with every operation it can
// touch, end to end: the facade with the real hub and serial provider against
// ktbridge-sim in this process, and unattended autoflash runs of the program itself.
// In every cell the machine ends where it should, the user hears of the outcome through
// the right signal (or exit status and verdict), the configuration being edited with its
// unsaved mark and every file stay whole, and the same operation then succeeds against a
// healthy unit. Each cell's result goes to reliability/matrix.md in the build folder,
// from which docs/reliability.md is generated.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <KZip>

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace DeviceTestSupport;
using QVt::Comms::CommsHandler;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Global::Types;
using QVt::Sm::StateMachine;

namespace {

// Stands for a unit that is unplugged or loses power: the simulator is killed once the
// operation's request has reached it, before its (delayed) reply is on the line.
const QString VANISH = QStringLiteral("vanish");
const QString HANG_UP = QStringLiteral("hang-up-after=2");
const QString UNWRITABLE_FOLDER = QStringLiteral("unwritable folder");
const QString DISK_FULL = QStringLiteral("disk full");
// sysfs takes no new files, not even from root.
const QString UNWRITABLE_DIR = QStringLiteral("/sys");
// Smaller than any configuration or archive, so that every save hits it.
constexpr rlim_t DISK_FULL_BYTES = 16;
// Short, so that the time-out cells take seconds, and still well above the wake-up
// that silent-for=3 needs (its fourth boot sequence, after 1.5 s).
constexpr int REPLY_TIMEOUT_MS = 3000;
constexpr int OUTCOME_WAIT_MS = 15000;

const char *const CONNECT = "connect";
const char *const READ = "read";
const char *const WRITE = "write";
const char *const RESET = "factory reset";

const QByteArray TIMEOUT = SIGNAL(timeout());
const QByteArray DEVICE_ERROR = SIGNAL(deviceError());
const QByteArray COMMS_ERROR = SIGNAL(commsError(quint16, QString));

// The bare name of a signal given as SIGNAL(name(args)).
QByteArray signalName(const QByteArray &signature)
{
    return signature.mid(1, signature.indexOf('(') - 1);
}

QByteArray operationMethod(const QString &operation)
{
    static const QMap<QString, QByteArray> methods = {
        {CONNECT, "doConnect"}, {READ, "doReadDeviceConfiguration"},
        {WRITE, "doWriteDeviceConfiguration"}, {RESET, "doFactoryReset"}};
    return methods.value(operation);
}

QByteArray successSignal(const QString &operation)
{
    static const QMap<QString, QByteArray> signatures = {
        {CONNECT, SIGNAL(connectSuccessful())}, {READ, SIGNAL(readFromDeviceSuccessful())},
        {WRITE, SIGNAL(writeToDeviceSuccessful())}, {RESET, SIGNAL(factoryResetSuccessful())}};
    return signatures.value(operation);
}

// The configuration the user is editing: the CWB's factory one with one setting
// changed, so that it differs from what the unit holds.
QByteArray editedConfiguration()
{
    using QVt::Pb::KtBridge::Configuration;
    Configuration configuration(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    if (!configuration.parse(factoryConfiguration(PRODUCT_CWB).mid(CONFIGURATION_HEADER_SIZE)))
        return QByteArray();
    configuration.can()->setListenOnly(!configuration.can()->listenOnly());
    return QVt::Pb::Configuration::File::compose(PRODUCT_CWB, configuration.serialize());
}

void limitFileSize(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void deviceFault_data();
    void deviceFault();
    void autoflash_data();
    void autoflash();
    void fileFault_data();
    void fileFault();

private:
    void startSimulator(const QString &fault = QString());
    void runOperation(const QString &operation, const QString &fault);
    QString path(const QString &name) const { return mDir.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }
    AbstractDevice *device() const { return qobject_cast<AbstractDevice *>(mStateMachine->currentDevice()); }

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSimulator;
    std::unique_ptr<StateMachine> mStateMachine;
    QByteArray mDeviceConfiguration;
    QByteArray mEdited;
    QFile mResults;
    // The cell under test, for the results file.
    QString mOperation;
    QString mFault;
    QString mOutcome;
};

void TestFaultMatrix::startSimulator(const QString &fault)
{
    QStringList arguments = {QStringLiteral("--link"), path(QStringLiteral("port")),
                             QStringLiteral("--id-string"), ID_STRING,
                             QStringLiteral("--product-id"), PRODUCT_CWB,
                             QStringLiteral("--config"), path(QStringLiteral("device.bgc")),
                             QStringLiteral("--store"), path(QStringLiteral("store.bgc")),
                             QStringLiteral("--verbose")};
    if (fault == VANISH)
        arguments << QStringLiteral("--reply-delay") << QStringLiteral("300");
    else if (!fault.isEmpty())
        arguments << QStringLiteral("--fault") << fault;
    mSimulator.reset(new SimulatorProcess);
    QVERIFY2(mSimulator->start(arguments), mSimulator->standardError().constData());
}

// Connects first unless the operation is the connection itself.
void TestFaultMatrix::runOperation(const QString &operation, const QString &fault)
{
    if (operation != QLatin1String(CONNECT)) {
        mStateMachine->doConnect();
        QTRY_VERIFY_WITH_TIMEOUT(mStateMachine->connected() && !mStateMachine->busy(), OUTCOME_WAIT_MS);
    }
    const int requests = mSimulator->standardError().count("rx ");
    QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), operationMethod(operation).constData()));
    if (fault == VANISH) {
        QTRY_VERIFY(mSimulator->standardError().count("rx ") > requests);
        QVERIFY(::kill(pid_t(mSimulator->processId()), SIGKILL) == 0);
    }
}

void TestFaultMatrix::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVt::Pb::Utilities::registerMetaTypes();
    qRegisterMetaType<Types::eConfigurationType>();
    SaveStatusTracker::instance();
    // A write past the size limit then fails with EFBIG, as on a full disk, instead of
    // ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(mDir.isValid());

    mDeviceConfiguration = reportedCwbConfiguration();
    QVERIFY(!mDeviceConfiguration.isEmpty());
    QVERIFY(writeFile(path(QStringLiteral("device.bgc")), mDeviceConfiguration));
    QVERIFY(writeFile(path(QStringLiteral("edited.bgc")), editedConfiguration()));

    const QString resultsDir = qEnvironmentVariable("KT_BINARY_DIR", QDir::currentPath()) + "/reliability";
    QVERIFY(QDir().mkpath(resultsDir));
    mResults.setFileName(resultsDir + "/matrix.md");
    QVERIFY(mResults.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));

    // The hub creates its provider here, on the GUI thread, and the provider offers the
    // simulator's link first.
    startSimulator();
    qputenv("KTBRIDGE_EXTRA_PORTS", path(QStringLiteral("port")).toLocal8Bit());
    QSettings().setValue(QStringLiteral("comms/serial/port"), path(QStringLiteral("port")));
    CommsHandler::instance();

    mStateMachine.reset(new StateMachine(nullptr));
    QSignalSpy loaded(mStateMachine.get(), &StateMachine::loadFileSuccessful);
    mStateMachine->setStartupOptions(url(QStringLiteral("edited.bgc")), false);
    mStateMachine->setReplyTimeout(REPLY_TIMEOUT_MS);
    mStateMachine->start();
    QTRY_COMPARE(loaded.count(), 1);
    mSimulator.reset();
}

// Every cell starts disconnected, editing the file's configuration with unsaved changes,
// against a unit that keeps nothing from earlier cells.
void TestFaultMatrix::init()
{
    QFile::remove(path(QStringLiteral("store.bgc")));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("edited.bgc")));
    QVERIFY(device());
    mEdited = device()->serialize();
    SaveStatusTracker::instance()->setSaveNeeded(true);
    mOperation.clear();
}

void TestFaultMatrix::cleanup()
{
    limitFileSize(RLIM_INFINITY);
    mStateMachine->doDisconnect();
    QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
    mSimulator.reset();
    if (mOperation.isEmpty())
        return;
    const QString row = QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                            .arg(mOperation, mFault, mOutcome,
                                 QTest::currentTestFailed() ? QStringLiteral("FAIL") : QStringLiteral("pass"));
    mResults.write(row.toUtf8());
    mResults.flush();
}

void TestFaultMatrix::deviceFault_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("outcome");

    QTest::newRow("connect, silent") << CONNECT << "silent" << TIMEOUT;
    QTest::newRow("connect, error-on-read") << CONNECT << "error-on-read" << DEVICE_ERROR;
    QTest::newRow("connect, bad-checksum") << CONNECT << "bad-checksum" << TIMEOUT;
    QTest::newRow("connect, silent-for=3") << CONNECT << "silent-for=3" << successSignal(CONNECT);
    QTest::newRow("connect, split") << CONNECT << "split" << successSignal(CONNECT);
    QTest::newRow("connect, noise") << CONNECT << "noise" << successSignal(CONNECT);
    QTest::newRow("connect, repeat-id") << CONNECT << "repeat-id" << successSignal(CONNECT);
    QTest::newRow("connect, hang-up") << CONNECT << HANG_UP << COMMS_ERROR;
    QTest::newRow("read, split") << READ << "split" << successSignal(READ);
    QTest::newRow("read, noise") << READ << "noise" << successSignal(READ);
    QTest::newRow("read, repeat-id") << READ << "repeat-id" << successSignal(READ);
    QTest::newRow("read, vanish") << READ << VANISH << COMMS_ERROR;
    QTest::newRow("write, error-on-write") << WRITE << "error-on-write" << DEVICE_ERROR;
    QTest::newRow("write, split") << WRITE << "split" << successSignal(WRITE);
    QTest::newRow("write, noise") << WRITE << "noise" << successSignal(WRITE);
    QTest::newRow("write, repeat-id") << WRITE << "repeat-id" << successSignal(WRITE);
    QTest::newRow("write, vanish") << WRITE << VANISH << COMMS_ERROR;
    // Nothing answers a reset; the unit restarts and is gone, which is no error.
    QTest::newRow("factory reset, vanish") << RESET << VANISH << successSignal(RESET);
}

void TestFaultMatrix::deviceFault()
{
    QFETCH(QString, operation);
    QFETCH(QString, fault);
    QFETCH(QByteArray, outcome);
    mOperation = operation;
    mFault = fault;
    mOutcome = QString::fromLatin1(signalName(outcome));
    const bool succeeds = outcome == successSignal(operation);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    AbstractDevice *edited = device();
    startSimulator(fault);
    QSignalSpy told(mStateMachine.get(), outcome.constData());
    QSignalSpy success(mStateMachine.get(), successSignal(operation).constData());
    QSignalSpy commsErrors(mStateMachine.get(), &StateMachine::commsError);
    QSignalSpy timeouts(mStateMachine.get(), &StateMachine::timeout);

    runOperation(operation, fault);
    QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), OUTCOME_WAIT_MS);
    QTRY_VERIFY(!mStateMachine->busy());

    // connectSuccessful comes before the automatic read, which may still fail: a connection
    // is judged by the state it ends in.
    if (operation != QLatin1String(CONNECT))
        QCOMPARE(success.count(), succeeds ? 1 : 0);
    // Told by its own signal only: no error where the exchange succeeded, no time-out
    // after an error. A line that goes may be reported again by the write on its way.
    if (outcome != COMMS_ERROR)
        QCOMPARE(told.count(), 1);
    QCOMPARE(commsErrors.isEmpty(), outcome != COMMS_ERROR);
    QCOMPARE(timeouts.count(), outcome == TIMEOUT ? 1 : 0);
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
    if (operation == QLatin1String(WRITE) && fault != VANISH)
        QCOMPARE(readFile(path(QStringLiteral("store.bgc"))), written);

    // The same operation against a healthy unit.
    mStateMachine->doDisconnect();
    startSimulator();
    success.clear();
    runOperation(operation, QString());
    QTRY_COMPARE_WITH_TIMEOUT(success.count(), 1, OUTCOME_WAIT_MS);
    // Not left before its automatic read is answered: a reply still on its way would
    // reach the next cell's connection as its identification text.
    QTRY_VERIFY(!mStateMachine->busy());
}

void TestFaultMatrix::autoflash_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("autoflash, silent") << "silent" << 255;
    QTest::newRow("autoflash, silent-for=3") << "silent-for=3" << 0;
    QTest::newRow("autoflash, error-on-write") << "error-on-write" << 255;
    QTest::newRow("autoflash, bad-checksum") << "bad-checksum" << 255;
    QTest::newRow("autoflash, split") << "split" << 0;
    QTest::newRow("autoflash, noise") << "noise" << 0;
    QTest::newRow("autoflash, repeat-id") << "repeat-id" << 0;
    QTest::newRow("autoflash, hang-up") << HANG_UP << 255;
}

// "SUCCESS" or "ERROR" once with its exit status; the start-up file is never touched,
// and the unit holds the file's configuration after a success and nothing new after an
// error; a second run against a healthy unit succeeds.
void TestFaultMatrix::autoflash()
{
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    const QByteArray verdict = exitCode == 0 ? "SUCCESS" : "ERROR";
    mOperation = QStringLiteral("autoflash");
    mFault = fault;
    mOutcome = QStringLiteral("exit %1, %2").arg(exitCode).arg(QString::fromLatin1(verdict));
    const QString startupFile = path(QStringLiteral("edited.bgc"));
    const QByteArray startupBytes = readFile(startupFile);
    const CommandLineRunner runner(mDir.path(), path(QStringLiteral("port")));
    const QStringList arguments = {QStringLiteral("--config"), startupFile, QStringLiteral("--autoflash")};
    startSimulator(fault);

    CommandLineRun run = runner.run(arguments);

    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.standardError.count(verdict + '\n') == 1, run.standardError.constData());
    QCOMPARE(run.standardError.count(exitCode == 0 ? "ERROR" : "SUCCESS"), 0);
    QCOMPARE(readFile(startupFile), startupBytes);
    QCOMPARE(readFile(path(QStringLiteral("store.bgc"))), exitCode == 0 ? startupBytes : QByteArray());

    startSimulator();
    run = runner.run(arguments);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.standardError.contains("SUCCESS\n"), run.standardError.constData());
}

void TestFaultMatrix::fileFault_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("outcome");

    const QByteArray saveFailed = SIGNAL(saveFileFailed(QString, QString));
    const QByteArray packFailed = SIGNAL(packSupportArchiveFailed(QString, QString));
    QTest::newRow("save, unwritable folder") << "save" << UNWRITABLE_FOLDER << saveFailed;
    QTest::newRow("save, disk full") << "save" << DISK_FULL << saveFailed;
    QTest::newRow("support archive, unwritable folder") << "support archive" << UNWRITABLE_FOLDER << packFailed;
    QTest::newRow("support archive, disk full") << "support archive" << DISK_FULL << packFailed;
}

// The user is told, the earlier file stays whole, the configuration keeps its unsaved
// mark and its file, and the next save to a sound place succeeds.
void TestFaultMatrix::fileFault()
{
    QFETCH(QString, operation);
    QFETCH(QString, fault);
    QFETCH(QByteArray, outcome);
    mOperation = operation;
    mFault = fault;
    mOutcome = QString::fromLatin1(signalName(outcome));
    const bool save = operation == QLatin1String("save");
    const QString suffix = save ? QStringLiteral(".bgc") : QStringLiteral(".zip");
    const QString target = fault == DISK_FULL ? path("old" + suffix) : UNWRITABLE_DIR + "/kt-matrix" + suffix;
    const QByteArray oldBytes = factoryConfiguration(PRODUCT_CWB);
    if (fault == DISK_FULL)
        QVERIFY(writeFile(target, oldBytes));
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    const QString trackedFile = tracker->currentFilePath();
    const char *method = save ? "doSaveConfiguration" : "doPackSupportArchive";
    QSignalSpy failed(mStateMachine.get(), outcome.constData());
    QSignalSpy succeeded(mStateMachine.get(), save ? SIGNAL(saveFileSuccessful(QString))
                                                   : SIGNAL(packSupportArchiveSuccessful(QString)));

    if (fault == DISK_FULL)
        limitFileSize(DISK_FULL_BYTES);
    QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), method,
                                      Q_ARG(QString, QUrl::fromLocalFile(target).toString())));
    limitFileSize(RLIM_INFINITY);

    QCOMPARE(succeeded.count(), 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), target);
    QVERIFY(!failed.at(0).at(1).toString().isEmpty());
    if (fault == DISK_FULL)
        QCOMPARE(readFile(target), oldBytes);
    else
        QVERIFY(!QFile::exists(target));
    QCOMPARE(tracker->currentFilePath(), trackedFile);
    QCOMPARE(tracker->saveNeeded(), true);

    const QString next = path("next" + suffix);
    QVERIFY(QMetaObject::invokeMethod(mStateMachine.get(), method, Q_ARG(QString, QUrl::fromLocalFile(next).toString())));
    QCOMPARE(succeeded.count(), 1);
    if (save) {
        QCOMPARE(readFile(next), mEdited);
        QCOMPARE(tracker->saveNeeded(), false);
        return;
    }
    KZip zip(next);
    QVERIFY(zip.open(QIODevice::ReadOnly));
    const KArchiveFile *config = zip.directory()->file(QStringLiteral("config.bgc"));
    QVERIFY(config);
    QCOMPARE(config->data(), mEdited);
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultMatrix.moc"
