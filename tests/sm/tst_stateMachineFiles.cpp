// Configuration files and the support archive through the facade, with the real
// driver plug-ins (copied into "devices" beside this test) and no device attached.
#include "deviceTestSupport.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <KZip>

#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace DeviceTestSupport;
using QVt::Comms::CommsHandler;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Global::Types;
using QVt::Pb::Configuration::File;
using QVt::Sm::StateMachine;

namespace {

const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
const QString PRODUCT_UNKNOWN = QStringLiteral("0000deadbeef");
constexpr int VERSION_OFFSET = 4;

QByteArray withVersion(QByteArray bytes, quint16 version)
{
    bytes[VERSION_OFFSET] = char(version >> 8);
    bytes[VERSION_OFFSET + 1] = char(version & 0xff);
    return bytes;
}

QByteArray withBadChecksum(QByteArray bytes)
{
    bytes[bytes.size() - 1] = char(bytes.at(bytes.size() - 1) ^ 0x5a);
    return bytes;
}

void expectWarning(const QString &line)
{
    QTest::ignoreMessage(QtWarningMsg, qPrintable(line));
}

} // namespace

class TestStateMachineFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void startupFileLoadsOnceAfterStart();
    void writeFailure_data();
    void writeFailure();

    void load();
    void loadFailure_data();
    void loadFailure();
    void newConfigurationForUnknownProduct();
    void newConfiguration_data();
    void newConfiguration();
    void save_data();
    void save();

    void currentDeviceIsWired_data();
    void currentDeviceIsWired();

    void packWithoutDeviceInformation();

    void linkReportsWhileDisconnected();

private:
    QString path(const QString &name) const { return mDir.filePath(name); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(path(name)).toString(); }
    AbstractDevice *currentDevice() const { return qobject_cast<AbstractDevice *>(mStateMachine->currentDevice()); }

    QTemporaryDir mDir;
    StateMachine *mStateMachine = nullptr;
    QByteArray mCwConfiguration;
};

void TestStateMachineFiles::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
    QVt::Pb::Utilities::registerMetaTypes();
    qRegisterMetaType<Types::eConfigurationType>();
    QVERIFY(mDir.isValid());
    // As in the interactive program, the singletons belong to the GUI thread.
    CommsHandler::instance();
    SaveStatusTracker::instance();
    mCwConfiguration = factoryConfiguration(PRODUCT_CW);
    QVERIFY(!mCwConfiguration.isEmpty());

    // Before the thread has built the machine, nothing reaches it and every file
    // operation only logs.
    mStateMachine = new StateMachine(nullptr);
    QCOMPARE(mStateMachine->connected(), false);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(mStateMachine->currentDevice(), nullptr);
    QCOMPARE(mStateMachine->deviceIdString(), QString());
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
    QVERIFY(!QFile::exists(path(QStringLiteral("early.bgc"))));
}

void TestStateMachineFiles::cleanupTestCase()
{
    delete mStateMachine;
}

// The start-up file names a product that no driver serves: its only trace is
// configurationUnsupported, and it arrives once the machine runs.
void TestStateMachineFiles::startupFileLoadsOnceAfterStart()
{
    const QByteArray unknown = File::compose(PRODUCT_UNKNOWN, mCwConfiguration.mid(CONFIGURATION_HEADER_SIZE));
    QVERIFY(writeFile(path(QStringLiteral("startup.bgc")), unknown));
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QSignalSpy busy(mStateMachine, &StateMachine::busyChanged);
    mStateMachine->setStartupOptions(url(QStringLiteral("startup.bgc")), false);
    expectWarning(QStringLiteral("Could not find driver for product ID \"0000deadbeef\""));
    mStateMachine->start();
    QTRY_COMPARE(unsupported.count(), 1);
    QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);
    // The start's own announcements came first: the machine was in StateDisconnected.
    QVERIFY(!busy.isEmpty());
    QCOMPARE(mStateMachine->currentDevice(), nullptr);

    QVERIFY(writeFile(path(QStringLiteral("good.bgc")), mCwConfiguration));
    emit mStateMachine->loadStartupOptions(url(QStringLiteral("good.bgc")), false);
    QTest::qWait(50);
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(unsupported.count(), 1);
}

