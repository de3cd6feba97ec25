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

using QVt::Pb::Configuration::File;
using QVt::Pb::KtBridge::Configuration;

namespace {

const QByteArray kFactoryReset = bytes("43 00 01 5A 18 0D");
// "S" with no bytes, and the reply to any "S": the same frame.
const QByteArray kWriteNothing = bytes("43 00 01 53 11 0D");
const QByteArray kWriteReply = kWriteNothing;

const QString kDefaultProduct = QStringLiteral("0000c0de0003");

// Configuration bytes as the configurator writes them: settings, and device information
// of its own.
QByteArray configuration(quint32 bitRate)
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

QString writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() ? path : QString();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    const QByteArray reply = client.write(kReadConfiguration) ? client.readFrame() : QByteArray();
    File file;
    if (reply.size() > 5 && reply.at(3) == 'L' && file.load(reply.mid(4, reply.size() - 6))
        && result.configuration->parse(file.body()))
        result.productId = file.productId();
    return result;
}

quint32 bitRate(PtyClient &client)
{
    return readConfiguration(client).configuration->can()->bitRate();
}

} // namespace

class TestKtBridgeSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void requests_data();
    void requests();
    void configurationOfUnit_data();
    void configurationOfUnit();
    void reopenedPortGetsNoStaleReply_data();
    void reopenedPortGetsNoStaleReply();

    void storeKeepsConfigurationAcrossRuns();
    void unwritableStoreAnswersError();

    void verboseLogsFramesAndDiscards();
    void linkPointsAtTerminalWhileRunning();
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
    void badArguments_data();
    void badArguments();
    void helpListsRequestsAndFaults();

private:
    // Starts a fresh simulator and opens its line.
    bool start(const QStringList &arguments = {});

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSim;
    PtyClient mClient;
};

void TestKtBridgeSim::initTestCase()
{
    QVERIFY(mDir.isValid());
}

void TestKtBridgeSim::init()
{
    mSim = std::make_unique<SimulatorProcess>();
}

void TestKtBridgeSim::cleanup()
{
    mClient.close();
    mSim.reset();
}

bool TestKtBridgeSim::start(const QStringList &arguments)
{
    return mSim->start(arguments) && mClient.open(mSim->portName());
}

void TestKtBridgeSim::requests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QByteArray>("replies");

    const auto row = [](const char *name, const QStringList &arguments, const QList<QByteArray> &writes,
                        const QByteArray &replies) { QTest::newRow(name) << arguments << writes << replies; };
    row("boot sequence: identification text", {"--id-string", "Test Unit 7"}, {kBootSequence},
        bytes("43 00 0B 54 65 73 74 20 55 6E 69 74 20 37 6F 0D"));
    row("P: product ID given in capitals", {"--product-id", "0000C0DE0001"}, {kReadProductId},
        bytes("43 00 07 50 00 00 C0 DE 00 01 0B 0D"));
    row("P: older hardware revision", {"--product-id", "0000c0de0011"}, {kReadProductId},
        bytes("43 00 07 50 00 00 C0 DE 00 11 1B 0D"));
    row("unknown command: error", {}, {bytes("43 00 01 58 1A 0D")}, kErrorReply);
    row("Q: enter normal operation", {}, {bytes("43 00 01 51 13 0D")}, QByteArray());
    row("Y: enter pairing mode", {}, {bytes("43 00 01 59 1B 0D")}, QByteArray());
    row("Z: factory reset", {}, {kFactoryReset}, QByteArray());
    // The configurator's own device information goes back as it came: the unit keeps
    // bytes the way its flash does.
    const QByteArray written = configuration(250000u);
    row("S: configuration read back unchanged", {}, {writeCommand(written), kReadConfiguration},
        kWriteReply + frame('L' + written));
    row("S: any bytes read back unchanged", {}, {kWriteAbc, kReadConfiguration}, kWriteReply + frame("LABC"));
    // A CR and a start byte inside, and no configuration at all: bytes are bytes.
    const QByteArray factoryReply = bytes("43 00 05 4C 01 0D 43 02 47 0D");
    row("--config gives the factory bytes, Z restores them",
        {"--config", writeFile(mDir.filePath(QStringLiteral("factory.bin")), bytes("01 0D 43 02"))},
        {kReadConfiguration, kWriteAbc, kFactoryReset, kReadConfiguration},
        factoryReply + kWriteReply + factoryReply);
    row("request in three writes", {}, {bytes("43 00"), bytes("01 50"), bytes("12 0D")}, kProductIdReply);
    // "S" with the single byte 0D: stored as one whole request, and read back.
    row("CR inside the request ends no frame", {}, {bytes("43 00 02 53 0D"), bytes("1F 0D"), kReadConfiguration},
        kWriteReply + bytes("43 00 02 4C 0D 00 0D"));
    row("stray bytes before the request", {}, {bytes("FF 00 0D") + kReadProductId}, kProductIdReply);
    row("two requests in one write", {}, {kReadProductId + kWriteAbc}, kProductIdReply + kWriteReply);
    row("frame with a bad checksum is dropped", {}, {bytes("43 00 01 50 13 0D") + kReadProductId}, kProductIdReply);
    row("empty frame is dropped", {}, {bytes("43 00 00 43 0D") + kReadProductId}, kProductIdReply);
}

