// Prints what the program itself adds to a device exchange on a 115200-baud line:
// connecting (boot sequence to connected, with the automatic read), writing a
// configuration, and a whole unattended autoflash run of ktbridge-configurator, each
// beside the time its bytes need on the line and the simulator's reply delays.
// A plain program, not a test.
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "device/deviceFactory.h"
#include "sm/stateMachine.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/utilities.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>

using QVt::Comms::CommsHandler;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Device::AbstractDevice;
using QVt::Sm::StateMachine;

namespace {

const QString PRODUCT_ID = QStringLiteral("0000c0de0003");
const QString ID_STRING = QStringLiteral("KT Bridge boot loader 1.4");
constexpr int BAUD = 115200;
constexpr int WAIT_MS = 15000;

// 8N1: ten bits on the line for every byte.
double wireMs(int bytes)
{
    return bytes * 10.0 * 1000.0 / BAUD;
}

int framed(const QByteArray &payload)
{
    return BootProtocol::frame(payload).size();
}

struct Series
{
    QVector<double> ms;

    double median() const
    {
        QVector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.isEmpty() ? 0 : sorted.at(sorted.size() / 2);
    }
    double minimum() const { return ms.isEmpty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
    double maximum() const { return ms.isEmpty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

void printRow(const char *operation, const Series &series, double wire, double delays)
{
    std::printf("%-10s %4d %9.1f %9.1f %9.1f %9.1f %9.1f %10.1f\n", operation, int(series.ms.size()),
                series.median(), series.minimum(), series.maximum(), wire, delays,
                series.median() - wire - delays);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Bytes on the line, both directions together, for one connection, one write and one
// autoflash run. After the first write the simulator holds, and reads back, what the
// program wrote; an autoflash run writes the file's configuration.
struct LineBytes
{
    int connect = 0;
    int write = 0;
    int autoflash = 0;
};

LineBytes lineBytes(const QByteArray &written, const QByteArray &fileConfiguration)
{
    const QByteArray productIdBytes = QByteArray::fromHex(PRODUCT_ID.toLatin1());
    const int identify = BootProtocol::buildBootSequence().size() + framed(ID_STRING.toUtf8())
                         + BootProtocol::buildReadProductIdCommand().size() + framed('P' + productIdBytes);
    const int read = BootProtocol::buildReadProtobufCommand().size() + framed('L' + written);
    const int reply = framed("S");
    return LineBytes{identify + read, BootProtocol::buildWriteProtobufCommand(written).size() + reply,
                     identify + BootProtocol::buildWriteProtobufCommand(fileConfiguration).size() + reply};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("kt-bench-autoflash"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Connect, write and autoflash times against ktbridge-sim."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Repetitions of each operation."),
                                        QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption delayOption(QStringLiteral("reply-delay"),
                                         QStringLiteral("The simulator's processing time before each reply."),
                                         QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOptions({runsOption, delayOption});
    parser.process(app);
    const int runs = qMax(1, parser.value(runsOption).toInt());
    const int replyDelayMs = qMax(0, parser.value(delayOption).toInt());

    QVt::Pb::Utilities::registerMetaTypes();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("port"));
    const QString configurationPath = dir.filePath(QStringLiteral("cwb.bgc"));
    const QSharedPointer<AbstractDevice> factoryDevice = QVt::Device::DeviceFactory::instance()->createDevice(PRODUCT_ID);
    if (!factoryDevice) {
        std::fprintf(stderr, "No driver for %s beside this program.\n", qPrintable(PRODUCT_ID));
        return 1;
    }
    const QByteArray configuration = factoryDevice->serialize();
    QFile file(configurationPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(configuration) != configuration.size())
        return 1;
    file.close();

    const QStringList simulatorArguments = {
        QStringLiteral("--link"), link, QStringLiteral("--baud"), QString::number(BAUD),
        QStringLiteral("--reply-delay"), QString::number(replyDelayMs), QStringLiteral("--product-id"), PRODUCT_ID,
        QStringLiteral("--id-string"), ID_STRING, QStringLiteral("--config"), configurationPath};
    SimulatorProcess simulator;
    if (!simulator.start(simulatorArguments)) {
        std::fprintf(stderr, "The simulator did not start: %s\n", simulator.standardError().constData());
        return 1;
    }

    // The program's own shape: hub and facade on this (the GUI) thread.
    qputenv("KTBRIDGE_EXTRA_PORTS", link.toLocal8Bit());
    QSettings().setValue(QStringLiteral("comms/serial/port"), link);
    CommsHandler::instance();
    StateMachine stateMachine(nullptr);
    QSignalSpy loaded(&stateMachine, &StateMachine::loadFileSuccessful);
    stateMachine.setStartupOptions(QUrl::fromLocalFile(configurationPath).toString(), false);
    stateMachine.start();
    if (!loaded.wait(WAIT_MS))
        return 1;

    Series connectTimes;
    Series writeTimes;
    QByteArray written;
    for (int run = 0; run < runs; ++run) {
        QSignalSpy connected(&stateMachine, &StateMachine::connectedChanged);
        QElapsedTimer timer;
        timer.start();
        stateMachine.doConnect();
        while (!stateMachine.connected()) {
            if (!connected.wait(WAIT_MS)) {
                std::fprintf(stderr, "Connecting failed.\n");
                return 1;
            }
        }
        connectTimes.ms.append(elapsedMs(timer));

        written = qobject_cast<AbstractDevice *>(stateMachine.currentDevice())->serialize();
        QSignalSpy writeDone(&stateMachine, &StateMachine::writeToDeviceSuccessful);
        timer.restart();
        stateMachine.doWriteDeviceConfiguration();
        if (!writeDone.wait(WAIT_MS)) {
            std::fprintf(stderr, "Writing failed.\n");
            return 1;
        }
        writeTimes.ms.append(elapsedMs(timer));
        stateMachine.doDisconnect();
    }
    stateMachine.quit();
    stateMachine.wait();

    // Whole runs of the program, as a production script starts it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("settings")));
    environment.insert(QStringLiteral("KTBRIDGE_EXTRA_PORTS"), link);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    Series autoflashTimes;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(KT_CONFIGURATOR_PATH),
                      {QStringLiteral("--config"), configurationPath, QStringLiteral("--autoflash")});
        if (!process.waitForFinished(WAIT_MS) || process.exitCode() != 0) {
            std::fprintf(stderr, "Autoflash run failed: %s\n", process.readAllStandardError().constData());
            return 1;
        }
        autoflashTimes.ms.append(elapsedMs(timer));
    }

    const LineBytes bytes = lineBytes(written, configuration);
    std::printf("ktbridge-sim --baud %d --reply-delay %d, %d runs each; milliseconds\n", BAUD, replyDelayMs, runs);
    std::printf("line bytes: connect %d, write %d, autoflash %d\n", bytes.connect, bytes.write, bytes.autoflash);
    std::printf("%-10s %4s %9s %9s %9s %9s %9s %10s\n", "operation", "n", "median", "min", "max", "wire",
                "delays", "overhead");
    printRow("connect", connectTimes, wireMs(bytes.connect), 3.0 * replyDelayMs);
    printRow("write", writeTimes, wireMs(bytes.write), 1.0 * replyDelayMs);
    printRow("autoflash", autoflashTimes, wireMs(bytes.autoflash), 3.0 * replyDelayMs);
    std::printf("overhead = median - wire - delays (targets: 20 ms per operation, 300 ms for autoflash)\n");
    return 0;
}
