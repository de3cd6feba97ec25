#include "cli/ktbridgeCli.h"

#include "cli/configurationText.h"
#include "cli/deviceSession.h"
#include "cli/settingList.h"
#include "device/deviceFactory.h"
#include "sm/recordFile.h"
#include "unixSignalWatcher.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/configurationFile.h>

#include "ktbridge.pb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>

namespace QVt {
namespace Cli {

namespace {

using QVt::Pb::Configuration::File;

struct Command
{
    const char *name;
    const char *arguments; // the synopsis after the name
    const char *description;
    int positionalCount;
    QList<QCommandLineOption> (*options)();
    int (KtbridgeCli::*run)();
};

const char DEVICE_SIDE[] = "device";

QList<QCommandLineOption> noOptions()
{
    return {};
}

QList<QCommandLineOption> jsonOption()
{
    return {{QStringLiteral("json"), QStringLiteral("Prints JSON instead of text.")}};
}

QList<QCommandLineOption> writeOptions()
{
    return {{QStringLiteral("no-verify"), QStringLiteral("Does not read the configuration back to compare it.")},
            {QStringLiteral("backup"),
             QStringLiteral("Saves the unit's configuration first as DIR/<serial number>-<UTC time>.bgc."),
             QStringLiteral("DIR")}};
}

QList<QCommandLineOption> resetOptions()
{
    return {{QStringLiteral("yes"), QStringLiteral("Confirms that the unit's configuration is to be lost.")}};
}

QList<QCommandLineOption> flashOptions()
{
    return writeOptions()
        + QList<QCommandLineOption>{
            {QStringLiteral("count"), QStringLiteral("Stops after N units (default: until Ctrl+C)."),
             QStringLiteral("N")},
            {QStringLiteral("record"), QStringLiteral("Appends one JSON line per unit to RECORD."),
             QStringLiteral("RECORD")}};
}

const Command COMMANDS[] = {
    {"info", "", "Prints what the connected unit reports about itself.", 0, jsonOption, &KtbridgeCli::info},
    {"read", "OUTPUT", "Saves the unit's configuration to OUTPUT (.bgc, .json, or - for JSON on standard output).",
     1, noOptions, &KtbridgeCli::read},
    {"write", "FILE", "Writes FILE's configuration to the unit and reads it back to verify it.", 1, writeOptions,
     &KtbridgeCli::write},
    {"reset", "", "Restores the unit's factory configuration (needs --yes).", 0, resetOptions, &KtbridgeCli::reset},
    {"show", "FILE", "Prints a configuration file's settings as the device page groups them.", 1, jsonOption,
     &KtbridgeCli::show},
    {"diff", "A B", "Prints the settings that differ between A and B (files, or \"device\"); "
                    "exit status 1 when they differ.", 2, noOptions, &KtbridgeCli::diff},
    {"convert", "INPUT OUTPUT", "Converts between .bgc and .json.", 2, noOptions, &KtbridgeCli::convert},
    {"flash", "FILE", "Writes and verifies FILE's configuration on unit after unit, as a production fixture.", 1,
     flashOptions, &KtbridgeCli::flash},
};

const char OVERVIEW[] =
    "Usage: ktbridge SUBCOMMAND [OPTIONS] [ARGUMENTS]\n"
    "Every device operation of KT Bridge Configurator from a shell.\n"
    "\n"
    "Subcommands:\n"
    "%1"
    "\n"
    "Common options: --port PORT, --timeout MS, --verbose, --help, --version.\n"
    "'ktbridge SUBCOMMAND --help' describes one subcommand; 'man ktbridge' lists the exit statuses.\n";

void print(const QByteArray &data)
{
    std::fwrite(data.constData(), 1, size_t(data.size()), stdout);
    std::fflush(stdout);
}

void say(const QString &message)
{
    std::fprintf(stderr, "ktbridge: %s\n", qPrintable(message));
    std::fflush(stderr);
}

ktbridge::Configuration messageOf(const QByteArray &bytes)
{
    File file;
    ktbridge::Configuration message;
    if (file.load(bytes))
        message.ParseFromArray(file.body().constData(), file.body().size());
    return message;
}

QString productIdOf(const QByteArray &bytes)
{
    File file;
    return file.load(bytes) ? file.productId() : QString();
}

QString hexText(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}

// What the unit reports about itself, under the names of the autoflash record's style.
QJsonObject identity(const QByteArray &bytes)
{
    const ktbridge::Configuration message = messageOf(bytes);
    const ktbridge::ProductDeviceInfo &info = message.device_info();
    QJsonObject object{
        {QStringLiteral("vendorId"), double(info.vendor_id())},
        {QStringLiteral("productCode"), double(info.product_code())},
        {QStringLiteral("revisionNumber"), double(info.revision_number())},
        {QStringLiteral("serialNumber"), double(info.serial_number())},
        {QStringLiteral("manufactured"),
         QDateTime::fromSecsSinceEpoch(info.unix_time_of_manufacture(), Qt::UTC).toString(Qt::ISODate)},
    };
    const auto radio = [&](const char *prefix, bool present, const ktbridge::InterfaceConfig &interface) {
        if (!present)
            return;
        object.insert(QLatin1String(prefix) + QStringLiteral("ModuleVersion"),
                      QString::fromStdString(interface.device_info().module_version()));
        object.insert(QLatin1String(prefix) + QStringLiteral("Mac"),
                      QString::fromStdString(interface.device_info().mac()));
    };
    radio("wlan", message.has_wlan_interface(), message.wlan_interface());
    radio("bluetooth", message.has_bluetooth_interface(), message.bluetooth_interface());
    return object;
}

// The settings without what the unit reports about itself.
QByteArray settingsBody(const QByteArray &bytes)
{
    ktbridge::Configuration message = messageOf(bytes);
    message.clear_device_info();
    if (message.has_wlan_interface())
        message.mutable_wlan_interface()->clear_device_info();
    if (message.has_bluetooth_interface())
        message.mutable_bluetooth_interface()->clear_device_info();
    return QByteArray::fromStdString(message.SerializeAsString());
}

QString productName(const QString &productId)
{
    const auto device = QVt::Device::DeviceFactory::instance()->createDevice(productId);
    return device ? device->name() : QStringLiteral("unknown product");
}

} // namespace

KtbridgeCli::KtbridgeCli(QObject *parent)
    : QObject(parent)
{
}

KtbridgeCli::~KtbridgeCli() = default;

int KtbridgeCli::fail(eExitStatus status, const QString &message) const
{
    say(message);
    if (status == EXIT_STATUS_USAGE)
        std::fprintf(stderr, "Try 'ktbridge %s--help' for more information.\n",
                     mCommand.isEmpty() ? "" : qPrintable(mCommand + QLatin1Char(' ')));
    return status;
}

int KtbridgeCli::run(const QStringList &arguments)
{
    const QString first = arguments.value(1);
    if (first == QLatin1String("--version")) {
        print("ktbridge " KT_VERSION "\n");
        return EXIT_STATUS_SUCCESS;
    }
    QString list;
    const Command *command = nullptr;
    for (const Command &candidate : COMMANDS) {
        list += QStringLiteral("  %1\n      %2\n")
                    .arg(QStringLiteral("%1 %2").arg(QLatin1String(candidate.name), QLatin1String(candidate.arguments))
                             .trimmed(),
                         QLatin1String(candidate.description));
        if (first == QLatin1String(candidate.name))
            command = &candidate;
    }
    if (first.isEmpty() || first == QLatin1String("--help") || first == QLatin1String("-h")) {
        print(QString::fromLatin1(OVERVIEW).arg(list).toUtf8());
        return first.isEmpty() ? EXIT_STATUS_USAGE : EXIT_STATUS_SUCCESS;
    }
    if (!command && first.startsWith(QLatin1Char('-')))
        return fail(EXIT_STATUS_USAGE, QStringLiteral("\"%1\" comes after the subcommand: ktbridge SUBCOMMAND [OPTIONS]").arg(first));
    if (!command)
        return fail(EXIT_STATUS_USAGE, QStringLiteral("unknown subcommand \"%1\"").arg(first));
    mCommand = first;

    mParser.setApplicationDescription(QLatin1String(command->description));
    mParser.addHelpOption();
    mParser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Serial port (default: KTBRIDGE_PORT, else the window's port)."),
         QStringLiteral("PORT")},
        {QStringLiteral("timeout"), QStringLiteral("Time the unit has for each reply."), QStringLiteral("MS")},
        {QStringLiteral("verbose"), QStringLiteral("Also prints the program's log lines.")},
    });
    mParser.addOptions(command->options());
    for (const QString &argument : QString::fromLatin1(command->arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        mParser.addPositionalArgument(argument, QString());
    QStringList rest = arguments;
    rest.removeAt(1);
    if (!mParser.parse(rest))
        return fail(EXIT_STATUS_USAGE, mParser.errorText());
    if (mParser.isSet(QStringLiteral("help"))) {
        // The parser names the program by its path; the usage names the subcommand.
        static const QRegularExpression programPath(QStringLiteral("^Usage: \\S+"));
        print(mParser.helpText().replace(programPath, QStringLiteral("Usage: ktbridge ") + mCommand).toUtf8());
        return EXIT_STATUS_SUCCESS;
    }
    mPositional = mParser.positionalArguments();
    if (mPositional.size() != command->positionalCount)
        return fail(EXIT_STATUS_USAGE, QStringLiteral("%1 needs %2")
                                           .arg(mCommand, command->positionalCount
                                                              ? QLatin1String(command->arguments)
                                                              : QStringLiteral("no arguments")));
    for (const QString &number : {QStringLiteral("timeout"), QStringLiteral("count")}) {
        if (!mParser.optionNames().contains(number))
            continue;
        bool valid = false;
        if (mParser.value(number).toInt(&valid) <= 0 || !valid)
            return fail(EXIT_STATUS_USAGE, QStringLiteral("--%1 needs a positive whole number, not \"%2\"")
                                               .arg(number, mParser.value(number)));
    }
    return (this->*command->run)();
}

DeviceSession &KtbridgeCli::session()
{
    if (!mSession) {
        mSession.reset(new DeviceSession(mParser.value(QStringLiteral("port")),
                                         mParser.value(QStringLiteral("timeout")).toInt()));
        mSession->start();
    }
    return *mSession;
}

eExitStatus KtbridgeCli::connectOnce()
{
    const eExitStatus status = session().connectUnit(false);
    if (status != EXIT_STATUS_SUCCESS)
        say(session().error());
    return status;
}

int KtbridgeCli::info()
{
    const eExitStatus status = connectOnce();
    if (status != EXIT_STATUS_SUCCESS)
        return status;
    const QByteArray bytes = session().configuration();
    QJsonObject object = identity(bytes);
    object.insert(QStringLiteral("deviceIdString"), session().deviceIdString());
    object.insert(QStringLiteral("productId"), session().productId());
    object.insert(QStringLiteral("productName"), productName(session().productId()));
    session().enterNormalOperation();
    if (mParser.isSet(QStringLiteral("json"))) {
        print(QJsonDocument(object).toJson(QJsonDocument::Indented));
        return EXIT_STATUS_SUCCESS;
    }
    const struct
    {
        const char *key;
        const char *label;
        bool hex;
    } lines[] = {
        {"deviceIdString", "Identification", false}, {"productId", "Product ID", false},
        {"productName", "Product name", false},      {"vendorId", "Vendor", true},
        {"productCode", "Product code", true},       {"revisionNumber", "Revision", false},
        {"serialNumber", "Serial number", false},    {"manufactured", "Manufactured", false},
        {"wlanModuleVersion", "WLAN module", false}, {"wlanMac", "WLAN MAC address", false},
        {"bluetoothModuleVersion", "Bluetooth module", false}, {"bluetoothMac", "Bluetooth MAC address", false},
    };
    QString text;
    for (const auto &line : lines) {
        const QJsonValue value = object.value(QLatin1String(line.key));
        if (value.isUndefined())
            continue;
        text += QStringLiteral("%1: %2\n")
                    .arg(QLatin1String(line.label),
                         value.isDouble() ? (line.hex ? hexText(quint32(value.toDouble()))
                                                      : QString::number(qint64(value.toDouble())))
                                          : value.toString());
    }
    print(text.toUtf8());
    return EXIT_STATUS_SUCCESS;
}

int KtbridgeCli::read()
{
    const QString output = mPositional.at(0);
    eExitStatus status = connectOnce();
    if (status != EXIT_STATUS_SUCCESS)
        return status;
    QString error;
    if (ConfigurationText::isJsonName(output)) {
        if (!ConfigurationText::writeFile(output, session().configuration(), &error))
            status = EXIT_STATUS_FILE;
    } else if ((status = session().saveConfiguration(output)) != EXIT_STATUS_SUCCESS) {
        error = session().error();
    }
    session().enterNormalOperation();
    return status == EXIT_STATUS_SUCCESS ? status : fail(status, error);
}

bool KtbridgeCli::loadablePath(const QString &file, QString *path)
{
    QString error;
    const QByteArray bytes = ConfigurationText::readFile(file, &error);
    if (bytes.isEmpty()) {
        say(error);
        return false;
    }
    if (!ConfigurationText::isJsonName(file)) {
        *path = file;
        return true;
    }
    mConverted.reset(new QTemporaryFile(QDir::tempPath() + QStringLiteral("/ktbridge-XXXXXX.bgc")));
    if (!mConverted->open() || mConverted->write(bytes) != bytes.size() || !mConverted->flush()) {
        say(QStringLiteral("cannot write a temporary file: %1").arg(mConverted->errorString()));
        return false;
    }
    *path = mConverted->fileName();
    return true;
}

eExitStatus KtbridgeCli::backUp(const QString &folder)
{
    eExitStatus status = session().readConfiguration();
    if (status != EXIT_STATUS_SUCCESS)
        return status;
    const quint32 serialNumber = messageOf(session().configuration()).device_info().serial_number();
    const QString path = QDir(folder).filePath(
        QStringLiteral("%1-%2.bgc")
            .arg(serialNumber)
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmsszzzZ"))));
    if (!QDir().mkpath(folder)) {
        say(QStringLiteral("%1: cannot create the backup folder").arg(folder));
        return EXIT_STATUS_FILE;
    }
    status = session().saveConfiguration(path);
    if (status == EXIT_STATUS_SUCCESS)
        say(QStringLiteral("backup saved as %1").arg(path));
    return status;
}

eExitStatus KtbridgeCli::verify(const QByteArray &written, UnitResult *result)
{
    eExitStatus status = session().readConfiguration();
    if (status != EXIT_STATUS_SUCCESS)
        return status;
    result->readBack = session().configuration();
    QStringList differences = SettingList::fromBytes(written).differences(SettingList::fromBytes(result->readBack));
    if (differences.isEmpty() && settingsBody(written) != settingsBody(result->readBack))
        differences.append(QStringLiteral("settings that the device page does not show"));
    result->verify = differences.isEmpty() ? QStringLiteral("passed") : QStringLiteral("failed");
    if (differences.isEmpty())
        return EXIT_STATUS_SUCCESS;
    say(QStringLiteral("verify: the unit holds other settings than were written (written -> read back):"));
    for (const QString &difference : differences)
        std::fprintf(stderr, "  %s\n", qPrintable(difference));
    return EXIT_STATUS_VERIFY;
}

eExitStatus KtbridgeCli::writeUnit(const QString &file, bool waitForever, UnitResult *result)
{
    QString path;
    if (!loadablePath(file, &path))
        return EXIT_STATUS_FILE;
    DeviceSession &unit = session();
    eExitStatus status = unit.loadConfiguration(path);
    if (status != EXIT_STATUS_SUCCESS) {
        say(QStringLiteral("%1: %2").arg(file, unit.error()));
        return status;
    }
    const QObject *fileDevice = unit.currentDevice();
    status = unit.connectUnit(waitForever);
    if (status != EXIT_STATUS_SUCCESS) {
        // A stop while no unit answered ends the loop without a failure.
        if (!unit.stopRequested())
            say(unit.error());
        return status;
    }
    result->reported = unit.configuration();
    result->deviceIdString = unit.deviceIdString();
    // A unit of another product gets a device object of its own while connecting.
    if (unit.currentDevice() != fileDevice) {
        QString ignored;
        say(QStringLiteral("%1 is for product %2, but the unit is product %3; nothing written")
                .arg(file, productIdOf(ConfigurationText::readFile(path, &ignored)), unit.productId()));
        unit.enterNormalOperation();
        return EXIT_STATUS_WRONG_PRODUCT;
    }
    const QString backupFolder = mParser.value(QStringLiteral("backup"));
    if (!backupFolder.isEmpty()) {
        status = backUp(backupFolder);
        if (status == EXIT_STATUS_SUCCESS)
            status = unit.loadConfiguration(path);
    }
    const QByteArray written = unit.configuration();
    if (status == EXIT_STATUS_SUCCESS)
        status = unit.writeConfiguration();
    if (status == EXIT_STATUS_SUCCESS) {
        if (mParser.isSet(QStringLiteral("no-verify")))
            result->verify = QStringLiteral("skipped");
        else
            status = verify(written, result);
    } else {
        say(unit.error());
    }
    if (unit.currentDevice())
        unit.enterNormalOperation();
    return status;
}

int KtbridgeCli::write()
{
    UnitResult result;
    const eExitStatus status = writeUnit(mPositional.at(0), false, &result);
    if (status == EXIT_STATUS_SUCCESS)
        say(QStringLiteral("written to unit %1; verify: %2")
                .arg(messageOf(result.reported).device_info().serial_number())
                .arg(result.verify));
    return status;
}

int KtbridgeCli::reset()
{
    if (!mParser.isSet(QStringLiteral("yes")))
        return fail(EXIT_STATUS_USAGE, QStringLiteral("reset replaces the unit's configuration by its factory "
                                                      "configuration, and the current one is lost; add --yes to "
                                                      "confirm (back it up first with 'ktbridge read')"));
    eExitStatus status = connectOnce();
    if (status != EXIT_STATUS_SUCCESS)
        return status;
    status = session().factoryReset();
    if (status != EXIT_STATUS_SUCCESS)
        return fail(status, session().error());
    say(QStringLiteral("the unit has been reset to its factory configuration"));
    return EXIT_STATUS_SUCCESS;
}

int KtbridgeCli::show()
{
    QString error;
    const QByteArray bytes = ConfigurationText::readFile(mPositional.at(0), &error);
    if (bytes.isEmpty())
        return fail(EXIT_STATUS_FILE, error);
    if (mParser.isSet(QStringLiteral("json"))) {
        print(ConfigurationText::toJson(bytes, &error));
        return EXIT_STATUS_SUCCESS;
    }
    const QString productId = productIdOf(bytes);
    print(QStringLiteral("Product: %1 (%2)\n\n%3")
              .arg(productName(productId), productId, SettingList::fromBytes(bytes).text())
              .toUtf8());
    return EXIT_STATUS_SUCCESS;
}

bool KtbridgeCli::configurationOf(const QString &side, QByteArray *bytes, int *status)
{
    if (side != QLatin1String(DEVICE_SIDE)) {
        QString error;
        *bytes = ConfigurationText::readFile(side, &error);
        if (bytes->isEmpty())
            *status = fail(EXIT_STATUS_FILE, error);
        return !bytes->isEmpty();
    }
    *status = connectOnce();
    if (*status != EXIT_STATUS_SUCCESS)
        return false;
    *bytes = session().configuration();
    session().enterNormalOperation();
    return true;
}

int KtbridgeCli::diff()
{
    QByteArray a;
    QByteArray b;
    int status = EXIT_STATUS_SUCCESS;
    if (!configurationOf(mPositional.at(0), &a, &status) || !configurationOf(mPositional.at(1), &b, &status))
        return status;
    QStringList differences;
    if (productIdOf(a) != productIdOf(b))
        differences.append(QStringLiteral("Product ID: %1 -> %2").arg(productIdOf(a), productIdOf(b)));
    differences += SettingList::fromBytes(a).differences(SettingList::fromBytes(b));
    if (differences.isEmpty() && settingsBody(a) != settingsBody(b))
        differences.append(QStringLiteral("settings that the device page does not show"));
    for (const QString &difference : differences)
        print((difference + QLatin1Char('\n')).toUtf8());
    return differences.isEmpty() ? EXIT_STATUS_SUCCESS : EXIT_STATUS_DIFFERENT;
}

int KtbridgeCli::convert()
{
    QString error;
    const QByteArray bytes = ConfigurationText::readFile(mPositional.at(0), &error);
    if (bytes.isEmpty() || !ConfigurationText::writeFile(mPositional.at(1), bytes, &error))
        return fail(EXIT_STATUS_FILE, error);
    return EXIT_STATUS_SUCCESS;
}

int KtbridgeCli::flash()
{
    const QString file = mPositional.at(0);
    const int count = mParser.value(QStringLiteral("count")).toInt();
    const QString recordPath = mParser.value(QStringLiteral("record"));
    QString configurationProductId;
    {
        QString error;
        configurationProductId = productIdOf(ConfigurationText::readFile(file, &error));
        if (configurationProductId.isEmpty())
            return fail(EXIT_STATUS_FILE, error);
    }
    Sim::UnixSignalWatcher signalWatcher;
    connect(&signalWatcher, &Sim::UnixSignalWatcher::signalReceived, this, [this] {
        say(QStringLiteral("stopping after the unit in progress"));
        session().requestStop();
    });
    if (!signalWatcher.watch(SIGINT) || !signalWatcher.watch(SIGTERM))
        return fail(EXIT_STATUS_USAGE, QStringLiteral("cannot handle SIGINT and SIGTERM"));

    eExitStatus firstFailure = EXIT_STATUS_SUCCESS;
    int units = 0;
    int succeeded = 0;
    while ((count == 0 || units < count) && !session().stopRequested()) {
        const QDateTime started = QDateTime::currentDateTimeUtc();
        QElapsedTimer duration;
        duration.start();
        UnitResult result;
        const eExitStatus status = writeUnit(file, true, &result);
        if (result.reported.isEmpty() && (session().stopRequested() || status == EXIT_STATUS_FILE
                                          || status == EXIT_STATUS_PORT)) {
            if (!session().stopRequested())
                firstFailure = status;
            break;
        }
        ++units;
        const qint64 elapsed = duration.elapsed();
        const QByteArray &latest = result.readBack.isEmpty() ? result.reported : result.readBack;
        const QJsonObject unit = identity(latest);
        const QString outcome = status == EXIT_STATUS_SUCCESS ? QStringLiteral("SUCCESS") : QStringLiteral("ERROR");
        QJsonObject record{
            {QStringLiteral("time"), started.toString(Qt::ISODateWithMs)},
            {QStringLiteral("port"), session().portName()},
            {QStringLiteral("configurationFile"), QFileInfo(file).absoluteFilePath()},
            {QStringLiteral("configurationProductId"), configurationProductId},
            {QStringLiteral("deviceIdString"),
             result.deviceIdString.isEmpty() ? QJsonValue() : QJsonValue(result.deviceIdString)},
            {QStringLiteral("productId"), productIdOf(latest)},
            {QStringLiteral("outcome"), outcome},
            {QStringLiteral("reason"), status == EXIT_STATUS_SUCCESS ? QJsonValue() : QJsonValue(session().error())},
            {QStringLiteral("durationMs"), double(elapsed)},
            {QStringLiteral("verify"), result.verify.isEmpty() ? QJsonValue() : QJsonValue(result.verify)},
        };
        for (auto it = unit.begin(); it != unit.end(); ++it)
            record.insert(it.key(), it.value());
        QString error;
        if (!recordPath.isEmpty() && !Sm::appendRecordLine(recordPath, record, &error)) {
            say(QStringLiteral("%1: cannot append the record: %2").arg(recordPath, error));
            firstFailure = EXIT_STATUS_FILE;
            break;
        }
        print(QStringLiteral("unit %1: %2 in %3 ms\n")
                  .arg(qint64(unit.value(QStringLiteral("serialNumber")).toDouble()))
                  .arg(outcome)
                  .arg(elapsed)
                  .toUtf8());
        if (status == EXIT_STATUS_SUCCESS)
            ++succeeded;
        else if (firstFailure == EXIT_STATUS_SUCCESS)
            firstFailure = status;
    }
    say(QStringLiteral("%1 units flashed, %2 succeeded").arg(units).arg(succeeded));
    return firstFailure;
}

} // namespace Cli
} // namespace QVt
