// The program's logging categories, one per area, so that a user or a support engineer
// can turn one area's output on or off with QT_LOGGING_RULES (for example
// "ktbridge.link.debug=true"). Declared once here; no state beyond Qt's own categories
// and message pattern.
#pragma once

#include <QLoggingCategory>

namespace QVt {
namespace Global {

// The serial line and its frames (comms).
Q_DECLARE_LOGGING_CATEGORY(logLink)
// The state machine and its facade.
Q_DECLARE_LOGGING_CATEGORY(logMachine)
// Configuration files, support archives and autoflash records.
Q_DECLARE_LOGGING_CATEGORY(logFiles)
// The device factory and its drivers.
Q_DECLARE_LOGGING_CATEGORY(logDevice)
// The window's C++ side and start-up.
Q_DECLARE_LOGGING_CATEGORY(logWindow)

// A line stays the message alone, without Qt's default category prefix: scripts and users
// match the texts from their start. QT_MESSAGE_PATTERN still takes precedence (for example
// "%{category}: %{message}" to see each line's area). Called first thing in main().
void useBareMessages();

} // namespace Global
} // namespace QVt
