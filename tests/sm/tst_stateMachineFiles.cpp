// What the facade adds around the machine: configuration files, the support archive,
// the device wiring, the reply watch and the guards before the machine exists, with
// the real driver plug-ins (copied into "devices" beside this test) and a silent
// device: a pseudo-terminal that nobody answers on.
#include "deviceTestSupport.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtpb/utilities.h>

#include <KZip>

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace DeviceTestSupport;
using QVt::Config::SaveStatusTracker;
using QVt::Global::Types;
using QVt::Pb::Configuration::File;
using QVt::Sm::StateMachine;

namespace {

const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
const QString PRODUCT_UNKNOWN = QStringLiteral("0000deadbeef");
constexpr int REPLY_TIMEOUT_MS = 400;

QByteArray withVersion(QByteArray bytes, quint16 version)
{
    bytes[4] = char(version >> 8);
    bytes[5] = char(version & 0xff);
    return bytes;
}

void expectWarning(const QString &line)
{
    QTest::ignoreMessage(QtWarningMsg, qPrintable(line));
}

bool run(const QString &program, const QStringList &arguments)
{
    return QProcess::execute(program, arguments) == 0;
}

} // namespace

class TestStateMachineFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startupFileLoadsOnceAfterStart();
    void load();
    void loadFailure_data();
    void loadFailure();
    void newConfiguration_data();
    void newConfiguration();
    void save_data();
    void save();
    void pack_data();
    void pack();
    void currentDeviceIsWired();
    void commsErrorReportedWhileDisconnected();
    void staleTimeoutIsDropped();

private:
    QString path(const QString &name) const { return mDir.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }
    QVt::Device::AbstractDevice *currentDevice() const
    {
        return qobject_cast<QVt::Device::AbstractDevice *>(mStateMachine->currentDevice());
    }
    // A 64 KiB file system at "small" with "small/full" filled up (an old "cw.bgc" of
    // 20 KiB 'o' in it) and "small/ro" read-only, or false where mounting is not permitted.
    bool mountSmallDisk();

    QTemporaryDir mDir;
    StateMachine *mStateMachine = nullptr;
    QByteArray mCwConfiguration;
    bool mMounted = false;
    int mSilentDevice = -1;
};

void TestStateMachineFiles::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
    QVt::Pb::Utilities::registerMetaTypes();
    qRegisterMetaType<Types::eConfigurationType>();
    QVERIFY(mDir.isValid());
    mSilentDevice = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(mSilentDevice >= 0 && ::grantpt(mSilentDevice) == 0 && ::unlockpt(mSilentDevice) == 0);
    qputenv("KTBRIDGE_PORT", ::ptsname(mSilentDevice));
    // As in the interactive program, the singletons belong to the GUI thread.
    QVt::Comms::CommsHandler::instance();
    SaveStatusTracker::instance();
    mCwConfiguration = factoryConfiguration(PRODUCT_CW);
    QVERIFY(!mCwConfiguration.isEmpty());

    // Before the thread has built the machine, nothing reaches it and every file
    // operation only logs.
    mStateMachine = new StateMachine(nullptr);
    mStateMachine->setReplyTimeout(REPLY_TIMEOUT_MS);
    const QString early = url(QStringLiteral("early.bgc"));
    expectWarning(QStringLiteral("Could not load from \"%1\"").arg(early));
    mStateMachine->doLoadConfiguration(early);
    expectWarning(QStringLiteral("Could not create a new configuration for product ID \"0000c0de0001\""));
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    expectWarning(QStringLiteral("Could not save to \"%1\"").arg(early));
    mStateMachine->doSaveConfiguration(early);
    expectWarning(QStringLiteral("Could not save support archive to \"%1\"").arg(early));
    mStateMachine->doPackSupportArchive(early);
    mStateMachine->doConnect();
    QCOMPARE(mStateMachine->busy(), false);
    QVERIFY(!QFile::exists(path(QStringLiteral("early.bgc"))));
}

void TestStateMachineFiles::cleanupTestCase()
{
    delete mStateMachine;
    ::close(mSilentDevice);
    if (mMounted) {
        run(QStringLiteral("umount"), {path(QStringLiteral("small/ro"))});
        run(QStringLiteral("umount"), {path(QStringLiteral("small"))});
    }
}

