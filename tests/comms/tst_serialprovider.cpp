#include "comms/serialProvider.h"
#include "comms/protocol/bootProtocol.h"
#include "global/setting.h"
#include "ptyPair.h"

#include <QSerialPort>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using QVt::Comms::SerialProvider;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Global::Setting;

namespace {

const char *const PortKey = "comms/serial/port";

QString portValue(const SerialProvider &provider)
{
    return provider.settingsList().constFirst()->value().toString();
}

} // namespace

class TestSerialProvider : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("KtBridgeTests"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_serialprovider"));
    }

    void init()
    {
        QSettings().clear();
        mPtyA = std::make_unique<PtyPair>();
        mPtyB = std::make_unique<PtyPair>();
        QVERIFY(mPtyA->isOpen() && mPtyB->isOpen());
        qputenv("KTBRIDGE_EXTRA_PORTS",
                (mPtyA->portPath() + QLatin1Char(':') + mPtyB->portPath()).toLocal8Bit());
    }

    void cleanup()
    {
        qunsetenv("KTBRIDGE_EXTRA_PORTS");
        mPtyA.reset();
        mPtyB.reset();
    }

    void portChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nothing stored: first offered port") << QString() << QStringLiteral("A");
        QTest::newRow("stored port present") << QStringLiteral("B") << QStringLiteral("B");
        QTest::newRow("stored port gone: first offered port")
            << QStringLiteral("/dev/pts/gone") << QStringLiteral("A");
    }

    void portChoice()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        if (!stored.isEmpty())
            QSettings().setValue(PortKey, path(stored));

        auto provider = newProvider();

        const QList<Setting *> settings = provider->settingsList();
        QCOMPARE(settings.size(), 1);
        QCOMPARE(settings.at(0)->name(), QStringLiteral("Port"));
        QCOMPARE(settings.at(0)->type(), Setting::SETTING_TYPE_COMBO);
        const QVariantList offered = settings.at(0)->comboValues();
        QVERIFY(offered.size() >= 2);
        QCOMPARE(offered.at(0).toString(), mPtyA->portPath());
        QCOMPARE(offered.at(1).toString(), mPtyB->portPath());
        QCOMPARE(portValue(*provider), path(expected));
        QCOMPARE(QSettings().value(PortKey).toString(), path(expected));
        QVERIFY(provider->settingsValid());
    }

    void ignoredExtraPorts()
    {
        qputenv("KTBRIDGE_EXTRA_PORTS", QByteArray("relative/port::/dev/pts/gone:")
                                            + mPtyB->portPath().toLocal8Bit());
        QTest::ignoreMessage(QtWarningMsg,
                             "Ignoring an extra port that is not an existing absolute path: "
                             "\"relative/port\"");
        QTest::ignoreMessage(QtWarningMsg,
                             "Ignoring an extra port that is not an existing absolute path: "
                             "\"/dev/pts/gone\"");
        auto provider = newProvider();
        QCOMPARE(provider->settingsList().constFirst()->comboValues().constFirst().toString(),
                 mPtyB->portPath());
        QCOMPARE(portValue(*provider), mPtyB->portPath());
    }

    void notConfigured()
    {
        qunsetenv("KTBRIDGE_EXTRA_PORTS");
        auto provider = newProvider();
        if (!provider->settingsList().constFirst()->comboValues().isEmpty())
            QSKIP("This machine has serial ports; the unconfigured case needs none.");

        QVERIFY(!provider->settingsValid());
        QVERIFY(!QSettings().contains(PortKey));

        QSignalSpy errors(provider.get(), &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg,
                             "Cannot open a serial port connection with invalid settings.");
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port (not configured).");
        provider->onWriteData(BootProtocol::buildBootSequence());
        QCOMPARE(errorsIn(errors), QStringList{"65535: The serial port is not yet configured."});

        QTest::ignoreMessage(QtWarningMsg,
                             "Cannot open a serial port connection with invalid settings.");
        provider->open();
        QCOMPARE(errors.count(), 1);
    }

    void lazyOpenAndWrite()
    {
        auto provider = newProvider();
        QSignalSpy errors(provider.get(), &SerialProvider::errorOccurred);
        QSerialPort *port = provider->findChild<QSerialPort *>();
        QVERIFY(!port->isOpen());

        // Even an empty write opens the port; it writes nothing.
        expectModemLineWarning(mPtyA->portPath());
        QTest::ignoreMessage(QtWarningMsg, "Attempted to write empty data to the serial port.");
        provider->onWriteData(QByteArray());
        QVERIFY(port->isOpen());
        QCOMPARE(mPtyA->read(1, 200), QByteArray());

        writeThrough(*provider, *mPtyA, BootProtocol::buildReadProductIdCommand(), false);
        const QByteArray config = BootProtocol::buildWriteProtobufCommand(QByteArray(300, '\x0D'));
        writeThrough(*provider, *mPtyA, config, false);

        QCOMPARE(port->baudRate(), 115200);
        QCOMPARE(port->dataBits(), QSerialPort::Data8);
        QCOMPARE(port->parity(), QSerialPort::NoParity);
        QCOMPARE(port->stopBits(), QSerialPort::OneStop);
        QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
        QCOMPARE(errors.count(), 0);
    }

    void reassembly_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("payloads");
        QTest::addColumn<QStringList>("warnings");

        using L = QList<QByteArray>;
        const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
        const QString badStart("Read data with an invalid start byte; discarding.");
        const QString minLength("Rejected data frame: start/stop/minLength mismatch");
        const QString length("Rejected data frame: frame length mismatch");
        const QString checksum("Rejected data frame: checksum mismatch");

        QTest::newRow("one read") << L{hex("43000150120d")} << L{"P"} << QStringList();
        QTest::newRow("three reads") << L{hex("4300"), hex("0241"), hex("42420d")} << L{"AB"}
                                     << QStringList();
        QTest::newRow("checksum 0d, split after it")
            << L{hex("43000201" "4d0d"), hex("0d")} << L{hex("014d")} << QStringList{length};
        QTest::newRow("stop bytes in the payload")
            << L{hex("430002410d"), hex("0d"), hex("0d")} << L{hex("410d")}
            << QStringList{minLength, length};
        QTest::newRow("noise before a frame in one read")
            << L{hex("ff00" "43000150120d")} << L() << QStringList{badStart};
        QTest::newRow("noise, then a frame") << L{hex("ff00"), hex("43000150120d")} << L{"P"}
                                             << QStringList{badStart};
        QTest::newRow("two frames in one read")
            << L{hex("43000150120d" "4300014c0e0d")} << L() << QStringList{length};
        QTest::newRow("bad checksum") << L{hex("43000150130d")} << L() << QStringList{checksum};
        QTest::newRow("two replies in turn") << L{hex("43000150120d"), hex("4300014c0e0d")}
                                             << L{"P", "L"} << QStringList();
    }

    void reassembly()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, payloads);
        QFETCH(QStringList, warnings);

        auto provider = newProvider();
        writeThrough(*provider, *mPtyA);
        QSignalSpy received(provider.get(), &SerialProvider::newData);
        for (const QString &warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));

        for (const QByteArray &piece : reads)
            QVERIFY(feed(*provider, piece));

        QCOMPARE(bytesIn(received), payloads);
    }

    void writeDiscardsPartialReply()
    {
        auto provider = newProvider();
        writeThrough(*provider, *mPtyA);
        QSignalSpy received(provider.get(), &SerialProvider::newData);

        QVERIFY(feed(*provider, QByteArray::fromHex("43000241")));
        provider->onWriteData(BootProtocol::buildReadProtobufCommand());
        QTest::ignoreMessage(QtWarningMsg, "Read data with an invalid start byte; discarding.");
        QVERIFY(feed(*provider, QByteArray::fromHex("42420d")));
        QCOMPARE(received.count(), 0);

        QVERIFY(feed(*provider, QByteArray::fromHex("4300014c0e0d")));
        QCOMPARE(bytesIn(received), QList<QByteArray>{"L"});
    }

    void openFailure()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyKT0"));
        QVERIFY(QFile::link(mPtyA->portPath(), link));
        qputenv("KTBRIDGE_EXTRA_PORTS", link.toLocal8Bit());
        auto provider = newProvider();
        QCOMPARE(portValue(*provider), link);
        QVERIFY(QFile::remove(link));

        QSignalSpy errors(provider.get(), &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 1");
        const QString notConnected("Could not connect to port \"%1\" with baud rate 115200");
        QTest::ignoreMessage(QtWarningMsg, qPrintable(notConnected.arg(link)));
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port for writing.");
        provider->onWriteData(BootProtocol::buildBootSequence());

        QCOMPARE(errorsIn(errors),
                 QStringList({"1: Attempted to open a non-existent device.",
                              "3: The device cannot be opened, as it has already been opened "
                              "(perhaps by another process)."}));
    }

    // The port named in the environment is used without being stored; one that does not
    // exist is named in a warning and fails the way any missing port does.
    void environmentPort_data()
    {
        QTest::addColumn<bool>("exists");

        QTest::newRow("existing port") << true;
        QTest::newRow("missing port") << false;
    }

    void environmentPort()
    {
        QFETCH(bool, exists);
        const QString port = exists ? mPtyB->portPath() : QStringLiteral("/dev/ttyKT-missing");
        qputenv("KTBRIDGE_PORT", port.toLocal8Bit());
        QSettings().setValue(PortKey, mPtyA->portPath());
        if (!exists)
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(QStringLiteral("The serial port named by KTBRIDGE_PORT "
                                                           "does not exist: \"%1\"").arg(port)));
        auto provider = newProvider();
        qunsetenv("KTBRIDGE_PORT");
        QCOMPARE(portValue(*provider), port);
        QCOMPARE(QSettings().value(PortKey).toString(), mPtyA->portPath());

        if (exists) {
            writeThrough(*provider, *mPtyB);
            return;
        }
        QSignalSpy errors(provider.get(), &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 1");
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QStringLiteral("Could not connect to port \"%1\" with baud "
                                                       "rate 115200").arg(port)));
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port for writing.");
        provider->onWriteData(BootProtocol::buildBootSequence());
        QCOMPARE(errors.count(), 2);
        QCOMPARE(QSettings().value(PortKey).toString(), mPtyA->portPath());
    }

    void failedReadClosesPort()
    {
        auto provider = newProvider();
        writeThrough(*provider, *mPtyA);
        QSignalSpy errors(provider.get(), &SerialProvider::errorOccurred);
        QSerialPort *port = provider->findChild<QSerialPort *>();

        // The line is still up, so the failure is reported as it is; the port, which would
        // keep signalling, is closed and the next write opens it again.
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 8");
        emit port->errorOccurred(QSerialPort::ReadError);
        const QStringList reported{"8: Failed to read from the device."};
        QCOMPARE(errorsIn(errors), reported);
        QTRY_VERIFY(!port->isOpen());
        QCOMPARE(errorsIn(errors), reported);
        writeThrough(*provider, *mPtyA, BootProtocol::buildReadProtobufCommand());
    }

    void portErrors_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");

        QTest::newRow("no error") << 0 << QString();
        QTest::newRow("1") << 1 << QStringLiteral("Attempted to open a non-existent device.");
        QTest::newRow("2") << 2
                           << QStringLiteral("The device is being used by another process, or "
                                             "permissions or credentials are insufficient for "
                                             "opening the device.");
        QTest::newRow("3") << 3
                           << QStringLiteral("The device cannot be opened, as it has already been "
                                             "opened (perhaps by another process).");
        QTest::newRow("4") << 4 << QStringLiteral("Parity error detected.");
        QTest::newRow("5") << 5 << QStringLiteral("Framing error detected.");
        QTest::newRow("6") << 6 << QStringLiteral("Break condition detected.");
        QTest::newRow("7") << 7 << QStringLiteral("Failed to write to the device.");
        QTest::newRow("8") << 8 << QStringLiteral("Failed to read from the device.");
        QTest::newRow("9") << 9
                           << QStringLiteral("Device or resource has become unavailable (perhaps "
                                             "removed or disconnected).");
        QTest::newRow("10 outside opening")
            << 10 << QStringLiteral("Operation not permitted by the operating system.");
        QTest::newRow("11") << 11 << QStringLiteral("Unknown error.");
        QTest::newRow("12") << 12 << QStringLiteral("A timeout error occurred.");
        QTest::newRow("13") << 13
                            << QStringLiteral("Attempted to write to a device that has not yet "
                                              "been opened.");
        QTest::newRow("beyond the table") << 42 << QStringLiteral("Unknown error.");
    }

    void portErrors()
    {
        QFETCH(int, error);
        QFETCH(QString, text);

        auto provider = newProvider();
        QSignalSpy errors(provider.get(), &SerialProvider::errorOccurred);
        QSerialPort *port = provider->findChild<QSerialPort *>();
        if (error != 0)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Serial port error: %1")
                                                              .arg(error)));
        emit port->errorOccurred(QSerialPort::SerialPortError(error));

        if (error == 0) {
            QCOMPARE(errors.count(), 0);
            QCOMPARE(SerialProvider::serialPortErrorToText(0), QStringLiteral("No error."));
        } else {
            QCOMPARE(errorsIn(errors), QStringList{QStringLiteral("%1: %2").arg(error).arg(text)});
        }
    }

    void portChange_data()
    {
        QTest::addColumn<QString>("newValue");
        QTest::addColumn<QString>("expectedPort");
        QTest::addColumn<bool>("closes");

        QTest::newRow("same port") << QStringLiteral("A") << QStringLiteral("A") << false;
        QTest::newRow("empty") << QString() << QStringLiteral("A") << false;
        QTest::newRow("other offered port") << QStringLiteral("B") << QStringLiteral("B") << true;
        QTest::newRow("unknown port") << QStringLiteral("/dev/ttyNONE") << QStringLiteral("A")
                                      << true;
    }

    void portChange()
    {
        QFETCH(QString, newValue);
        QFETCH(QString, expectedPort);
        QFETCH(bool, closes);

        auto provider = newProvider();
        writeThrough(*provider, *mPtyA);
        const QString sentinel = QStringLiteral("untouched");
        QSettings().setValue(PortKey, sentinel);

        if (newValue == QLatin1String("/dev/ttyNONE"))
            QTest::ignoreMessage(QtWarningMsg,
                                 "Refusing to move to a port that is not currently available.");
        provider->settingsList().constFirst()->setValue(path(newValue));

        QCOMPARE(provider->findChild<QSerialPort *>()->isOpen(), !closes);
        QCOMPARE(QSettings().value(PortKey).toString(), closes ? path(expectedPort) : sentinel);
        QCOMPARE(portValue(*provider), path(newValue));

        // The next write goes to the port now in use.
        writeThrough(*provider, expectedPort == QLatin1String("B") ? *mPtyB : *mPtyA,
                     BootProtocol::buildFactoryResetCommand(), closes);
    }

