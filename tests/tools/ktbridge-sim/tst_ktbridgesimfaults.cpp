// The simulator's fault modes and its timing, seen from the client's end of the line.

#include "ptyClient.h"
#include "simulatorProcess.h"

#include "comms/protocol/bootProtocol.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

using QVt::Comms::Protocol::BootProtocol;

namespace {

QByteArray bytes(const char *hexText)
{
    return QByteArray::fromHex(hexText);
}

const QByteArray kBootSequence = bytes("43 00 06 5A 50 58 4D 42 54 4C 0D");
const QByteArray kReadProductId = bytes("43 00 01 50 12 0D");
const QByteArray kReadConfiguration = bytes("43 00 01 4C 0E 0D");
const QByteArray kWriteAbc = bytes("43 00 04 53 41 42 43 54 0D");

// --id-string "KTB"
const QByteArray kIdReply = bytes("43 00 03 4B 54 42 1D 0D");
const QByteArray kProductIdReply = bytes("43 00 07 50 00 00 C0 DE 00 03 09 0D");
const QByteArray kErrorReply = bytes("43 00 01 45 07 0D");
const QByteArray kNoise = bytes("FF 00 55 AA 0D");

// Reads one whole frame, however long.
QByteArray readFrame(PtyClient &client)
{
    const QByteArray header = client.read(3);
    if (header.size() < 3)
        return header;
    return header + client.read(((quint8(header.at(1)) << 8) | quint8(header.at(2))) + 2);
}

} // namespace

class TestKtBridgeSimFaults : public QObject
{
    Q_OBJECT

private slots:
    void faults_data();
    void faults();
    void errorOnWriteKeepsConfiguration();
    void splitCutsAfterInnerCarriageReturn_data();
    void splitCutsAfterInnerCarriageReturn();
    void noiseArrivesBeforeReply();
    void hangUpAfterFrames();
    void hangUpWhenClientLeftBeforeReply();

    void incompleteRequestIsGivenUp();
    void serialPortCanReopenTheLine();

    void pacing_data();
    void pacing();

private:
    static QStringList arguments(const QStringList &extra);
};

QStringList TestKtBridgeSimFaults::arguments(const QStringList &extra)
{
    // Options given twice count once, the last time.
    return QStringList{QStringLiteral("--id-string"), QStringLiteral("KTB")} + extra;
}

void TestKtBridgeSimFaults::faults_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("received");

    QTest::newRow("silent: no identification") << QStringList{"silent"} << kBootSequence << QByteArray();
    QTest::newRow("silent: no product ID") << QStringList{"silent"} << kReadProductId << QByteArray();
    QTest::newRow("error-on-read") << QStringList{"error-on-read"} << kReadConfiguration << kErrorReply;
    QTest::newRow("error-on-read leaves P alone") << QStringList{"error-on-read"} << kReadProductId << kProductIdReply;
    QTest::newRow("error-on-write") << QStringList{"error-on-write"} << kWriteAbc << kErrorReply;
    QTest::newRow("bad-checksum") << QStringList{"bad-checksum"} << kReadProductId
                                  << bytes("43 00 07 50 00 00 C0 DE 00 03 08 0D");
    QTest::newRow("repeat-id") << QStringList{"repeat-id"} << kReadProductId << kIdReply + kProductIdReply;
    QTest::newRow("repeat-id and bad-checksum") << QStringList{"repeat-id", "bad-checksum"} << kBootSequence
                                                << bytes("43 00 03 4B 54 42 1C 0D 43 00 03 4B 54 42 1C 0D");
    QTest::newRow("split") << QStringList{"split"} << kReadProductId << kProductIdReply;
    QTest::newRow("noise") << QStringList{"noise"} << kReadProductId << kNoise + kProductIdReply;
    QTest::newRow("noise, repeat-id and split") << QStringList{"noise", "repeat-id", "split"} << kReadProductId
                                                << kNoise + kIdReply + kProductIdReply;
}

void TestKtBridgeSimFaults::faults()
{
    QFETCH(QStringList, faults);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, received);

    QStringList extra;
    for (const QString &fault : faults)
        extra << QStringLiteral("--fault") << fault;
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments(extra)));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(request));
    QCOMPARE(client.read(received.size()).toHex(' '), received.toHex(' '));
    QCOMPARE(client.readFor(400), QByteArray());
}

void TestKtBridgeSimFaults::errorOnWriteKeepsConfiguration()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments({QStringLiteral("--fault"), QStringLiteral("error-on-write")})));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(kReadConfiguration));
    const QByteArray before = readFrame(client);
    QVERIFY(before.startsWith(bytes("43")));

    // The configuration the unit holds itself would do; it is refused all the same.
    QVERIFY(client.write(BootProtocol::buildWriteProtobufCommand(before.mid(4, before.size() - 6))));
    QCOMPARE(client.read(kErrorReply.size()), kErrorReply);
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(readFrame(client), before);
}

void TestKtBridgeSimFaults::splitCutsAfterInnerCarriageReturn_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<QByteArray>>("pieces");

    // The identification text "K\rB" puts a CR inside the frame.
    QTest::newRow("CR inside: cut right after it")
        << kBootSequence << QList<QByteArray>{bytes("43 00"), bytes("03 4B 0D"), bytes("42 44 0D")};
    QTest::newRow("no CR inside: cut in the middle")
        << kReadProductId << QList<QByteArray>{bytes("43 00"), bytes("07 50 00 00"), bytes("C0 DE 00 03 09 0D")};
}