bool TestStateMachineFiles::mountSmallDisk()
{
    const QString small = path(QStringLiteral("small"));
    if (!mMounted) {
        QDir().mkpath(small);
        mMounted = run(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small});
        if (!mMounted)
            return false;
        QDir(small).mkdir(QStringLiteral("ro"));
        mMounted = run(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k,ro", "tmpfs", small + "/ro"});
        QDir(small).mkdir(QStringLiteral("full"));
        // An old file, then a filler that takes what room is left.
        writeFile(small + "/full/cw.bgc", QByteArray(20 * 1024, 'o'));
        writeFile(small + "/full/filler", QByteArray(64 * 1024, 'f'));
    }
    return mMounted;
}

// The start-up file names a product that no driver serves: its only trace is
// configurationUnsupported, once, after the machine runs.
void TestStateMachineFiles::startupFileLoadsOnceAfterStart()
{
    QVERIFY(writeFile(path(QStringLiteral("startup.bgc")),
                      File::compose(PRODUCT_UNKNOWN, mCwConfiguration.mid(CONFIGURATION_HEADER_SIZE))));
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy busy(mStateMachine, &StateMachine::busyChanged);
    mStateMachine->setStartupOptions(url(QStringLiteral("startup.bgc")), false);
    expectWarning(QStringLiteral("Could not find driver for product ID \"0000deadbeef\""));
    mStateMachine->start();
    QTRY_COMPARE(unsupported.count(), 1);
    QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);
    // The start's own announcements came first: the machine was in StateDisconnected.
    QVERIFY(!busy.isEmpty());

    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QVERIFY(writeFile(path(QStringLiteral("good.bgc")), mCwConfiguration));
    emit mStateMachine->loadStartupOptions(url(QStringLiteral("good.bgc")), false);
    QTest::qWait(50);
    QCOMPARE(loaded.count(), 0);
}

void TestStateMachineFiles::load()
{
    QVERIFY(writeFile(path(QStringLiteral("cw.bgc")), mCwConfiguration));
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);

    mStateMachine->doLoadConfiguration(url(QStringLiteral("cw.bgc")));

    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.at(0).at(0).toString(), path(QStringLiteral("cw.bgc")));
    QVERIFY(currentDevice());
    QCOMPARE(currentDevice()->serialize(), mCwConfiguration);
    QCOMPARE(tracker->currentFilePath(), path(QStringLiteral("cw.bgc")));
    QCOMPARE(tracker->currentFileUrl(), url(QStringLiteral("cw.bgc")));
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_FILE);
}

void TestStateMachineFiles::loadFailure_data()
{
    QTest::addColumn<QString>("fileUrl");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<QByteArray>("errorSignal");

    const QByteArray good = factoryConfiguration(PRODUCT_CWB);
    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 0x5a);
    const QString open = QStringLiteral("Could not open configuration file \"%1\" \"%2\"");
    const auto refused = [&](const char *name, const QString &fileUrl, const char *reason,
                             const QByteArray &content = QByteArray()) {
        QTest::newRow(name) << fileUrl << content << open.arg(fileUrl, reason) << QByteArray();
    };
    refused("not a local file URL", QStringLiteral("http://example.com/cw.bgc"), "not a local file");
    refused("missing file", url(QStringLiteral("missing.bgc")), "No such file or directory");
    refused("FIFO without a writer: refused, not blocking", url(QStringLiteral("fifo.bgc")), "not a regular file");
    refused("device", QStringLiteral("file:///dev/zero"), "not a regular file");
    refused("folder", url(QString()), "not a regular file");
    refused("larger than 1 MiB", url(QStringLiteral("huge.bgc")), "larger than 1048576 bytes",
            QByteArray(1024 * 1024 + 1, 'x'));
    const auto rejected = [](const char *name, const QString &fileUrl, const QByteArray &content, const char *signal,
                             const QString &logLine = QString()) {
        QTest::newRow(name) << fileUrl << content << logLine << QByteArray(signal);
    };
    rejected("obsolete version", url(QStringLiteral("obsolete.bgc")), withVersion(good, 0),
             SIGNAL(configurationVersionObsolete()));
    rejected("other version", url(QStringLiteral("other.bgc")), withVersion(good, 7), SIGNAL(configurationVersionMismatch()));
    rejected("checksum", url(QStringLiteral("checksum.bgc")), badChecksum, SIGNAL(configurationChecksumError()));
    rejected("not a configuration", url(QStringLiteral("text.bgc")), "hello, world\n", SIGNAL(configurationParseError()));
    rejected("product no driver serves", url(QStringLiteral("unknown.bgc")),
             File::compose(PRODUCT_UNKNOWN, good.mid(CONFIGURATION_HEADER_SIZE)),
             SIGNAL(configurationUnsupported(QString)), "Could not find driver for product ID \"0000deadbeef\"");
}

