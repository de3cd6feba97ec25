// Runs many cycles of connect, read, write and disconnect against ktbridge-sim in one
// process, with the program's own hub and facade on this (the GUI) thread, and prints
// whether every cycle succeeded, the resident memory after cycle 100 and after the last
// one, and the cycle times. With --flood S it instead runs an autoflash of
// ktbridge-configurator against a unit that answers the product-ID request with a stream of
// identification frames, with a reply time-out of S seconds, and prints the program's
// resident memory over the flood and when it ended. A plain program, not a test.
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
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

#include <algorithm>
#include <cstdio>
#include <unistd.h>

using QVt::Comms::CommsHandler;
using QVt::Sm::StateMachine;

namespace {

const QString PRODUCT_ID = QStringLiteral("0000c0de0003");
constexpr int WAIT_MS = 15000;
// The memory baseline: allocations made once (plug-ins, caches, pools) have happened.
constexpr int BASELINE_CYCLE = 100;

// Every connection end logs the same lines; they are counted, not printed, so that the
// figures stay readable.
int loggedLines = 0;

void countMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
    ++loggedLines;
}

// Resident set size in KiB of this process or another, from the second field of
// /proc/<process>/statm (in pages).
long residentKib(const QString &process = QStringLiteral("self"))
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(process));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() < 2 ? -1 : fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs the event loop until the condition holds or the time is up.
template<typename Condition>
bool waitFor(Condition condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > WAIT_MS)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// One cycle; returns the step that failed, or null.
const char *cycle(StateMachine &stateMachine)
{
    QSignalSpy read(&stateMachine, &StateMachine::readFromDeviceSuccessful);
    QSignalSpy written(&stateMachine, &StateMachine::writeToDeviceSuccessful);
    stateMachine.doConnect();
    if (!waitFor([&] { return stateMachine.connected() && !stateMachine.busy(); }))
        return "connect";
    stateMachine.doReadDeviceConfiguration();
    if (!waitFor([&] { return !read.isEmpty() && !stateMachine.busy(); }))
        return "read";
    stateMachine.doWriteDeviceConfiguration();
    if (!waitFor([&] { return !written.isEmpty() && !stateMachine.busy(); }))
        return "write";
    stateMachine.doDisconnect();
    if (!waitFor([&] { return !stateMachine.connected() && !stateMachine.busy(); }))
        return "disconnect";
    return nullptr;
}

