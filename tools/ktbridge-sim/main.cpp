// ktbridge-sim: a KT Bridge boot loader on a pseudo-terminal, for people and tests that
// have no device at hand. See --help.

#include "global/logging.h"
#include "linePacer.h"
#include "pseudoTerminal.h"
#include "simulatedDevice.h"
#include "simulatorOptions.h"
#include "unixSignalWatcher.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace QVt::Sim;

namespace {

// Time a client gets to read the last reply before a hang-up fault pulls the cable.
constexpr int HANG_UP_GRACE_MS = 2000;

void printError(const QString &text)
{
    std::fprintf(stderr, "ktbridge-sim: %s\n", qPrintable(text));
}

// Points linkPath at target, replacing an earlier link in one step; refuses to replace
// anything that is not a symbolic link.
bool createLink(const QString &linkPath, const QString &target, QString *errorText)
{
    const QFileInfo existing(linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        *errorText = QStringLiteral("--link: \"%1\" exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    const QByteArray temporary = QFile::encodeName(linkPath) + ".ktbridge-sim-" + QByteArray::number(::getpid());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0
        || ::rename(temporary.constData(), QFile::encodeName(linkPath).constData()) != 0) {
        *errorText = QStringLiteral("--link: cannot create \"%1\": %2")
                         .arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

// Removes the link only while it is still ours: another simulator may have taken it over.
void removeLink(const QString &linkPath, const QString &target)
{
    if (QFileInfo(linkPath).symLinkTarget() == QFileInfo(target).absoluteFilePath())
        QFile::remove(linkPath);
}

} // namespace

int main(int argc, char *argv[])
{
    // The framing code it shares with the program warns in the program's form.
    QVt::Global::useBareMessages();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ktbridge-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KT_VERSION));

    SimulatorOptions options;
    QString message;
    switch (SimulatorOptions::parse(QCoreApplication::arguments(), &options, &message)) {
    case SimulatorOptions::eOutcome::OUTCOME_HELP:
    case SimulatorOptions::eOutcome::OUTCOME_VERSION:
        std::fprintf(stdout, "%s\n", qPrintable(message));
        return 0;
    case SimulatorOptions::eOutcome::OUTCOME_ERROR:
        printError(message);
        std::fprintf(stderr, "Try 'ktbridge-sim --help' for more information.\n");
        return 2;
    case SimulatorOptions::eOutcome::OUTCOME_RUN:
        break;
    }

    // Before anything that needs cleaning up: the link is removed on the way out.
    UnixSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &UnixSignalWatcher::signalReceived, &app, [] { QCoreApplication::exit(0); });
    if (!signalWatcher.watch(SIGINT) || !signalWatcher.watch(SIGTERM)) {
        printError(QStringLiteral("cannot handle SIGINT and SIGTERM"));
        return 1;
    }

    SimulatedDevice device(options);
    if (!device.start(&message)) {
        printError(message);
        return 1;
    }
    PseudoTerminal terminal;
    if (!terminal.open(&message)) {
        printError(message);
        return 1;
    }
    if (!options.mLinkPath.isEmpty() && !createLink(options.mLinkPath, terminal.path(), &message)) {
        printError(message);
        return 1;
    }

    LinePacer incoming(options.mBaud);
    LinePacer outgoing(options.mBaud);
    QObject::connect(&terminal, &PseudoTerminal::bytesReceived, &incoming,
                     [&incoming](const QByteArray &bytes) { incoming.push(bytes); });
    QObject::connect(&incoming, &LinePacer::released, &device, &SimulatedDevice::onBytesReceived);
    QObject::connect(&device, &SimulatedDevice::transmit, &outgoing, &LinePacer::push);
    QObject::connect(&outgoing, &LinePacer::released, &terminal, &PseudoTerminal::write);

    // Whatever was still on its way belonged to the client that went away.
    const auto forgetLine = [&] {
        incoming.clear();
        outgoing.clear();
        device.onClientChanged();
    };
    QObject::connect(&terminal, &PseudoTerminal::clientOpened, &device, [&] {
        forgetLine();
        if (options.mVerbose)
            std::fprintf(stderr, "client opened\n");
    });
    QObject::connect(&terminal, &PseudoTerminal::clientClosed, &device, [&] {
        forgetLine();
        if (options.mVerbose)
            std::fprintf(stderr, "client closed\n");
    });

    QObject::connect(&device, &SimulatedDevice::hangUpRequested, &terminal, [&] {
        if (outgoing.isIdle())
            terminal.hangUpWhenRead(HANG_UP_GRACE_MS);
        else
            QObject::connect(&outgoing, &LinePacer::drained, &terminal,
                             [&] { terminal.hangUpWhenRead(HANG_UP_GRACE_MS); });
    });
    QObject::connect(&terminal, &PseudoTerminal::hungUp, &app, [&] {
        const int frames = options.mFaults.mHangUpAfter;
        std::fprintf(stderr, "ktbridge-sim: hung up after %d %s\n", frames, frames == 1 ? "frame" : "frames");
        QCoreApplication::exit(0);
    });

    std::fprintf(stdout, "%s\n", qPrintable(terminal.path()));
    std::fflush(stdout);

    const int status = QCoreApplication::exec();
    if (!options.mLinkPath.isEmpty())
        removeLink(options.mLinkPath, terminal.path());
    return status;
}
