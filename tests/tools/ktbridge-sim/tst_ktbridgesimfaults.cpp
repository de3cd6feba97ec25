// The simulator's fault modes and its timing, seen from the client's end of the line.

#include "ptyClient.h"
#include "simulatorProcess.h"

#include "comms/protocol/bootProtocol.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

using QVt::Comms::Protocol::BootProtocol;

namespace {

// --id-string "KTB"
const QByteArray kIdReply = bytes("43 00 03 4B 54 42 1D 0D");
const QByteArray kNoise = bytes("FF 00 55 AA 0D");

} // namespace

class TestKtBridgeSimFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void faults_data();
    void faults();
    void errorOnWriteKeepsConfiguration();
    void hangUpAfterFrames();
    void hangUpWhenClientLeftBeforeReply();
    void serialPortCanReopenTheLine();

    void pacing_data();
    void pacing();

private:
    // Starts a fresh simulator with --id-string KTB and the options given (the last of an
    // option given twice counts), and opens its line.
    bool start(const QStringList &options);

    std::unique_ptr<SimulatorProcess> mSim;
    PtyClient mClient;
};

void TestKtBridgeSimFaults::init()
{
    mSim = std::make_unique<SimulatorProcess>();
}

void TestKtBridgeSimFaults::cleanup()
{
    mClient.close();
    mSim.reset();
}

bool TestKtBridgeSimFaults::start(const QStringList &options)
{
    return mSim->start(QStringList{QStringLiteral("--id-string"), QStringLiteral("KTB")} + options)
           && mClient.open(mSim->portName());
}

void TestKtBridgeSimFaults::faults_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<bool>("eachInOwnRead");

    // pieces: what arrives, in that order; with eachInOwnRead, each piece as one read of
    // its own (the pieces of "split" are 100 ms apart).
    const auto row = [](const char *name, const QStringList &options, const QByteArray &request,
                        const QList<QByteArray> &pieces, bool eachInOwnRead = false) {
        QTest::newRow(name) << options << request << pieces << eachInOwnRead;
    };
    row("silent: no identification", {"--fault", "silent"}, kBootSequence, {});
    row("silent: no product ID", {"--fault", "silent"}, kReadProductId, {});
    row("error-on-read", {"--fault", "error-on-read"}, kReadConfiguration, {kErrorReply});
    row("error-on-read leaves P alone", {"--fault", "error-on-read"}, kReadProductId, {kProductIdReply});
    row("error-on-write", {"--fault", "error-on-write"}, kWriteAbc, {kErrorReply});
    row("bad-checksum", {"--fault", "bad-checksum"}, kReadProductId, {bytes("43 00 07 50 00 00 C0 DE 00 03 08 0D")});
    row("repeat-id", {"--fault", "repeat-id"}, kReadProductId, {kIdReply, kProductIdReply});
    row("repeat-id and bad-checksum", {"--fault", "repeat-id", "--fault", "bad-checksum"}, kBootSequence,
        {bytes("43 00 03 4B 54 42 1C 0D 43 00 03 4B 54 42 1C 0D")});
    row("noise: before the reply", {"--fault", "noise"}, kReadProductId, {kNoise, kProductIdReply}, true);
    row("noise, repeat-id and split", {"--fault", "noise", "--fault", "repeat-id", "--fault", "split"},
        kReadProductId, {kNoise, kIdReply, kProductIdReply});
    // The identification text "K\rB" puts a CR inside the frame.
    row("split: CR inside, cut right after it", {"--fault", "split", "--id-string", "K\rB"}, kBootSequence,
        {bytes("43 00"), bytes("03 4B 0D"), bytes("42 44 0D")}, true);
    row("split: no CR inside, cut in the middle", {"--fault", "split", "--id-string", "K\rB"}, kReadProductId,
        {bytes("43 00"), bytes("07 50 00 00"), bytes("C0 DE 00 03 09 0D")}, true);
}

void TestKtBridgeSimFaults::faults()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, request);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(bool, eachInOwnRead);

    QVERIFY(start(options));
    QVERIFY(mClient.write(request));
    const QByteArray received = pieces.join();
    QCOMPARE(mClient.read(received.size()).toHex(' '), received.toHex(' '));
    if (eachInOwnRead)
        QCOMPARE(mClient.chunks(), pieces);
    QCOMPARE(mClient.readFor(400), QByteArray());
}