// A failed load changes nothing: no device, no tracker change, only its one signal.
void TestStateMachineFiles::loadFailure()
{
    QFETCH(QString, fileUrl);
    QFETCH(QByteArray, content);
    QFETCH(QString, logLine);
    QFETCH(QByteArray, errorSignal);

    const QString filePath = QUrl(fileUrl).toLocalFile();
    if (!content.isEmpty())
        QVERIFY(writeFile(filePath, content));
    if (filePath.endsWith(QLatin1String("fifo.bgc")) && !QFile::exists(filePath))
        QCOMPARE(::mkfifo(qPrintable(filePath), 0600), 0);
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    QSignalSpy trackerType(SaveStatusTracker::instance(), &SaveStatusTracker::configurationTypeChanged);
    QSignalSpy trackerPath(SaveStatusTracker::instance(), &SaveStatusTracker::currentFilePathChanged);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QList<QSharedPointer<QSignalSpy>> errors;
    for (const char *signal : {SIGNAL(configurationVersionObsolete()), SIGNAL(configurationVersionMismatch()),
                               SIGNAL(configurationChecksumError()), SIGNAL(configurationParseError()),
                               SIGNAL(configurationUnsupported(QString))})
        errors.append(QSharedPointer<QSignalSpy>::create(mStateMachine, signal));

    if (!logLine.isEmpty())
        expectWarning(logLine);
    mStateMachine->doLoadConfiguration(fileUrl);

    for (const auto &spy : errors)
        QCOMPARE(spy->count(), spy->signal() == errorSignal.mid(1) ? 1 : 0);
    QCOMPARE(loaded.count() + trackerType.count() + trackerPath.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

void TestStateMachineFiles::newConfiguration_data()
{
    QTest::addColumn<QString>("productId");
    QTest::addColumn<QString>("deviceName");
    QTest::newRow("CW") << PRODUCT_CW << QStringLiteral("KT Bridge CW");
    QTest::newRow("CW, older revision: the driver's name") << QStringLiteral("0000c0de0011") << QStringLiteral("KT Bridge CW");
    QTest::newRow("product no driver serves: unsupported, device stays") << PRODUCT_UNKNOWN << QString();
}

void TestStateMachineFiles::newConfiguration()
{
    QFETCH(QString, productId);
    QFETCH(QString, deviceName);
    QVERIFY(writeFile(path(QStringLiteral("before-new.bgc")), mCwConfiguration));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("before-new.bgc")));
    QObject *before = mStateMachine->currentDevice();
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);

    if (deviceName.isEmpty())
        expectWarning(QStringLiteral("Could not find driver for product ID \"%1\"").arg(productId));
    mStateMachine->doNewConfiguration(productId);

    QCOMPARE(created.count(), deviceName.isEmpty() ? 0 : 1);
    QCOMPARE(unsupported.count(), deviceName.isEmpty() ? 1 : 0);
    if (deviceName.isEmpty()) {
        QCOMPARE(mStateMachine->currentDevice(), before);
        QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_FILE);
        QCOMPARE(tracker->saveNeeded(), true);
        return;
    }
    QCOMPARE(created.at(0).at(0).toString(), deviceName);
    QVERIFY(currentDevice()->productIds().contains(productId));
    QCOMPARE(tracker->currentFilePath(), QString());
    QCOMPARE(tracker->currentFileUrl(), QString());
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_NEW);
}

