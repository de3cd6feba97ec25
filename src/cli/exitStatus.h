// The exit statuses of ktbridge, as its manual page lists them.
#pragma once

namespace QVt {
namespace Cli {

enum eExitStatus {
    EXIT_STATUS_SUCCESS = 0,
    EXIT_STATUS_DIFFERENT = 1,     // diff: the configurations differ
    EXIT_STATUS_USAGE = 2,         // unknown subcommand or option, missing argument
    EXIT_STATUS_FILE = 3,          // a file cannot be read, written or used
    EXIT_STATUS_NO_ANSWER = 4,     // no unit answered, or it stopped answering
    EXIT_STATUS_DEVICE = 5,        // the unit reported an error
    EXIT_STATUS_VERIFY = 6,        // the unit holds other settings than were written
    EXIT_STATUS_WRONG_PRODUCT = 7, // the unit is not the file's product, or no driver serves it
    EXIT_STATUS_PORT = 8,          // the port does not exist or cannot be opened
};

} // namespace Cli
} // namespace QVt