void TestKtBridgeSim::requests()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QByteArray, replies);

    QVERIFY(start(arguments));
    for (const QByteArray &piece : writes) {
        QVERIFY(mClient.write(piece));
        QThread::msleep(50);
    }
    QCOMPARE(mClient.read(replies.size()).toHex(' '), replies.toHex(' '));
    QCOMPARE(mClient.readFor(300), QByteArray());
    // Taken, not choked on: the next request is answered.
    QVERIFY(mClient.write(kWriteNothing));
    QCOMPARE(mClient.read(kWriteReply.size()), kWriteReply);
}

void TestKtBridgeSim::configurationOfUnit_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("productId");
    QTest::addColumn<quint32>("productCode");
    QTest::addColumn<quint32>("revision");
    QTest::addColumn<quint32>("serialNumber");
    QTest::addColumn<QString>("ssid");            // empty: no WLAN
    QTest::addColumn<QString>("wlanMac");
    QTest::addColumn<QString>("bluetoothName");   // empty: no Bluetooth
    QTest::addColumn<QString>("bluetoothMac");

    const auto row = [](const char *name, const QString &productId, quint32 productCode, quint32 revision,
                        const QString &ssid, const QString &bluetoothName) {
        QTest::newRow(name) << QStringList() << productId << productCode << revision << 20250001u << ssid
                            << (ssid.isEmpty() ? QString() : QStringLiteral("02:4B:54:69:FB:22")) << bluetoothName
                            << (bluetoothName.isEmpty() ? QString() : QStringLiteral("02:4B:54:69:FB:23"));
    };
    row("KT Bridge CWB", kDefaultProduct, 3, 1, "KT-Bridge-CWB", "KT Bridge CWB");
    row("KT Bridge CW", "0000c0de0001", 1, 2, "KT-Bridge-CW", QString());
    row("KT Bridge CW, older revision", "0000c0de0011", 0x11, 1, "KT-Bridge-CW", QString());
    row("KT Bridge CB", "0000c0de0002", 2, 1, QString(), "KT Bridge CB");
    QTest::newRow("unit information from options")
        << QStringList{"--serial-number", "4711", "--wlan-mac", "02:aa:bb:cc:dd:ee", "--bluetooth-mac",
                       "02:AA:BB:CC:DD:EF"}
        << kDefaultProduct << 3u << 1u << 4711u << "KT-Bridge-CWB" << "02:AA:BB:CC:DD:EE" << "KT Bridge CWB"
        << "02:AA:BB:CC:DD:EF";
}