void TestStateMachineFiles::writeFailure_data()
{
    QTest::addColumn<bool>("withDevice");
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<QString>("fileUrl");
    QTest::addColumn<QString>("logLine");

    const QByteArray save("doSaveConfiguration");
    const QByteArray pack("doPackSupportArchive");
    const QString openConfiguration = QStringLiteral("Could not open configuration file \"%1\"");
    // The rows without a device come first: nothing has been loaded yet.
    QTest::newRow("save without a device")
        << false << save << url(QStringLiteral("nodevice.bgc")) << QStringLiteral("Could not save to \"%1\"");
    QTest::newRow("pack without a device") << false << pack << url(QStringLiteral("nodevice.zip"))
                                           << QStringLiteral("Could not save support archive to \"%1\"");
    QTest::newRow("save, folder does not exist")
        << true << save << url(QStringLiteral("no-such-folder/cw.bgc")) << openConfiguration;
    QTest::newRow("save, not a local file URL")
        << true << save << QStringLiteral("http://example.com/cw.bgc") << openConfiguration;
    QTest::newRow("pack, folder does not exist") << true << pack << url(QStringLiteral("no-such-folder/support.zip"))
                                                 << QStringLiteral("Could not open support archive file \"%1\"");
}

// A failed save or pack logs its line and changes nothing: no file, no signal.
void TestStateMachineFiles::writeFailure()
{
    QFETCH(bool, withDevice);
    QFETCH(QByteArray, operation);
    QFETCH(QString, fileUrl);
    QFETCH(QString, logLine);
    if (withDevice)
        mStateMachine->doNewConfiguration(PRODUCT_CW);
    QCOMPARE(currentDevice() != nullptr, withDevice);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    QSignalSpy trackerType(tracker, &SaveStatusTracker::configurationTypeChanged);
    QSignalSpy trackerPath(tracker, &SaveStatusTracker::currentFilePathChanged);
    QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
    QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);

    expectWarning(logLine.arg(fileUrl));
    QVERIFY(QMetaObject::invokeMethod(mStateMachine, operation.constData(), Q_ARG(QString, fileUrl)));

    QCOMPARE(saved.count(), 0);
    QCOMPARE(packed.count(), 0);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(trackerPath.count(), 0);
    const QString localFile = QUrl(fileUrl).toLocalFile();
    QVERIFY(localFile.isEmpty() || !QFileInfo::exists(localFile));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("no-such-folder"))));
}

void TestStateMachineFiles::load()
{
    QVERIFY(writeFile(path(QStringLiteral("cw.bgc")), mCwConfiguration));
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy devices(mStateMachine, &StateMachine::currentDeviceChanged);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);

    mStateMachine->doLoadConfiguration(url(QStringLiteral("cw.bgc")));

    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.at(0).at(0).toString(), path(QStringLiteral("cw.bgc")));
    // The null announcement lets go of the old device before the new one comes.
    QCOMPARE(devices.count(), 2);
    QCOMPARE(devices.at(0).at(0).value<QObject *>(), nullptr);
    QVERIFY(currentDevice());
    QCOMPARE(devices.at(1).at(0).value<QObject *>(), currentDevice());
    QCOMPARE(currentDevice()->primaryProductId(), PRODUCT_CW);
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
    QTest::addColumn<QString>("errorArgument");

    const QByteArray good = factoryConfiguration(PRODUCT_CWB);
    const QString notLocal = QStringLiteral("http://example.com/cw.bgc");
    const QString missing = url(QStringLiteral("missing.bgc"));
    QTest::newRow("not a local file URL")
        << notLocal << QByteArray() << QStringLiteral("Could not open configuration file \"%1\"").arg(notLocal)
        << QByteArray() << QString();
    QTest::newRow("missing file")
        << missing << QByteArray() << QStringLiteral("Could not open configuration file \"%1\"").arg(missing)
        << QByteArray() << QString();
    QTest::newRow("obsolete version") << url(QStringLiteral("obsolete.bgc")) << withVersion(good, 0) << QString()
                                      << QByteArray(SIGNAL(configurationVersionObsolete())) << QString();
    QTest::newRow("other version") << url(QStringLiteral("other.bgc")) << withVersion(good, 7) << QString()
                                   << QByteArray(SIGNAL(configurationVersionMismatch())) << QString();
    QTest::newRow("checksum") << url(QStringLiteral("checksum.bgc")) << withBadChecksum(good) << QString()
                              << QByteArray(SIGNAL(configurationChecksumError())) << QString();
    QTest::newRow("not a configuration") << url(QStringLiteral("text.bgc")) << QByteArray("hello, world\n")
                                         << QString() << QByteArray(SIGNAL(configurationParseError())) << QString();
    QTest::newRow("empty file") << url(QStringLiteral("empty.bgc")) << QByteArray("") << QString()
                                << QByteArray(SIGNAL(configurationParseError())) << QString();
    QTest::newRow("file of an unknown product")
        << url(QStringLiteral("unknown.bgc"))
        << File::compose(PRODUCT_UNKNOWN, good.mid(CONFIGURATION_HEADER_SIZE))
        << QStringLiteral("Could not find driver for product ID \"0000deadbeef\"")
        << QByteArray(SIGNAL(configurationUnsupported(QString))) << PRODUCT_UNKNOWN;
}

