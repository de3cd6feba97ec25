// Prints how a line of production stations scales: for N = 1, 2, 4, 8 and 16, N
// simulators on a 115200-baud line with a 20 ms reply delay and N unattended autoflash
// runs of ktbridge-configurator started at once, one per port, and the wall time until
// the last one ends, beside its ratio to one station. Then the same for fixtures that
// loop: N ktbridge flash processes, each started once, against N simulators that play a
// number of units in turn; it prints units per second, the wall time, its ratio to one
// fixture and the processor time of the flash processes per unit. A plain program, not a test.
#include "simulatorProcess.h"

#include "device/deviceFactory.h"

#include <qvtbusgate/abstractDevice.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString PRODUCT_ID = QStringLiteral("0000c0de0003");
const int STATIONS[] = {1, 2, 4, 8, 16};
constexpr int WAIT_MS = 60000;
// A line of 115200 baud to a unit that takes 20 ms for each reply.
const QStringList LINE = {QStringLiteral("--baud"), QStringLiteral("115200"), QStringLiteral("--reply-delay"),
                          QStringLiteral("20"), QStringLiteral("--product-id"), PRODUCT_ID};

// Wall time of one round in milliseconds, or a negative value when a station failed.
double runRound(int stations, const QString &configuration, const QTemporaryDir &dir)
{
    std::vector<std::unique_ptr<SimulatorProcess>> simulators;
    for (int i = 0; i < stations; ++i) {
        simulators.emplace_back(new SimulatorProcess);
        if (!simulators.back()->start(LINE))
            return -1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("settings")));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    std::vector<std::unique_ptr<QProcess>> processes;
    QElapsedTimer timer;
    timer.start();
    for (const auto &simulator : simulators) {
        environment.insert(QStringLiteral("KTBRIDGE_PORT"), simulator->portName());
        processes.emplace_back(new QProcess);
        processes.back()->setProcessEnvironment(environment);
        processes.back()->start(QStringLiteral(KT_CONFIGURATOR_PATH),
                                {QStringLiteral("--config"), configuration, QStringLiteral("--autoflash")});
    }
    bool allSucceeded = true;
    for (const auto &process : processes) {
        if (!process->waitForFinished(WAIT_MS) || process->exitCode() != 0) {
            std::fprintf(stderr, "A station failed: %s\n", process->readAllStandardError().constData());
            allSucceeded = false;
        }
    }
    const double wallMs = timer.nsecsElapsed() / 1e6;
    return allSucceeded ? wallMs : -1;
}

double childProcessorMs()
{
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct FixtureRound
{
    double wallMs = -1; // negative when a fixture failed
    double processorMs = 0;
};

// One round of fixtures: wall time until every fixture has flashed its units, and the
// processor time of the flash processes (collected before the simulators are reaped).
FixtureRound runFixtureRound(int fixtures, int units, const QString &configuration)
{
    FixtureRound round;
    std::vector<std::unique_ptr<SimulatorProcess>> simulators;
    for (int i = 0; i < fixtures; ++i) {
        simulators.emplace_back(new SimulatorProcess);
        if (!simulators.back()->start(LINE + QStringList{QStringLiteral("--units"), QString::number(units),
                                                          QStringLiteral("--unit-pause"), QStringLiteral("0")}))
            return round;
    }
    std::vector<std::unique_ptr<QProcess>> processes;
    const double processorBefore = childProcessorMs();
    QElapsedTimer timer;
    timer.start();
    for (const auto &simulator : simulators) {
        processes.emplace_back(new QProcess);
        processes.back()->start(QStringLiteral(KT_KTBRIDGE_PATH),
                                {QStringLiteral("flash"), configuration, QStringLiteral("--count"),
                                 QString::number(units), QStringLiteral("--port"), simulator->portName()});
    }
    bool allSucceeded = true;
    for (const auto &process : processes) {
        if (!process->waitForFinished(WAIT_MS) || process->exitCode() != 0) {
            std::fprintf(stderr, "A fixture failed: %s\n", process->readAllStandardError().constData());
            allSucceeded = false;
        }
    }
    round.wallMs = allSucceeded ? timer.nsecsElapsed() / 1e6 : -1;
    round.processorMs = childProcessorMs() - processorBefore;
    return round;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Wall time of N autoflash stations at once."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Rounds for each N (median shown)."),
                                        QStringLiteral("N"), QStringLiteral("3"));
    parser.addOption(runsOption);
    const QCommandLineOption unitsOption(QStringLiteral("units"), QStringLiteral("Units each fixture flashes."),
                                         QStringLiteral("N"), QStringLiteral("10"));
    parser.addOption(unitsOption);
    parser.process(app);
    const int runs = qMax(1, parser.value(runsOption).toInt());
    const int units = qMax(1, parser.value(unitsOption).toInt());

    QTemporaryDir dir;
    const QString configuration = dir.filePath(QStringLiteral("cwb.bgc"));
    const QSharedPointer<QVt::Device::AbstractDevice> device =
        QVt::Device::DeviceFactory::instance()->createDevice(PRODUCT_ID);
    QFile file(configuration);
    if (!device || !file.open(QIODevice::WriteOnly) || file.write(device->serialize()) <= 0) {
        std::fprintf(stderr, "No driver for %s beside this program.\n", qPrintable(PRODUCT_ID));
        return 1;
    }
    file.close();

    std::printf("ktbridge-sim --baud 115200 --reply-delay 20; median of %d rounds; milliseconds\n", runs);
    std::printf("%8s %10s %8s\n", "stations", "wall", "ratio");
    double single = 0;
    for (const int stations : STATIONS) {
        std::vector<double> walls;
        for (int run = 0; run < runs; ++run) {
            const double wall = runRound(stations, configuration, dir);
            if (wall < 0)
                return 1;
            walls.push_back(wall);
        }
        const double wall = median(walls);
        if (stations == 1)
            single = wall;
        std::printf("%8d %10.1f %8.2f\n", stations, wall, wall / single);
        std::fflush(stdout);
    }

    std::printf("\nktbridge flash, started once per fixture, %d units each; median of %d rounds\n", units, runs);
    std::printf("%8s %10s %10s %8s %14s\n", "fixtures", "units/s", "wall (ms)", "ratio", "cpu/unit (ms)");
    for (const int fixtures : STATIONS) {
        std::vector<double> walls;
        std::vector<double> processors;
        for (int run = 0; run < runs; ++run) {
            const FixtureRound round = runFixtureRound(fixtures, units, configuration);
            if (round.wallMs < 0)
                return 1;
            walls.push_back(round.wallMs);
            processors.push_back(round.processorMs);
        }
        const double wall = median(walls);
        if (fixtures == 1)
            single = wall;
        std::printf("%8d %10.1f %10.1f %8.2f %14.1f\n", fixtures, fixtures * units / (wall / 1000), wall,
                    wall / single, median(processors) / (fixtures * units));
        std::fflush(stdout);
    }
    return 0;
}
