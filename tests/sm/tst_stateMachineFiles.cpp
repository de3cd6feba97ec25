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
    void withoutDevice_data();
    void withoutDevice();

    void load();
    void loadFailure_data();
    void loadFailure();
    void unsupportedProduct_data();
    void unsupportedProduct();
    void newConfiguration_data();
    void newConfiguration();
    void save_data();
    void save();
    void saveFailure_data();
    void saveFailure();

    void loadErrorOfCurrentDevice_data();
    void loadErrorOfCurrentDevice();
    void editOfCurrentDeviceMarksSaveNeeded();

    void packWithoutDeviceInformation();
    void packFailure();

    void timeoutWhileDisconnected();
    void commsErrorWhileDisconnected();

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

void TestStateMachineFiles::withoutDevice_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<QByteArray>("successSignal");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("logText");
    QTest::newRow("save") << QByteArray("doSaveConfiguration") << QByteArray(SIGNAL(saveFileSuccessful(QString)))
                          << QStringLiteral("nodevice.bgc") << QStringLiteral("Could not save to");
    QTest::newRow("pack") << QByteArray("doPackSupportArchive")
                          << QByteArray(SIGNAL(packSupportArchiveSuccessful(QString))) << QStringLiteral("nodevice.zip")
                          << QStringLiteral("Could not save support archive to");
}

void TestStateMachineFiles::withoutDevice()
{
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, successSignal);
    QFETCH(QString, fileName);
    QFETCH(QString, logText);
    QSignalSpy success(mStateMachine, successSignal.constData());

    expectWarning(QStringLiteral("%1 \"%2\"").arg(logText, url(fileName)));
    QVERIFY(QMetaObject::invokeMethod(mStateMachine, operation.constData(), Q_ARG(QString, url(fileName))));

    QCOMPARE(success.count(), 0);
    QVERIFY(!QFile::exists(path(fileName)));
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

    const QByteArray good = factoryConfiguration(PRODUCT_CWB);
    const QString notLocal = QStringLiteral("http://example.com/cw.bgc");
    const QString missing = url(QStringLiteral("missing.bgc"));
    QTest::newRow("not a local file URL")
        << notLocal << QByteArray() << QStringLiteral("Could not open configuration file \"%1\"").arg(notLocal)
        << QByteArray();
    QTest::newRow("missing file")
        << missing << QByteArray() << QStringLiteral("Could not open configuration file \"%1\"").arg(missing)
        << QByteArray();
    QTest::newRow("obsolete version") << url(QStringLiteral("obsolete.bgc")) << withVersion(good, 0) << QString()
                                      << QByteArray(SIGNAL(configurationVersionObsolete()));
    QTest::newRow("other version") << url(QStringLiteral("other.bgc")) << withVersion(good, 7) << QString()
                                   << QByteArray(SIGNAL(configurationVersionMismatch()));
    QTest::newRow("checksum") << url(QStringLiteral("checksum.bgc")) << withBadChecksum(good) << QString()
                              << QByteArray(SIGNAL(configurationChecksumError()));
    QTest::newRow("not a configuration") << url(QStringLiteral("text.bgc")) << QByteArray("hello, world\n")
                                         << QString() << QByteArray(SIGNAL(configurationParseError()));
    QTest::newRow("empty file") << url(QStringLiteral("empty.bgc")) << QByteArray("") << QString()
                                << QByteArray(SIGNAL(configurationParseError()));
}

