// The simulator as a program: its replies on the wire, the configuration it holds, its
// store and link files, its command line and how it ends. Fault modes and timing are in
// tst_ktbridgesimfaults.

#include "ptyClient.h"
#include "simulatorProcess.h"

#include "drivers/ktBridgeProduct.h"

#include <qvtpb/configurationFile.h>
#include <qvtpb/ktBridgeConfiguration.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <unistd.h>

using QVt::Pb::Can::Config;
using QVt::Pb::Configuration::File;
using QVt::Pb::KtBridge::Configuration;

namespace {

QByteArray bytes(const char *hexText)
{
    return QByteArray::fromHex(hexText);
}

const QByteArray kBootSequence = bytes("43 00 06 5A 50 58 4D 42 54 4C 0D");
const QByteArray kReadProductId = bytes("43 00 01 50 12 0D");
const QByteArray kReadConfiguration = bytes("43 00 01 4C 0E 0D");
const QByteArray kEnterNormalOperation = bytes("43 00 01 51 13 0D");
const QByteArray kEnterPairingMode = bytes("43 00 01 59 1B 0D");
const QByteArray kFactoryReset = bytes("43 00 01 5A 18 0D");
const QByteArray kWriteAbc = bytes("43 00 04 53 41 42 43 54 0D"); // "S" + "ABC"

const QByteArray kProductIdReply = bytes("43 00 07 50 00 00 C0 DE 00 03 09 0D");
const QByteArray kWriteReply = bytes("43 00 01 53 11 0D");
const QByteArray kErrorReply = bytes("43 00 01 45 07 0D");

const QString kDefaultProduct = QStringLiteral("0000c0de0003");
constexpr quint32 kDefaultSerialNumber = 20250001;

// Configuration bytes as the configurator writes them: settings, and device information
// of its own.
QByteArray configuration(Config::eBitRate bitRate)
{
    Configuration message(QVt::Device::KtBridgeProduct::find(kDefaultProduct)->interfaces());
    message.can()->setBitRate(bitRate);
    message.deviceInfo()->setSerialNumber(999);
    message.deviceInfo()->setProductCode(77);
    if (message.wlan())
        message.wlan()->deviceInfo()->setMac(QStringLiteral("00:00:00:00:00:99"));
    return File::compose(kDefaultProduct, message.serialize());
}

QByteArray frame(const QByteArray &payload)
{
    QByteArray result = bytes("43") + char(payload.size() >> 8) + char(payload.size() & 0xFF) + payload;
    char sum = 0;
    for (char byte : result)
        sum ^= byte;
    return result + sum + '\r';
}

QByteArray writeCommand(const QByteArray &configurationBytes)
{
    return frame('S' + configurationBytes);
}

// A configuration as the simulator returned it, and the product ID it was filed under.
struct ReadBack
{
    QString productId;
    std::unique_ptr<Configuration> configuration;
};

// Asks for the configuration and parses the reply (empty on any failure, which the
// caller's checks then report).
ReadBack readConfiguration(PtyClient &client)
{
    ReadBack result;
    result.configuration = std::make_unique<Configuration>(Configuration::INTERFACE_WLAN
                                                           | Configuration::INTERFACE_BLUETOOTH);
    if (!client.write(kReadConfiguration))
        return result;
    const QByteArray header = client.read(4);
    if (header.size() < 4 || header.at(3) != 'L')
        return result;
    const int length = (quint8(header.at(1)) << 8) | quint8(header.at(2));
    const QByteArray rest = client.read(length + 1);
    File file;
    if (rest.size() == length + 1 && file.load(rest.left(length - 1))
        && result.configuration->parse(file.body()))
        result.productId = file.productId();
    return result;
}

} // namespace

class TestKtBridgeSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void replies_data();
    void replies();
    void factoryConfigurationOfProduct_data();
    void factoryConfigurationOfProduct();
    void unitInformationFromOptions();
    void writtenBytesAreReadBackUnchanged_data();
    void writtenBytesAreReadBackUnchanged();
    void configurationOptionGivesFactoryBytes();
    void commandsWithoutReply_data();
    void commandsWithoutReply();
    void factoryResetRestoresFactoryConfiguration();
    void requestReassembly_data();
    void requestReassembly();
    void reopenedPortGetsNoStaleReply_data();
    void reopenedPortGetsNoStaleReply();

    void storeKeepsConfigurationAcrossRuns();
    void storeIsReplacedNotRewritten();
    void unwritableStoreAnswersError();

    void verboseLogsFramesInHex();
    void linkPointsAtTerminalWhileRunning();
    void linkRefusesToReplaceRegularFile();
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
    void badArguments_data();
    void badArguments();
    void helpListsRequestsAndFaults();

