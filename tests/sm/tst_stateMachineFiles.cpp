// What the facade adds around the machine (files, support archive, device wiring, reply
// watch, guards before the machine exists), with the real drivers copied beside this
// test and a silent device: a pseudo-terminal that nobody answers on.
#include "deviceTestSupport.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/utilities.h>
#include <qvtpb/wlanConfig.h>

#include <KZip>

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

void expectWarning(const QString &line)
{
    QTest::ignoreMessage(QtWarningMsg, qPrintable(line));
}

// An I/O error that the disk reports only at fdatasync or close (a failing sector, a
// network file system): the call named here fails with EIO for files whose path begins
// with the prefix. The calls are wrapped at link time (tests/sm/CMakeLists.txt).
QByteArray gFailingCall;
QByteArray gFailingPrefix;

bool injectedFailure(int fd, const char *call)
{
    if (gFailingCall != call)
        return false;
    char name[4096];
    const ssize_t length = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), name, sizeof name);
    return length > 0 && QByteArray(name, int(length)).startsWith(gFailingPrefix);
}

} // namespace

extern "C" {
int __real_fdatasync(int fd);
int __real_close(int fd);

int __wrap_fdatasync(int fd)
{
    if (!injectedFailure(fd, "fdatasync"))
        return __real_fdatasync(fd);
    errno = EIO;
    return -1;
}

// As on Linux, the descriptor is released even when close reports an error.
int __wrap_close(int fd)
{
    const bool fails = injectedFailure(fd, "close");
    const int result = __real_close(fd);
    if (!fails)
        return result;
    errno = EIO;
    return -1;
}
}

class TestStateMachineFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
        QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
        QVt::Pb::Utilities::registerMetaTypes();
        qRegisterMetaType<Types::eConfigurationType>();
        mSilentDevice = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(mSilentDevice >= 0 && ::grantpt(mSilentDevice) == 0 && ::unlockpt(mSilentDevice) == 0);
        qputenv("KTBRIDGE_PORT", ::ptsname(mSilentDevice));
        // As in the interactive program, the singletons belong to the GUI thread.
        QVt::Comms::CommsHandler::instance();
        SaveStatusTracker::instance();
        mCwConfiguration = factoryConfiguration(PRODUCT_CW);
        QVERIFY(!mCwConfiguration.isEmpty());
        QDir().mkpath(path(QStringLiteral("full")));
        mFullDisk = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path(QStringLiteral("full"))}) == 0
                    && writeFile(path(QStringLiteral("full/cw.bgc")), QByteArray(20 * 1024, 'o'));
        if (mFullDisk)
            writeFile(path(QStringLiteral("full/filler")), QByteArray(64 * 1024, 'f'));

        // Before the thread has built the machine, nothing reaches it and file operations only log.
        mStateMachine = new StateMachine(nullptr);
        mStateMachine->setReplyTimeout(REPLY_TIMEOUT_MS);
        const QString early = url(QStringLiteral("early.bgc"));
        expectWarning(QStringLiteral("Could not load from \"%1\"").arg(early));
        mStateMachine->doLoadConfiguration(early);
        expectWarning(QStringLiteral("Could not create a new configuration for product ID \"0000c0de0001\""));
        mStateMachine->doNewConfiguration(PRODUCT_CW);
        mStateMachine->doConnect();
        QCOMPARE(mStateMachine->busy(), false);
    }

    void cleanupTestCase()
    {
        delete mStateMachine;
        ::close(mSilentDevice);
        if (mFullDisk)
            QProcess::execute("umount", {path(QStringLiteral("full"))});
    }

    // The start-up file names a product that no driver serves: its only trace is
    // configurationUnsupported, once, after the machine runs.
    void startupFileLoadsOnceAfterStart()
    {
        QVERIFY(writeFile(path(QStringLiteral("startup.bgc")),
                          File::compose(PRODUCT_UNKNOWN, mCwConfiguration.mid(CONFIGURATION_HEADER_SIZE))));
        QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
        mStateMachine->setStartupOptions(url(QStringLiteral("startup.bgc")), false);
        expectWarning(QStringLiteral("Could not find driver for product ID \"0000deadbeef\""));
        mStateMachine->start();
        QTRY_COMPARE(unsupported.count(), 1);
        QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);

        QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
        QVERIFY(writeFile(path(QStringLiteral("good.bgc")), mCwConfiguration));
        emit mStateMachine->loadStartupOptions(url(QStringLiteral("good.bgc")), false);
        QCOMPARE(loaded.count(), 0);
    }

    void load_data()
    {
        QTest::addColumn<QString>("fileUrl");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QByteArray>("outcome");

        const QByteArray good = factoryConfiguration(PRODUCT_CWB);
        QByteArray badChecksum = good;
        badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 0x5a);
        const auto refused = [](const char *name, const QString &fileUrl, const char *reason, const QByteArray &content = {}) {
            QTest::newRow(name) << fileUrl << content
                                << QStringLiteral("Could not open configuration file \"%1\" \"%2\"").arg(fileUrl, reason)
                                << QByteArray(SIGNAL(configurationUnreadable(QString,QString)));
        };
        refused("not a local file URL", QStringLiteral("http://example.com/cw.bgc"), "not a local file");
        refused("larger than 1 MiB", url(QStringLiteral("huge.bgc")), "larger than 1048576 bytes",
                QByteArray(1024 * 1024 + 1, 'x'));
        const auto row = [this](const char *name, const QByteArray &content, const char *outcome, const QString &logLine = {}) {
            QTest::newRow(name) << url(QString::fromLatin1(name) + ".bgc") << content << logLine << QByteArray(outcome);
        };
        row("loaded", good, SIGNAL(loadFileSuccessful(QString)));
        row("exactly 1 MiB: read, then judged by its content", QByteArray(1024 * 1024, 'x'), SIGNAL(configurationParseError()));
        // The format version is the big-endian word at offset 4.
        row("obsolete version", QByteArray(good).replace(4, 2, QByteArray(2, 0)), SIGNAL(configurationVersionObsolete()));
        row("newer version", QByteArray(good).replace(4, 2, QByteArray::fromHex("0007")), SIGNAL(configurationVersionMismatch()));
        row("checksum", badChecksum, SIGNAL(configurationChecksumError()));
        row("not a configuration", "hello, world\n", SIGNAL(configurationParseError()));
        row("product no driver serves", File::compose(PRODUCT_UNKNOWN, good.mid(CONFIGURATION_HEADER_SIZE)),
            SIGNAL(configurationUnsupported(QString)), "Could not find driver for product ID \"0000deadbeef\"");
    }

    // A load either makes the file's configuration current without unsaved changes, or
    // changes nothing and emits only its one signal.
    void load()
    {
        QFETCH(QString, fileUrl);
        QFETCH(QByteArray, content);
        QFETCH(QString, logLine);
        QFETCH(QByteArray, outcome);

        const QString filePath = QUrl(fileUrl).toLocalFile();
        if (!content.isEmpty())
            QVERIFY(writeFile(filePath, content));
        mStateMachine->doNewConfiguration(PRODUCT_CW);
        SaveStatusTracker *tracker = SaveStatusTracker::instance();
        tracker->setSaveNeeded(true);
        QObject *before = mStateMachine->currentDevice();
        QList<QSharedPointer<QSignalSpy>> spies;
        for (const char *signal : {SIGNAL(loadFileSuccessful(QString)), SIGNAL(configurationVersionObsolete()),
                                   SIGNAL(configurationVersionMismatch()), SIGNAL(configurationChecksumError()),
                                   SIGNAL(configurationParseError()), SIGNAL(configurationUnsupported(QString)),
                                   SIGNAL(configurationUnreadable(QString,QString))})
            spies.append(QSharedPointer<QSignalSpy>::create(mStateMachine, signal));

        if (!logLine.isEmpty())
            expectWarning(logLine);
        mStateMachine->doLoadConfiguration(fileUrl);

        for (const auto &spy : spies)
            QCOMPARE(spy->count(), spy->signal() == outcome.mid(1) ? 1 : 0);
        const bool loaded = outcome == SIGNAL(loadFileSuccessful(QString));
        QCOMPARE(mStateMachine->currentDevice() != before, loaded);
        QCOMPARE(tracker->saveNeeded(), !loaded);
        QCOMPARE(tracker->currentFilePath(), loaded ? filePath : QString());
        QCOMPARE(tracker->currentFileUrl(), loaded ? fileUrl : QString());
        QCOMPARE(tracker->configurationType(), loaded ? Types::CONFIGURATION_TYPE_FILE : Types::CONFIGURATION_TYPE_NEW);
        if (loaded)
            QCOMPARE(currentDevice()->serialize(), content);
    }

    // Opening a FIFO without a writer waits for one for good. Should the load ever open
    // it, the writer that comes along here ends the wait, so that the test fails instead
    // of hanging.
    void loadRefusesFifo()
    {
        const QByteArray fifo = QFile::encodeName(path(QStringLiteral("fifo.bgc")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> done{false}, opened{false};
        std::thread writer([&] {
            while (!done && !opened) {
                // Succeeds only while a reader waits in its open.
                const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
                opened = fd >= 0 && ::close(fd) == 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        expectWarning(QStringLiteral("Could not open configuration file \"%1\" \"not a regular file\"").arg(url(QStringLiteral("fifo.bgc"))));
        mStateMachine->doLoadConfiguration(url(QStringLiteral("fifo.bgc")));
        done = true;
        writer.join();
        QVERIFY2(!opened, "the load opened the FIFO and waited for a writer");
    }

    // A new configuration is the driver's, without file or unsaved changes, and reports its
    // edits and load errors through the facade.
    void newConfiguration()
    {
        SaveStatusTracker *tracker = SaveStatusTracker::instance();
        tracker->setSaveNeeded(true);
        QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
        QSignalSpy checksum(mStateMachine, &StateMachine::configurationChecksumError);
        mStateMachine->doNewConfiguration(PRODUCT_CWB);
        QCOMPARE(created.count(), 1);
        QCOMPARE(created.at(0).at(0).toString(), QStringLiteral("KT Bridge CWB"));
        QCOMPARE(tracker->currentFileUrl(), QString());
        QCOMPARE(tracker->saveNeeded(), false);
        QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_NEW);
        emit currentDevice()->saveNeeded();
        QCOMPARE(tracker->saveNeeded(), true);
        QByteArray badChecksum = mCwConfiguration;
        badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 0x5a);
        currentDevice()->deserialize(badChecksum);
        QCOMPARE(checksum.count(), 1);
    }

    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("existing");
        // The target's type and access bits before the save (0: a regular file as created),
        // and the call at which an I/O error is injected.
        QTest::addColumn<uint>("mode");
        QTest::addColumn<QByteArray>("failingCall");
        QTest::addColumn<QString>("reason");

        const QByteArray old(64 * 1024, 'x');
        QTest::newRow("new file") << "saved.bgc" << QByteArray() << 0u << QByteArray() << QString();
        QTest::newRow("over a longer file: the whole content replaced") << "saved.bgc" << old << 0u << QByteArray() << QString();
        QTest::newRow("folder does not exist") << "no-such-folder/cw.bgc" << QByteArray() << 0u << QByteArray()
                                               << "No such file or directory";
        QTest::newRow("saveKeepsModeAndOwner") << "kept.bgc" << old << uint(S_IFREG | 0640) << QByteArray() << QString();
        QTest::newRow("saveRefusesFifo") << "pipe.bgc" << QByteArray() << uint(S_IFIFO | 0600) << QByteArray()
                                         << "not a regular file";
        QTest::newRow("saveRefusesDeviceNode") << "null.bgc" << QByteArray() << uint(S_IFCHR | 0600) << QByteArray()
                                               << "not a regular file";
        QTest::newRow("saveFailsOnSyncError") << "sync.bgc" << old << 0u << QByteArray("fdatasync") << "Input/output error";
        QTest::newRow("saveFailsOnCloseError") << "close.bgc" << old << 0u << QByteArray("close") << "Input/output error";
    }

    void save()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, existing);
        QFETCH(uint, mode);
        QFETCH(QByteArray, failingCall);
        QFETCH(QString, reason);
        checkSave(name, existing, reason, mode, failingCall);
    }

    // A save onto a full disk fails whole: the old file stays as it was, nothing is left behind.
    void saveKeepsOldFileOnFullDisk()
    {
        if (!mFullDisk)
            QSKIP("mounting a small file system is not permitted here");
        checkSave(QStringLiteral("full/cw.bgc"), QByteArray(20 * 1024, 'o'), QStringLiteral("No space left on device"));
    }

    void pack_data()
    {
        QTest::addColumn<bool>("reported");
        QTest::addColumn<QList<QByteArray>>("deviceLines");
        QTest::newRow("configuration without device information") << false << QList<QByteArray>{"Device info: [NONE]\r"};
        QTest::newRow("configuration with what the unit reported")
            << true << QList<QByteArray>{"Serial number: 42\r", "Product code: abc\r", "Vendor ID: c0de\r", "Product group: 3\r",
                                         "UNIX time of manufacture: 1970/01/01 00:00:00 UTC\r",
                                         "WLAN FW version: " + WLAN_FIRMWARE.toLocal8Bit() + '\r',
                                         "WLAN MAC address: " + WLAN_MAC.toLocal8Bit() + '\r',
                                         "Bluetooth MAC address: " + BLUETOOTH_MAC.toLocal8Bit() + '\r'};
    }

    // The archive holds the configuration and the details text; not connected, the
    // identification text is empty.
    void pack()
    {
        QFETCH(bool, reported);
        QFETCH(QList<QByteArray>, deviceLines);
        const QByteArray configuration = reported ? reportedCwbConfiguration() : factoryConfiguration(PRODUCT_CWB);
        QVERIFY(writeFile(path(QStringLiteral("pack.bgc")), configuration));
        mStateMachine->doLoadConfiguration(url(QStringLiteral("pack.bgc")));
        QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);
        mStateMachine->doPackSupportArchive(url(QStringLiteral("support.zip")));
        QCOMPARE(packed.count(), 1);
        KZip zip(packed.at(0).at(0).toString());
        QVERIFY(zip.open(QIODevice::ReadOnly));
        QStringList entries = zip.directory()->entries();
        entries.sort();
        QCOMPARE(entries, (QStringList{"config.bgc", "details.txt"}));
        const auto *config = zip.directory()->file(QStringLiteral("config.bgc"));
        QCOMPARE(config->permissions(), mode_t(0100644));
        // Users mail these archives: the passphrase and the PIN are emptied, nothing else changes.
        using QVt::Pb::KtBridge::Configuration;
        const auto interfaces = Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH;
        Configuration original(interfaces);
        Configuration archived(interfaces);
        QVERIFY(original.parse(configuration.mid(CONFIGURATION_HEADER_SIZE)));
        QVERIFY(archived.parse(config->data().mid(CONFIGURATION_HEADER_SIZE)));
        QVERIFY(!original.wlan()->passphrase().isEmpty() && !original.bluetooth()->pin().isEmpty());
        QCOMPARE(archived.wlan()->passphrase(), QString());
        QCOMPARE(archived.bluetooth()->pin(), QString());
        archived.wlan()->setSecurityAndPassphrase(original.wlan()->security(), original.wlan()->passphrase());
        archived.bluetooth()->setPin(original.bluetooth()->pin());
        QCOMPARE(File::compose(PRODUCT_CWB, archived.serialize()), configuration);
        const QList<QByteArray> lines = zip.directory()->file(QStringLiteral("details.txt"))->data().split('\n');
        QVERIFY2(QRegularExpression(QStringLiteral("^Date and time: \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\r$"))
                     .match(QString::fromLocal8Bit(lines.at(0))).hasMatch(), lines.at(0).constData());
        QCOMPARE(lines.mid(1), QList<QByteArray>({"config.bgc: passphrase and PIN removed\r", "\r", "APPLICATION\r", "-----------\r", "Name: KT Bridge Configurator\r",
                                                  "Version: 2.1.0\r", "\r", "DEVICE\r", "------\r", "ID string: \r"})
                                   + deviceLines + QList<QByteArray>{""});
    }

    // The watch ends an attempt after the reply time-out; an expiry that was already on its
    // way when the attempt was given up does not end the next one.
    void staleTimeoutIsDropped()
    {
        QSignalSpy timeout(mStateMachine, &StateMachine::timeout);
        mStateMachine->doConnect();
        QVERIFY(mStateMachine->busy());
        // The watch expires on its own thread; the expiry waits in this blocked thread's queue.
        QThread::msleep(2 * REPLY_TIMEOUT_MS);
        mStateMachine->doDisconnect();
        mStateMachine->doConnect();
        QCoreApplication::processEvents();
        QCOMPARE(timeout.count(), 0);
        QVERIFY(mStateMachine->busy());

        QTRY_COMPARE(timeout.count(), 1);
        QCOMPARE(mStateMachine->busy(), false);
        QCOMPARE(mStateMachine->connected(), false);
    }

