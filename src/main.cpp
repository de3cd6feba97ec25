// Start-up of KT Bridge Configurator: identity, command line, the interactive mode
// (QML main window) and the unattended autoflash mode (no window), then the event loop.

#include "config/saveStatusTracker.h"
#include "global/logging.h"
#include "global/threadHandoff.h"
#include "qmlApi.h"
#include "sm/autoflashReport.h"
#include "sm/stateMachine.h"
#include "ui/themeFont.h"
#include "ui/translation.h"

#include <qvtpb/utilities.h>

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QStringList>
#include <QUrl>

#include <cstdio>
#include <fcntl.h>
#include <memory>

namespace {

const QString ORGANIZATION_NAME = QStringLiteral("Halvard Motion Systems");
const QString ORGANIZATION_DOMAIN = QStringLiteral("halvard-motion.com");
const QString APPLICATION_NAME = QStringLiteral("KT Bridge Configurator");
const QString APPLICATION_VERSION = QStringLiteral(KT_VERSION);

const char OPTION_HELP[] = "--help";
const char OPTION_CONFIG[] = "--config";
const char OPTION_AUTOFLASH[] = "--autoflash";

// How long each step waits for the device's reply, in milliseconds, for a line slower or
// faster than the usual one.
const char REPLY_TIMEOUT_VARIABLE[] = "KTBRIDGE_REPLY_TIMEOUT_MS";

constexpr int EXIT_USAGE_ERROR = -1;
constexpr int EXIT_MISSING_FILE = 1;

void printUsage(const QString &program)
{
    const QByteArray line = "Usage: " + program.toUtf8() + " [--config filePath [--autoflash]]\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// What the command line asks for, read once.
struct CommandLine
{
    enum eAction { ACTION_RUN, ACTION_USAGE, ACTION_MISSING_FILE };

    eAction action = ACTION_RUN;
    QString program;
    int usageStatus = EXIT_USAGE_ERROR;
    QString filePath;
    bool autoflash = false;

    // Only two command lines open the main window: none, and "--config" with an
    // existing file.
    bool showsWindow() const { return action == ACTION_RUN && !autoflash; }
};

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine commandLine;
    commandLine.program = arguments.value(0);
    if (arguments.size() < 2)
        return commandLine;
    const QString &first = arguments.at(1);
    if (arguments.size() == 2 || first != QLatin1String(OPTION_CONFIG)) {
        commandLine.action = CommandLine::ACTION_USAGE;
        if (first == QLatin1String(OPTION_HELP))
            commandLine.usageStatus = 0;
        return commandLine;
    }
    commandLine.filePath = arguments.at(2);
    if (!QFile::exists(commandLine.filePath)) {
        commandLine.action = CommandLine::ACTION_MISSING_FILE;
        return commandLine;
    }
    if (arguments.size() >= 4) {
        if (arguments.at(3) != QLatin1String(OPTION_AUTOFLASH)) {
            commandLine.action = CommandLine::ACTION_USAGE;
            return commandLine;
        }
        commandLine.autoflash = true;
    }
    return commandLine;
}

// A path whose bytes are no text in the locale's encoding (a name that is not valid UTF-8)
// does not survive a QString: the file is opened by its bytes, and named by its open
// descriptor, which stays open for the whole run.
QString reachablePath(const QByteArray &path)
{
    const QString decoded = QFile::decodeName(path);
    if (QFile::encodeName(decoded) == path)
        return decoded;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    return fd < 0 ? decoded : QStringLiteral("/proc/self/fd/%1").arg(fd);
}

// The start-up file (the argument after "--config") as a path that reaches it.
QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const bool startupFile = i == 2 && arguments.at(1) == QLatin1String(OPTION_CONFIG);
        arguments.append(startupFile ? reachablePath(argv[i]) : QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    QVt::Global::useBareMessages();
    const CommandLine commandLine = parseCommandLine(argumentList(argc, argv));
    // Without a window nothing needs the GUI: a core application needs no display (over
    // SSH, from a script) and starts without a platform plug-in and fonts, which counts
    // when a production line starts many stations at once.
    std::unique_ptr<QCoreApplication> app(commandLine.showsWindow() ? new QApplication(argc, argv)
                                                                    : new QCoreApplication(argc, argv));
    QCoreApplication::setOrganizationName(ORGANIZATION_NAME);
    QCoreApplication::setOrganizationDomain(ORGANIZATION_DOMAIN);
    QCoreApplication::setApplicationName(APPLICATION_NAME);
    QCoreApplication::setApplicationVersion(APPLICATION_VERSION);

    switch (commandLine.action) {
    case CommandLine::ACTION_USAGE:
        printUsage(commandLine.program);
        return commandLine.usageStatus;
    case CommandLine::ACTION_MISSING_FILE:
        // The program's answer to its command line, like the usage text: no area's log
        // line for a rule to hide.
        qWarning().noquote() << QStringLiteral("Cannot load configuration file: %1").arg(commandLine.filePath);
        return EXIT_MISSING_FILE;
    case CommandLine::ACTION_RUN:
        break;
    }

    QVt::Sm::StateMachine *stateMachine = QVt::Sm::StateMachine::instance();
    if (qEnvironmentVariableIsSet(REPLY_TIMEOUT_VARIABLE)) {
        bool valid = false;
        const int replyTimeoutMs = qEnvironmentVariableIntValue(REPLY_TIMEOUT_VARIABLE, &valid);
        if (valid && replyTimeoutMs > 0)
            stateMachine->setReplyTimeout(replyTimeoutMs);
        else
            qCWarning(QVt::Global::logWindow)
                << "Ignoring KTBRIDGE_REPLY_TIMEOUT_MS, which is not a positive number of milliseconds:"
                << qEnvironmentVariable(REPLY_TIMEOUT_VARIABLE);
    }
    std::unique_ptr<QVt::Sm::AutoflashReport> autoflashReport;
    if (!commandLine.filePath.isEmpty()) {
        // Made absolute first: a relative path such as "line:3.bgc" would otherwise read
        // as a URL scheme.
        const QString absolutePath = QFileInfo(commandLine.filePath).absoluteFilePath();
        stateMachine->setStartupOptions(QUrl::fromLocalFile(absolutePath).toString(), commandLine.autoflash);
        if (commandLine.autoflash)
            autoflashReport.reset(new QVt::Sm::AutoflashReport(absolutePath, stateMachine, nullptr));
    }

    std::unique_ptr<QQmlApplicationEngine> engine;
    if (commandLine.showsWindow()) {
        // The offscreen platform has no OpenGL context to give, and the window would abort;
        // a back end the user chose stays.
        if (QGuiApplication::platformName() == QLatin1String("offscreen") && !qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
            QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        engine.reset(new QQmlApplicationEngine());
        QApplication::setWindowIcon(QIcon(QStringLiteral("icon.ico")));
        // Before the first window and the driver plug-ins; the autoflash mode stays
        // English, as its output is read by scripts.
        new Translation(QLocale(), app.get());

        ThemeFont::install();
        QFont font(ThemeFont::familyName());
        font.setPixelSize(12);
        QApplication::setFont(font);

        QVt::registerQmlApi(*engine);

        engine->load(QUrl(QStringLiteral("qrc:///qml/main.qml")));
    }

    QVt::Pb::Utilities::registerMetaTypes();

    // The tracker belongs to the GUI thread, where devices report their edits and the
    // file operations run; without a window nothing has created it yet, and the machine's
    // first reset on its own thread would otherwise be the first to ask for it.
    QVt::Config::SaveStatusTracker::instance();

    stateMachine->start();

    const int result = QCoreApplication::exec();

    // End the state machine thread while the objects it serves still exist; the
    // singletons themselves are released at process exit.
    QVt::Global::ThreadHandoff::release(stateMachine);
    stateMachine->quit();
    stateMachine->wait();
    if (autoflashReport)
        autoflashReport->finish(result);

    engine.reset();
    app.reset();
    return result;
}
