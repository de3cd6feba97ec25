// The text form of a configuration: the protobuf library's own JSON mapping of the
// configuration message, beside the file header's product ID and format version. Reading
// it back checks every setting through the configuration library's setters, so a file
// that the device page would not accept is refused, never defaulted. Also reads and
// writes either form by file name. Static functions only; owns nothing; GUI thread (it
// creates device objects through the device factory).
#pragma once

#include <qvtpb/configurationFile.h>

#include <QByteArray>
#include <QString>

namespace QVt {
namespace Cli {

class ConfigurationText
{
public:
    // The JSON text of configuration bytes; empty with a reason when they do not load.
    static QByteArray toJson(const QByteArray &bytes, QString *error);
    // The configuration bytes of a JSON text; empty with "path: reason" when the text is
    // not JSON, has an unknown field, names an unsupported product or holds a value the
    // setters refuse.
    static QByteArray fromJson(const QByteArray &json, QString *error);

    // Whether a file name asks for the text form (".json", or "-" for standard input or
    // output).
    static bool isJsonName(const QString &fileName);
    // A configuration file's bytes, converted from JSON where its name says so; empty with
    // a reason on failure.
    static QByteArray readFile(const QString &fileName, QString *error);
    // Writes configuration bytes in the form the name asks for ("-": JSON on standard output).
    static bool writeFile(const QString &fileName, const QByteArray &bytes, QString *error);
};

} // namespace Cli
} // namespace QVt