private:
    bool startAndOpen(SimulatorProcess &sim, PtyClient &client, const QStringList &arguments = {});
    QString writeFile(const QString &name, const QByteArray &contents);

    QTemporaryDir mDir;
};

void TestKtBridgeSim::initTestCase()
{
    QVERIFY(mDir.isValid());
}

bool TestKtBridgeSim::startAndOpen(SimulatorProcess &sim, PtyClient &client, const QStringList &arguments)
{
    return sim.start(arguments) && client.open(sim.portName());
}

QString TestKtBridgeSim::writeFile(const QString &name, const QByteArray &contents)
{
    const QString path = mDir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        return QString();
    return path;
}

void TestKtBridgeSim::replies_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("boot sequence: identification text")
        << QStringList{QStringLiteral("--id-string"), QStringLiteral("Test Unit 7")} << kBootSequence
        << bytes("43 00 0B 54 65 73 74 20 55 6E 69 74 20 37 6F 0D");
    QTest::newRow("P: product ID of the default product") << QStringList() << kReadProductId << kProductIdReply;
    QTest::newRow("P: product ID given in capitals")
        << QStringList{QStringLiteral("--product-id"), QStringLiteral("0000C0DE0001")} << kReadProductId
        << bytes("43 00 07 50 00 00 C0 DE 00 01 0B 0D");
    QTest::newRow("P: older hardware revision")
        << QStringList{QStringLiteral("--product-id"), QStringLiteral("0000c0de0011")} << kReadProductId
        << bytes("43 00 07 50 00 00 C0 DE 00 11 1B 0D");
    QTest::newRow("S: configuration for the product")
        << QStringList() << writeCommand(configuration(Config::BIT_RATE_250K)) << kWriteReply;
    QTest::newRow("S: any bytes") << QStringList() << kWriteAbc << kWriteReply;
    QTest::newRow("S: nothing") << QStringList() << bytes("43 00 01 53 11 0D") << kWriteReply;
    QTest::newRow("unknown command: error") << QStringList() << bytes("43 00 01 58 1A 0D") << kErrorReply;
}

void TestKtBridgeSim::replies()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, arguments));
    QVERIFY(client.write(request));
    QCOMPARE(client.read(reply.size()).toHex(' '), reply.toHex(' '));
    QCOMPARE(client.readFor(100), QByteArray());
}

void TestKtBridgeSim::factoryConfigurationOfProduct_data()
{
    QTest::addColumn<QString>("productId");
    QTest::addColumn<quint32>("productCode");
    QTest::addColumn<quint32>("revision");
    QTest::addColumn<QString>("ssid");            // empty: no WLAN
    QTest::addColumn<QString>("bluetoothName");   // empty: no Bluetooth

    QTest::newRow("KT Bridge CWB") << QStringLiteral("0000c0de0003") << 3u << 1u << QStringLiteral("KT-Bridge-CWB")
                                   << QStringLiteral("KT Bridge CWB");
    QTest::newRow("KT Bridge CW") << QStringLiteral("0000c0de0001") << 1u << 2u << QStringLiteral("KT-Bridge-CW")
                                  << QString();
    QTest::newRow("KT Bridge CW, older revision") << QStringLiteral("0000c0de0011") << 0x11u << 1u
                                                  << QStringLiteral("KT-Bridge-CW") << QString();
    QTest::newRow("KT Bridge CB") << QStringLiteral("0000c0de0002") << 2u << 1u << QString()
                                  << QStringLiteral("KT Bridge CB");
}

