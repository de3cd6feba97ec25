#include "cli/deviceSession.h"

#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "sm/outcomeTexts.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/utilities.h>

#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPort>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace QVt {
namespace Cli {

namespace {

// A wait longer than this is announced.
constexpr int NOTICE_AFTER_MS = 1000;
// What the hub reports when no port is configured at all.
constexpr quint16 NOT_CONFIGURED_ERROR = 65535;

QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
}

} // namespace

DeviceSession::DeviceSession(const QString &port, int replyTimeoutMs, QObject *parent)
    : QObject(parent)
    , mStateMachine(Sm::StateMachine::instance())
{
    // The hub takes a port from the environment for this process alone, else the one the
    // window remembers.
    if (!port.isEmpty())
        qputenv("KTBRIDGE_PORT", port.toLocal8Bit());
    if (replyTimeoutMs > 0)
        mStateMachine->setReplyTimeout(replyTimeoutMs);
}

DeviceSession::~DeviceSession()
{
    // End the facade's thread while the hub and the tracker it serves still exist.
    mStateMachine->quit();
    mStateMachine->wait();
}

void DeviceSession::start()
{
    // As in the window: the hub and the tracker belong to this thread.
    Comms::CommsHandler::instance();
    Config::SaveStatusTracker::instance();
    Pb::Utilities::registerMetaTypes();

    // The facade hands its started machine to this thread with a queued call before its
    // own event loop runs. A call queued to that loop therefore runs after the hand-over
    // was posted, and the answer it posts back arrives after the hand-over itself.
    QEventLoop ready;
    auto *probe = new QObject;
    probe->moveToThread(mStateMachine);
    QMetaObject::invokeMethod(probe, [probe, &ready] {
            QMetaObject::invokeMethod(&ready, &QEventLoop::quit, Qt::QueuedConnection);
            probe->deleteLater();
        }, Qt::QueuedConnection);
    mStateMachine->start();
    ready.exec();
}

eExitStatus DeviceSession::perform(const QString &waitingFor, const std::function<void()> &operation,
                                   const std::function<void(QObject *, const std::function<void()> &)> &success)
{
    using Sm::StateMachine;
    const Sm::OutcomeTexts texts(nullptr);
    QEventLoop loop;
    QObject context;
    bool done = false;
    eExitStatus status = EXIT_STATUS_SUCCESS;
    const auto finish = [&](eExitStatus outcome, const QString &error) {
        if (done)
            return;
        done = true;
        status = outcome;
        mError = error;
        loop.quit();
    };
    success(&context, [&] { finish(EXIT_STATUS_SUCCESS, QString()); });
    // In the words the window and the autoflash record use; the port goes first where the
    // line failed.
    const auto failed = [&](eExitStatus outcomeStatus, const QString &outcome, const QVariantList &values) {
        finish(outcomeStatus, texts.oneLine(outcome, values));
    };
    connect(mStateMachine, &StateMachine::timeout, &context, [&] {
        finish(EXIT_STATUS_NO_ANSWER, QStringLiteral("port %1: %2").arg(portName(), texts.oneLine(QStringLiteral("timeout"), {})));
    });
    connect(mStateMachine, &StateMachine::commsError, &context, [&](quint16 code, const QString &text) {
        const bool portFailed = code == QSerialPort::DeviceNotFoundError || code == QSerialPort::PermissionError
            || code == QSerialPort::OpenError || code == NOT_CONFIGURED_ERROR;
        QString error = QStringLiteral("port %1: %2").arg(portName(), texts.oneLine(QStringLiteral("commsError"), {code, text}));
        if (code == QSerialPort::PermissionError)
            error += QStringLiteral("\nNo permission to open the serial port: add your user to the group that owns "
                                    "the device (%1), then log in again.")
                         .arg(QFileInfo(portName()).group());
        finish(portFailed ? EXIT_STATUS_PORT : EXIT_STATUS_NO_ANSWER, error);
    });
    connect(mStateMachine, &StateMachine::deviceError, &context,
            [&] { failed(EXIT_STATUS_DEVICE, QStringLiteral("deviceError"), {}); });
    connect(mStateMachine, &StateMachine::deviceUnsupported, &context,
            [&](const QString &deviceIdString, const QString &productId) {
                failed(EXIT_STATUS_WRONG_PRODUCT, QStringLiteral("deviceUnsupported"), {deviceIdString, productId});
            });
    connect(mStateMachine, &StateMachine::configurationUnsupported, &context, [&](const QString &productId) {
        failed(EXIT_STATUS_FILE, QStringLiteral("configurationUnsupported"), {productId});
    });
    const std::pair<void (StateMachine::*)(), const char *> loadErrors[] = {
        {&StateMachine::configurationVersionObsolete, "configurationVersionObsolete"},
        {&StateMachine::configurationVersionMismatch, "configurationVersionMismatch"},
        {&StateMachine::configurationChecksumError, "configurationChecksumError"},
        {&StateMachine::configurationParseError, "configurationParseError"},
    };
    for (const auto &loadError : loadErrors) {
        const QString outcome = QLatin1String(loadError.second);
        connect(mStateMachine, loadError.first, &context, [&, outcome] { failed(EXIT_STATUS_FILE, outcome, {}); });
    }
    connect(mStateMachine, &StateMachine::saveFileFailed, &context, [&](const QString &path, const QString &reason) {
        failed(EXIT_STATUS_FILE, QStringLiteral("saveFileFailed"), {path, reason});
    });

    QTimer notice;
    notice.setSingleShot(true);
    connect(&notice, &QTimer::timeout, &context, [&] {
        if (mAnnounced)
            return;
        mAnnounced = true;
        std::fprintf(stderr, "ktbridge: waiting for %s\n", qPrintable(waitingFor));
        std::fflush(stderr);
    });
    notice.start(NOTICE_AFTER_MS);
    mInterrupt = [&] { finish(EXIT_STATUS_NO_ANSWER, QStringLiteral("interrupted")); };
    operation();
    // The facade answers some operations (loading, saving) before they return.
    if (!done)
        loop.exec();
    mInterrupt = nullptr;
    // A wait for a unit is said once, however often the unit is asked.
    mAnnounced = mWaitingForUnit && mAnnounced;
    return status;
}

