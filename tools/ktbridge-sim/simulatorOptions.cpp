#include "simulatorOptions.h"

#include "drivers/ktBridgeProduct.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>

namespace QVt {
namespace Sim {

namespace {

const char DEFAULT_ID_STRING[] = "KT Bridge Bootloader v1.4.0";
const char DEFAULT_PRODUCT_ID[] = "0000c0de0003";
const char DEFAULT_SERIAL_NUMBER[] = "20250001";

const char DESCRIPTION[] =
    "Plays the boot loader of a KT Bridge device on a pseudo-terminal, so that the\n"
    "configurator and tests can run without hardware.\n"
    "\n"
    "The first line on standard output is the path of the pseudo-terminal; open it as the\n"
    "serial port (115200 baud, 8N1). The simulator serves frames until SIGINT or SIGTERM.\n"
    "Requests and replies:\n"
    "  boot sequence \"ZPXMBT\"  answered with the identification text (--id-string)\n"
    "  \"P\"                     answered with 'P' and the product ID bytes (--product-id)\n"
    "  \"L\"                     answered with 'L' and the configuration bytes\n"
    "  \"S\" + bytes             stores the bytes as the configuration, answered with 'S'\n"
    "  \"Q\", \"Y\"                leave the boot loader (normal operation, pairing); no answer\n"
    "  \"Z\"                     restores the factory configuration; no answer\n"
    "  anything else           answered with 'E'\n"
    "\n"
    "Unless --config gives other bytes, the unit leaves the factory with its product's\n"
    "factory configuration and what it reports about itself: serial number, product code,\n"
    "manufacture time, radio module versions and MAC addresses. Bytes written with \"S\" are\n"
    "kept as they are.\n"
    "\n"
    "Products:\n"
    "%1"
    "\n"
    "Faults (--fault, may be given several times):\n"
    "  silent            receives everything, answers nothing\n"
    "  silent-for=N      the first N requests get no answer, the later ones do, as a device\n"
    "                    that wakes up late\n"
    "  error-on-read     answers \"L\" with 'E'\n"
    "  error-on-write    answers \"S\" with 'E' and keeps its configuration\n"
    "  lose-write        answers \"S\" with 'S' but keeps its configuration\n"
    "  bad-checksum      every frame sent carries a wrong checksum\n"
    "  split             every frame sent arrives in pieces about 0.1 s apart, one of them\n"
    "                    cut right after a carriage return (0x0D) inside the frame if it has one\n"
    "  noise             stray bytes (FF 00 55 AA 0D) arrive before every reply\n"
    "  repeat-id         the identification text arrives again before every reply\n"
    "  hang-up-after=N   after answering N frames the line is closed, as an unplugged cable\n"
    "                    would be, and the simulator ends (exit status 0)\n"
    "  false-start       a start byte and two bytes (43 FF FF) arrive before every reply, as\n"
    "                    if a frame of 65535 bytes began\n"
    "  stale-reply       the reply to \"P\" comes in one burst with an 'S' acknowledgement; a\n"
    "                    write that follows is neither kept nor acknowledged\n"
    "  flood             the boot sequence is answered; every later request is answered with\n"
    "                    identification frames streamed as fast as the line takes them, until\n"
    "                    the next request or the client goes away";

const Device::KtBridgeProduct::eModel MODELS[] = {Device::KtBridgeProduct::MODEL_CW,
                                                  Device::KtBridgeProduct::MODEL_CB,
                                                  Device::KtBridgeProduct::MODEL_CWB};

// One line per product: its IDs and name.
QString productList()
{
    QString list;
    for (const auto model : MODELS) {
        const Device::KtBridgeProduct &product = Device::KtBridgeProduct::model(model);
        list += QStringLiteral("  %1  %2\n").arg(product.productIds().join(QLatin1String(", ")), product.name());
    }
    return list;
}

QStringList knownProductIds()
{
    QStringList ids;
    for (const auto model : MODELS)
        ids += Device::KtBridgeProduct::model(model).productIds();
    return ids;
}

QByteArray hexToBytes(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^([0-9a-fA-F]{2})+$"));
    return hex.match(text).hasMatch() ? QByteArray::fromHex(text.toLatin1()) : QByteArray();
}

bool isMac(const QString &text)
{
    static const QRegularExpression mac(QStringLiteral("^([0-9a-fA-F]{2}:){5}[0-9a-fA-F]{2}$"));
    return mac.match(text).hasMatch();
}

// The N of a fault written "name=N", at least 1.
bool parseCount(const QString &fault, const QString &prefix, int *count, QString *message)
{
    bool ok = false;
    *count = fault.mid(prefix.size()).toInt(&ok);
    if (ok && *count >= 1)
        return true;
    *message = QStringLiteral("--fault %1N needs a whole number N of at least 1, not \"%2\"")
                   .arg(prefix, fault.mid(prefix.size()));
    return false;
}

bool parseFault(const QString &name, Faults *faults, QString *message)
{
    static const QString hangUpPrefix = QStringLiteral("hang-up-after=");
    static const QString silentForPrefix = QStringLiteral("silent-for=");
    if (name == QLatin1String("silent"))
        faults->mSilent = true;
    else if (name == QLatin1String("error-on-read"))
        faults->mErrorOnRead = true;
    else if (name == QLatin1String("error-on-write"))
        faults->mErrorOnWrite = true;
    else if (name == QLatin1String("lose-write"))
        faults->mLoseWrite = true;
    else if (name == QLatin1String("bad-checksum"))
        faults->mBadChecksum = true;
    else if (name == QLatin1String("split"))
        faults->mSplit = true;
    else if (name == QLatin1String("noise"))
        faults->mNoise = true;
    else if (name == QLatin1String("repeat-id"))
        faults->mRepeatId = true;
    else if (name == QLatin1String("false-start"))
        faults->mFalseStart = true;
    else if (name == QLatin1String("stale-reply"))
        faults->mStaleReply = true;
    else if (name == QLatin1String("flood"))
        faults->mFlood = true;
    else if (name.startsWith(hangUpPrefix))
        return parseCount(name, hangUpPrefix, &faults->mHangUpAfter, message);
    else if (name.startsWith(silentForPrefix))
        return parseCount(name, silentForPrefix, &faults->mSilentFor, message);
    else {
        *message = QStringLiteral("unknown fault \"%1\" (see --help for the fault names)").arg(name);
        return false;
    }
    return true;
}

bool parseNumber(const QCommandLineParser &parser, const QString &option, int minimum, int *value,
                 QString *message)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    *value = parser.value(option).toInt(&ok);
    if (!ok || *value < minimum) {
        *message = QStringLiteral("--%1 needs a whole number of at least %2, not \"%3\"")
                       .arg(option)
                       .arg(minimum)
                       .arg(parser.value(option));
        return false;
    }
    return true;
}

} // namespace

SimulatorOptions::eOutcome SimulatorOptions::parse(const QStringList &arguments, SimulatorOptions *options,
                                                  QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(DESCRIPTION).arg(productList()));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    parser.addOption(help);
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the version and exits."));
    parser.addOption(version);
    parser.addOptions({
        {QStringLiteral("id-string"),
         QStringLiteral("Identification text the boot loader answers with (default \"%1\").")
             .arg(QLatin1String(DEFAULT_ID_STRING)),
         QStringLiteral("TEXT"), QString::fromLatin1(DEFAULT_ID_STRING)},
        {QStringLiteral("product-id"),
         QStringLiteral("Product ID as hexadecimal text (default %1).").arg(QLatin1String(DEFAULT_PRODUCT_ID)),
         QStringLiteral("HEX"), QString::fromLatin1(DEFAULT_PRODUCT_ID)},
        {QStringLiteral("serial-number"),
         QStringLiteral("Serial number the unit reports (default %1).").arg(QLatin1String(DEFAULT_SERIAL_NUMBER)),
         QStringLiteral("N"), QString::fromLatin1(DEFAULT_SERIAL_NUMBER)},
        {QStringLiteral("wlan-mac"),
         QStringLiteral("MAC address of the WLAN module (default: derived from the serial number)."),
         QStringLiteral("MAC")},
        {QStringLiteral("bluetooth-mac"),
         QStringLiteral("MAC address of the Bluetooth module (default: derived from the serial number)."),
         QStringLiteral("MAC")},
        {QStringLiteral("config"),
         QStringLiteral("File whose bytes the unit leaves the factory with, instead of its product's "
                        "factory configuration."),
         QStringLiteral("FILE")},
        {QStringLiteral("store"),
         QStringLiteral("File that keeps the configuration across runs: read at start if it exists, "
                        "replaced atomically after every change."),
         QStringLiteral("FILE")},
        {QStringLiteral("link"), QStringLiteral("Also make PATH a symbolic link to the pseudo-terminal."),
         QStringLiteral("PATH")},
        {QStringLiteral("baud"),
         QStringLiteral("Pace bytes in both directions like an 8N1 line at N baud (default: no pacing)."),
         QStringLiteral("N")},
        {QStringLiteral("reply-delay"), QStringLiteral("Device processing time before each reply."),
         QStringLiteral("MS")},
        {QStringLiteral("units"),
         QStringLiteral("Plays N units in turn, as a production fixture sees them: after \"Q\" a unit stops "
                        "answering, and after --unit-pause the next one answers, with the next serial number, "
                        "its own MAC addresses and its factory configuration; with --store, unit S keeps its "
                        "configuration in FILE.S."),
         QStringLiteral("N")},
        {QStringLiteral("unit-pause"), QStringLiteral("Time between two units (default 300)."),
         QStringLiteral("MS")},
        {QStringLiteral("fault"), QStringLiteral("Misbehave as NAME says (see the list above)."),
         QStringLiteral("NAME")},
        {QStringLiteral("verbose"),
         QStringLiteral("Log every frame in (\"rx 43 00 01 50 12 0D\") and out (\"tx ...\") as hexadecimal on "
                        "standard error, with bytes that were no frame (\"rx discarded ...\"), stray bytes "
                        "sent (\"tx noise ...\") and clients opening and closing the port.")},
    });

    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return eOutcome::OUTCOME_ERROR;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return eOutcome::OUTCOME_HELP;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("ktbridge-sim %1").arg(QStringLiteral(KT_VERSION));
        return eOutcome::OUTCOME_VERSION;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst());
        return eOutcome::OUTCOME_ERROR;
    }

    options->mIdString = parser.value(QStringLiteral("id-string"));
    // One frame carries it, and a frame's payload holds at most 65535 bytes.
    if (options->mIdString.toUtf8().size() > 65535) {
        *message = QStringLiteral("--id-string is longer than the 65535 bytes a frame can carry");
        return eOutcome::OUTCOME_ERROR;
    }
    options->mProductId = parser.value(QStringLiteral("product-id")).toLower();
    options->mProductIdBytes = hexToBytes(options->mProductId);
    if (options->mProductIdBytes.isEmpty()) {
        *message = QStringLiteral("--product-id needs hexadecimal text with an even number of digits, not \"%1\"")
                       .arg(parser.value(QStringLiteral("product-id")));
        return eOutcome::OUTCOME_ERROR;
    }
    options->mProduct = Device::KtBridgeProduct::find(options->mProductId);
    if (!options->mProduct) {
        *message = QStringLiteral("unknown product ID \"%1\" (known: %2)")
                       .arg(options->mProductId, knownProductIds().join(QLatin1String(", ")));
        return eOutcome::OUTCOME_ERROR;
    }
    bool serialOk = false;
    options->mSerialNumber = parser.value(QStringLiteral("serial-number")).toUInt(&serialOk);
    if (!serialOk) {
        *message = QStringLiteral("--serial-number needs a whole number from 0 to 4294967295, not \"%1\"")
                       .arg(parser.value(QStringLiteral("serial-number")));
        return eOutcome::OUTCOME_ERROR;
    }
    const struct
    {
        const char *option;
        QString *value;
        Pb::KtBridge::Configuration::eInterface radio;
        const char *radioName;
    } macs[] = {
        {"wlan-mac", &options->mWlanMac, Pb::KtBridge::Configuration::INTERFACE_WLAN, "WLAN"},
        {"bluetooth-mac", &options->mBluetoothMac, Pb::KtBridge::Configuration::INTERFACE_BLUETOOTH, "Bluetooth"},
    };
    for (const auto &mac : macs) {
        const QString option = QString::fromLatin1(mac.option);
        if (!parser.isSet(option))
            continue;
        *mac.value = parser.value(option);
        if (!isMac(*mac.value)) {
            *message = QStringLiteral("--%1 needs a MAC address like 02:4B:54:00:00:01, not \"%2\"")
                           .arg(option, *mac.value);
            return eOutcome::OUTCOME_ERROR;
        }
        if (!options->mProduct->interfaces().testFlag(mac.radio)) {
            *message = QStringLiteral("--%1: %2 has no %3 interface")
                           .arg(option, options->mProduct->name(), QLatin1String(mac.radioName));
            return eOutcome::OUTCOME_ERROR;
        }
    }
    options->mConfigPath = parser.value(QStringLiteral("config"));
    options->mStorePath = parser.value(QStringLiteral("store"));
    options->mLinkPath = parser.value(QStringLiteral("link"));
    options->mVerbose = parser.isSet(QStringLiteral("verbose"));
    if (!parseNumber(parser, QStringLiteral("baud"), 1, &options->mBaud, message)
        || !parseNumber(parser, QStringLiteral("reply-delay"), 0, &options->mReplyDelayMs, message)
        || !parseNumber(parser, QStringLiteral("units"), 1, &options->mUnits, message)
        || !parseNumber(parser, QStringLiteral("unit-pause"), 0, &options->mUnitPauseMs, message))
        return eOutcome::OUTCOME_ERROR;
    for (const QString &fault : parser.values(QStringLiteral("fault"))) {
        if (!parseFault(fault, &options->mFaults, message))
            return eOutcome::OUTCOME_ERROR;
    }
    return eOutcome::OUTCOME_RUN;
}

} // namespace Sim
} // namespace QVt
