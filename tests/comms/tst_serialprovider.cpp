#include "comms/serialProvider.h"
#include "comms/protocol/bootProtocol.h"
#include "global/setting.h"
#include "ptyLine.h"

#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using QVt::Comms::SerialProvider;
using QVt::Comms::Protocol::BootProtocol;

namespace {

const char *const PORT_KEY = "comms/serial/port";
const char *const NOT_AVAILABLE = "Refusing to move to a port that is not currently available.";

} // namespace

class TestSerialProvider : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        qunsetenv("KTBRIDGE_PORT");
        qputenv("KTBRIDGE_EXTRA_PORTS", (mPtyA.path() + ':' + mPtyB.path()).toLocal8Bit());
    }

    // The port chosen at start-up, what is stored, and where the first write goes.
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
        QCOMPARE(provider.settingsList().constFirst()->value().toString(), path(expected));
        QCOMPARE(QSettings().value(PORT_KEY).toString(), path(environment.isEmpty() ? expected : stored));
        writeThrough(provider, expected == "A" ? mPtyA : mPtyB);
        QCOMPARE(provider.findChild<QSerialPort *>()->baudRate(), 115200);
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
        const QString link = dir.filePath("ttyKT0");
        if (fromEnvironment)
            QTest::ignoreMessage(QtWarningMsg, qPrintable("The serial port named by KTBRIDGE_PORT does not exist: \"" + link + '"'));
        else
            QVERIFY(QFile::link(mPtyA.path(), link));
        qputenv(fromEnvironment ? "KTBRIDGE_PORT" : "KTBRIDGE_EXTRA_PORTS", link.toLocal8Bit());
        SerialProvider provider(nullptr);
        QFile::remove(link);

        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        QTest::ignoreMessage(QtWarningMsg, "Serial port error: 1");
        QTest::ignoreMessage(QtWarningMsg, qPrintable("Could not connect to port \"" + link + "\" with baud rate 115200"));
        QTest::ignoreMessage(QtWarningMsg, "Failed to open the serial port for writing.");
        provider.onWriteData(BootProtocol::buildBootSequence());
        QCOMPARE(errorsIn(errors), QStringList({"1: Attempted to open a non-existent device.",
                                                "3: The device cannot be opened, as it has already been opened "
                                                "(perhaps by another process)."}));
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
    }

    // The reader's rules are its own test's; here: what the port reads reaches newData, a
    // write drops a reply still pending, and an empty write sends nothing.
    void writeDiscardsPartialReply()
    {
        SerialProvider provider(nullptr);
        writeThrough(provider, mPtyA);
        QSignalSpy received(&provider, &SerialProvider::newData);

        QVERIFY(feed(provider, QByteArray::fromHex("43000241")));
        QTest::ignoreMessage(QtWarningMsg, "Attempted to write empty data to the serial port.");
        provider.onWriteData(QByteArray());
        QTest::ignoreMessage(QtWarningMsg, "Read data with an invalid start byte; discarding.");
        QVERIFY(feed(provider, QByteArray::fromHex("42420d")));
        QVERIFY(feed(provider, QByteArray::fromHex("4300014c0e0d")));
        QCOMPARE(bytesIn(received), QList<QByteArray>{"L"});
        QCOMPARE(mPtyA.read(-1, 100), QByteArray());
    }

    void portErrors_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QStringList>("emitted");

        QTest::newRow("no error: ignored") << 0 << QStringList() << QStringList();
        QTest::newRow("permission: says how to get access")
            << 2 << QStringList{"Serial port error: 2", "No permission to open the serial port: add your user to the group "
                                "that owns the device (usually dialout), then log in again. Port and group: \"@PORT\" \"@GROUP\""}
            << QStringList{"2: The device is being used by another process, or permissions or credentials are "
                           "insufficient for opening the device."};
        // A port that keeps signalling a failed read is closed; the next write opens it again.
        QTest::newRow("failed read closes the port") << 8 << QStringList{"Serial port error: 8"}
                                                     << QStringList{"8: Failed to read from the device."};
    }

    void portErrors()
    {
        QFETCH(int, error);
        QFETCH(QStringList, warnings);
        QFETCH(QStringList, emitted);

        SerialProvider provider(nullptr);
        writeThrough(provider, mPtyA);
        QSignalSpy errors(&provider, &SerialProvider::errorOccurred);
        for (QString warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning.replace("@PORT", mPtyA.path())
                                                              .replace("@GROUP", QFileInfo(mPtyA.path()).group())));
        QSerialPort *port = provider.findChild<QSerialPort *>();
        emit port->errorOccurred(QSerialPort::SerialPortError(error));
        QCOMPARE(errorsIn(errors), emitted);
        QTRY_COMPARE(port->isOpen(), error != QSerialPort::ReadError);
        writeThrough(provider, mPtyA, error == QSerialPort::ReadError);
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
        writeThrough(provider, mPtyA);
        QSettings().setValue(PORT_KEY, "untouched");
        if (newValue == "/dev/ttyNONE")
            QTest::ignoreMessage(QtWarningMsg, NOT_AVAILABLE);
        provider.settingsList().constFirst()->setValue(path(newValue));

        QCOMPARE(provider.findChild<QSerialPort *>()->isOpen(), !closes);
        QCOMPARE(QSettings().value(PORT_KEY).toString(), closes ? path(expectedPort) : "untouched");
        writeThrough(provider, expectedPort == "B" ? mPtyB : mPtyA, closes);
    }

private:
    // The path of pseudo-terminal "A" or "B"; any other name as it is.
    QString path(const QString &name) const
    {
        return name == "A" ? mPtyA.path() : name == "B" ? mPtyB.path() : name;
    }

    // Writes a request and takes it off the line at pty; opens says the write opens the port.
    void writeThrough(SerialProvider &provider, PtyLine &pty, bool opens = true)
    {
        const QByteArray request = BootProtocol::buildWriteProtobufCommand(QByteArray(300, '\r'));
        if (opens)
            expectModemLineWarning(pty.path());
        provider.onWriteData(request);
        QCOMPARE(pty.read(request.size()).toHex(' '), request.toHex(' '));
    }

    // Sends bytes from the device side and waits until the provider has read them.
    bool feed(SerialProvider &provider, const QByteArray &piece)
    {
        QSignalSpy reads(provider.findChild<QSerialPort *>(), &QSerialPort::readyRead);
        return mPtyA.write(piece) && reads.wait(5000);
    }

    PtyLine mPtyA;
    PtyLine mPtyB;
};

QTEST_GUILESS_MAIN(TestSerialProvider)
#include "tst_serialprovider.moc"
