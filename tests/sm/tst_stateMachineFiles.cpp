// Configuration files and the support archive through the facade, with the real
// driver plug-ins (copied into "devices" beside this test) and no device attached.
#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtbusgate/types.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/utilities.h>

#include <KZip>

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using QVt::Comms::CommsHandler;
using QVt::Config::SaveStatusTracker;
using QVt::Device::AbstractDevice;
using QVt::Device::DeviceFactory;
using QVt::Global::Types;
using QVt::Pb::Configuration::File;
using QVt::Sm::StateMachine;

namespace {

const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
const QString PRODUCT_CW_OLD_REVISION = QStringLiteral("0000c0de0011");
const QString PRODUCT_CWB = QStringLiteral("0000c0de0003");
const QString PRODUCT_UNKNOWN = QStringLiteral("0000deadbeef");

// Header fields of the configuration byte format that the failure cases break.
constexpr int VERSION_OFFSET = 4;
constexpr int HEADER_SIZE = 22;

QByteArray factoryConfiguration(const QString &productId)
{
    const QSharedPointer<AbstractDevice> device = DeviceFactory::instance()->createDevice(productId);
    return device ? device->serialize() : QByteArray();
}

QByteArray withVersion(QByteArray bytes, quint16 version)
{
    bytes[VERSION_OFFSET] = char(version >> 8);
    bytes[VERSION_OFFSET + 1] = char(version & 0xff);
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestStateMachineFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void startupFileLoadsOnceAfterStart();
    void saveWithoutDevice();
    void packWithoutDevice();

    void load();
    void loadFailure_data();
    void loadFailure();
    void loadUnsupportedProduct();

    void newConfiguration_data();
    void newConfiguration();
    void newConfigurationUnsupported();

    void save();
    void saveReplacesExistingFile();
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

    mStateMachine = new StateMachine(nullptr);

    // Before the thread has built the machine, nothing reaches it and every file
    // operation only logs.
    QCOMPARE(mStateMachine->connected(), false);
    QCOMPARE(mStateMachine->busy(), false);
    QCOMPARE(mStateMachine->currentDevice(), nullptr);
    QCOMPARE(mStateMachine->deviceIdString(), QString());
    const QString early = url(QStringLiteral("early.bgc"));
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Could not load from \"%1\"").arg(early)));
    mStateMachine->doLoadConfiguration(early);
    QTest::ignoreMessage(QtWarningMsg, "Could not create a new configuration for product ID \"0000c0de0001\"");
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Could not save to \"%1\"").arg(early)));
    mStateMachine->doSaveConfiguration(early);
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Could not save support archive to \"%1\"").arg(early)));
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
    const QByteArray unknown = File::compose(PRODUCT_UNKNOWN, mCwConfiguration.mid(HEADER_SIZE));
    QVERIFY(writeAll(path(QStringLiteral("startup.bgc")), unknown));

    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
    QSignalSpy busy(mStateMachine, &StateMachine::busyChanged);
    mStateMachine->setStartupOptions(url(QStringLiteral("startup.bgc")), false);
    QTest::ignoreMessage(QtWarningMsg, "Could not find driver for product ID \"0000deadbeef\"");
    mStateMachine->start();
    QTRY_COMPARE(unsupported.count(), 1);
    QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);
    // The start's own announcements came first: the machine was in StateDisconnected.
    QVERIFY(!busy.isEmpty());
    QCOMPARE(mStateMachine->currentDevice(), nullptr);

    QVERIFY(writeAll(path(QStringLiteral("good.bgc")), mCwConfiguration));
    emit mStateMachine->loadStartupOptions(url(QStringLiteral("good.bgc")), false);
    QTest::qWait(50);
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(unsupported.count(), 1);
}

void TestStateMachineFiles::saveWithoutDevice()
{
    const QString target = url(QStringLiteral("nodevice.bgc"));
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Could not save to \"%1\"").arg(target)));
    QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
    mStateMachine->doSaveConfiguration(target);
    QCOMPARE(saved.count(), 0);
    QVERIFY(!QFile::exists(path(QStringLiteral("nodevice.bgc"))));
}

void TestStateMachineFiles::packWithoutDevice()
{
    const QString target = url(QStringLiteral("nodevice.zip"));
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Could not save support archive to \"%1\"").arg(target)));
    QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);
    mStateMachine->doPackSupportArchive(target);
    QCOMPARE(packed.count(), 0);
    QVERIFY(!QFile::exists(path(QStringLiteral("nodevice.zip"))));
}