void TestStateMachineFiles::save_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("smallDisk");
    QTest::addColumn<QString>("reason");

    QTest::newRow("new file") << "saved.bgc" << QByteArray() << false << QString();
    QTest::newRow("over a longer file: the whole content replaced") << "saved.bgc" << QByteArray(64 * 1024, 'x')
                                                                     << false << QString();
    QTest::newRow("folder does not exist") << "no-such-folder/cw.bgc" << QByteArray() << false
                                           << "No such file or directory";
    QTest::newRow("disk full: the old file stays whole") << "small/full/cw.bgc" << QByteArray(20 * 1024, 'o') << true
                                                         << "No space left on device";
    QTest::newRow("folder cannot be written") << "small/ro/cw.bgc" << QByteArray() << true
                                              << "Read-only file system";
}

// A save either replaces the whole file and records it, or leaves the old file, the
// unsaved mark and the tracker as they were and says why.
void TestStateMachineFiles::save()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, existing);
    QFETCH(bool, smallDisk);
    QFETCH(QString, reason);

    if (smallDisk && !mountSmallDisk())
        QSKIP("mounting a small file system is not permitted here");
    const QString target = path(name);
    if (!smallDisk) {
        QFile::remove(target);
        if (!existing.isEmpty())
            QVERIFY(writeFile(target, existing));
    }
    mStateMachine->doNewConfiguration(PRODUCT_CWB);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
    QSignalSpy failed(mStateMachine, &StateMachine::saveFileFailed);
    const QByteArray configuration = currentDevice()->serialize();

    if (!reason.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Could not write configuration file \"%1\" \".+\"$")
                                                                  .arg(QRegularExpression::escape(url(name)))));
    mStateMachine->doSaveConfiguration(url(name));

    QCOMPARE(saved.count(), reason.isEmpty() ? 1 : 0);
    QCOMPARE(failed.count(), reason.isEmpty() ? 0 : 1);
    const QString folder = QFileInfo(target).path();
    if (!reason.isEmpty()) {
        QCOMPARE(failed.at(0).at(0).toString(), target);
        QVERIFY2(failed.at(0).at(1).toString().contains(reason), qPrintable(failed.at(0).at(1).toString()));
        QCOMPARE(readFile(target), existing);
        QCOMPARE(tracker->saveNeeded(), true);
        QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_NEW);
        QCOMPARE(tracker->currentFilePath(), QString());
        QCOMPARE(QDir(folder).entryList({QStringLiteral("cw.bgc*")}, QDir::Files | QDir::Hidden).size(), existing.isEmpty() ? 0 : 1);
        return;
    }
    QCOMPARE(saved.at(0).at(0).toString(), target);
    QCOMPARE(readFile(target), configuration);
    QCOMPARE(tracker->currentFilePath(), target);
    QCOMPARE(tracker->currentFileUrl(), url(name));
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_FILE);
    QCOMPARE(QDir(folder).entryList({QStringLiteral("saved.bgc*")}, QDir::Files | QDir::Hidden), QStringList{name});
}

void TestStateMachineFiles::pack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<QList<QByteArray>>("deviceLines");

    QTest::newRow("configuration without device information") << "support.zip" << false
                                                              << QList<QByteArray>{"Device info: [NONE]\r"};
    QTest::newRow("configuration with what the unit reported")
        << "support.zip" << true
        << QList<QByteArray>{"Serial number: 42\r", "Product code: abc\r", "Vendor ID: c0de\r", "Product group: 3\r",
                             "UNIX time of manufacture: 1970/01/01 00:00:00 UTC\r",
                             "WLAN FW version: " + WLAN_FIRMWARE.toLocal8Bit() + '\r',
                             "WLAN MAC address: " + WLAN_MAC.toLocal8Bit() + '\r',
                             "Bluetooth MAC address: " + BLUETOOTH_MAC.toLocal8Bit() + '\r'};
    QTest::newRow("folder does not exist") << "no-such-folder/support.zip" << false << QList<QByteArray>();
    QTest::newRow("disk full") << "small/full/support.zip" << true << QList<QByteArray>();
}