template<typename Signal>
eExitStatus DeviceSession::performUntil(const QString &waitingFor, const std::function<void()> &operation,
                                        Signal success)
{
    return perform(waitingFor, operation, [this, success](QObject *context, const std::function<void()> &succeed) {
        connect(mStateMachine, success, context, succeed);
    });
}

eExitStatus DeviceSession::loadConfiguration(const QString &path)
{
    return performUntil(QStringLiteral("%1 to load").arg(path),
                        [&] { mStateMachine->doLoadConfiguration(fileUrl(path)); },
                        &Sm::StateMachine::loadFileSuccessful);
}

eExitStatus DeviceSession::connectUnit(bool waitForever)
{
    const auto connected = [this](QObject *context, const std::function<void()> &succeed) {
        connect(mStateMachine, &Sm::StateMachine::connectedChanged, context, [succeed](bool connected) {
            if (connected)
                succeed();
        });
    };
    const QString waitingFor = QStringLiteral("a unit to answer on %1").arg(portName());
    mWaitingForUnit = waitForever;
    eExitStatus status = EXIT_STATUS_NO_ANSWER;
    do
        status = perform(waitingFor, [this] { mStateMachine->doConnect(); }, connected);
    while (status == EXIT_STATUS_NO_ANSWER && waitForever && !mStopRequested);
    mWaitingForUnit = false;
    mAnnounced = false;
    return status;
}

eExitStatus DeviceSession::readConfiguration()
{
    return performUntil(QStringLiteral("the unit's configuration"),
                        [this] { mStateMachine->doReadDeviceConfiguration(); },
                        &Sm::StateMachine::readFromDeviceSuccessful);
}

eExitStatus DeviceSession::writeConfiguration()
{
    return performUntil(QStringLiteral("the unit to confirm the write"),
                        [this] { mStateMachine->doWriteDeviceConfiguration(); },
                        &Sm::StateMachine::writeToDeviceSuccessful);
}

eExitStatus DeviceSession::saveConfiguration(const QString &path)
{
    return performUntil(QStringLiteral("%1 to be written").arg(path),
                        [&] { mStateMachine->doSaveConfiguration(fileUrl(path)); },
                        &Sm::StateMachine::saveFileSuccessful);
}

eExitStatus DeviceSession::factoryReset()
{
    return performUntil(QStringLiteral("the factory reset"),
                        [this] { mStateMachine->doFactoryReset(); },
                        &Sm::StateMachine::factoryResetSuccessful);
}

void DeviceSession::enterNormalOperation()
{
    mStateMachine->doEnterNormalOperation();
}

void DeviceSession::requestStop()
{
    mStopRequested = true;
    if (mInterrupt && mWaitingForUnit) {
        mInterrupt();
        mStateMachine->doDisconnect();
    }
}

QByteArray DeviceSession::configuration() const
{
    const auto *device = qobject_cast<Device::AbstractDevice *>(mStateMachine->currentDevice());
    return device ? device->serialize() : QByteArray();
}

QObject *DeviceSession::currentDevice() const
{
    return mStateMachine->currentDevice();
}

QString DeviceSession::productId() const
{
    return mStateMachine->productId();
}

QString DeviceSession::deviceIdString() const
{
    return mStateMachine->deviceIdString();
}

QString DeviceSession::portName() const
{
    const QString port = qEnvironmentVariable("KTBRIDGE_PORT");
    return port.isEmpty() ? QSettings().value(QStringLiteral("comms/serial/port")).toString() : port;
}

} // namespace Cli
} // namespace QVt
