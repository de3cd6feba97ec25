// Reads and writes the configuration byte format: a fixed header (magic, format
// version, product ID, body length, CRC-32 of the body) followed by the protobuf
// body of a KtBridge::Configuration. The same bytes are a ".bgc" file, what is
// written to a device and what a device returns. Owns nothing but the loaded body;
// lives in the thread that created it.
//
//     Configuration::File file;
//     if (!file.load(bytes)) handle(file.loadError());
//     else use(file.productId(), file.body());
//     QByteArray bytes = Configuration::File::compose(productId, body);
#ifndef QVTPB_CONFIGURATIONFILE_H
#define QVTPB_CONFIGURATIONFILE_H

#include <qvtpb/qvtpbGlobal.h>

#include <QByteArray>
#include <QObject>
#include <QString>

namespace QVt {
namespace Pb {
namespace Configuration {

class QVTPB_EXPORT File : public QObject
{
    Q_OBJECT

public:
    enum LOAD_ERROR {
        LOAD_ERROR_NONE = 0,
        LOAD_ERROR_VERSION_OBSOLETE = 1, // older than the oldest format version still read
        LOAD_ERROR_VERSION_MISMATCH = 2, // a format version this build does not know
        LOAD_ERROR_CHECKSUM = 3,         // the body does not match its CRC-32
        LOAD_ERROR_PARSE = 4,            // empty, truncated, foreign or unparsable
    };
    Q_ENUM(LOAD_ERROR)

    // The format version written, and the oldest one still read.
    static constexpr quint16 FormatVersion = 1;
    static constexpr quint16 OldestReadableVersion = 1;

    explicit File(QObject *parent = nullptr);

    // Forgets the loaded product ID, body and error.
    virtual void clear();
    // Checks and takes the complete bytes of a configuration; true when usable.
    // On false, loadError() tells why and productId() and body() are empty.
    virtual bool load(const QByteArray &data);

    // Lower-case hexadecimal, at least 12 digits.
    QString productId() const;
    // The protobuf bytes of the configuration.
    QByteArray body() const;
    LOAD_ERROR loadError() const;

    // The product ID's text form (lower-case hexadecimal, at least 12 digits) of
    // hexadecimal digits, as a file header or a device's reply gives them.
    static QString productIdFromHex(const QByteArray &hexDigits);

    // The configuration bytes for body under productId (hexadecimal text of at most
    // 16 digits); empty, with a warning, when productId is not such a text.
    static QByteArray compose(const QString &productId, const QByteArray &body);

private:
    bool fail(LOAD_ERROR error);

    QString mProductId;
    QByteArray mBody;
    LOAD_ERROR mLoadError = LOAD_ERROR_NONE;
};

} // namespace Configuration
} // namespace Pb
} // namespace QVt

#endif // QVTPB_CONFIGURATIONFILE_H