private:
    // A provider offered the test's two pseudo-terminals before the machine's ports.
    std::unique_ptr<SerialProvider> newProvider()
    {
        return std::make_unique<SerialProvider>(nullptr);
    }

    // The path of pseudo-terminal "A" or "B"; any other name as it is.
    QString path(const QString &name) const
    {
        return name == QLatin1String("A") ? mPtyA->portPath()
             : name == QLatin1String("B") ? mPtyB->portPath()
                                          : name;
    }

    // Writes request and takes it off the line at pty; opens says the write opens the port.
    void writeThrough(SerialProvider &provider, PtyPair &pty,
                      const QByteArray &request = BootProtocol::buildReadProductIdCommand(),
                      bool opens = true)
    {
        if (opens)
            expectModemLineWarning(pty.portPath());
        provider.onWriteData(request);
        QCOMPARE(pty.read(request.size(), 5000).toHex(' '), request.toHex(' '));
    }

    // Sends bytes from the device side and waits until the provider has read them,
    // so that each piece makes one read of its own.
    bool feed(SerialProvider &provider, const QByteArray &piece)
    {
        QSignalSpy reads(provider.findChild<QSerialPort *>(), &QSerialPort::readyRead);
        return mPtyA->write(piece) && reads.wait(5000);
    }

    std::unique_ptr<PtyPair> mPtyA;
    std::unique_ptr<PtyPair> mPtyB;
};

QTEST_GUILESS_MAIN(TestSerialProvider)
#include "tst_serialprovider.moc"
