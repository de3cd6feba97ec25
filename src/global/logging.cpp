#include "global/logging.h"

namespace QVt {
namespace Global {

// Debug lines are off until a rule turns them on; information and warnings show.
Q_LOGGING_CATEGORY(logLink, "ktbridge.link", QtInfoMsg)
Q_LOGGING_CATEGORY(logMachine, "ktbridge.machine", QtInfoMsg)
Q_LOGGING_CATEGORY(logFiles, "ktbridge.files", QtInfoMsg)
Q_LOGGING_CATEGORY(logDevice, "ktbridge.device", QtInfoMsg)
Q_LOGGING_CATEGORY(logWindow, "ktbridge.window", QtInfoMsg)

void useBareMessages()
{
    qSetMessagePattern(QStringLiteral("%{message}"));
}

} // namespace Global
} // namespace QVt
