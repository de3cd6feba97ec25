#include "global/logging.h"

namespace QVt {
namespace Global {

Q_LOGGING_CATEGORY(logLink, "ktbridge.link")
Q_LOGGING_CATEGORY(logMachine, "ktbridge.machine")
Q_LOGGING_CATEGORY(logFiles, "ktbridge.files")
Q_LOGGING_CATEGORY(logDevice, "ktbridge.device")
Q_LOGGING_CATEGORY(logWindow, "ktbridge.window")

} // namespace Global
} // namespace QVt