// A failed load changes nothing: no device, no tracker change, no other signal.
void TestStateMachineFiles::loadFailure()
{
    QFETCH(QString, fileUrl);
    QFETCH(QByteArray, content);
    QFETCH(QString, logLine);
    QFETCH(QByteArray, errorSignal);
    QFETCH(QString, errorArgument);

    if (!errorSignal.isEmpty())
        QVERIFY(writeFile(QUrl(fileUrl).toLocalFile(), content));
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    QSignalSpy trackerType(tracker, &SaveStatusTracker::configurationTypeChanged);
    QSignalSpy trackerPath(tracker, &SaveStatusTracker::currentFilePathChanged);
    QSignalSpy devices(mStateMachine, &StateMachine::currentDeviceChanged);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
    const QList<QByteArray> errorSignals = {SIGNAL(configurationVersionObsolete()), SIGNAL(configurationVersionMismatch()),
                                            SIGNAL(configurationChecksumError()), SIGNAL(configurationParseError()),
                                            SIGNAL(configurationUnsupported(QString))};
    QList<QSharedPointer<QSignalSpy>> errors;
    for (const QByteArray &signal : errorSignals)
        errors.append(QSharedPointer<QSignalSpy>::create(mStateMachine, signal.constData()));

    if (!logLine.isEmpty())
        expectWarning(logLine);
    mStateMachine->doLoadConfiguration(fileUrl);

    for (int i = 0; i < errorSignals.size(); ++i)
        QCOMPARE(errors.at(i)->count(), errorSignals.at(i) == errorSignal ? 1 : 0);
    if (!errorSignal.isEmpty())
        QCOMPARE(errors.at(errorSignals.indexOf(errorSignal))->first().value(0).toString(), errorArgument);
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(created.count(), 0);
    QCOMPARE(devices.count(), 0);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(trackerPath.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

// The factory's log line and configurationUnsupported; the current device stays.
void TestStateMachineFiles::newConfigurationForUnknownProduct()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
    QSignalSpy trackerType(SaveStatusTracker::instance(), &SaveStatusTracker::configurationTypeChanged);

    expectWarning(QStringLiteral("Could not find driver for product ID \"0000deadbeef\""));
    mStateMachine->doNewConfiguration(PRODUCT_UNKNOWN);

    QCOMPARE(unsupported.count(), 1);
    QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);
    QCOMPARE(loaded.count() + created.count(), 0);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

void TestStateMachineFiles::newConfiguration_data()
{
    QTest::addColumn<QString>("productId");
    QTest::addColumn<QString>("deviceName");
    QTest::newRow("CW") << PRODUCT_CW << QStringLiteral("KT Bridge CW");
    QTest::newRow("CW, older revision: the driver's name") << QStringLiteral("0000c0de0011")
                                                           << QStringLiteral("KT Bridge CW");
    QTest::newRow("CWB") << PRODUCT_CWB << QStringLiteral("KT Bridge CWB");
}

void TestStateMachineFiles::newConfiguration()
{
    QFETCH(QString, productId);
    QFETCH(QString, deviceName);
    QVERIFY(writeFile(path(QStringLiteral("before-new.bgc")), mCwConfiguration));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("before-new.bgc")));
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);

    mStateMachine->doNewConfiguration(productId);

    QCOMPARE(created.count(), 1);
    QCOMPARE(created.at(0).at(0).toString(), deviceName);
    QVERIFY(currentDevice());
    QVERIFY(currentDevice()->productIds().contains(productId));
    QCOMPARE(tracker->currentFilePath(), QString());
    QCOMPARE(tracker->currentFileUrl(), QString());
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_NEW);
}

void TestStateMachineFiles::save_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("new file") << QByteArray();
    QTest::newRow("over a longer file: the whole content is replaced") << QByteArray(64 * 1024, 'x');
}

