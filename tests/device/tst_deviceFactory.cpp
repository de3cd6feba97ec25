// The factory runs in a probe program of its own for each case, on a driver folder of
// copied plug-ins.
#include <QDir>
#include <QFile>
#include <QPluginLoader>
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

// Where each kind of file placed in "devices" comes from; "cw", "cb" and "cwb" are the real drivers.
static QString sourceOf(const QString &kind)
{
    static const QHash<QString, QString> sources = {{"sameName", TEST_DRIVER_SAME_NAME},
                                                    {"emptyId", TEST_DRIVER_EMPTY_ID},
                                                    {"notADriver", TEST_NOT_A_DRIVER},
                                                    {"library", QVTBUSGATE_LIBRARY_FILE}};
    return sources.value(kind, QStringLiteral(KT_DEVICES_DIR "/libqvtbusgate-ktbridge-%1.so").arg(kind));
}

// Each entry is "file name=kind"; kind "text" is a file that is no library and
// kind "link:<name>" a symbolic link to another entry.
static void populate(const QString &devicesDir, const QStringList &files)
{
    for (const QString &entry : files) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString kind = entry.section(QLatin1Char('='), 1);
        const QString target = devicesDir + QLatin1Char('/') + name;
        if (kind == QLatin1String("text")) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a library\n");
        } else if (kind.startsWith(QLatin1String("link:"))) {
            QVERIFY(QFile::link(kind.mid(5), target));
        } else {
            QVERIFY2(QFile::copy(sourceOf(kind), target), qPrintable(sourceOf(kind)));
        }
    }
}

// Expected warnings name the devices folder as "{dir}" and the loader's own error
// text for a file as "{error <file name>}".
static QStringList expand(const QStringList &lines, const QString &devicesDir)
{
    static const QRegularExpression errorRef(QStringLiteral("\\{error ([^}]+)\\}"));
    QStringList result;
    for (QString line : lines) {
        line.replace(QLatin1String("{dir}"), devicesDir);
        const auto match = errorRef.match(line);
        if (match.hasMatch()) {
            QPluginLoader loader(devicesDir + QLatin1Char('/') + match.captured(1));
            loader.load();
            line.replace(match.capturedStart(), match.capturedLength(), loader.errorString());
        }
        result << line;
    }
    return result;
}

struct ProbeRun
{
    bool cleanExit = false;
    QStringList out;
    QStringList err;
};