void TestKtBridgeSim::factoryConfigurationOfProduct()
{
    QFETCH(QString, productId);
    QFETCH(quint32, productCode);
    QFETCH(quint32, revision);
    QFETCH(QString, ssid);
    QFETCH(QString, bluetoothName);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--product-id"), productId}));
    const ReadBack readBack = readConfiguration(client);
    QCOMPARE(readBack.productId, productId);
    const Configuration &config = *readBack.configuration;
    QCOMPARE(config.can()->bitRate(), Config::BIT_RATE_500K);

    const QVt::Pb::Product::DeviceInfo *info = config.deviceInfo();
    QCOMPARE(info->vendorId(), 0xc0deu);
    QCOMPARE(info->productCode(), productCode);
    QCOMPARE(info->revisionNumber(), revision);
    QCOMPARE(info->serialNumber(), kDefaultSerialNumber);
    QCOMPARE(info->unixTimeOfManufacture(), qint64(1764547200));

    // Radios the product lacks report nothing.
    QCOMPARE(config.wlan()->ssid(), ssid);
    QCOMPARE(config.wlan()->deviceInfo()->mac(), ssid.isEmpty() ? QString() : QStringLiteral("02:4B:54:69:FB:22"));
    QCOMPARE(config.wlan()->deviceInfo()->moduleVersion(), ssid.isEmpty() ? QString() : QStringLiteral("2.4.1"));
    QCOMPARE(config.bluetooth()->deviceName(), bluetoothName);
    QCOMPARE(config.bluetooth()->deviceInfo()->mac(),
             bluetoothName.isEmpty() ? QString() : QStringLiteral("02:4B:54:69:FB:23"));
    QCOMPARE(config.bluetooth()->deviceInfo()->moduleVersion(),
             bluetoothName.isEmpty() ? QString() : QStringLiteral("1.9.3"));
}

void TestKtBridgeSim::unitInformationFromOptions()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client,
                         {QStringLiteral("--serial-number"), QStringLiteral("4711"), QStringLiteral("--wlan-mac"),
                          QStringLiteral("02:aa:bb:cc:dd:ee"), QStringLiteral("--bluetooth-mac"),
                          QStringLiteral("02:AA:BB:CC:DD:EF")}));
    const ReadBack readBack = readConfiguration(client);
    QCOMPARE(readBack.productId, kDefaultProduct);
    QCOMPARE(readBack.configuration->deviceInfo()->serialNumber(), 4711u);
    QCOMPARE(readBack.configuration->wlan()->deviceInfo()->mac(), QStringLiteral("02:AA:BB:CC:DD:EE"));
    QCOMPARE(readBack.configuration->bluetooth()->deviceInfo()->mac(), QStringLiteral("02:AA:BB:CC:DD:EF"));
}

void TestKtBridgeSim::writtenBytesAreReadBackUnchanged_data()
{
    QTest::addColumn<QByteArray>("written");
    // The configurator's own device information goes back as it came: the unit keeps
    // bytes the way its flash does.
    QTest::newRow("configuration") << configuration(Config::BIT_RATE_250K);
    QTest::newRow("any bytes") << QByteArray("ABC");
}

void TestKtBridgeSim::writtenBytesAreReadBackUnchanged()
{
    QFETCH(QByteArray, written);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client));
    QVERIFY(client.write(writeCommand(written)));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
    QVERIFY(client.write(kReadConfiguration));
    const QByteArray reply = frame('L' + written);
    QCOMPARE(client.read(reply.size()).toHex(' '), reply.toHex(' '));
}

void TestKtBridgeSim::configurationOptionGivesFactoryBytes()
{
    // A CR and a start byte inside, and no configuration at all: bytes are bytes.
    const QByteArray factoryBytes = bytes("01 0D 43 02");
    const QByteArray factoryReply = bytes("43 00 05 4C 01 0D 43 02 47 0D");
    const QString path = writeFile(QStringLiteral("factory.bin"), factoryBytes);
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--config"), path}));
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(factoryReply.size()), factoryReply);

    QVERIFY(client.write(kWriteAbc));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
    QVERIFY(client.write(kFactoryReset));
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(factoryReply.size()), factoryReply);
}

void TestKtBridgeSim::commandsWithoutReply_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("Q: enter normal operation") << kEnterNormalOperation;
    QTest::newRow("Y: enter pairing mode") << kEnterPairingMode;
    QTest::newRow("Z: factory reset") << kFactoryReset;
}