void TestStateMachineFiles::load()
{
    QVERIFY(writeAll(path(QStringLiteral("cw.bgc")), mCwConfiguration));
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
    auto *device = qobject_cast<AbstractDevice *>(devices.at(1).at(0).value<QObject *>());
    QVERIFY(device);
    QCOMPARE(mStateMachine->currentDevice(), device);
    QCOMPARE(device->primaryProductId(), PRODUCT_CW);
    QCOMPARE(device->serialize(), mCwConfiguration);
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
    badChecksum[badChecksum.size() - 1] = char(badChecksum.at(badChecksum.size() - 1) ^ 0x5a);

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
    QTest::newRow("checksum") << url(QStringLiteral("checksum.bgc")) << badChecksum << QString()
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
        QVERIFY(writeAll(QUrl(fileUrl).toLocalFile(), content));
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
        QTest::ignoreMessage(QtWarningMsg, qPrintable(logLine));
    mStateMachine->doLoadConfiguration(fileUrl);

    for (int i = 0; i < errorSignals.size(); ++i)
        QCOMPARE(errors.at(i)->count(), errorSignals.at(i) == errorSignal ? 1 : 0);
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(devices.count(), 0);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(trackerPath.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

void TestStateMachineFiles::loadUnsupportedProduct()
{
    const QByteArray unknown = File::compose(PRODUCT_UNKNOWN, mCwConfiguration.mid(HEADER_SIZE));
    QVERIFY(writeAll(path(QStringLiteral("unknown.bgc")), unknown));
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy trackerType(SaveStatusTracker::instance(), &SaveStatusTracker::configurationTypeChanged);

    QTest::ignoreMessage(QtWarningMsg, "Could not find driver for product ID \"0000deadbeef\"");
    mStateMachine->doLoadConfiguration(url(QStringLiteral("unknown.bgc")));

    QCOMPARE(unsupported.count(), 1);
    QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);
    QCOMPARE(trackerType.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

void TestStateMachineFiles::newConfiguration_data()
{
    QTest::addColumn<QString>("productId");
    QTest::addColumn<QString>("deviceName");
    QTest::newRow("CW") << PRODUCT_CW << QStringLiteral("KT Bridge CW");
    QTest::newRow("CW, older revision: the driver's name") << PRODUCT_CW_OLD_REVISION << QStringLiteral("KT Bridge CW");
    QTest::newRow("CWB") << PRODUCT_CWB << QStringLiteral("KT Bridge CWB");
}

void TestStateMachineFiles::newConfiguration()
{
    QFETCH(QString, productId);
    QFETCH(QString, deviceName);

    QVERIFY(writeAll(path(QStringLiteral("before-new.bgc")), mCwConfiguration));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("before-new.bgc")));
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);

    mStateMachine->doNewConfiguration(productId);

    QCOMPARE(created.count(), 1);
    QCOMPARE(created.at(0).at(0).toString(), deviceName);
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device);
    QVERIFY(device->productIds().contains(productId));
    QCOMPARE(tracker->currentFilePath(), QString());
    QCOMPARE(tracker->currentFileUrl(), QString());
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_NEW);
}

void TestStateMachineFiles::newConfigurationUnsupported()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    QObject *before = mStateMachine->currentDevice();
    QSignalSpy unsupported(mStateMachine, &StateMachine::configurationUnsupported);
    QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);

    QTest::ignoreMessage(QtWarningMsg, "Could not find driver for product ID \"0000deadbeef\"");
    mStateMachine->doNewConfiguration(PRODUCT_UNKNOWN);

    QCOMPARE(unsupported.count(), 1);
    QCOMPARE(unsupported.at(0).at(0).toString(), PRODUCT_UNKNOWN);
    QCOMPARE(created.count(), 0);
    QCOMPARE(mStateMachine->currentDevice(), before);
}

