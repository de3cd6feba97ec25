#include <qvtpb/configurationFile.h>

#include "ktbridge.pb.h"

#include <QDebug>
#include <QRegularExpression>
#include <QtEndian>

#include <zlib.h>

namespace QVt {
namespace Pb {
namespace Configuration {

namespace {

// Header of format version 1, all numbers big-endian:
// magic "KTBC", u16 version, u64 product ID, u32 body length, u32 CRC-32 of the body.
const QByteArray Magic = QByteArrayLiteral("KTBC");
constexpr int VersionOffset = 4;
constexpr int ProductIdOffset = 6;
constexpr int BodyLengthOffset = 14;
constexpr int CrcOffset = 18;
constexpr int HeaderSize = 22;
constexpr int ProductIdMinimumDigits = 12;

quint32 crc32Of(const QByteArray &bytes)
{
    const uLong initial = crc32(0L, Z_NULL, 0);
    return quint32(crc32(initial, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

template<typename T>
T readBigEndian(const QByteArray &data, int offset)
{
    return qFromBigEndian<T>(data.constData() + offset);
}

template<typename T>
void appendBigEndian(QByteArray *data, T value)
{
    char bytes[sizeof(T)];
    qToBigEndian(value, bytes);
    data->append(bytes, int(sizeof(T)));
}

} // namespace

File::File(QObject *parent)
    : QObject(parent)
{
}

void File::clear()
{
    mProductId.clear();
    mBody.clear();
    mLoadError = LOAD_ERROR_NONE;
}

bool File::load(const QByteArray &data)
{
    clear();
    // The version is checked before the rest of the header, whose layout may
    // differ in other versions.
    if (data.size() < ProductIdOffset || !data.startsWith(Magic))
        return fail(LOAD_ERROR_PARSE);
    const quint16 version = readBigEndian<quint16>(data, VersionOffset);
    if (version < OldestReadableVersion)
        return fail(LOAD_ERROR_VERSION_OBSOLETE);
    if (version > FormatVersion)
        return fail(LOAD_ERROR_VERSION_MISMATCH);
    if (data.size() < HeaderSize
        || readBigEndian<quint32>(data, BodyLengthOffset) != quint32(data.size() - HeaderSize))
        return fail(LOAD_ERROR_PARSE);

    const QByteArray body = data.mid(HeaderSize);
    if (readBigEndian<quint32>(data, CrcOffset) != crc32Of(body))
        return fail(LOAD_ERROR_CHECKSUM);
    ktbridge::Configuration message;
    if (!message.ParseFromArray(body.constData(), body.size()))
        return fail(LOAD_ERROR_PARSE);

    const quint64 productId = readBigEndian<quint64>(data, ProductIdOffset);
    mProductId = productIdFromHex(QByteArray::number(productId, 16));
    mBody = body;
    return true;
}

QString File::productIdFromHex(const QByteArray &hexDigits)
{
    return QString::fromLatin1(hexDigits).rightJustified(ProductIdMinimumDigits, QLatin1Char('0'));
}

QString File::productId() const
{
    return mProductId;
}

QByteArray File::body() const
{
    return mBody;
}

File::LOAD_ERROR File::loadError() const
{
    return mLoadError;
}

QByteArray File::compose(const QString &productId, const QByteArray &body)
{
    static const QRegularExpression hexadecimal(QStringLiteral("^[0-9a-fA-F]{1,16}$"));
    if (!hexadecimal.match(productId).hasMatch()) {
        qWarning() << "Invalid product ID" << productId;
        return QByteArray();
    }

    QByteArray data;
    data.reserve(HeaderSize + body.size());
    data.append(Magic);
    appendBigEndian<quint16>(&data, FormatVersion);
    appendBigEndian<quint64>(&data, productId.toULongLong(nullptr, 16));
    appendBigEndian<quint32>(&data, quint32(body.size()));
    appendBigEndian<quint32>(&data, crc32Of(body));
    data.append(body);
    return data;
}

bool File::fail(LOAD_ERROR error)
{
    mLoadError = error;
    return false;
}

} // namespace Configuration
} // namespace Pb
} // namespace QVt