void TestKtBridgeSimFaults::splitCutsAfterInnerCarriageReturn()
{
    QFETCH(QByteArray, request);
    QFETCH(QList<QByteArray>, pieces);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments({QStringLiteral("--fault"), QStringLiteral("split"), QStringLiteral("--id-string"),
                                 QStringLiteral("K\rB")})));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(request));
    const QByteArray whole = pieces.join();
    QCOMPARE(client.read(whole.size()), whole);
    // The pieces are 100 ms apart, so each arrives in a read of its own.
    QCOMPARE(client.chunks(), pieces);
}

void TestKtBridgeSimFaults::noiseArrivesBeforeReply()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments({QStringLiteral("--fault"), QStringLiteral("noise")})));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kNoise.size() + kProductIdReply.size()), kNoise + kProductIdReply);
    QCOMPARE(client.chunks(), (QList<QByteArray>{kNoise, kProductIdReply}));
}

void TestKtBridgeSimFaults::hangUpAfterFrames()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments({QStringLiteral("--fault"), QStringLiteral("hang-up-after=2")})));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(kBootSequence));
    QCOMPARE(client.read(kIdReply.size()), kIdReply);
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
    QVERIFY(client.waitForHangUp());

    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QCOMPARE(sim.standardError(), QByteArray("ktbridge-sim: hung up after 2 frames\n"));
    client.close();
    QVERIFY(!QFile::exists(sim.portName()));
}

void TestKtBridgeSimFaults::hangUpWhenClientLeftBeforeReply()
{
    // The last reply is dropped with the client; the cable is pulled all the same.
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments({QStringLiteral("--fault"), QStringLiteral("hang-up-after=1"),
                                 QStringLiteral("--reply-delay"), QStringLiteral("300")})));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(kReadProductId));
    QThread::msleep(100); // taken in, reply not yet out
    client.close();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    QCOMPARE(sim.standardError(), QByteArray("ktbridge-sim: hung up after 1 frame\n"));
}

void TestKtBridgeSimFaults::incompleteRequestIsGivenUp()
{
    // A request cut short (a client that died mid-write) must not swallow the next one.
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments({QStringLiteral("--verbose")})));
    QVERIFY(client.open(sim.portName()));
    QVERIFY(client.write(bytes("43 00 05 4C")));
    QVERIFY(sim.waitForStandardError("rx discarded 43 00 05 4C\n", 3000));
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
}

void TestKtBridgeSimFaults::serialPortCanReopenTheLine()
{
    // As the program does between connections: open, ask, close, open again, ask again.
    SimulatorProcess sim;
    QVERIFY(sim.start(arguments({})));
    QSerialPort port(sim.portName());
    for (int round = 0; round < 2; ++round) {
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QVERIFY(port.setBaudRate(115200));
        QSignalSpy readyRead(&port, &QIODevice::readyRead);
        QCOMPARE(port.write(kReadProductId), qint64(kReadProductId.size()));
        QByteArray reply;
        QTRY_VERIFY((reply += port.readAll()).size() >= kProductIdReply.size());
        QCOMPARE(reply, kProductIdReply);
        port.close();
    }
    // Nothing the serial port did may lock others out of the line once it is closed.
    QThread::msleep(100);
    const int fd = ::open(QFile::encodeName(sim.portName()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    int exclusive = -1;
    QCOMPARE(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    QCOMPARE(exclusive, 0);
    ::close(fd);
}

void TestKtBridgeSimFaults::pacing_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("idLength");
    QTest::addColumn<int>("minimumMs");

    // 10 bits a byte, both ways: the 11-byte boot sequence goes in, the identification
    // frame of idLength + 5 bytes comes out.
    QTest::newRow("1200 baud, short reply") << QStringList{"--baud", "1200"} << 3 << (11 + 8) * 10 * 1000 / 1200;
    QTest::newRow("9600 baud, 1 KiB reply") << QStringList{"--baud", "9600"} << 1024 << (11 + 1029) * 10 * 1000 / 9600;
    QTest::newRow("reply delay 500 ms") << QStringList{"--reply-delay", "500"} << 3 << 500;
    QTest::newRow("9600 baud and reply delay 300 ms")
        << QStringList{"--baud", "9600", "--reply-delay", "300"} << 1024 << 300 + (11 + 1029) * 10 * 1000 / 9600;
}

void TestKtBridgeSimFaults::pacing()
{
    QFETCH(QStringList, options);
    QFETCH(int, idLength);
    QFETCH(int, minimumMs);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(sim.start(arguments(options << QStringLiteral("--id-string") << QString(idLength, QLatin1Char('K')))));
    QVERIFY(client.open(sim.portName()));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(client.write(kBootSequence));
    QCOMPARE(client.read(idLength + 5, 10000).size(), idLength + 5);
    const qint64 elapsed = clock.elapsed();
    qInfo("%s: %lld ms for at least %d ms", QTest::currentDataTag(), elapsed, minimumMs);
    // A lower bound only: a loaded machine may always be slower.
    QVERIFY2(elapsed >= minimumMs * 9 / 10, qPrintable(QString::number(elapsed)));
}

QTEST_GUILESS_MAIN(TestKtBridgeSimFaults)
#include "tst_ktbridgesimfaults.moc"