// The autoflash run against the flooding unit on link, its memory sampled every 100 ms.
int flood(const QTemporaryDir &dir, const QString &link, int seconds)
{
    const QString configurationPath = dir.filePath(QStringLiteral("cwb.bgc"));
    const QSharedPointer<QVt::Device::AbstractDevice> device =
        QVt::Device::DeviceFactory::instance()->createDevice(PRODUCT_ID);
    QFile file(configurationPath);
    if (!device || !file.open(QIODevice::WriteOnly) || file.write(device->serialize()) <= 0) {
        std::fprintf(stderr, "No configuration to flash.\n");
        return 1;
    }
    file.close();
    const int timeoutMs = seconds * 1000;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("settings")));
    environment.insert(QStringLiteral("KTBRIDGE_AUTOFLASH_LOG"), dir.filePath(QStringLiteral("records.jsonl")));
    environment.insert(QStringLiteral("KTBRIDGE_PORT"), link);
    environment.insert(QStringLiteral("KTBRIDGE_REPLY_TIMEOUT_MS"), QString::number(timeoutMs));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(KT_CONFIGURATOR_PATH),
                  {QStringLiteral("--config"), configurationPath, QStringLiteral("--autoflash")});
    const QString pid = QString::number(process.processId());
    long peakKib = 0;
    while (!process.waitForFinished(100) && timer.elapsed() < 2 * timeoutMs + WAIT_MS)
        peakKib = std::max(peakKib, residentKib(pid));
    const qint64 endedMs = timer.elapsed();
    process.kill();
    process.waitForFinished();
    const QList<QByteArray> lines = process.readAllStandardError().split('\n');
    const bool error = lines.contains("ERROR");
    std::printf("flood: reply time-out %d ms, autoflash ended after %lld ms with %s\n", timeoutMs, endedMs,
                error ? "ERROR" : lines.contains("SUCCESS") ? "SUCCESS" : "no verdict");
    std::printf("resident memory of the program: peak %ld KiB (goal: under 65536)\n", peakKib);
    for (const QByteArray &line : lines) {
        if (line.startsWith("Dropped received frames"))
            std::printf("%s\n", line.constData());
    }
    return error ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(countMessage);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("kt-bench-soak"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Connect, read, write and disconnect, again and again."));
    parser.addHelpOption();
    const QCommandLineOption cyclesOption(QStringLiteral("cycles"), QStringLiteral("Number of cycles."),
                                          QStringLiteral("N"), QStringLiteral("1000"));
    parser.addOption(cyclesOption);
    const QCommandLineOption floodOption(QStringLiteral("flood"),
                                         QStringLiteral("Instead, an autoflash against a flood for S seconds."),
                                         QStringLiteral("S"));
    parser.addOption(floodOption);
    parser.process(app);
    const int cycles = qMax(BASELINE_CYCLE, parser.value(cyclesOption).toInt());

    QVt::Pb::Utilities::registerMetaTypes();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("port"));
    SimulatorProcess simulator;
    QStringList simulatorArguments = {QStringLiteral("--link"), link, QStringLiteral("--product-id"), PRODUCT_ID};
    if (parser.isSet(floodOption))
        simulatorArguments << QStringLiteral("--fault") << QStringLiteral("flood");
    if (!simulator.start(simulatorArguments)) {
        std::fprintf(stderr, "The simulator did not start: %s\n", simulator.standardError().constData());
        return 1;
    }
    if (parser.isSet(floodOption))
        return flood(dir, link, qMax(1, parser.value(floodOption).toInt()));
    qputenv("KTBRIDGE_EXTRA_PORTS", link.toLocal8Bit());
    QSettings().setValue(QStringLiteral("comms/serial/port"), link);
    CommsHandler::instance();
    StateMachine stateMachine(nullptr);
    stateMachine.start();
    // The machine is handed over to this thread after its start; until then a connect
    // is dropped.
    if (!waitFor([&] {
            stateMachine.doConnect();
            return stateMachine.busy();
        })
        || !waitFor([&] { return !stateMachine.busy(); })) {
        std::fprintf(stderr, "The state machine did not start.\n");
        return 1;
    }
    stateMachine.doDisconnect();

    QVector<double> cycleMs;
    long baselineKib = 0;
    int failed = 0;
    for (int i = 1; i <= cycles; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (const char *step = cycle(stateMachine)) {
            ++failed;
            std::fprintf(stderr, "cycle %d: %s failed\n", i, step);
            stateMachine.doDisconnect();
        }
        cycleMs.append(timer.nsecsElapsed() / 1e6);
        if (i == BASELINE_CYCLE)
            baselineKib = residentKib();
    }
    const long finalKib = residentKib();
    stateMachine.quit();
    stateMachine.wait();

    std::sort(cycleMs.begin(), cycleMs.end());
    std::printf("cycles: %d, failed: %d\n", cycles, failed);
    std::printf("resident memory: %ld KiB after cycle %d, %ld KiB after cycle %d, growth %ld KiB (goal: under 2048)\n",
                baselineKib, BASELINE_CYCLE, finalKib, cycles, finalKib - baselineKib);
    std::printf("cycle time: median %.1f ms, max %.1f ms\n", cycleMs.at(cycleMs.size() / 2), cycleMs.last());
    std::printf("log lines: %d\n", loggedLines);
    return failed == 0 ? 0 : 1;
}