void TestKtBridgeSimFaults::errorOnWriteKeepsConfiguration()
{
    QVERIFY(start({QStringLiteral("--fault"), QStringLiteral("error-on-write")}));
    QVERIFY(mClient.write(kReadConfiguration));
    const QByteArray before = mClient.readFrame();
    QVERIFY(before.startsWith(bytes("43")));

    // The configuration the unit holds itself would do; it is refused all the same.
    QVERIFY(mClient.write(BootProtocol::buildWriteProtobufCommand(before.mid(4, before.size() - 6))));
    QCOMPARE(mClient.read(kErrorReply.size()), kErrorReply);
    QVERIFY(mClient.write(kReadConfiguration));
    QCOMPARE(mClient.readFrame(), before);
}

void TestKtBridgeSimFaults::hangUpAfterFrames()
{
    QVERIFY(start({QStringLiteral("--fault"), QStringLiteral("hang-up-after=2")}));
    QVERIFY(mClient.write(kBootSequence));
    QCOMPARE(mClient.read(kIdReply.size()), kIdReply);
    QVERIFY(mClient.write(kReadProductId));
    QCOMPARE(mClient.read(kProductIdReply.size()), kProductIdReply);
    QVERIFY(mClient.waitForHangUp());

    QVERIFY(mSim->waitForFinished());
    QCOMPARE(mSim->exitStatus(), QProcess::NormalExit);
    QCOMPARE(mSim->exitCode(), 0);
    QCOMPARE(mSim->standardError(), QByteArray("ktbridge-sim: hung up after 2 frames\n"));
    mClient.close();
    QVERIFY(!QFile::exists(mSim->portName()));
}

void TestKtBridgeSimFaults::hangUpWhenClientLeftBeforeReply()
{
    // The last reply is dropped with the client; the cable is pulled all the same.
    QVERIFY(start({QStringLiteral("--fault"), QStringLiteral("hang-up-after=1"), QStringLiteral("--reply-delay"),
                   QStringLiteral("300")}));
    QVERIFY(mClient.write(kReadProductId));
    QThread::msleep(100); // taken in, reply not yet out
    mClient.close();
    QVERIFY(mSim->waitForFinished(5000));
    QCOMPARE(mSim->exitCode(), 0);
    QCOMPARE(mSim->standardError(), QByteArray("ktbridge-sim: hung up after 1 frame\n"));
}

void TestKtBridgeSimFaults::serialPortCanReopenTheLine()
{
    // As the program does between connections: open, ask, close, open again, ask again.
    QVERIFY(mSim->start());
    QSerialPort port(mSim->portName());
    for (int round = 0; round < 2; ++round) {
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QVERIFY(port.setBaudRate(115200));
        QCOMPARE(port.write(kReadProductId), qint64(kReadProductId.size()));
        QByteArray reply;
        QTRY_VERIFY((reply += port.readAll()).size() >= kProductIdReply.size());
        QCOMPARE(reply, kProductIdReply);
        port.close();
    }
    // Nothing the serial port did may lock others out of the line once it is closed.
    QThread::msleep(100);
    const int fd = ::open(QFile::encodeName(mSim->portName()).constData(), O_RDWR | O_NOCTTY);
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

    QVERIFY(start(options << QStringLiteral("--id-string") << QString(idLength, QLatin1Char('K'))));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(mClient.write(kBootSequence));
    QCOMPARE(mClient.read(idLength + 5, 10000).size(), idLength + 5);
    const qint64 elapsed = clock.elapsed();
    qInfo("%s: %lld ms for at least %d ms", QTest::currentDataTag(), elapsed, minimumMs);
    // A lower bound only: a loaded machine may always be slower.
    QVERIFY2(elapsed >= minimumMs * 9 / 10, qPrintable(QString::number(elapsed)));
}

QTEST_GUILESS_MAIN(TestKtBridgeSimFaults)
#include "tst_ktbridgesimfaults.moc"
