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
    bool mSilent = false;        // receives everything, answers nothing
    int mSilentFor = 0;          // answers nothing to this many first requests
    bool mErrorOnRead = false;   // answers "L" with 'E'
    bool mErrorOnWrite = false;  // answers "S" with 'E' and keeps its configuration
    bool mLoseWrite = false;     // answers "S" with 'S' but keeps its configuration
    bool mBadChecksum = false;   // every frame it sends carries a wrong checksum
    bool mSplit = false;         // every frame it sends arrives in pieces
    bool mNoise = false;         // stray bytes go out before every reply
    bool mRepeatId = false;      // the identification text goes out again before every reply
    int mHangUpAfter = 0;        // closes the line after this many frames (0: never)
    bool mFalseStart = false;    // a start byte and two bytes go out before every reply
    bool mStaleReply = false;    // acknowledges a write with the product ID, never after it
    bool mFlood = false;         // streams identification frames instead of any later reply
};

// What the command line asked the simulator to be. Plain value type.
struct SimulatorOptions
{
    enum class eOutcome { OUTCOME_RUN, OUTCOME_HELP, OUTCOME_VERSION, OUTCOME_ERROR };

    QString mIdString;
    QString mProductId;             // lowercase hexadecimal text
    QByteArray mProductIdBytes;
    const Device::KtBridgeProduct *mProduct = nullptr;
    quint32 mSerialNumber = 0;
    QString mWlanMac;               // empty: derived from the serial number
    QString mBluetoothMac;          // likewise
    QString mConfigPath;            // --config: bytes to leave the factory with instead of the product's
    QString mStorePath;
    QString mLinkPath;
    int mBaud = 0;
    int mReplyDelayMs = 0;
    int mUnits = 0;                 // --units: units in turn, each gone after "Q" (0: one unit that stays)
    int mUnitPauseMs = 300;         // between one unit's "Q" and the next unit
    bool mVerbose = false;
    Faults mFaults;

    // Parses arguments (the program name first). For Help and Version, message holds the
    // text to print on standard output; for Error, the reason.
    static eOutcome parse(const QStringList &arguments, SimulatorOptions *options, QString *message);
};

} // namespace Sim
} // namespace QVt