static ProbeRun runProbe(const QString &devicesDir, const QStringList &create)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_MESSAGE_PATTERN", "QT_DEBUG_PLUGINS", "QT_LOGGING_RULES"})
        env.remove(QLatin1String(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(DEVICE_FACTORY_PROBE), QStringList{devicesDir} + create);
    if (!process.waitForFinished(30000))
        return {};
    const auto lines = [](const QByteArray &bytes) {
        return QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    // Exiting releases the drivers while their libraries stay loaded: that must not crash.
    const bool cleanExit = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return {cleanExit, lines(process.readAllStandardOutput()), lines(process.readAllStandardError())};
}

void TestDeviceFactory::scan_data()
{
    QTest::addColumn<bool>("devicesFolder");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("create");
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("no devices folder")
        << false << QStringList() << QStringList({"0000c0de0001"})
        << QStringList({"names: ", "ids: ", "create 0000c0de0001: null"})
        << QStringList({"Could not find driver for product ID \"0000c0de0001\""});

    QTest::newRow("empty folder")
        << true << QStringList() << QStringList({"0000c0de0003"})
        << QStringList({"names: ", "ids: ", "create 0000c0de0003: null"})
        << QStringList({"Could not find driver for product ID \"0000c0de0003\""});

    QTest::newRow("the three products")
        << true << QStringList({"libqvtbusgate-ktbridge-cwb.so=cwb", "libqvtbusgate-ktbridge-cw.so=cw",
                        "libqvtbusgate-ktbridge-cb.so=cb"})
        << QStringList({"0000c0de0001", "0000c0de0011", "0000c0de0002", "0000c0de0003", "0000C0DE0003"})
        << QStringList({"names: KT Bridge CB|KT Bridge CW|KT Bridge CWB",
                        "ids: 0000c0de0002|0000c0de0001|0000c0de0003",
                        "create 0000c0de0001: KT Bridge CW [0000c0de0001,0000c0de0011]",
                        "create 0000c0de0011: KT Bridge CW [0000c0de0001,0000c0de0011]",
                        "create 0000c0de0002: KT Bridge CB [0000c0de0002]",
                        "create 0000c0de0003: KT Bridge CWB [0000c0de0003]",
                        "create 0000C0DE0003: null"})
        << QStringList({"Could not find driver for product ID \"0000C0DE0003\""});

    // Case-sensitively "Z" would sort before "k"; ignoring case the real file is first.
    QTest::newRow("two files claim the same product IDs")
        << true << QStringList({"libqvtbusgate-Zcopy.so=cw", "libqvtbusgate-ktbridge-cw.so=cw"})
        << QStringList({"0000c0de0011"})
        << QStringList({"names: KT Bridge CW", "ids: 0000c0de0001",
                        "create 0000c0de0011: KT Bridge CW [0000c0de0001,0000c0de0011]"})
        << QStringList({"Driver map already contains a driver with product ID \"0000c0de0001\"",
                        "Driver map already contains a driver with product ID \"0000c0de0011\""});

    QTest::newRow("two drivers with one name")
        << true << QStringList({"libqvtbusgate-ktbridge-cw.so=cw", "libqvtbusgate-test-samename.so=sameName"})
        << QStringList({"0000feed0001", "0000c0de0001"})
        << QStringList({"names: KT Bridge CW", "ids: 0000c0de0001",
                        "create 0000feed0001: KT Bridge CW [0000feed0001]",
                        "create 0000c0de0001: KT Bridge CW [0000c0de0001,0000c0de0011]"})
        << QStringList();

    QTest::newRow("empty product ID first")
        << true << QStringList({"libqvtbusgate-test-emptyid.so=emptyId"}) << QStringList({"", "0000feed0002"})
        << QStringList({"names: Test Empty ID", "ids: 0000feed0002", "create : null",
                        "create 0000feed0002: Test Empty ID [,0000feed0002]"})
        << QStringList({"Cannot insert driver with an empty product ID from \"{dir}/libqvtbusgate-test-emptyid.so\"",
                        "Could not find driver for product ID \"\""});

    QTest::newRow("files that are no driver")
        << true << QStringList({"libqvtbusgate-broken.so=text", "libqvtbusgate-broken.dll=text",
                        "libqvtbusgate-other.so=notADriver", "libqvtbusgate-ktbridge-cb.so=cb"})
        << QStringList({"0000c0de0002"})
        << QStringList({"names: KT Bridge CB", "ids: 0000c0de0002", "create 0000c0de0002: KT Bridge CB [0000c0de0002]"})
        << QStringList({"Could not load driver from \"{dir}/libqvtbusgate-broken.dll\" : \"{error libqvtbusgate-broken.dll}\"",
                        "Could not load driver from \"{dir}/libqvtbusgate-broken.so\" : \"{error libqvtbusgate-broken.so}\"",
                        "Could not create driver instance from \"{dir}/libqvtbusgate-other.so\""});

    // The device library has no hyphen after its stem; links and other names are not scanned.
    QTest::newRow("files that are not scanned")
        << true << QStringList({"libqvtbusgate.so=library", "libktbridge-cw.so=cw", "libqvtbusgate-cw.so.txt=cw",
                        "libqvtbusgate-link.so=link:libktbridge-cw.so"})
        << QStringList() << QStringList({"names: ", "ids: "}) << QStringList();
}

void TestDeviceFactory::scan()
{
    QFETCH(bool, devicesFolder);
    QFETCH(QStringList, files);
    QFETCH(QStringList, create);
    QFETCH(QStringList, output);
    QFETCH(QStringList, warnings);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString appDir = QFileInfo(temp.path()).canonicalFilePath();
    const QString devicesDir = appDir + QStringLiteral("/devices");
    if (devicesFolder)
        QVERIFY(QDir(appDir).mkdir(QStringLiteral("devices")));
    populate(devicesDir, files);

    const ProbeRun run = runProbe(devicesDir, create);
    QVERIFY(run.cleanExit);
    QCOMPARE(run.out, output);
    QCOMPARE(run.err, expand(warnings, devicesDir));
}

QTEST_GUILESS_MAIN(TestDeviceFactory)
#include "tst_deviceFactory.moc"
