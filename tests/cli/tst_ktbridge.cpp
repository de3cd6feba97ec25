// ktbridge end to end against the simulator: each subcommand once, a fixture of three
// units, and bad input refused with its exit status before anything changes.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace DeviceTestSupport;

namespace {

const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
const QByteArray SLOWER = "CAN / Bus / Bit rate: 250 kbit/s -> 500 kbit/s";

} // namespace

class TestKtbridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(writeFile(path("cw.bgc"), factoryConfiguration(PRODUCT_CW)));
        QVERIFY(writeFile(path("garbage.bgc"), "not a configuration\n"));
        QVERIFY(mSimulator.start({"--store", path("unit.store")}));
        // The unit's own configuration, and the same with a slower bus as JSON and back.
        QCOMPARE(run({"read", "unit.bgc"}).exitCode, 0);
        QCOMPARE(run({"convert", "unit.bgc", "unit.json"}).exitCode, 0);
        QByteArray json = readFile(path("unit.json"));
        QVERIFY(json.contains("\"bitRate\": 500000"));
        QVERIFY(writeFile(path("slow.json"), json.replace("\"bitRate\": 500000", "\"bitRate\": 250000")));
        QCOMPARE(run({"convert", "slow.json", "slow.bgc"}).exitCode, 0);
        const char *const edits[][3] = {
            {"unknown.json", "\"bitRate\"", "\"bitRat\""},
            {"sample.json", "\"samplePoint\": 875", "\"samplePoint\": 1000"},
            {"ssid.json", "\"ssid\": \"", "\"ssid\": \"0123456789012345678901234567890123"},
        };
        for (const auto &edit : edits)
            QVERIFY(writeFile(path(edit[0]), readFile(path("unit.json")).replace(edit[1], edit[2])));
    }

    void info()
    {
        const CommandLineRun info = run({"info", "--json"});
        QCOMPARE(info.exitCode, 0);
        const QJsonObject unit = QJsonDocument::fromJson(info.standardOutput).object();
        QCOMPARE(unit.value("serialNumber").toInt(), 20250001);
        QCOMPARE(unit.value("productId").toString(), PRODUCT_CWB);
        QCOMPARE(unit.value("productName").toString(), QStringLiteral("KT Bridge CWB"));
    }

    // .bgc to JSON and back gives the same bytes; show prints the page's words.
    void convertRoundTripAndShow()
    {
        QCOMPARE(run({"convert", "unit.json", "again.bgc"}).exitCode, 0);
        QCOMPARE(readFile(path("again.bgc")), readFile(path("unit.bgc")));
        const CommandLineRun show = run({"show", "slow.bgc"});
        QCOMPARE(show.exitCode, 0);
        QVERIFY2(show.standardOutput.contains("CAN / Bus\n  Bit rate: 250 kbit/s\n"), show.standardOutput.constData());
    }

    // A write with a backup is verified; diff then finds the unit equal to what was
    // written and different from the backup; a confirmed reset brings the backup back.
    void writeBackupDiffReset()
    {
        QDir(path("b")).removeRecursively();
        const CommandLineRun write = run({"write", "slow.bgc", "--backup", "b"});
        QVERIFY2(write.exitCode == 0, write.standardError.constData());
        QVERIFY(write.standardError.contains("verify: passed"));
        const QStringList backups = QDir(path("b")).entryList({"20250001-*.bgc"});
        QCOMPARE(backups.size(), 1);
        QCOMPARE(readFile(path("b/" + backups.first())), readFile(path("unit.bgc")));

        QCOMPARE(run({"diff", "device", "slow.json"}).exitCode, 0);
        const CommandLineRun different = run({"diff", "device", "unit.bgc"});
        QCOMPARE(different.exitCode, 1);
        QCOMPARE(different.standardOutput, SLOWER + '\n');

        QCOMPARE(run({"reset", "--yes"}).exitCode, 0);
        QCOMPARE(run({"diff", "unit.bgc", "device"}).exitCode, 0);
    }

    // A unit that confirms the write but keeps its old settings fails the verification.
    void verifyMismatch()
    {
        SimulatorProcess forgetful;
        QVERIFY(forgetful.start({"--fault", "lose-write"}));
        const CommandLineRun write = run({"write", "slow.bgc"}, forgetful.portName());
        QCOMPARE(write.exitCode, 6);
        QVERIFY2(write.standardError.contains("  " + SLOWER + '\n'), write.standardError.constData());
    }

    // Three units in turn: three records with three serial numbers, each unit verified.
    void fixtureOfThreeUnits()
    {
        SimulatorProcess fixture;
        QVERIFY(fixture.start({"--units", "3", "--unit-pause", "100", "--store", path("fixture")}));
        const CommandLineRun flash =
            run({"flash", "slow.json", "--count", "3", "--record", "r.jsonl"}, fixture.portName());
        QVERIFY2(flash.exitCode == 0, flash.standardError.constData());
        const QList<QByteArray> lines = readFile(path("r.jsonl")).trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject record = QJsonDocument::fromJson(lines.at(i)).object();
            const int serialNumber = 20250001 + i;
            QCOMPARE(record.value("serialNumber").toInt(), serialNumber);
            QCOMPARE(record.value("outcome").toString(), QStringLiteral("SUCCESS"));
            QCOMPARE(record.value("verify").toString(), QStringLiteral("passed"));
            QVERIFY(!record.value("wlanMac").toString().isEmpty());
            QVERIFY(flash.standardOutput.contains(QStringLiteral("unit %1: SUCCESS in ").arg(serialNumber).toUtf8()));
            QCOMPARE(run({"diff", "slow.bgc", path("fixture.%1").arg(serialNumber)}).exitCode, 0);
        }
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown subcommand") << QStringList{"frob"} << 2 << "unknown subcommand \"frob\"";
        QTest::newRow("option before the subcommand") << QStringList{"--port", "x", "info"} << 2 << "\"--port\" comes after the subcommand";
        QTest::newRow("unknown option") << QStringList{"info", "--frob"} << 2 << "Unknown option 'frob'.";
        QTest::newRow("missing argument") << QStringList{"write"} << 2 << "write needs FILE";
        QTest::newRow("reset unconfirmed") << QStringList{"reset"} << 2 << "add --yes to confirm";
        QTest::newRow("missing file") << QStringList{"show", "missing.bgc"} << 3 << "missing.bgc: ";
        QTest::newRow("not a configuration") << QStringList{"write", "garbage.bgc"} << 3
                                             << "garbage.bgc: The configuration data could not be parsed";
        QTest::newRow("unknown JSON field") << QStringList{"convert", "unknown.json", "x.bgc"} << 3
                                            << "unknown.json: configuration: INVALID_ARGUMENT:";
        QTest::newRow("sample point refused")
            << QStringList{"write", "sample.json"} << 3
            << "sample.json: configuration.can.samplePoint: Refused CAN sample point 1000";
        QTest::newRow("SSID too long") << QStringList{"convert", "ssid.json", "x.bgc"} << 3
                                       << "ssid.json: configuration.wlanInterface.wlan.ssid: Refused WLAN SSID";
        QTest::newRow("other product") << QStringList{"write", "cw.bgc"} << 7
                                       << "cw.bgc is for product 0000c0de0001, but the unit is product 0000c0de0003";
        QTest::newRow("no such port") << QStringList{"info", "--port", "/dev/ktbridge-no-such-port"} << 8
                                      << "Attempted to open a non-existent device.";
    }

    // Refused with the status and the reason; the unit keeps what it had.
    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QByteArray before = readFile(path("unit.store"));
        const CommandLineRun refused = run(arguments);
        QCOMPARE(refused.exitCode, exitCode);
        QVERIFY2(refused.standardError.contains(message.toUtf8()), refused.standardError.constData());
        QVERIFY(!QFile::exists(path("x.bgc")));
        QCOMPARE(readFile(path("unit.store")), before);
    }

private:
    QString path(const QString &name) const { return mDir.filePath(name); }
    CommandLineRun run(const QStringList &arguments, const QString &port = QString()) const
    {
        return CommandLineRunner(mDir.path(), port.isEmpty() ? mSimulator.portName() : port, KT_KTBRIDGE_PATH)
            .run(arguments);
    }

    QTemporaryDir mDir;
    SimulatorProcess mSimulator;
};

QTEST_MAIN(TestKtbridge)
#include "tst_ktbridge.moc"