// The archive holds the configuration and the details text, or is not written at all.
void TestStateMachineFiles::pack()
{
    QFETCH(QString, name);
    QFETCH(bool, reported);
    QFETCH(QList<QByteArray>, deviceLines);

    if (name.startsWith(QLatin1String("small")) && !mountSmallDisk())
        QSKIP("mounting a small file system is not permitted here");
    const QByteArray configuration = reported ? reportedCwbConfiguration() : mCwConfiguration;
    QVERIFY(writeFile(path(QStringLiteral("pack.bgc")), configuration));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("pack.bgc")));
    QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);
    QSignalSpy failed(mStateMachine, &StateMachine::packSupportArchiveFailed);
    if (deviceLines.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Could not write support archive file \"%1\" \".+\"$")
                                                                  .arg(QRegularExpression::escape(url(name)))));

    mStateMachine->doPackSupportArchive(url(name));

    if (deviceLines.isEmpty()) {
        QCOMPARE(packed.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), path(name));
        QVERIFY(!QFile::exists(path(name)));
        return;
    }
    QCOMPARE(packed.count(), 1);
    QCOMPARE(packed.at(0).at(0).toString(), path(name));
    KZip zip(path(name));
    QVERIFY(zip.open(QIODevice::ReadOnly));
    QCOMPARE(zip.directory()->entries().size(), 2);
    const auto *config = zip.directory()->file(QStringLiteral("config.bgc"));
    const auto *details = zip.directory()->file(QStringLiteral("details.txt"));
    QVERIFY(config && details);
    QCOMPARE(config->data(), configuration);
    QCOMPARE(config->permissions(), mode_t(0100644));
    const QList<QByteArray> lines = details->data().split('\n');
    QVERIFY2(QRegularExpression(QStringLiteral("^Date and time: \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\r$"))
                 .match(QString::fromLocal8Bit(lines.at(0))).hasMatch(), lines.at(0).constData());
    // Not connected: the identification text is empty.
    QCOMPARE(lines.mid(1), QList<QByteArray>({"\r", "APPLICATION\r", "-----------\r", "Name: KT Bridge Configurator\r",
                                              "Version: 2.1.0\r", "\r", "DEVICE\r", "------\r", "ID string: \r"})
                               + deviceLines + QList<QByteArray>{""});
}

// Every device that becomes current reports its edits and its load errors through the facade.
void TestStateMachineFiles::currentDeviceIsWired()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), false);
    QSignalSpy checksum(mStateMachine, &StateMachine::configurationChecksumError);
    QByteArray badChecksum = mCwConfiguration;
    badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 0x5a);

    emit currentDevice()->saveNeeded();
    currentDevice()->deserialize(badChecksum);

    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), true);
    QCOMPARE(checksum.count(), 1);
}

// The link's errors are reported whatever the machine makes of them.
void TestStateMachineFiles::commsErrorReportedWhileDisconnected()
{
    QSignalSpy commsError(mStateMachine, &StateMachine::commsError);
    const QString text = QStringLiteral("The serial port is not yet configured.");
    QVERIFY(QMetaObject::invokeMethod(mStateMachine, "onCommsError", Q_ARG(quint16, 65535), Q_ARG(QString, text)));
    QCOMPARE(commsError.count(), 1);
    QCOMPARE(commsError.at(0), (QList<QVariant>{QVariant::fromValue(quint16(65535)), text}));
    QCOMPARE(mStateMachine->connected(), false);
}

// The watch ends an attempt after the reply time-out; an expiry that was already on its
// way when the attempt was given up does not end the next one.
void TestStateMachineFiles::staleTimeoutIsDropped()
{
    QSignalSpy timeout(mStateMachine, &StateMachine::timeout);
    mStateMachine->doConnect();
    QVERIFY(mStateMachine->busy());
    // The watch expires on its own thread while this one is blocked.
    QThread::msleep(2 * REPLY_TIMEOUT_MS);
    mStateMachine->doDisconnect();
    mStateMachine->doConnect();
    QTest::qWait(REPLY_TIMEOUT_MS / 2);
    QCOMPARE(timeout.count(), 0);
    QVERIFY(mStateMachine->busy());

    QTRY_COMPARE(timeout.count(), 1);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(mStateMachine->connected(), false);
}

QTEST_MAIN(TestStateMachineFiles)
#include "tst_stateMachineFiles.moc"