void TestStateMachineFiles::save()
{
    QFETCH(QByteArray, existing);
    const QString target = path(QStringLiteral("saved.bgc"));
    QFile::remove(target);
    if (!existing.isEmpty())
        QVERIFY(writeFile(target, existing));
    mStateMachine->doNewConfiguration(PRODUCT_CWB);
    QVERIFY(currentDevice());
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);

    mStateMachine->doSaveConfiguration(url(QStringLiteral("saved.bgc")));

    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).toString(), target);
    QCOMPARE(readFile(target), currentDevice()->serialize());
    QCOMPARE(tracker->currentFilePath(), target);
    QCOMPARE(tracker->currentFileUrl(), url(QStringLiteral("saved.bgc")));
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_FILE);
    // Nothing but the file itself is left behind in its folder.
    QCOMPARE(QDir(mDir.path()).entryList({QStringLiteral("saved.bgc*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("saved.bgc")});
}

void TestStateMachineFiles::currentDeviceIsWired_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("errorSignal");
    QTest::newRow("obsolete") << withVersion(mCwConfiguration, 0) << QByteArray(SIGNAL(configurationVersionObsolete()));
    QTest::newRow("other version") << withVersion(mCwConfiguration, 7)
                                   << QByteArray(SIGNAL(configurationVersionMismatch()));
    QTest::newRow("checksum") << withBadChecksum(mCwConfiguration) << QByteArray(SIGNAL(configurationChecksumError()));
    QTest::newRow("parse") << QByteArray("garbage") << QByteArray(SIGNAL(configurationParseError()));
}

// Every device that becomes current reports its edits and load errors through the facade.
void TestStateMachineFiles::currentDeviceIsWired()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, errorSignal);
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    AbstractDevice *device = currentDevice();
    QVERIFY(device);
    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), false);
    QSignalSpy error(mStateMachine, errorSignal.constData());

    emit device->saveNeeded();
    device->deserialize(content);

    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), true);
    QCOMPARE(error.count(), 1);
    // Disconnected, the machine drops the event: the device stays.
    QCOMPARE(currentDevice(), device);
}

void TestStateMachineFiles::packWithoutDeviceInformation()
{
    QVERIFY(writeFile(path(QStringLiteral("pack.bgc")), mCwConfiguration));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("pack.bgc")));
    QVERIFY(currentDevice());
    QCOMPARE(currentDevice()->deviceInfo(), nullptr);
    QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);

    mStateMachine->doPackSupportArchive(url(QStringLiteral("support.zip")));

    QCOMPARE(packed.count(), 1);
    QCOMPARE(packed.at(0).at(0).toString(), path(QStringLiteral("support.zip")));
    KZip zip(path(QStringLiteral("support.zip")));
    QVERIFY(zip.open(QIODevice::ReadOnly));
    QStringList entries = zip.directory()->entries();
    entries.sort();
    QCOMPARE(entries, (QStringList{QStringLiteral("config.bgc"), QStringLiteral("details.txt")}));
    const auto *config = zip.directory()->file(QStringLiteral("config.bgc"));
    const auto *details = zip.directory()->file(QStringLiteral("details.txt"));
    QVERIFY(config && details);
    QCOMPARE(config->data(), mCwConfiguration);
    QCOMPARE(config->permissions() & 0777, mode_t(0644));
    const QList<QByteArray> lines = details->data().split('\n');
    QVERIFY2(QRegularExpression(QStringLiteral("^Date and time: \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\r$"))
                 .match(QString::fromLocal8Bit(lines.at(0)))
                 .hasMatch(),
             lines.at(0).constData());
    const QList<QByteArray> expected = {
        "\r", "APPLICATION\r", "-----------\r", "Name: KT Bridge Configurator\r", "Version: 2.1.0\r", "\r",
        "DEVICE\r", "------\r", "ID string: \r", "Device info: [NONE]\r", ""};
    QCOMPARE(lines.mid(1), expected);
}

// The watch's expiry and link errors are reported whatever the machine makes of them.
void TestStateMachineFiles::linkReportsWhileDisconnected()
{
    QSignalSpy timeout(mStateMachine, &StateMachine::timeout);
    QSignalSpy commsError(mStateMachine, &StateMachine::commsError);
    QSignalSpy busy(mStateMachine, &StateMachine::busyChanged);
    const QString text = QStringLiteral("The serial port is not yet configured.");

    QVERIFY(QMetaObject::invokeMethod(mStateMachine, "onTimeout"));
    QVERIFY(QMetaObject::invokeMethod(mStateMachine, "onCommsError", Q_ARG(quint16, 65535), Q_ARG(QString, text)));

    QCOMPARE(timeout.count(), 1);
    QCOMPARE(commsError.count(), 1);
    QCOMPARE(commsError.at(0).at(0).value<quint16>(), quint16(65535));
    QCOMPARE(commsError.at(0).at(1).toString(), text);
    QCOMPARE(busy.count(), 0);
    QCOMPARE(mStateMachine->connected(), false);
}

QTEST_MAIN(TestStateMachineFiles)
#include "tst_stateMachineFiles.moc"
