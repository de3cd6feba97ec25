#include <qvtpb/productDeviceInfo.h>

#include "ktbridge.pb.h"

namespace QVt {
namespace Pb {
namespace Product {

DeviceInfo::DeviceInfo(QObject *parent)
    : AbstractMessage(parent)
{
}

quint32 DeviceInfo::vendorId() const { return mVendorId; }
quint32 DeviceInfo::productCode() const { return mProductCode; }
quint32 DeviceInfo::revisionNumber() const { return mRevisionNumber; }
quint32 DeviceInfo::serialNumber() const { return mSerialNumber; }
quint32 DeviceInfo::productGroup() const { return mProductGroup; }
qint64 DeviceInfo::unixTimeOfManufacture() const { return mUnixTimeOfManufacture; }

void DeviceInfo::setVendorId(quint32 vendorId)
{
    edit(mVendorId, vendorId, &DeviceInfo::vendorIdChanged);
}

void DeviceInfo::setProductCode(quint32 productCode)
{
    edit(mProductCode, productCode, &DeviceInfo::productCodeChanged);
}

void DeviceInfo::setRevisionNumber(quint32 revisionNumber)
{
    edit(mRevisionNumber, revisionNumber, &DeviceInfo::revisionNumberChanged);
}

void DeviceInfo::setSerialNumber(quint32 serialNumber)
{
    edit(mSerialNumber, serialNumber, &DeviceInfo::serialNumberChanged);
}

void DeviceInfo::setProductGroup(quint32 productGroup)
{
    edit(mProductGroup, productGroup, &DeviceInfo::productGroupChanged);
}

void DeviceInfo::setUnixTimeOfManufacture(qint64 unixTimeOfManufacture)
{
    edit(mUnixTimeOfManufacture, unixTimeOfManufacture, &DeviceInfo::unixTimeOfManufactureChanged);
}

void DeviceInfo::read(const ktbridge::ProductDeviceInfo &message)
{
    assign(mVendorId, quint32(message.vendor_id()), &DeviceInfo::vendorIdChanged);
    assign(mProductCode, quint32(message.product_code()), &DeviceInfo::productCodeChanged);
    assign(mRevisionNumber, quint32(message.revision_number()), &DeviceInfo::revisionNumberChanged);
    assign(mSerialNumber, quint32(message.serial_number()), &DeviceInfo::serialNumberChanged);
    assign(mProductGroup, quint32(message.product_group()), &DeviceInfo::productGroupChanged);
    assign(mUnixTimeOfManufacture, qint64(message.unix_time_of_manufacture()),
           &DeviceInfo::unixTimeOfManufactureChanged);
}

void DeviceInfo::write(ktbridge::ProductDeviceInfo *message) const
{
    message->set_vendor_id(mVendorId);
    message->set_product_code(mProductCode);
    message->set_revision_number(mRevisionNumber);
    message->set_serial_number(mSerialNumber);
    message->set_product_group(mProductGroup);
    message->set_unix_time_of_manufacture(mUnixTimeOfManufacture);
}

} // namespace Product
} // namespace Pb
} // namespace QVt
