#include "comms/serialProvider.h"
#include "comms/protocol/bootProtocol.h"
#include "global/setting.h"
#include "ptyLine.h"

#include <QSerialPort>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using QVt::Comms::SerialProvider;
using QVt::Comms::Protocol::BootProtocol;

namespace {

const char *const PORT_KEY = "comms/serial/port";

QString portValue(const SerialProvider &provider)
{
    return provider.settingsList().constFirst()->value().toString();
}

} // namespace

class TestSerialProvider : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        QSettings().clear();
        mPtyA = std::make_unique<PtyLine>();
        mPtyB = std::make_unique<PtyLine>();
        QVERIFY(mPtyA->isOpen() && mPtyB->isOpen());
        qputenv("KTBRIDGE_EXTRA_PORTS", (mPtyA->path() + ':' + mPtyB->path()).toLocal8Bit());
    }

    void cleanup()
    {
        qunsetenv("KTBRIDGE_EXTRA_PORTS");
        qunsetenv("KTBRIDGE_PORT");
    }

    void portChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nothing stored: first offered port") << "" << "" << "A";
        QTest::newRow("stored port present") << "B" << "" << "B";
        QTest::newRow("stored port gone: first offered port") << "/dev/pts/gone" << "" << "A";
        QTest::newRow("KTBRIDGE_PORT: used, never stored") << "A" << "B" << "B";
    }

    void portChoice()
    {
        QFETCH(QString, stored);
        QFETCH(QString, environment);
        QFETCH(QString, expected);
        if (!stored.isEmpty())
            QSettings().setValue(PORT_KEY, path(stored));
        if (!environment.isEmpty())
            qputenv("KTBRIDGE_PORT", path(environment).toLocal8Bit());

        SerialProvider provider(nullptr);

        QCOMPARE(portValue(provider), path(expected));
        QCOMPARE(QSettings().value(PORT_KEY).toString(), path(environment.isEmpty() ? expected : stored));
        writeThrough(provider, expected == "A" ? *mPtyA : *mPtyB);
    }

    // A port that cannot be opened: the port's own error, then the write's.
    void openFailure_data()
    {
        QTest::addColumn<bool>("fromEnvironment");
        QTest::newRow("offered port removed") << false;
        QTest::newRow("KTBRIDGE_PORT names a missing port") << true;
    }

    void openFailure()
    {
        QFETCH(bool, fromEnvironment);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyKT0"));
        if (fromEnvironment) {
            qputenv("KTBRIDGE_PORT", link.toLocal8Bit());
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral(
                "The serial port named by KTBRIDGE_PORT does not exist: \"%1\"").arg(link)));
        } else {
            QVERIFY(QFile::link(mPtyA->path(), link));
            qputenv("KTBRIDGE_EXTRA_PORTS", link.toLocal8Bit());
        }
        SerialProvider provider(nullptr);
        QCOMPARE(portValue(provider), link);
        QFile::remove(link);

        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 1");
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral(
            "Could not connect to port \"%1\" with baud rate 115200").arg(link)));
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port for writing.");
        provider.onWriteData(BootProtocol::buildBootSequence());

        QCOMPARE(errorsIn(errors), QStringList({"1: Attempted to open a non-existent device.",
                                                "3: The device cannot be opened, as it has already "
                                                "been opened (perhaps by another process)."}));
    }

    void notConfigured()
    {
        qunsetenv("KTBRIDGE_EXTRA_PORTS");
        SerialProvider provider(nullptr);
        if (!provider.settingsList().constFirst()->comboValues().isEmpty())
            QSKIP("This machine has serial ports; the unconfigured case needs none.");

        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg, "Cannot open a serial port connection with invalid settings.");
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port (not configured).");
        provider.onWriteData(BootProtocol::buildBootSequence());
        QCOMPARE(errorsIn(errors), QStringList{"65535: The serial port is not yet configured."});
        QVERIFY(!QSettings().contains(PORT_KEY));
    }

    void lazyOpenAndWrite()
    {
        SerialProvider provider(nullptr);
        QSerialPort *port = provider.findChild<QSerialPort *>();
        QVERIFY(!port->isOpen());

        // Even an empty write opens the port; it writes nothing.
        expectModemLineWarning(mPtyA->path());
        QTest::ignoreMessage(QtWarningMsg, "Attempted to write empty data to the serial port.");
        provider.onWriteData(QByteArray());
        QVERIFY(port->isOpen());
        QCOMPARE(port->baudRate(), 115200);
        writeThrough(provider, *mPtyA, BootProtocol::buildWriteProtobufCommand(QByteArray(300, '\r')), false);
    }

    // The reader's rules are its own test's; here: what the port reads reaches newData, and a
    // write drops a reply still pending.
    void writeDiscardsPartialReply()
    {
        SerialProvider provider(nullptr);
        writeThrough(provider, *mPtyA);
        QSignalSpy received(&provider, &SerialProvider::newData);

        QVERIFY(feed(provider, QByteArray::fromHex("43000241")));
        provider.onWriteData(BootProtocol::buildReadProtobufCommand());
        QTest::ignoreMessage(QtWarningMsg, "Read data with an invalid start byte; discarding.");
        QVERIFY(feed(provider, QByteArray::fromHex("42420d")));
        QVERIFY(feed(provider, QByteArray::fromHex("4300014c0e0d")));
        QCOMPARE(bytesIn(received), QList<QByteArray>{"L"});
    }

    void failedReadClosesPort()
    {
        SerialProvider provider(nullptr);
        writeThrough(provider, *mPtyA);
        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        QSerialPort *port = provider.findChild<QSerialPort *>();

        // A port that keeps signalling a failed read is closed; the next write opens it again.
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 8");
        emit port->errorOccurred(QSerialPort::ReadError);
        QTRY_VERIFY(!port->isOpen());
        QCOMPARE(errorsIn(errors), QStringList{"8: Failed to read from the device."});
        writeThrough(provider, *mPtyA);
    }

    void portErrors_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QStringList>("emitted");

        QTest::newRow("no error: ignored") << 0 << QStringList() << QStringList();
        QTest::newRow("beyond the table") << 42 << QStringList{"Serial port error: 42"}
                                          << QStringList{"42: Unknown error."};
        QTest::newRow("permission: says how to get access")
            << 2
            << QStringList{"Serial port error: 2",
                           "No permission to open the serial port: add your user to the group that "
                           "owns the device (usually dialout), then log in again. Port and group: "
                           "\"@PORT\" \"@GROUP\""}
            << QStringList{"2: The device is being used by another process, or permissions or "
                           "credentials are insufficient for opening the device."};
    }

    void portErrors()
    {
        QFETCH(int, error);
        QFETCH(QStringList, warnings);
        QFETCH(QStringList, emitted);

        SerialProvider provider(nullptr);
        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        for (const QString &warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QString(warning)
                                                          .replace("@PORT", mPtyA->path())
                                                          .replace("@GROUP", QFileInfo(mPtyA->path()).group())));
        emit provider.findChild<QSerialPort *>()->errorOccurred(QSerialPort::SerialPortError(error));
        QCOMPARE(errorsIn(errors), emitted);
    }

    void portChange_data()
    {
        QTest::addColumn<QString>("newValue");
        QTest::addColumn<QString>("expectedPort");
        QTest::addColumn<bool>("closes");

        QTest::newRow("same port") << "A" << "A" << false;
        QTest::newRow("empty") << "" << "A" << false;
        QTest::newRow("other offered port") << "B" << "B" << true;
        QTest::newRow("unknown port") << "/dev/ttyNONE" << "A" << true;
    }

    void portChange()
    {
        QFETCH(QString, newValue);
        QFETCH(QString, expectedPort);
        QFETCH(bool, closes);

        SerialProvider provider(nullptr);
        writeThrough(provider, *mPtyA);
        QSettings().setValue(PORT_KEY, "untouched");

        if (newValue == "/dev/ttyNONE")
            QTest::ignoreMessage(QtWarningMsg, "Refusing to move to a port that is not currently available.");
        provider.settingsList().constFirst()->setValue(path(newValue));

        QCOMPARE(provider.findChild<QSerialPort *>()->isOpen(), !closes);
        QCOMPARE(QSettings().value(PORT_KEY).toString(), closes ? path(expectedPort) : "untouched");
        writeThrough(provider, expectedPort == "B" ? *mPtyB : *mPtyA,
                     BootProtocol::buildFactoryResetCommand(), closes);
    }

private:
    // The path of pseudo-terminal "A" or "B"; any other name as it is.
    QString path(const QString &name) const
    {
        return name == "A" ? mPtyA->path() : name == "B" ? mPtyB->path() : name;
    }

    // Writes request and takes it off the line at pty; opens says the write opens the port.
    void writeThrough(SerialProvider &provider, PtyLine &pty,
                      const QByteArray &request = BootProtocol::buildReadProductIdCommand(),
                      bool opens = true)
    {
        if (opens)
            expectModemLineWarning(pty.path());
        provider.onWriteData(request);
        QCOMPARE(pty.read(request.size()).toHex(' '), request.toHex(' '));
    }

    // Sends bytes from the device side and waits until the provider has read them.
    bool feed(SerialProvider &provider, const QByteArray &piece)
    {
        QSignalSpy reads(provider.findChild<QSerialPort *>(), &QSerialPort::readyRead);
        return mPtyA->write(piece) && reads.wait(5000);
    }

    std::unique_ptr<PtyLine> mPtyA;
    std::unique_ptr<PtyLine> mPtyB;
};

QTEST_GUILESS_MAIN(TestSerialProvider)
#include "tst_serialprovider.moc"