void TestKtBridgeSim::configurationOfUnit()
{
    QFETCH(QStringList, options);
    QFETCH(QString, productId);
    QFETCH(quint32, productCode);
    QFETCH(quint32, revision);
    QFETCH(quint32, serialNumber);
    QFETCH(QString, ssid);
    QFETCH(QString, wlanMac);
    QFETCH(QString, bluetoothName);
    QFETCH(QString, bluetoothMac);

    QVERIFY(start(QStringList{QStringLiteral("--product-id"), productId} + options));
    const ReadBack readBack = readConfiguration(mClient);
    QCOMPARE(readBack.productId, productId);
    const Configuration &config = *readBack.configuration;
    QCOMPARE(config.can()->bitRate(), 500000u);

    const QVt::Pb::Product::DeviceInfo *info = config.deviceInfo();
    QCOMPARE(info->vendorId(), 0xc0deu);
    QCOMPARE(info->productCode(), productCode);
    QCOMPARE(info->revisionNumber(), revision);
    QCOMPARE(info->serialNumber(), serialNumber);
    QCOMPARE(info->unixTimeOfManufacture(), qint64(1764547200));

    // Radios the product lacks report nothing.
    QCOMPARE(config.wlan()->ssid(), ssid);
    QCOMPARE(config.wlan()->deviceInfo()->mac(), wlanMac);
    QCOMPARE(config.wlan()->deviceInfo()->moduleVersion(), ssid.isEmpty() ? QString() : QStringLiteral("2.4.1"));
    QCOMPARE(config.bluetooth()->deviceName(), bluetoothName);
    QCOMPARE(config.bluetooth()->deviceInfo()->mac(), bluetoothMac);
    QCOMPARE(config.bluetooth()->deviceInfo()->moduleVersion(),
             bluetoothName.isEmpty() ? QString() : QStringLiteral("1.9.3"));
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

    // The program closes the port, maybe before the reply, and opens it again later.
    QVERIFY(start({QStringLiteral("--reply-delay"), QString::number(replyDelayMs)}));
    QVERIFY(mClient.write(kReadProductId));
    QThread::msleep(openMs);
    mClient.close();
    QThread::msleep(400);
    QVERIFY(mClient.open(mSim->portName()));
    QCOMPARE(mClient.readFor(300), QByteArray());
    QVERIFY(mClient.write(kReadProductId));
    QCOMPARE(mClient.read(kProductIdReply.size()), kProductIdReply);
}

void TestKtBridgeSim::storeKeepsConfigurationAcrossRuns()
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("unit.store"));
    const QString oldName = dir.filePath(QStringLiteral("old.store"));
    const QByteArray oldBytes = configuration(125000u);
    QVERIFY(start({QStringLiteral("--store"), store}));
    QVERIFY(!QFile::exists(store));
    QVERIFY(mClient.write(writeCommand(oldBytes)));
    QCOMPARE(mClient.read(kWriteReply.size()), kWriteReply);
    QVERIFY(mSim->stop());
    File stored;
    QVERIFY(stored.load(readFile(store)));
    QCOMPARE(stored.productId(), kDefaultProduct);
    QCOMPARE(::link(QFile::encodeName(store).constData(), QFile::encodeName(oldName).constData()), 0);

    QVERIFY(start({QStringLiteral("--store"), store}));
    QCOMPARE(bitRate(mClient), 125000u);
    QVERIFY(mClient.write(writeCommand(configuration(250000u))));
    QCOMPARE(mClient.read(kWriteReply.size()), kWriteReply);
    QCOMPARE(readFile(store), configuration(250000u));
    // A second name for the old file still shows the old bytes: the new ones went into a
    // new file that took the name in one step, so no reader ever sees half a store.
    QCOMPARE(readFile(oldName), oldBytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("old.store"), QStringLiteral("unit.store")}));

    // A factory reset restores the factory configuration, and is kept like any change.
    QVERIFY(mClient.write(kFactoryReset));
    QCOMPARE(bitRate(mClient), 500000u);
    QVERIFY(stored.load(readFile(store)));
    Configuration reset(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    QVERIFY(reset.parse(stored.body()));
    QCOMPARE(reset.can()->bitRate(), 500000u);
}

