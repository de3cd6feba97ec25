// Identification that a device reports about itself (vendor, product, revision,
// serial number, product group, time of manufacture); all zero for a configuration
// made on the PC. Owned by its KtBridge::Configuration; lives in its owner's thread.
#ifndef QVTPB_PRODUCTDEVICEINFO_H
#define QVTPB_PRODUCTDEVICEINFO_H

#include <qvtpb/abstractMessage.h>

namespace ktbridge {
class ProductDeviceInfo;
}

namespace QVt {
namespace Pb {
namespace Product {

class QVTPB_EXPORT DeviceInfo : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(quint32 vendorId READ vendorId WRITE setVendorId NOTIFY vendorIdChanged)
    Q_PROPERTY(quint32 productCode READ productCode WRITE setProductCode NOTIFY productCodeChanged)
    Q_PROPERTY(quint32 revisionNumber READ revisionNumber WRITE setRevisionNumber NOTIFY revisionNumberChanged)
    Q_PROPERTY(quint32 serialNumber READ serialNumber WRITE setSerialNumber NOTIFY serialNumberChanged)
    Q_PROPERTY(quint32 productGroup READ productGroup WRITE setProductGroup NOTIFY productGroupChanged)
    Q_PROPERTY(qint64 unixTimeOfManufacture READ unixTimeOfManufacture WRITE setUnixTimeOfManufacture
                       NOTIFY unixTimeOfManufactureChanged)

public:
    explicit DeviceInfo(QObject *parent = nullptr);

    quint32 vendorId() const;
    quint32 productCode() const;
    quint32 revisionNumber() const;
    quint32 serialNumber() const;
    quint32 productGroup() const;
    // Seconds since 1970-01-01 00:00 UTC.
    qint64 unixTimeOfManufacture() const;

    void setVendorId(quint32 vendorId);
    void setProductCode(quint32 productCode);
    void setRevisionNumber(quint32 revisionNumber);
    void setSerialNumber(quint32 serialNumber);
    void setProductGroup(quint32 productGroup);
    void setUnixTimeOfManufacture(qint64 unixTimeOfManufacture);

    // Loading (no edited()) and storing, used by the enclosing message.
    void read(const ktbridge::ProductDeviceInfo &message);
    void write(ktbridge::ProductDeviceInfo *message) const;

signals:
    void vendorIdChanged();
    void productCodeChanged();
    void revisionNumberChanged();
    void serialNumberChanged();
    void productGroupChanged();
    void unixTimeOfManufactureChanged();

private:
    quint32 mVendorId = 0;
    quint32 mProductCode = 0;
    quint32 mRevisionNumber = 0;
    quint32 mSerialNumber = 0;
    quint32 mProductGroup = 0;
    qint64 mUnixTimeOfManufacture = 0;
};

} // namespace Product
} // namespace Pb
} // namespace QVt

#endif // QVTPB_PRODUCTDEVICEINFO_H