void TestKtBridgeSim::commandsWithoutReply()
{
    QFETCH(QByteArray, request);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client));
    QVERIFY(client.write(request));
    QCOMPARE(client.readFor(300), QByteArray());
    // Taken, not choked on: the next request is answered.
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
}

void TestKtBridgeSim::factoryResetRestoresFactoryConfiguration()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client));
    QVERIFY(client.write(writeCommand(configuration(Config::BIT_RATE_250K))));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
    QVERIFY(client.write(kFactoryReset));
    QCOMPARE(readConfiguration(client).configuration->can()->bitRate(), Config::BIT_RATE_500K);
}

void TestKtBridgeSim::requestReassembly_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("request in three writes")
        << QList<QByteArray>{bytes("43 00"), bytes("01 50"), bytes("12 0D")} << kProductIdReply;
    // "S" with the single byte 0D: stored as one whole request, and read back.
    QTest::newRow("CR inside the request ends no frame")
        << QList<QByteArray>{bytes("43 00 02 53 0D"), bytes("1F 0D"), kReadConfiguration}
        << kWriteReply + bytes("43 00 02 4C 0D 00 0D");
    QTest::newRow("stray bytes before the request")
        << QList<QByteArray>{bytes("FF 00 0D") + kReadProductId} << kProductIdReply;
    QTest::newRow("two requests in one write")
        << QList<QByteArray>{kReadProductId + kWriteAbc} << kProductIdReply + kWriteReply;
    QTest::newRow("frame with a bad checksum is dropped")
        << QList<QByteArray>{bytes("43 00 01 50 13 0D") + kReadProductId} << kProductIdReply;
    QTest::newRow("empty frame is dropped")
        << QList<QByteArray>{bytes("43 00 00 43 0D") + kReadProductId} << kProductIdReply;
}

void TestKtBridgeSim::requestReassembly()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QByteArray, replies);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client));
    for (const QByteArray &piece : writes) {
        QVERIFY(client.write(piece));
        QThread::msleep(50);
    }
    QCOMPARE(client.read(replies.size()).toHex(' '), replies.toHex(' '));
    QCOMPARE(client.readFor(100), QByteArray());
}

void TestKtBridgeSim::reopenedPortGetsNoStaleReply_data()
{
    QTest::addColumn<int>("replyDelayMs");
    QTest::addColumn<int>("openMs");
    QTest::newRow("reply left unread") << 0 << 100;
    QTest::newRow("reply still on its way") << 200 << 0;
}

void TestKtBridgeSim::reopenedPortGetsNoStaleReply()
{
    QFETCH(int, replyDelayMs);
    QFETCH(int, openMs);

    // The program may close the port before a reply has come, and opens it again for the
    // next connection: the old reply must not greet the new connection.
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--reply-delay"), QString::number(replyDelayMs)}));
    QVERIFY(client.write(kReadProductId));
    QThread::msleep(openMs);
    client.close();
    QThread::msleep(400);
    QVERIFY(client.open(sim.portName()));
    QCOMPARE(client.readFor(300), QByteArray());
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
}

void TestKtBridgeSim::storeKeepsConfigurationAcrossRuns()
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("unit.store"));
    {
        SimulatorProcess sim;
        PtyClient client;
        QVERIFY(startAndOpen(sim, client, {QStringLiteral("--store"), store}));
        QVERIFY(!QFile::exists(store));
        QVERIFY(client.write(writeCommand(configuration(Config::BIT_RATE_250K))));
        QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
        QVERIFY(sim.stop());
    }
    QFile file(store);
    QVERIFY(file.open(QIODevice::ReadOnly));
    File stored;
    QVERIFY(stored.load(file.readAll()));
    QCOMPARE(stored.productId(), kDefaultProduct);
    file.close();

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--store"), store}));
    QCOMPARE(readConfiguration(client).configuration->can()->bitRate(), Config::BIT_RATE_250K);

    // A factory reset is a change like any other: it is kept as well.
    QVERIFY(client.write(kFactoryReset));
    QCOMPARE(readConfiguration(client).configuration->can()->bitRate(), Config::BIT_RATE_500K);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(stored.load(file.readAll()));
    Configuration reset(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    QVERIFY(reset.parse(stored.body()));
    QCOMPARE(reset.can()->bitRate(), Config::BIT_RATE_500K);
}

