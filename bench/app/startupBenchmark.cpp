// Prints the program's start-up beside bare Qt processes, measured alternately in one run
// so that the machine's load falls on all of them alike:
//   window:    ktbridge-configurator from process start to its main window's first frame
//   bare QML:  a Qt Quick Controls 1 window alone (this program, --bare-window), the same way
//   autoflash: a whole --config FILE --autoflash process against ktbridge-sim, start to exit
//   bare Qt:   a core application that opens the port and writes one frame (--bare-port)
// A plain program, not a test.
#include "simulatorProcess.h"

#include "comms/protocol/bootProtocol.h"
#include "device/deviceFactory.h"

#include <qvtbusgate/abstractDevice.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QSerialPort>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QString PRODUCT_ID = QStringLiteral("0000c0de0003");
constexpr int WAIT_MS = 30000;

// The first frame of a window, as the software render loop logs it.
const QByteArray FIRST_FRAME = "qt.scenegraph.time.renderloop|Frame rendered";

const char BARE_WINDOW_QML[] = "import QtQuick 2.3\n"
                               "import QtQuick.Controls 1.2\n"
                               "ApplicationWindow { visible: true; width: 1024; height: 700;\n"
                               "    menuBar: MenuBar { Menu { title: \"File\" } }\n"
                               "    Button { text: \"Connect\" } }\n";

// As the program's first bytes on the line.
int barePort(const QString &port)
{
    const QByteArray bootFrame = QVt::Comms::Protocol::BootProtocol::buildBootSequence();
    QSerialPort serial(port);
    return serial.open(QIODevice::ReadWrite) && serial.write(bootFrame) == bootFrame.size()
                   && serial.waitForBytesWritten(WAIT_MS)
               ? 0
               : 1;
}

int bareWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData(BARE_WINDOW_QML);
    return QApplication::exec();
}

struct Series
{
    const char *name;
    QVector<double> ms;

    void print() const
    {
        QVector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        if (sorted.isEmpty())
            return;
        std::printf("%-10s %4d %9.1f %9.1f %9.1f\n", name, int(sorted.size()), sorted.at(sorted.size() / 2),
                    sorted.first(), sorted.last());
    }
};

class Runner
{
public:
    explicit Runner(const QString &folder)
        : mEnvironment(QProcessEnvironment::systemEnvironment())
    {
        mEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/settings"));
        mEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        mEnvironment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
        mEnvironment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.scenegraph.time.renderloop=true"));
        mEnvironment.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{category}|%{message}"));
    }

    // Milliseconds from start to exit with status 0; -1 on anything else.
    double untilExit(const QString &program, const QStringList &arguments, const QString &port) const
    {
        QProcess process;
        process.setProcessEnvironment(withPort(port));
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        const bool ok = process.waitForFinished(WAIT_MS) && process.exitStatus() == QProcess::NormalExit
                        && process.exitCode() == 0;
        const double ms = timer.nsecsElapsed() / 1e6;
        if (!ok)
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return ok ? ms : -1;
    }

    // Milliseconds from start to the window's first frame; the process is then killed.
    double untilFirstFrame(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(withPort(QStringLiteral("/dev/ktbridge-bench-no-port")));
        process.setReadChannel(QProcess::StandardError);
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        QByteArray seen;
        while (!seen.contains(FIRST_FRAME) && timer.elapsed() < WAIT_MS && process.waitForReadyRead(WAIT_MS))
            seen += process.readAllStandardError();
        const double ms = timer.nsecsElapsed() / 1e6;
        process.kill();
        process.waitForFinished();
        if (!seen.contains(FIRST_FRAME)) {
            std::fprintf(stderr, "%s showed no frame: %s\n", qPrintable(program), seen.constData());
            return -1;
        }
        return ms;
    }

private:
    QProcessEnvironment withPort(const QString &port) const
    {
        QProcessEnvironment environment = mEnvironment;
        environment.insert(QStringLiteral("KTBRIDGE_PORT"), port);
        return environment;
    }

    QProcessEnvironment mEnvironment;
};

void add(Series &series, double ms)
{
    if (ms >= 0)
        series.ms.append(ms);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--bare-port") == 0)
        return barePort(QString::fromLocal8Bit(argv[2]));
    if (argc == 2 && qstrcmp(argv[1], "--bare-window") == 0)
        return bareWindow(argc, argv);

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Runs of each (default 20)."), QStringLiteral("N"),
                      QStringLiteral("20")});
    parser.process(app);
    const int runs = qMax(1, parser.value(QStringLiteral("runs")).toInt());

    const QSharedPointer<QVt::Device::AbstractDevice> device = QVt::Device::DeviceFactory::instance()->createDevice(PRODUCT_ID);
    QTemporaryDir dir;
    const QString configurationFile = dir.filePath(QStringLiteral("unit.bgc"));
    QFile file(configurationFile);
    if (!device || !file.open(QIODevice::WriteOnly) || file.write(device->serialize()) < 0) {
        std::fprintf(stderr, "no configuration for %s\n", qPrintable(PRODUCT_ID));
        return 1;
    }
    file.close();
    SimulatorProcess simulator;
    if (!simulator.start({QStringLiteral("--product-id"), PRODUCT_ID})) {
        std::fprintf(stderr, "ktbridge-sim did not start\n");
        return 1;
    }

    const Runner runner(dir.path());
    const QString self = QCoreApplication::applicationFilePath();
    const QString program = QStringLiteral(KT_CONFIGURATOR_PATH);
    Series window{"window", {}};
    Series bareQml{"bare QML", {}};
    Series autoflash{"autoflash", {}};
    Series bareQt{"bare Qt", {}};
    for (int run = 0; run < runs; ++run) {
        add(window, runner.untilFirstFrame(program, {}));
        add(bareQml, runner.untilFirstFrame(self, {QStringLiteral("--bare-window")}));
        add(autoflash, runner.untilExit(program, {QStringLiteral("--config"), configurationFile, QStringLiteral("--autoflash")},
                                        simulator.portName()));
        add(bareQt, runner.untilExit(self, {QStringLiteral("--bare-port"), simulator.portName()}, simulator.portName()));
    }
    std::printf("Milliseconds, %d runs each, alternating\n%-10s %4s %9s %9s %9s\n", runs, "process", "n", "median",
                "min", "max");
    for (const Series *series : {&window, &bareQml, &autoflash, &bareQt})
        series->print();
    return 0;
}
