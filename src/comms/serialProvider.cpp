#include "comms/serialProvider.h"

#include "global/logging.h"
#include "global/setting.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

namespace QVt {
namespace Comms {

namespace {

const QString PORT_SETTINGS_KEY = QStringLiteral("comms/serial/port");
const QString EXTRA_PORTS_VARIABLE = QStringLiteral("KTBRIDGE_EXTRA_PORTS");
const char PORT_VARIABLE[] = "KTBRIDGE_PORT";
constexpr qint32 BAUD_RATE = 115200;
constexpr quint16 NOT_CONFIGURED_ERROR = 0xFFFF;
constexpr unsigned long CLOSE_DELAY_MS = 150;

// Device paths named in the environment (for example a simulator's pseudo-terminal)
// come first, so that they are chosen when nothing is stored; then the ports Qt lists.
QVariantList availablePortNames()
{
    QVariantList ports;
    const QString extra = qEnvironmentVariable(qPrintable(EXTRA_PORTS_VARIABLE));
    for (const QString &path : extra.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isAbsolutePath(path) || !QFileInfo::exists(path)) {
            qCWarning(Global::logLink) << "Ignoring an extra port that is not an existing absolute path:" << path;
            continue;
        }
        if (!ports.contains(path))
            ports.append(path);
    }
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append(info.portName());
    return ports;
}

// Where the operating system keeps a port: a path as it is, a bare name under /dev.
QString systemLocation(const QString &portName)
{
#ifdef Q_OS_UNIX
    if (!portName.startsWith(QLatin1Char('/')))
        return QStringLiteral("/dev/") + portName;
#endif
    return portName;
}

// True when the far end of an open port's line has hung up.
bool isHungUp(const QSerialPort &port)
{
#ifdef Q_OS_UNIX
    pollfd line{port.handle(), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & POLLHUP);
#else
    Q_UNUSED(port)
    return false;
#endif
}

// Qt reports a port that another program holds open or locked as a permission error
// too; only a port this process may not open gets the hint about the group.
void hintAtPermissionError(const QString &location)
{
#ifdef Q_OS_UNIX
    if (::access(QFile::encodeName(location).constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        qCWarning(Global::logLink) << "No permission to open the serial port: add your user to the group that "
                                      "owns the device (usually dialout), then log in again. Port and group:"
                                   << location << QFileInfo(location).group();
        return;
    }
#endif
    qCWarning(Global::logLink) << "The serial port is in use by another program:" << location;
}

} // namespace

SerialProvider::SerialProvider(QObject *parent)
    : DataProvider(parent)
    , mPort(new QSerialPort(this))
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    connect(mPort, &QSerialPort::readyRead, this, &SerialProvider::onReadyRead);
    connect(mPort, &QSerialPort::errorOccurred, this, &SerialProvider::onSerialPortError);

    // A port named in the environment serves this process only: it is offered and taken
    // as it is, without passing onPortChanged(), which would store it for every process.
    // The system's ports are then not listed: that walks every terminal device in sysfs,
    // a third of the processor time of a production station's whole run.
    const QString environmentPort = qEnvironmentVariable(PORT_VARIABLE);
    if (environmentPort.isEmpty())
        mAvailablePorts = availablePortNames();
    if (!environmentPort.isEmpty() && !mAvailablePorts.contains(environmentPort)) {
        if (!QFileInfo::exists(systemLocation(environmentPort)))
            qCWarning(Global::logLink) << "The serial port named by KTBRIDGE_PORT does not exist:"
                                       << environmentPort;
        mAvailablePorts.prepend(environmentPort);
    }
    mPortName = environmentPort;
    mPortSetting = new Global::Setting(QStringLiteral("Port"), Global::Setting::SETTING_TYPE_COMBO,
                                       mAvailablePorts, environmentPort, nullptr);
    connect(mPortSetting, &Global::Setting::valueChanged, this, &SerialProvider::onPortChanged);
    if (!environmentPort.isEmpty())
        return;