void TestKtBridgeSim::unwritableStoreAnswersError()
{
    const QString store = mDir.filePath(QStringLiteral("missing-folder/unit.store"));
    QVERIFY(start({QStringLiteral("--store"), store}));
    QVERIFY(mClient.write(writeCommand(configuration(250000u))));
    QCOMPARE(mClient.read(kErrorReply.size()), kErrorReply);
    QVERIFY(mSim->waitForStandardError("ktbridge-sim: cannot write \"" + store.toUtf8() + "\""));
    // The device keeps what it had.
    QCOMPARE(bitRate(mClient), 500000u);
}

void TestKtBridgeSim::verboseLogsFramesAndDiscards()
{
    QVERIFY(start({QStringLiteral("--verbose")}));
    QVERIFY(mClient.write(bytes("00 FF") + kReadProductId));
    QCOMPARE(mClient.read(kProductIdReply.size()), kProductIdReply);
    QVERIFY(mSim->waitForStandardError("tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
    QCOMPARE(mSim->standardError(),
             QByteArray("client opened\n"
                        "rx discarded 00 FF\n"
                        "rx 43 00 01 50 12 0D\n"
                        "tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
    // A request cut short (a client that died mid-write) must not swallow the next one.
    QVERIFY(mClient.write(bytes("43 00 05 4C")));
    QVERIFY(mSim->waitForStandardError("rx discarded 43 00 05 4C\n", 3000));
    QVERIFY(mClient.write(kReadProductId));
    QCOMPARE(mClient.read(kProductIdReply.size()), kProductIdReply);
    mClient.close();
    QVERIFY(mSim->waitForStandardError("client closed\n"));
}

void TestKtBridgeSim::linkPointsAtTerminalWhileRunning()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyKTB0"));
    QVERIFY(mSim->start({QStringLiteral("--link"), link}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), mSim->portName());

    QVERIFY(mClient.open(link));
    QVERIFY(mClient.write(kReadProductId));
    QCOMPARE(mClient.read(kProductIdReply.size()), kProductIdReply);

    QVERIFY(mSim->stop());
    QCOMPARE(mSim->exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
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

    QVERIFY(mSim->start());
    QVERIFY(QFile::exists(mSim->portName()));
    QCOMPARE(::kill(pid_t(mSim->processId()), signalNumber), 0);
    QVERIFY(mSim->waitForFinished());
    QCOMPARE(mSim->exitStatus(), QProcess::NormalExit);
    QCOMPARE(mSim->exitCode(), 0);
    QVERIFY(!QFile::exists(mSim->portName()));
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
    row("link onto a regular file", {"--link", "@NOTES"}, 1,
        "ktbridge-sim: --link: \"@NOTES\" exists and is not a symbolic link\n");
}

void TestKtBridgeSim::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);

    // "@LARGE" stands for a file one byte too large to be read back with "L", "@NOTES" for
    // someone else's file; the simulator leaves both as they were.
    const QList<QPair<QString, QByteArray>> files{{QStringLiteral("@LARGE"), QByteArray(65535, 'x')},
                                                   {QStringLiteral("@NOTES"), QByteArray("keep me")}};
    for (const auto &file : files) {
        const QString path = writeFile(mDir.filePath(file.first.mid(1)), file.second);
        arguments.replaceInStrings(file.first, path);
        message.replace(file.first.toUtf8(), path.toUtf8());
    }

    QVERIFY(!mSim->start(arguments));
    QVERIFY(mSim->waitForFinished());
    QCOMPARE(mSim->exitStatus(), QProcess::NormalExit);
    QCOMPARE(mSim->exitCode(), exitCode);
    if (exitCode == 2)
        message += "Try 'ktbridge-sim --help' for more information.\n";
    QCOMPARE(mSim->standardError(), message);
    for (const auto &file : files)
        QCOMPARE(readFile(mDir.filePath(file.first.mid(1))), file.second);
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