void TestKtBridgeSim::storeIsReplacedNotRewritten()
{
    // A second name for the old file still shows the old bytes: the new ones went into a
    // new file that took the name in one step, so no reader ever sees half a store.
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("unit.store"));
    const QString oldName = dir.filePath(QStringLiteral("old.store"));
    const QByteArray oldBytes = configuration(Config::BIT_RATE_125K);
    QFile file(store);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(oldBytes);
    file.close();
    QCOMPARE(::link(QFile::encodeName(store).constData(), QFile::encodeName(oldName).constData()), 0);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--store"), store}));
    QCOMPARE(readConfiguration(client).configuration->can()->bitRate(), Config::BIT_RATE_125K);
    QVERIFY(client.write(writeCommand(configuration(Config::BIT_RATE_250K))));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);

    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), configuration(Config::BIT_RATE_250K));
    QFile old(oldName);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), oldBytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("old.store"), QStringLiteral("unit.store")}));
}

void TestKtBridgeSim::unwritableStoreAnswersError()
{
    const QString store = mDir.filePath(QStringLiteral("missing-folder/unit.store"));
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--store"), store}));
    QVERIFY(client.write(writeCommand(configuration(Config::BIT_RATE_250K))));
    QCOMPARE(client.read(kErrorReply.size()), kErrorReply);
    QVERIFY(sim.waitForStandardError("ktbridge-sim: cannot write \"" + store.toUtf8() + "\""));
    // The device keeps what it had.
    QCOMPARE(readConfiguration(client).configuration->can()->bitRate(), Config::BIT_RATE_500K);
}