    QString portName = QSettings().value(PORT_SETTINGS_KEY, QString()).toString();
    if (portName.isEmpty() || !mAvailablePorts.contains(portName))
        portName = mAvailablePorts.isEmpty() ? QString() : mAvailablePorts.constFirst().toString();
    mPortSetting->setValue(portName);
}

SerialProvider::~SerialProvider()
{
    // Listed now if it was never handed out, so that the base releases it with the others.
    settings();
}

void SerialProvider::open()
{
    openSerial();
}

void SerialProvider::close()
{
    closeSerial();
}

QList<Global::Setting *> SerialProvider::settingsList() const
{
    return {mPortSetting};
}

bool SerialProvider::settingsValid() const
{
    return !mPortName.isEmpty();
}

QString SerialProvider::serialPortErrorToText(quint16 errorCode)
{
    switch (errorCode) {
    case QSerialPort::NoError:
        return QStringLiteral("No error.");
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("Attempted to open a non-existent device.");
    case QSerialPort::PermissionError:
        return QStringLiteral("The device is being used by another process, or permissions or "
                              "credentials are insufficient for opening the device.");
    case QSerialPort::OpenError:
        return QStringLiteral("The device cannot be opened, as it has already been opened "
                              "(perhaps by another process).");
    case QSerialPort::ParityError:
        return QStringLiteral("Parity error detected.");
    case QSerialPort::FramingError:
        return QStringLiteral("Framing error detected.");
    case QSerialPort::BreakConditionError:
        return QStringLiteral("Break condition detected.");
    case QSerialPort::WriteError:
        return QStringLiteral("Failed to write to the device.");
    case QSerialPort::ReadError:
        return QStringLiteral("Failed to read from the device.");
    case QSerialPort::ResourceError:
        return QStringLiteral("Device or resource has become unavailable (perhaps removed or "
                              "disconnected).");
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("Operation not permitted by the operating system.");
    case QSerialPort::TimeoutError:
        return QStringLiteral("A timeout error occurred.");
    case QSerialPort::NotOpenError:
        return QStringLiteral("Attempted to write to a device that has not yet been opened.");
    default:
        return QStringLiteral("Unknown error.");
    }
}

void SerialProvider::onWriteData(QByteArray data)
{
    if (!mPort->isOpen())
        openSerial();
    mReader.clear();

    if (mPort->isOpen()) {
        if (data.isEmpty()) {
            qCWarning(Global::logLink) << "Attempted to write empty data to the serial port.";
            return;
        }
        qCDebug(Global::logLink) << "Sending frame" << data.toHex(' ');
        if (mPort->write(data) != data.size())
            qCWarning(Global::logLink) << "Failed to write all bytes to the serial port.";
        mGate.onRequestSent();
        return;
    }

    if (mPortName.isEmpty()) {
        qCWarning(Global::logLink) << "Failed to open the serial port (not configured).";
        emit errorOccurred(NOT_CONFIGURED_ERROR, tr("The serial port is not yet configured."));
    } else {
        qCWarning(Global::logLink) << "Failed to open the serial port for writing.";
        emit errorOccurred(QSerialPort::OpenError, serialPortErrorToText(QSerialPort::OpenError));
    }
}

void SerialProvider::onReadyRead()
{
    const QList<QByteArray> payloads = mReader.append(mPort->readAll());
    for (const QByteArray &payload : payloads) {
        qCDebug(Global::logLink) << "Received payload" << payload.toHex(' ');
        if (mGate.admit())
            emit newData(payload);
    }
}

void SerialProvider::onReplyHandled(bool replyAwaited)
{
    mGate.onReplyHandled(replyAwaited);
}

void SerialProvider::onSerialPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    if (error == QSerialPort::UnsupportedOperationError && mDrivingModemLines)
        return;  // openSerial() warns once
    // A device that has gone is reported once: the reads and writes still under way on
    // its line fail as well until the port is closed.
    if (mLineGone)
        return;
    // A read that fails although the port signalled data leaves the port signalling
    // for ever: without a close this thread would spin and repeat the error. When the
    // line was hung up (an unplugged adapter, a closed pseudo-terminal), which reads
    // as end of file, the device has gone: say so.
    const bool readFailed = error == QSerialPort::ReadError && mPort->isOpen();
    if (readFailed && isHungUp(*mPort))
        error = QSerialPort::ResourceError;
    mLineGone = error == QSerialPort::ResourceError && mPort->isOpen();
    qCWarning(Global::logLink) << "Serial port error:" << int(error);
    if (error == QSerialPort::PermissionError)
        hintAtPermissionError(systemLocation(mPortName));
    // An error the port library has no name for (a port that is a folder) is told in the
    // system's words.
    emit errorOccurred(error, error == QSerialPort::UnknownError ? mPort->errorString() : serialPortErrorToText(error));
    // Closed once the port has finished its failed read, before it signals again.
    if (readFailed || mLineGone)
        QMetaObject::invokeMethod(this, [this] { closeSerial(); }, Qt::QueuedConnection);
}

void SerialProvider::onPortChanged(QVariant value)
{
    const QString portName = value.toString();
    if (portName == mPortName || portName.isEmpty())
        return;

    if (mAvailablePorts.contains(portName))
        mPortName = portName;
    else
        qCWarning(Global::logLink) << "Refusing to move to a port that is not currently available.";

    closeSerial();
    QSettings().setValue(PORT_SETTINGS_KEY, mPortName);
}

void SerialProvider::openSerial()
{
    closeSerial();
    mReader.clear();
    mLineGone = false;
    if (mPortName.isEmpty()) {
        qCWarning(Global::logLink) << "Cannot open a serial port connection with invalid settings.";
        return;
    }

    mPort->setPortName(mPortName);
    if (mPort->open(QIODevice::ReadWrite)) {
        mPort->setBaudRate(BAUD_RATE, QSerialPort::AllDirections);
        mDrivingModemLines = true;
        const bool dtrDriven = mPort->setDataTerminalReady(false);
        const bool rtsDriven = mPort->setRequestToSend(false);
        mDrivingModemLines = false;
        if (!dtrDriven || !rtsDriven)
            qCWarning(Global::logLink) << "Could not drive DTR and RTS inactive on port" << mPortName;
        qCDebug(Global::logLink) << "Opened port" << mPortName << "with baud rate" << BAUD_RATE;
    }
    if (!mPort->isOpen())
        qCWarning(Global::logLink) << "Could not connect to port" << mPortName << "with baud rate" << BAUD_RATE;
}

void SerialProvider::closeSerial()
{
    mGate.reset();
    if (!mPort->isOpen())
        return;
    // Hand the last request to the device before the pause: written bytes wait in the
    // port's buffer for this thread's event loop, which the pause would starve.
    while (mPort->bytesToWrite() > 0 && mPort->waitForBytesWritten(int(CLOSE_DELAY_MS))) {
    }
    QThread::msleep(CLOSE_DELAY_MS);
    mPort->close();
    qCDebug(Global::logLink) << "Closed port" << mPortName;
}

} // namespace Comms
} // namespace QVt
