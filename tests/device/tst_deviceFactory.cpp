// The factory runs in a probe program of its own for each case (a plug-in, once loaded,
// stays for the life of the process), on a driver folder of copied plug-ins.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestDeviceFactory : public QObject
{
    Q_OBJECT

private slots:
    void scan_data();
    void scan();
};
// Each entry is "file name=kind": "cw", "cb" and "cwb" are the real drivers, "text" a file
// that is no library, "link:<name>" a symbolic link to another entry.
static void populate(const QString &devicesDir, const QStringList &files)
{
    static const QHash<QString, QString> sources = {{"sameName", TEST_DRIVER_SAME_NAME},
                                                    {"emptyId", TEST_DRIVER_EMPTY_ID},
                                                    {"notADriver", TEST_NOT_A_DRIVER},
                                                    {"library", QVTBUSGATE_LIBRARY_FILE}};
    for (const QString &entry : files) {
        const QString target = devicesDir + QLatin1Char('/') + entry.section(QLatin1Char('='), 0, 0);
        const QString kind = entry.section(QLatin1Char('='), 1);
        const QString source = sources.value(kind, QStringLiteral(KT_DEVICES_DIR "/libqvtbusgate-ktbridge-%1.so").arg(kind));
        QFile text(target);
        if (kind == QLatin1String("text"))
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a library\n") > 0);
        else if (kind.startsWith(QLatin1String("link:")))
            QVERIFY(QFile::link(kind.mid(5), target));
        else
            QVERIFY2(QFile::copy(source, target), qPrintable(source));
    }
}

void TestDeviceFactory::scan_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("create");
    QTest::addColumn<QStringList>("output");
    // "{dir}" stands for the devices folder, "*" for the plug-in loader's own words.
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("the three products")
        << QStringList{"libqvtbusgate-ktbridge-cwb.so=cwb", "libqvtbusgate-ktbridge-cw.so=cw", "libqvtbusgate-ktbridge-cb.so=cb"}
        << QStringList{"0000c0de0011", "0000c0de0002", "0000c0de0003", "0000C0DE0003"}
        << QStringList{"names: KT Bridge CB|KT Bridge CW|KT Bridge CWB", "ids: 0000c0de0002|0000c0de0001|0000c0de0003",
                       "create 0000c0de0011: KT Bridge CW [0000c0de0001,0000c0de0011]",
                       "create 0000c0de0002: KT Bridge CB [0000c0de0002]",
                       "create 0000c0de0003: KT Bridge CWB [0000c0de0003]", "create 0000C0DE0003: null"}
        << QStringList{"Could not find driver for product ID \"0000C0DE0003\""};
    // Case-sensitively "Z" would sort before "k"; ignoring case the real file is first.
    QTest::newRow("two files claim the same product IDs")
        << QStringList{"libqvtbusgate-Zcopy.so=cw", "libqvtbusgate-ktbridge-cw.so=cw"} << QStringList{"0000c0de0011"}
        << QStringList{"names: KT Bridge CW", "ids: 0000c0de0001", "create 0000c0de0011: KT Bridge CW [0000c0de0001,0000c0de0011]"}
        << QStringList{"Driver map already contains a driver with product ID \"0000c0de0001\"",
                       "Driver map already contains a driver with product ID \"0000c0de0011\""};
    QTest::newRow("two drivers with one name")
        << QStringList{"libqvtbusgate-ktbridge-cw.so=cw", "libqvtbusgate-test-samename.so=sameName"}
        << QStringList{"0000feed0001"}
        << QStringList{"names: KT Bridge CW", "ids: 0000c0de0001", "create 0000feed0001: KT Bridge CW [0000feed0001]"}
        << QStringList();
    QTest::newRow("empty product ID first")
        << QStringList{"libqvtbusgate-test-emptyid.so=emptyId"} << QStringList{"", "0000feed0002"}
        << QStringList{"names: Test Empty ID", "ids: 0000feed0002", "create : null",
                       "create 0000feed0002: Test Empty ID [,0000feed0002]"}
        << QStringList{"Cannot insert driver with an empty product ID from \"{dir}/libqvtbusgate-test-emptyid.so\"",
                       "Could not find driver for product ID \"\""};
    QTest::newRow("files that are no driver")
        << QStringList{"libqvtbusgate-broken.so=text", "libqvtbusgate-broken.dll=text",
                       "libqvtbusgate-other.so=notADriver", "libqvtbusgate-ktbridge-cb.so=cb"}
        << QStringList{"0000c0de0002"}
        << QStringList{"names: KT Bridge CB", "ids: 0000c0de0002", "create 0000c0de0002: KT Bridge CB [0000c0de0002]"}
        << QStringList{"Could not load driver from \"{dir}/libqvtbusgate-broken.dll\" : \"*\"",
                       "Could not load driver from \"{dir}/libqvtbusgate-broken.so\" : \"*\"",
                       "Could not create driver instance from \"{dir}/libqvtbusgate-other.so\""};
    // The device library has no hyphen after its stem; links and other names are not scanned.
    QTest::newRow("files that are not scanned")
        << QStringList{"libqvtbusgate.so=library", "libktbridge-cw.so=cw", "libqvtbusgate-cw.so.txt=cw",
                       "libqvtbusgate-link.so=link:libktbridge-cw.so"}
        << QStringList() << QStringList{"names: ", "ids: "} << QStringList();
}

void TestDeviceFactory::scan()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, create);
    QFETCH(QStringList, output);
    QFETCH(QStringList, warnings);

    QTemporaryDir temp;
    const QString devicesDir = QFileInfo(temp.path()).canonicalFilePath() + QStringLiteral("/devices");
    QVERIFY(QDir().mkdir(devicesDir));
    populate(devicesDir, files);

    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_MESSAGE_PATTERN", "QT_DEBUG_PLUGINS", "QT_LOGGING_RULES"})
        env.remove(QLatin1String(name));
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(DEVICE_FACTORY_PROBE), QStringList{devicesDir} + create);
    QVERIFY(probe.waitForFinished(30000));
    // Exiting releases the drivers while their libraries stay loaded: that must not crash.
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), output);
    const QStringList errors = QString::fromLocal8Bit(probe.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(errors.size(), warnings.size());
    for (int i = 0; i < errors.size(); ++i) {
        const QString pattern = QRegularExpression::escape(QString(warnings.at(i)).replace("{dir}", devicesDir));
        QVERIFY2(QRegularExpression('^' + QString(pattern).replace("\\*", ".+") + '$').match(errors.at(i)).hasMatch(),
                 qPrintable(errors.at(i)));
    }
}

QTEST_GUILESS_MAIN(TestDeviceFactory)
#include "tst_deviceFactory.moc"
