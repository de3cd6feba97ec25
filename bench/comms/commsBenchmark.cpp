// Prints the link's floor figures: how fast frames are built and checked, and how long
// one request/reply takes through the hub, its worker thread, a pseudo-terminal and
// the device simulator.

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "comms/protocol/frameReader.h"
#include "simulatorProcess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using QVt::Comms::CommsHandler;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Comms::Protocol::FrameReader;

namespace {

// Repeats work until at least half a second has passed; returns operations per second.
template<typename Work>
double ratePerSecond(Work work)
{
    QElapsedTimer timer;
    timer.start();
    qint64 operations = 0;
    do {
        for (int i = 0; i < 100; ++i)
            work();
        operations += 100;
    } while (timer.elapsed() < 500);
    return double(operations) * 1e9 / double(timer.nsecsElapsed());
}

void benchmarkFraming()
{
    std::printf("%-14s %16s %16s %14s\n", "payload bytes", "framed/s", "checked/s", "checked MB/s");
    for (int size : {1, 16, 256, 4096, 65535}) {
        const QByteArray payload(size, '\x5A');
        const QByteArray frame = BootProtocol::frame(payload);
        volatile int sink = 0;
        const double framed = ratePerSecond([&] { sink = sink + BootProtocol::frame(payload).size(); });
        QByteArray out;
        const double checked = ratePerSecond([&] {
            sink = sink + BootProtocol::checkAndGetPayload(frame, out);
        });
        std::printf("%-14d %16.0f %16.0f %14.1f\n", size, framed, checked,
                    checked * double(frame.size()) / 1e6);
    }
}

// Reads a stream in pieces of a serial port's typical read: good frames, and the worst noise,
// start bytes whose length never ends in a stop byte, where each byte costs one resync.
void benchmarkReader()
{
    QByteArray frames;
    while (frames.size() < 32 * 1024 * 1024)
        frames += BootProtocol::frame(QByteArray(200, '\r'));
    const QByteArray noise(32 * 1024 * 1024, BootProtocol::START_BYTE);
    std::printf("%-24s %10s %12s %14s\n", "stream", "MB", "MB/s", "most kept");
    // Noise is reported once per piece; the figures are the reader's, not the log's.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (const auto &[name, stream] : {std::pair{"frames of 200 bytes", frames}, std::pair{"start bytes only", noise}}) {
        FrameReader reader;
        int mostKept = 0;
        QElapsedTimer timer;
        timer.start();
        for (int at = 0; at < stream.size(); at += 4096) {
            reader.append(QByteArray::fromRawData(stream.constData() + at, std::min(4096, stream.size() - at)));
            const QByteArray kept = reader.clear();
            mostKept = std::max(mostKept, int(kept.size()));
            reader.append(kept);
        }
        std::printf("%-24s %10.0f %12.1f %14d\n", name, stream.size() / 1e6,
                    stream.size() / 1e3 / double(std::max<qint64>(1, timer.elapsed())), mostKept);
    }
    qInstallMessageHandler(nullptr);
}

struct Figures
{
    double medianUs = 0;
    double p90Us = 0;
    double minUs = 0;
    double maxUs = 0;
    int done = 0;
};

// Sends request round trips times and measures each until its reply arrives.
Figures roundTrips(CommsHandler &hub, const QByteArray &request, int count)
{
    std::vector<double> micros;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&hub, &CommsHandler::newData, &loop, &QEventLoop::quit);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        guard.start(5000);
        hub.onWriteData(request);
        loop.exec();
        if (!guard.isActive())
            break;  // no reply within 5 s
        micros.push_back(double(timer.nsecsElapsed()) / 1e3);
    }
    Figures figures;
    figures.done = int(micros.size());
    if (micros.empty())
        return figures;
    std::sort(micros.begin(), micros.end());
    figures.medianUs = micros[micros.size() / 2];
    figures.p90Us = micros[micros.size() * 9 / 10];
    figures.minUs = micros.front();
    figures.maxUs = micros.back();
    return figures;
}

bool benchmarkRoundTrip(const QString &label, const QStringList &simulatorArguments, int count)
{
    SimulatorProcess simulator;
    if (!simulator.start(simulatorArguments)) {
        std::fprintf(stderr, "The simulator did not start: %s\n", simulator.standardError().constData());
        return false;
    }
    qputenv("KTBRIDGE_EXTRA_PORTS", simulator.portName().toLocal8Bit());
    CommsHandler hub(nullptr);

    // The first write opens the port; it is not part of the figures.
    roundTrips(hub, BootProtocol::buildBootSequence(), 1);
    const Figures product = roundTrips(hub, BootProtocol::buildReadProductIdCommand(), count);
    const Figures config = roundTrips(hub, BootProtocol::buildReadProtobufCommand(), count);
    for (const auto &[name, figures] : {std::pair{"\"P\"", product}, std::pair{"\"L\"", config}}) {
        std::printf("%-32s %-5s %6d %10.0f %10.0f %10.0f %10.0f\n", qPrintable(label), name,
                    figures.done, figures.medianUs, figures.p90Us, figures.minUs, figures.maxUs);
    }
    hub.close();
    return product.done == count && config.done == count;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The hub remembers its port; keep that away from the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KtBridgeBench"));
    QCoreApplication::setApplicationName(QStringLiteral("kt-bench-comms"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the serial link's throughput and round-trip figures."));
    parser.addHelpOption();
    const QCommandLineOption countOption(QStringLiteral("round-trips"),
                                         QStringLiteral("Round trips per request (default 500)."),
                                         QStringLiteral("N"), QStringLiteral("500"));
    parser.addOption(countOption);
    parser.process(app);
    const int count = std::max(1, parser.value(countOption).toInt());

    std::printf("Framing and checking (one thread, in memory)\n");
    benchmarkFraming();
    std::printf("\nFrame reader (one thread, in memory, 4 KiB pieces)\n");
    benchmarkReader();

    std::printf("\nRound trip: hub -> worker thread -> pseudo-terminal -> simulator -> hub (microseconds)\n");
    std::printf("%-32s %-5s %6s %10s %10s %10s %10s\n", "line", "req", "n", "median", "p90", "min", "max");
    bool complete = benchmarkRoundTrip(QStringLiteral("unpaced"), {}, count);
    complete = benchmarkRoundTrip(QStringLiteral("paced at 115200 baud"),
                                  {QStringLiteral("--baud"), QStringLiteral("115200")},
                                  std::max(1, count / 5))
               && complete;
    return complete ? 0 : 1;
}