private:
    // A save either replaces the whole file and records it, or leaves the old file, the
    // unsaved mark and the tracker as they were and says why.
    // A save either replaces the whole file and records it, or leaves the old file, the
    // unsaved mark and the tracker as they were and says why. mode: the target's type and
    // access bits before the save (0: none made); failingCall: the call that gets an I/O error.
    void checkSave(const QString &name, const QByteArray &existing, const QString &reason, uint mode = 0,
                   const QByteArray &failingCall = QByteArray())
    {
        const QString target = path(name);
        const QByteArray nativeTarget = QFile::encodeName(target);
        if (name.startsWith(QLatin1String("full/")) && !mFullDisk)
            QSKIP("mounting a small file system is not permitted here");
        if (!name.startsWith(QLatin1String("full/")) && !existing.isEmpty())
            QVERIFY(writeFile(target, existing));
        // A file of someone else's, which this test (as root) may hand back to its owner.
        constexpr uid_t OTHER_USER = 4321;
        if (S_ISREG(mode) && (::chmod(nativeTarget, mode & 07777) != 0 || ::chown(nativeTarget, OTHER_USER, OTHER_USER) != 0))
            QSKIP("changing a file's owner is not permitted here");
        if (!S_ISREG(mode) && mode && ::mknod(nativeTarget, mode, S_ISCHR(mode) ? makedev(1, 3) : 0) != 0)
            QSKIP("making a device node is not permitted here");
        gFailingCall = failingCall;
        gFailingPrefix = nativeTarget;
        mStateMachine->doNewConfiguration(PRODUCT_CWB);
        SaveStatusTracker *tracker = SaveStatusTracker::instance();
        tracker->setSaveNeeded(true);
        QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
        QSignalSpy failed(mStateMachine, &StateMachine::saveFileFailed);

        if (!reason.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Could not write configuration file \"%1\" \".+\"$")
                                                                      .arg(QRegularExpression::escape(url(name)))));
        mStateMachine->doSaveConfiguration(url(name));
        gFailingCall.clear();

        const bool ok = reason.isEmpty();
        QCOMPARE(saved.count(), ok ? 1 : 0);
        QCOMPARE(failed.count(), ok ? 0 : 1);
        if (!ok)
            QVERIFY2(failed.at(0).at(1).toString().contains(reason), qPrintable(failed.at(0).at(1).toString()));
        QCOMPARE((ok ? saved : failed).at(0).at(0).toString(), target);
        struct stat after;
        QCOMPARE(::stat(nativeTarget, &after) == 0, ok || mode || !existing.isEmpty());
        if (mode)
            QCOMPARE(uint(after.st_mode), mode);
        if (S_ISREG(mode))
            QCOMPARE(after.st_uid, OTHER_USER);
        // Checked only once the target is known to be a regular file: reading a FIFO blocks.
        if (!mode || S_ISREG(mode))
            QCOMPARE(readFile(target), ok ? factoryConfiguration(PRODUCT_CWB) : existing);
        QCOMPARE(tracker->saveNeeded(), !ok);
        QCOMPARE(tracker->currentFileUrl(), ok ? url(name) : QString());
        QCOMPARE(tracker->configurationType(), ok ? Types::CONFIGURATION_TYPE_FILE : Types::CONFIGURATION_TYPE_NEW);
        // No temporary file is left behind.
        QCOMPARE(QFileInfo(target).dir().entryList({QFileInfo(target).fileName() + '*'}, QDir::Files | QDir::Hidden).size(),
                 ok || !existing.isEmpty() ? 1 : 0);
    }

    QString path(const QString &name) const { return mDir.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }
    QVt::Device::AbstractDevice *currentDevice() const
    {
        return qobject_cast<QVt::Device::AbstractDevice *>(mStateMachine->currentDevice());
    }

    QTemporaryDir mDir;
    StateMachine *mStateMachine = nullptr;
    QByteArray mCwConfiguration;
    // "full": a 64 KiB file system filled up, with an old "cw.bgc" of 20 KiB 'o' in it.
    bool mFullDisk = false;
    int mSilentDevice = -1;
};

QTEST_MAIN(TestStateMachineFiles)
#include "tst_stateMachineFiles.moc"
