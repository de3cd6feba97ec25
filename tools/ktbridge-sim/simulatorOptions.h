#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace QVt {
namespace Device {
class KtBridgeProduct;
} // namespace Device
} // namespace QVt

namespace QVt {
namespace Sim {

// The ways the simulated device can misbehave, each chosen with --fault NAME.
struct Faults
{
    bool silent = false;        // receives everything, answers nothing
    int silentFor = 0;          // answers nothing to this many first requests
    bool errorOnRead = false;   // answers "L" with 'E'
    bool errorOnWrite = false;  // answers "S" with 'E' and keeps its configuration
    bool badChecksum = false;   // every frame it sends carries a wrong checksum
    bool split = false;         // every frame it sends arrives in pieces
    bool noise = false;         // stray bytes go out before every reply
    bool repeatId = false;      // the identification text goes out again before every reply
    int hangUpAfter = 0;        // closes the line after this many frames (0: never)
};

// What the command line asked the simulator to be. Plain value type.
struct SimulatorOptions
{
    enum class Outcome { Run, Help, Version, Error };

    QString idString;
    QString productId;             // lowercase hexadecimal text
    QByteArray productIdBytes;
    const Device::KtBridgeProduct *product = nullptr;
    quint32 serialNumber = 0;
    QString wlanMac;               // empty: derived from the serial number
    QString bluetoothMac;          // likewise
    QString configPath;            // --config: bytes to leave the factory with instead of the product's
    QString storePath;
    QString linkPath;
    int baud = 0;
    int replyDelayMs = 0;
    bool verbose = false;
    Faults faults;

    // Parses arguments (the program name first). For Help and Version, message holds the
    // text to print on standard output; for Error, the reason.
    static Outcome parse(const QStringList &arguments, SimulatorOptions *options, QString *message);
};

} // namespace Sim
} // namespace QVt
