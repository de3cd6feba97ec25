// Start-up of KT Bridge Configurator: identity, command line, the interactive mode
// (QML main window) and the unattended autoflash mode (no window), then the event loop.

#include "buildDate.h"
#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"
#include "sm/stateMachine.h"
#include "ui/customSpinBoxValidator.h"
#include "ui/themeFont.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QStringList>
#include <QUrl>
#include <QtQml>

#include <cstdio>
#include <memory>

namespace {

const QString ORGANIZATION_NAME = QStringLiteral("Halvard Motion Systems");
const QString ORGANIZATION_ABOUT_NAME = QStringLiteral("Halvard Connected Systems");
const QString ORGANIZATION_DOMAIN = QStringLiteral("halvard-motion.com");
const QString APPLICATION_NAME = QStringLiteral("KT Bridge Configurator");
const QString APPLICATION_VERSION = QStringLiteral("2.1.0");

#ifdef Q_OS_WIN
const QString PLATFORM = QStringLiteral("windows");
#else
const QString PLATFORM = QStringLiteral("linux");
#endif

const char OPTION_HELP[] = "--help";
const char OPTION_CONFIG[] = "--config";
const char OPTION_AUTOFLASH[] = "--autoflash";

constexpr int EXIT_USAGE_ERROR = -1;
constexpr int EXIT_MISSING_FILE = 1;

void printUsage(const QString &program)
{
    const QByteArray line = "Usage: " + program.toUtf8() + " [--config filePath [--autoflash]]\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// Only two command lines open the main window: none, and "--config" with an existing
// file. Every other run (usage, a missing start-up file, autoflash) shows no window
// and must work where no display exists (over SSH, from a script), so the platform is
// chosen before the application object exists, unless the user chose one.
void chooseWindowlessPlatform(int argc, char **argv)
{
    const bool interactive = argc == 1
                             || (argc == 3 && qstrcmp(argv[1], OPTION_CONFIG) == 0
                                 && QFile::exists(QString::fromLocal8Bit(argv[2])));
    if (!interactive && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char *argv[])
{
    chooseWindowlessPlatform(argc, argv);

    std::unique_ptr<QApplication> app(new QApplication(argc, argv));
    QCoreApplication::setOrganizationName(ORGANIZATION_NAME);
    QCoreApplication::setOrganizationDomain(ORGANIZATION_DOMAIN);
    QCoreApplication::setApplicationName(APPLICATION_NAME);
    QCoreApplication::setApplicationVersion(APPLICATION_VERSION);

    std::unique_ptr<QStringList> arguments(new QStringList(QCoreApplication::arguments()));
    bool autoflash = false;
    if (arguments->size() >= 2) {
        const QString &first = arguments->at(1);
        if (arguments->size() == 2 || first != QLatin1String(OPTION_CONFIG)) {
            printUsage(arguments->at(0));
            return first == QLatin1String(OPTION_HELP) ? 0 : EXIT_USAGE_ERROR;
        }
        const QString &filePath = arguments->at(2);
        if (!QFile::exists(filePath)) {
            qWarning().noquote() << QStringLiteral("Cannot load configuration file: %1").arg(filePath);
            return EXIT_MISSING_FILE;
        }
        if (arguments->size() >= 4) {
            if (arguments->at(3) != QLatin1String(OPTION_AUTOFLASH)) {
                printUsage(arguments->at(0));
                return EXIT_USAGE_ERROR;
            }
            autoflash = true;
        }
        QVt::Sm::StateMachine::instance()->setStartupOptions(QUrl::fromLocalFile(filePath).toString(),
                                                             autoflash);
    }

    std::unique_ptr<QQmlApplicationEngine> engine(new QQmlApplicationEngine());

    if (!autoflash) {
        QApplication::setWindowIcon(QIcon(QStringLiteral("icon.ico")));

        ThemeFont::install();
        QFont font(ThemeFont::familyName());
        font.setPixelSize(12);
        QApplication::setFont(font);

        QQmlContext *context = engine->rootContext();
        context->setContextProperty(QStringLiteral("stateMachine"), QVt::Sm::StateMachine::instance());
        context->setContextProperty(QStringLiteral("commsHandler"), QVt::Comms::CommsHandler::instance());
        context->setContextProperty(QStringLiteral("deviceFactory"), QVt::Device::DeviceFactory::instance());
        context->setContextProperty(QStringLiteral("saveStatusTracker"),
                                    QVt::Config::SaveStatusTracker::instance());
        context->setContextProperty(QStringLiteral("organizationName"), ORGANIZATION_NAME);
        context->setContextProperty(QStringLiteral("organizationAboutName"), ORGANIZATION_ABOUT_NAME);
        context->setContextProperty(QStringLiteral("applicationName"), APPLICATION_NAME);
        context->setContextProperty(QStringLiteral("applicationVersion"), APPLICATION_VERSION);
        context->setContextProperty(QStringLiteral("applicationBuildDate"),
                                    QVt::buildDate(QStringLiteral(__DATE__)));
        context->setContextProperty(QStringLiteral("PLATFORM"), PLATFORM);

        qmlRegisterType<QVt::Global::Types>("com.vtcan.types", 1, 0, "VtTypes");
        QVt::Pb::Utilities::registerQmlTypes();
        qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");

        engine->load(QUrl(QStringLiteral("qrc:///qml/main.qml")));
    }

    QVt::Pb::Utilities::registerMetaTypes();

    // The tracker belongs to the GUI thread, where devices report their edits and the
    // file operations run; without a window nothing has created it yet, and the machine's
    // first reset on its own thread would otherwise be the first to ask for it.
    QVt::Config::SaveStatusTracker::instance();

    QVt::Sm::StateMachine *stateMachine = QVt::Sm::StateMachine::instance();
    stateMachine->start();

    const int result = QApplication::exec();

    // End the state machine thread while the objects it serves still exist; the
    // singletons themselves are released at process exit.
    stateMachine->quit();
    stateMachine->wait();

    engine.reset();
    arguments.reset();
    app.reset();
    return result;
}
