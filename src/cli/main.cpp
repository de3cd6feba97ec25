// ktbridge: every device operation of KT Bridge Configurator from a shell. See --help and
// ktbridge(1).

#include "cli/ktbridgeCli.h"
#include "global/logging.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

bool gVerbose = false;
QtMessageHandler gQtHandler = nullptr;

// The program's log lines are for --verbose; what a user must know, the subcommands say.
void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!gVerbose && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    if (gQtHandler)
        gQtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    QVt::Global::useBareMessages();
    QCoreApplication app(argc, argv);
    // The window's identity: the port it remembers is found under it.
    QCoreApplication::setOrganizationName(QStringLiteral("Halvard Motion Systems"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("halvard-motion.com"));
    QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KT_VERSION));

    gVerbose = QCoreApplication::arguments().contains(QStringLiteral("--verbose"));
    gQtHandler = qInstallMessageHandler(filterMessages);

    QVt::Cli::KtbridgeCli cli;
    return cli.run(QCoreApplication::arguments());
}