void TestKtBridgeSim::verboseLogsFramesInHex()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, {QStringLiteral("--verbose")}));
    QVERIFY(client.write(bytes("00 FF") + kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
    QVERIFY(sim.waitForStandardError("tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
    QCOMPARE(sim.standardError(),
             QByteArray("client opened\n"
                        "rx discarded 00 FF\n"
                        "rx 43 00 01 50 12 0D\n"
                        "tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
    client.close();
    QVERIFY(sim.waitForStandardError("client closed\n"));
}

void TestKtBridgeSim::linkPointsAtTerminalWhileRunning()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyKTB0"));
    SimulatorProcess sim;
    QVERIFY(sim.start({QStringLiteral("--link"), link}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portName());

    PtyClient client;
    QVERIFY(client.open(link));
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);

    QVERIFY(sim.stop());
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestKtBridgeSim::linkRefusesToReplaceRegularFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    SimulatorProcess sim;
    QVERIFY(!sim.start({QStringLiteral("--link"), path}));
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitCode(), 1);
    QCOMPARE(sim.standardError(),
             "ktbridge-sim: --link: \"" + path.toUtf8() + "\" exists and is not a symbolic link\n");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestKtBridgeSim::endsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void TestKtBridgeSim::endsCleanlyOnSignal()
{
    QFETCH(int, signalNumber);

    SimulatorProcess sim;
    QVERIFY(sim.start());
    QVERIFY(QFile::exists(sim.portName()));
    QCOMPARE(::kill(pid_t(sim.processId()), signalNumber), 0);
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFile::exists(sim.portName()));
}

void TestKtBridgeSim::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");

    const auto row = [](const char *name, const QStringList &arguments, int exitCode, const QByteArray &message) {
        QTest::newRow(name) << arguments << exitCode << message;
    };
    row("unknown option", {"--frobnicate"}, 2, "ktbridge-sim: Unknown option 'frobnicate'.\n");
    row("missing value", {"--baud"}, 2, "ktbridge-sim: Missing value after '--baud'.\n");
    row("positional argument", {"extra"}, 2, "ktbridge-sim: unexpected argument \"extra\"\n");
    row("unknown fault", {"--fault", "bogus"}, 2,
        "ktbridge-sim: unknown fault \"bogus\" (see --help for the fault names)\n");
    row("hang-up after no frames", {"--fault", "hang-up-after=0"}, 2,
        "ktbridge-sim: --fault hang-up-after=N needs a whole number N of at least 1, not \"0\"\n");
    row("hang-up after words", {"--fault", "hang-up-after=some"}, 2,
        "ktbridge-sim: --fault hang-up-after=N needs a whole number N of at least 1, not \"some\"\n");
    row("zero baud", {"--baud", "0"}, 2, "ktbridge-sim: --baud needs a whole number of at least 1, not \"0\"\n");
    row("baud in words", {"--baud", "fast"}, 2,
        "ktbridge-sim: --baud needs a whole number of at least 1, not \"fast\"\n");
    row("negative reply delay", {"--reply-delay=-5"}, 2,
        "ktbridge-sim: --reply-delay needs a whole number of at least 0, not \"-5\"\n");
    row("product ID not hexadecimal", {"--product-id", "c0dex1"}, 2,
        "ktbridge-sim: --product-id needs hexadecimal text with an even number of digits, not \"c0dex1\"\n");
    row("product ID with an odd digit count", {"--product-id", "c0de1"}, 2,
        "ktbridge-sim: --product-id needs hexadecimal text with an even number of digits, not \"c0de1\"\n");
    row("unknown product", {"--product-id", "0000c0de0009"}, 2,
        "ktbridge-sim: unknown product ID \"0000c0de0009\" (known: 0000c0de0001, 0000c0de0011, 0000c0de0002, "
        "0000c0de0003)\n");
    row("serial number in words", {"--serial-number", "seven"}, 2,
        "ktbridge-sim: --serial-number needs a whole number from 0 to 4294967295, not \"seven\"\n");
    row("serial number too large", {"--serial-number", "4294967296"}, 2,
        "ktbridge-sim: --serial-number needs a whole number from 0 to 4294967295, not \"4294967296\"\n");
    row("malformed MAC", {"--wlan-mac", "02:4B:54"}, 2,
        "ktbridge-sim: --wlan-mac needs a MAC address like 02:4B:54:00:00:01, not \"02:4B:54\"\n");
    row("MAC of a radio the product lacks", {"--product-id", "0000c0de0002", "--wlan-mac", "02:4B:54:00:00:01"}, 2,
        "ktbridge-sim: --wlan-mac: KT Bridge CB has no WLAN interface\n");
    row("identification text too long for a frame", {"--id-string", QString(65536, QLatin1Char('K'))}, 2,
        "ktbridge-sim: --id-string is longer than the 65535 bytes a frame can carry\n");
    row("configuration too large for a frame", {"--config", "@LARGE"}, 1,
        "ktbridge-sim: \"@LARGE\" holds 65535 bytes; a configuration has at most 65534\n");
    row("configuration file missing", {"--config", "/nonexistent/factory.bgc"}, 1,
        "ktbridge-sim: cannot read \"/nonexistent/factory.bgc\": No such file or directory\n");

}

void TestKtBridgeSim::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);

    // "@LARGE" stands for a file one byte too large to be read back with "L".
    const QString large = writeFile(QStringLiteral("large.bin"), QByteArray(65535, 'x'));
    arguments.replaceInStrings(QStringLiteral("@LARGE"), large);
    message.replace("@LARGE", large.toUtf8());

    SimulatorProcess sim;
    QVERIFY(!sim.start(arguments));
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), exitCode);
    QByteArray expected = message;
    if (exitCode == 2)
        expected += "Try 'ktbridge-sim --help' for more information.\n";
    QCOMPARE(sim.standardError(), expected);
}

void TestKtBridgeSim::helpListsRequestsAndFaults()
{
    QProcess process;
    process.start(SimulatorProcess::executablePath(), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    const QByteArray help = process.readAllStandardOutput();
    QVERIFY(help.startsWith("Usage: "));
    for (const char *text : {"--id-string", "--product-id", "--config", "--store", "--link", "--baud",
                             "--reply-delay", "--fault", "--verbose", "silent", "error-on-read",
                             "error-on-write", "bad-checksum", "split", "noise", "repeat-id",
                             "hang-up-after=N", "\"ZPXMBT\"", "--serial-number", "--wlan-mac",
                             "--bluetooth-mac", "0000c0de0011"})
        QVERIFY2(help.contains(text), text);
    QCOMPARE(process.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(TestKtBridgeSim)
#include "tst_ktbridgesim.moc"
