#include "simulatedDevice.h"

#include "comms/protocol/bootProtocol.h"
#include "unitIdentity.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace QVt {
namespace Sim {

namespace {

using Comms::Protocol::BootProtocol;

const QByteArray NOISE = QByteArrayLiteral("\xFF\x00\x55\xAA\x0D");
const QByteArray ERROR_REPLY = QByteArrayLiteral("E");
// A start byte whose length announces the longest frame there is.
const QByteArray FALSE_START = QByteArrayLiteral("C\xFF\xFF");
const QByteArray WRITE_ACKNOWLEDGEMENT = QByteArrayLiteral("S");

// Pieces of one reply, and the parts of a faulty reply, arrive this far apart so that a
// reader sees them in separate reads.
constexpr int PIECE_GAP_MS = 100;
// A device gives up on a frame whose rest does not follow within this time.
constexpr int FRAME_TIMEOUT_MS = 1000;
// A flood sends this many identification frames every millisecond, megabytes a second:
// more than a reader that queues a call for each frame can keep up with.
constexpr int FLOOD_FRAMES_PER_TICK = 256;
constexpr int FLOOD_INTERVAL_MS = 1;
// A payload holds at most 65535 bytes, one of them the 'L' of the reply.
constexpr int MAX_CONFIGURATION_SIZE = 65534;

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Cut right after the length's high byte, and right after the first CR inside the frame
// (in the middle if there is none), so that a reader meets a CR that does not end the frame.
QList<QByteArray> splitIntoPieces(const QByteArray &frame)
{
    const int innerCr = frame.indexOf('\r');
    const int second = innerCr >= 0 && innerCr < frame.size() - 1 ? innerCr + 1 : frame.size() / 2;
    QList<int> cuts{0, 2};
    if (second > 2 && second < frame.size())
        cuts.append(second);
    cuts.append(frame.size());
    QList<QByteArray> pieces;
    for (int i = 1; i < cuts.size(); ++i)
        pieces.append(frame.mid(cuts.at(i - 1), cuts.at(i) - cuts.at(i - 1)));
    return pieces;
}

// Reads a configuration that fits into the reply to "L".
bool readConfiguration(const QString &path, QByteArray *bytes, QString *errorText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorText = QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (bytes->size() > MAX_CONFIGURATION_SIZE) {
        *errorText = QStringLiteral("\"%1\" holds %2 bytes; a configuration has at most %3")
                         .arg(path)
                         .arg(bytes->size())
                         .arg(MAX_CONFIGURATION_SIZE);
        return false;
    }
    return true;
}

} // namespace

SimulatedDevice::SimulatedDevice(const SimulatorOptions &options, QObject *parent)
    : QObject(parent)
    , mOptions(options)
{
    mFrameTimeout.setSingleShot(true);
    mFrameTimeout.setInterval(FRAME_TIMEOUT_MS);
    connect(&mFrameTimeout, &QTimer::timeout, this, &SimulatedDevice::onFrameTimeout);
    mFloodTimer.setInterval(FLOOD_INTERVAL_MS);
    connect(&mFloodTimer, &QTimer::timeout, this, &SimulatedDevice::onFloodTimer);
}

bool SimulatedDevice::start(QString *errorText)
{
    return startUnit(errorText);
}

bool SimulatedDevice::startUnit(QString *errorText)
{
    // Given MAC addresses belong to the first unit; later ones derive theirs.
    const bool first = mUnit == 0;
    if (mOptions.mConfigPath.isEmpty())
        mFactoryConfiguration = UnitIdentity(*mOptions.mProduct, mOptions.mProductId, mOptions.mSerialNumber + mUnit,
                                             first ? mOptions.mWlanMac : QString(),
                                             first ? mOptions.mBluetoothMac : QString())
                                    .factoryConfiguration();
    else if (!readConfiguration(mOptions.mConfigPath, &mFactoryConfiguration, errorText))
        return false;
    mConfiguration = mFactoryConfiguration;
    if (!storePath().isEmpty() && QFile::exists(storePath()))
        return readConfiguration(storePath(), &mConfiguration, errorText);
    return true;
}

QString SimulatedDevice::storePath() const
{
    if (mOptions.mStorePath.isEmpty() || mOptions.mUnits == 0)
        return mOptions.mStorePath;
    return mOptions.mStorePath + QLatin1Char('.') + QString::number(mOptions.mSerialNumber + mUnit);
}

void SimulatedDevice::onUnitLeft()
{
    mUnitGone = true;
    if (mUnit + 1 >= mOptions.mUnits)
        return;
    QTimer::singleShot(mOptions.mUnitPauseMs, this, [this] {
        ++mUnit;
        QString errorText;
        if (!startUnit(&errorText)) {
            std::fprintf(stderr, "ktbridge-sim: %s\n", qPrintable(errorText));
            return;
        }
        mUnitGone = false;
        log(QStringLiteral("unit %1 present").arg(mOptions.mSerialNumber + mUnit));
    });
}

void SimulatedDevice::onBytesReceived(const QByteArray &bytes)
{
    const bool hungUp = mOptions.mFaults.mHangUpAfter > 0 && mFramesReceived >= mOptions.mFaults.mHangUpAfter;
    if (hungUp)
        return;
    QByteArray discarded;
    const QList<QByteArray> payloads = mReader.append(bytes, &discarded);
    if (!discarded.isEmpty())
        log(QStringLiteral("rx discarded ") + hex(discarded));
    for (const QByteArray &payload : payloads) {
        log(QStringLiteral("rx ") + hex(BootProtocol::frame(payload)));
        ++mFramesReceived;
        handleRequest(payload);
        if (mFramesReceived == mOptions.mFaults.mHangUpAfter) {
            emit hangUpRequested();
            break;
        }
    }
    if (mReader.isEmpty())
        mFrameTimeout.stop();
    else
        mFrameTimeout.start();
}

void SimulatedDevice::onClientChanged()
{
    mFrameTimeout.stop();
    mFloodTimer.stop();
    const QByteArray rest = mReader.clear();
    if (!rest.isEmpty())
        log(QStringLiteral("rx discarded ") + hex(rest));
}

void SimulatedDevice::handleRequest(const QByteArray &payload)
{
    mFloodTimer.stop();
    if (mOptions.mFaults.mSilent || mFramesReceived <= mOptions.mFaults.mSilentFor || mUnitGone)
        return;
    if (payload == BootProtocol::BOOT_SEQUENCE_PAYLOAD) {
        sendReply(mOptions.mIdString.toUtf8());
        return;
    }
    if (mOptions.mFaults.mFlood) {
        log(QStringLiteral("tx flood ") + hex(frameToSend(mOptions.mIdString.toUtf8())));
        mFloodTimer.start();
        return;
    }
    switch (payload.at(0)) {
    case 'P':
        sendReply('P' + mOptions.mProductIdBytes,
                  mOptions.mFaults.mStaleReply ? WRITE_ACKNOWLEDGEMENT : QByteArray());
        break;
    case 'L':
        sendReply(mOptions.mFaults.mErrorOnRead ? ERROR_REPLY : 'L' + mConfiguration);
        break;
    case 'S':
        if (mOptions.mFaults.mStaleReply)
            break;
        sendReply(!mOptions.mFaults.mErrorOnWrite
                          && (mOptions.mFaults.mLoseWrite || keepConfiguration(payload.mid(1)))
                      ? QByteArrayLiteral("S")
                      : ERROR_REPLY);
        break;
    case 'Z':
        // The unit resets and leaves the boot loader: nobody waits for an answer.
        keepConfiguration(mFactoryConfiguration);
        break;
    case 'Q':
    case 'Y':
        // Normal operation or pairing mode: the boot loader hands over without an answer;
        // at a fixture the unit in normal operation is then taken away.
        if (payload.at(0) == 'Q' && mOptions.mUnits > 0)
            onUnitLeft();
        break;
    default:
        sendReply(ERROR_REPLY);
        break;
    }
}

void SimulatedDevice::sendReply(const QByteArray &payload, const QByteArray &stalePayload)
{
    int delay = mOptions.mReplyDelayMs;
    if (mOptions.mFaults.mNoise) {
        log(QStringLiteral("tx noise ") + hex(NOISE));
        emit transmit(NOISE, delay);
        delay = PIECE_GAP_MS;
    }
    if (mOptions.mFaults.mFalseStart) {
        log(QStringLiteral("tx noise ") + hex(FALSE_START));
        emit transmit(FALSE_START, delay);
        delay = PIECE_GAP_MS;
    }
    if (mOptions.mFaults.mRepeatId) {
        const QByteArray idFrame = frameToSend(mOptions.mIdString.toUtf8());
        log(QStringLiteral("tx ") + hex(idFrame));
        emit transmit(idFrame, delay);
        delay = PIECE_GAP_MS;
    }
    // A stale reply travels in the same burst as the real one.
    const QByteArray frame =
        frameToSend(payload) + (stalePayload.isEmpty() ? QByteArray() : frameToSend(stalePayload));
    log(QStringLiteral("tx ") + hex(frame));
    if (!mOptions.mFaults.mSplit) {
        emit transmit(frame, delay);
        return;
    }
    for (const QByteArray &piece : splitIntoPieces(frame)) {
        emit transmit(piece, delay);
        delay = PIECE_GAP_MS;
    }
}

QByteArray SimulatedDevice::frameToSend(const QByteArray &payload) const
{
    QByteArray frame = BootProtocol::frame(payload);
    if (mOptions.mFaults.mBadChecksum)
        frame[frame.size() - 2] = char(frame.at(frame.size() - 2) ^ 0x01);
    return frame;
}

bool SimulatedDevice::keepConfiguration(const QByteArray &configuration)
{
    if (!storePath().isEmpty()) {
        // Written beside and renamed over the old file, so a crash never leaves half a store.
        QSaveFile file(storePath());
        if (!file.open(QIODevice::WriteOnly) || file.write(configuration) != configuration.size()
            || !file.commit()) {
            std::fprintf(stderr, "ktbridge-sim: cannot write \"%s\": %s\n", qPrintable(storePath()),
                         qPrintable(file.errorString()));
            return false;
        }
    }
    mConfiguration = configuration;
    return true;
}

void SimulatedDevice::onFrameTimeout()
{
    const QByteArray rest = mReader.clear();
    log(QStringLiteral("rx discarded ") + hex(rest));
}

void SimulatedDevice::onFloodTimer()
{
    const QByteArray frame = frameToSend(mOptions.mIdString.toUtf8());
    emit transmit(frame.repeated(FLOOD_FRAMES_PER_TICK), 0);
}

void SimulatedDevice::log(const QString &line) const
{
    if (!mOptions.mVerbose)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

} // namespace Sim
} // namespace QVt