void TestStateMachineFiles::save()
{
    mStateMachine->doNewConfiguration(PRODUCT_CWB);
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device);
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    tracker->setSaveNeeded(true);
    QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);

    mStateMachine->doSaveConfiguration(url(QStringLiteral("saved.bgc")));

    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).toString(), path(QStringLiteral("saved.bgc")));
    QCOMPARE(readAll(path(QStringLiteral("saved.bgc"))), device->serialize());
    QCOMPARE(tracker->currentFilePath(), path(QStringLiteral("saved.bgc")));
    QCOMPARE(tracker->currentFileUrl(), url(QStringLiteral("saved.bgc")));
    QCOMPARE(tracker->saveNeeded(), false);
    QCOMPARE(tracker->configurationType(), Types::CONFIGURATION_TYPE_FILE);
    // Nothing but the file itself is left behind in its folder.
    QCOMPARE(QDir(mDir.path()).entryList({QStringLiteral("saved.bgc*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("saved.bgc")});
}

void TestStateMachineFiles::saveReplacesExistingFile()
{
    const QString target = path(QStringLiteral("existing.bgc"));
    QVERIFY(writeAll(target, QByteArray(64 * 1024, 'x')));
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device);

    mStateMachine->doSaveConfiguration(url(QStringLiteral("existing.bgc")));

    QCOMPARE(readAll(target), device->serialize());
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

    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Could not open configuration file \"%1\"").arg(fileUrl)));
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
    QByteArray badChecksum = mCwConfiguration;
    badChecksum[badChecksum.size() - 1] = char(badChecksum.at(badChecksum.size() - 1) ^ 0x5a);
    QTest::newRow("obsolete") << withVersion(mCwConfiguration, 0)
                              << QByteArray(SIGNAL(configurationVersionObsolete()));
    QTest::newRow("other version") << withVersion(mCwConfiguration, 7)
                                   << QByteArray(SIGNAL(configurationVersionMismatch()));
    QTest::newRow("checksum") << badChecksum << QByteArray(SIGNAL(configurationChecksumError()));
    QTest::newRow("parse") << QByteArray("garbage") << QByteArray(SIGNAL(configurationParseError()));
}

// Every device that becomes current reports its load errors through the facade.
void TestStateMachineFiles::loadErrorOfCurrentDevice()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, errorSignal);
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device);
    QSignalSpy error(mStateMachine, errorSignal.constData());

    device->deserialize(content);

    QCOMPARE(error.count(), 1);
    // Disconnected, the machine drops the event: the device stays.
    QCOMPARE(mStateMachine->currentDevice(), device);
}

void TestStateMachineFiles::editOfCurrentDeviceMarksSaveNeeded()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device);
    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), false);

    emit device->saveNeeded();

    QCOMPARE(SaveStatusTracker::instance()->saveNeeded(), true);
}

void TestStateMachineFiles::packWithoutDeviceInformation()
{
    QVERIFY(writeAll(path(QStringLiteral("pack.bgc")), mCwConfiguration));
    mStateMachine->doLoadConfiguration(url(QStringLiteral("pack.bgc")));
    auto *device = qobject_cast<AbstractDevice *>(mStateMachine->currentDevice());
    QVERIFY(device);
    QCOMPARE(device->deviceInfo(), nullptr);
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
    QVERIFY(config);
    QCOMPARE(config->data(), mCwConfiguration);
    QCOMPARE(config->permissions() & 0777, mode_t(0644));
    const auto *details = zip.directory()->file(QStringLiteral("details.txt"));
    QVERIFY(details);

    const QList<QByteArray> lines = details->data().split('\n');
    QCOMPARE(lines.size(), 12);
    QVERIFY2(QRegularExpression(QStringLiteral("^Date and time: \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\r$"))
                 .match(QString::fromLocal8Bit(lines.at(0)))
                 .hasMatch(),
             lines.at(0).constData());
    QCOMPARE(lines.at(1), QByteArray("\r"));
    QCOMPARE(lines.at(2), QByteArray("APPLICATION\r"));
    QCOMPARE(lines.at(3), QByteArray("-----------\r"));
    QCOMPARE(lines.at(4), QByteArray("Name: KT Bridge Configurator\r"));
    QCOMPARE(lines.at(5), QByteArray("Version: 2.1.0\r"));
    QCOMPARE(lines.at(6), QByteArray("\r"));
    QCOMPARE(lines.at(7), QByteArray("DEVICE\r"));
    QCOMPARE(lines.at(8), QByteArray("------\r"));
    QCOMPARE(lines.at(9), QByteArray("ID string: \r"));
    QCOMPARE(lines.at(10), QByteArray("Device info: [NONE]\r"));
    QCOMPARE(lines.at(11), QByteArray());
}

void TestStateMachineFiles::packFailure()
{
    mStateMachine->doNewConfiguration(PRODUCT_CW);
    const QString target = url(QStringLiteral("no-such-folder/support.zip"));
    QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);

    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Could not open support archive file \"%1\"").arg(target)));
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

    QVERIFY(QMetaObject::invokeMethod(mStateMachine, "onCommsError", Q_ARG(quint16, 65535),
                                      Q_ARG(QString, text)));

    QCOMPARE(commsError.count(), 1);
    QCOMPARE(commsError.at(0).at(0).value<quint16>(), quint16(65535));
    QCOMPARE(commsError.at(0).at(1).toString(), text);
    QCOMPARE(busy.count(), 0);
}

QTEST_MAIN(TestStateMachineFiles)
#include "tst_stateMachineFiles.moc"