// A failed load changes nothing: no device, no tracker change, no other signal.
void TestStateMachineFiles::loadFailure()
{
    QFETCH(QString, fileUrl);
    QFETCH(QByteArray, content);
    QFETCH(QString, logLine);
    QFETCH(QByteArray, errorSignal);

    if (!errorSignal.isEmpty())
        QVERIFY(writeFile(QUrl(fileUrl).toLocalFile(), content));
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    QSignalSpy trackerType(tracker, &SaveStatusTracker::configurationTypeChanged);
    QSignalSpy trackerPath(tracker, &SaveStatusTracker::currentFilePathChanged);
    QSignalSpy devices(mStateMachine, &StateMachine::currentDeviceChanged);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    const QList<QByteArray> errorSignals = {SIGNAL(configurationVersionObsolete()), SIGNAL(configurationVersionMismatch()),
                                            SIGNAL(configurationChecksumError()), SIGNAL(configurationParseError())};
    QList<QSharedPointer<QSignalSpy>> errors;
    for (const QByteArray &signal : errorSignals)
        errors.append(QSharedPointer<QSignalSpy>::create(mStateMachine, signal.constData()));

    if (!logLine.isEmpty())
        expectWarning(logLine);
    mStateMachine->doLoadConfiguration(fileUrl);

    for (int i = 0; i < errorSignals.size(); ++i)
        QCOMPARE(errors.at(i)->count(), errorSignals.at(i) == errorSignal ? 1 : 0);
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(devices.count(), 0);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(trackerPath.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

void TestStateMachineFiles::unsupportedProduct_data()
{
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("file of an unknown product") << true;
    QTest::newRow("new configuration for an unknown product") << false;
}

// The factory's log line and configurationUnsupported; the current device stays.
void TestStateMachineFiles::unsupportedProduct()
{
    QFETCH(bool, fromFile);
    const QByteArray unknown = File::compose(PRODUCT_UNKNOWN, mCwConfiguration.mid(CONFIGURATION_HEADER_SIZE));
    QVERIFY(writeFile(path(QStringLiteral("unknown.bgc")), unknown));
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
    QSignalSpy trackerType(SaveStatusTracker::instance(), &SaveStatusTracker::configurationTypeChanged);

    expectWarning(QStringLiteral("Could not find driver for product ID \"0000deadbeef\""));
    if (fromFile)
        mStateMachine->doLoadConfiguration(url(QStringLiteral("unknown.bgc")));
    else
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

void TestStateMachineFiles::saveFailure_data()
{
    QTest::addColumn<QString>("fileUrl");
    QTest::newRow("folder does not exist") << url(QStringLiteral("no-such-folder/cw.bgc"));
    QTest::newRow("not a local file URL") << QStringLiteral("http://example.com/cw.bgc");
}

void TestStateMachineFiles::saveFailure()
{
    QFETCH(QString, fileUrl);
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    QSignalSpy trackerType(tracker, &SaveStatusTracker::configurationTypeChanged);
    QSignalSpy trackerPath(tracker, &SaveStatusTracker::currentFilePathChanged);
    QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);

    expectWarning(QStringLiteral("Could not open configuration file \"%1\"").arg(fileUrl));
    mStateMachine->doSaveConfiguration(fileUrl);

    QCOMPARE(saved.count(), 0);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(trackerPath.count(), 0);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("no-such-folder"))));
}

void TestStateMachineFiles::loadErrorOfCurrentDevice_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("errorSignal");
    QTest::newRow("obsolete") << withVersion(mCwConfiguration, 0) << QByteArray(SIGNAL(configurationVersionObsolete()));
    QTest::newRow("other version") << withVersion(mCwConfiguration, 7)
                                   << QByteArray(SIGNAL(configurationVersionMismatch()));
    QTest::newRow("checksum") << withBadChecksum(mCwConfiguration) << QByteArray(SIGNAL(configurationChecksumError()));
    QTest::newRow("parse") << QByteArray("garbage") << QByteArray(SIGNAL(configurationParseError()));
}

// Every device that becomes current reports its load errors through the facade.
void TestStateMachineFiles::loadErrorOfCurrentDevice()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, errorSignal);
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    AbstractDevice *device = currentDevice();
    QVERIFY(device);
    QSignalSpy error(mStateMachine, errorSignal.constData());

    device->deserialize(content);

    QCOMPARE(error.count(), 1);
    // Disconnected, the machine drops the event: the device stays.
    QCOMPARE(currentDevice(), device);
}

void TestStateMachineFiles::editOfCurrentDeviceMarksSaveNeeded()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QVERIFY(currentDevice());
    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), false);

    emit currentDevice()->saveNeeded();

    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), true);
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

void TestStateMachineFiles::packFailure()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    const QString target = url(QStringLiteral("no-such-folder/support.zip"));
    QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);

    expectWarning(QStringLiteral("Could not open support archive file \"%1\"").arg(target));
    mStateMachine->doPackSupportArchive(target);

    QCOMPARE(packed.count(), 0);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("no-such-folder"))));
}

// The watch's expiry and link errors are reported whatever the machine makes of them.
void TestStateMachineFiles::timeoutWhileDisconnected()
{
    QSignalSpy timeout(mStateMachine, &StateMachine::timeout);
    QSignalSpy busy(mStateMachine, &StateMachine::busyChanged);

    QVERIFY(QMetaObject::invokeMethod(mStateMachine, "onTimeout"));

    QCOMPARE(timeout.count(), 1);
    QCOMPARE(busy.count(), 0);
    QCOMPARE(mStateMachine->connected(), false);
}

void TestStateMachineFiles::commsErrorWhileDisconnected()
{
    QSignalSpy commsError(mStateMachine, &StateMachine::commsError);
    QSignalSpy busy(mStateMachine, &StateMachine::busyChanged);
    const QString text = QStringLiteral("The serial port is not yet configured.");

    QVERIFY(QMetaObject::invokeMethod(mStateMachine, "onCommsError", Q_ARG(quint16, 65535), Q_ARG(QString, text)));

    QCOMPARE(commsError.count(), 1);
    QCOMPARE(commsError.at(0).at(0).value<quint16>(), quint16(65535));
    QCOMPARE(commsError.at(0).at(1).toString(), text);
    QCOMPARE(busy.count(), 0);
}

QTEST_MAIN(TestStateMachineFiles)
#include "tst_stateMachineFiles.moc"
