// A configuration file opened on a KT Bridge device: deserialize() refuses the bytes and
// keeps the configuration, or takes them and saves what loads again the same. The first
// byte chooses the product and whether the rest gets a valid header for one of its IDs.
#include "fuzzSupport.h"

#include "drivers/ktBridgeDevice.h"

#include <qvtpb/configurationFile.h>

using QVt::Device::KtBridgeDevice;
using QVt::Device::KtBridgeProduct;
using QVt::Pb::Configuration::File;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 choice = input.byte();
    const KtBridgeProduct &product = KtBridgeProduct::model(KtBridgeProduct::eModel(choice % 3));
    const QStringList ids = product.productIds();
    const QByteArray bytes = (choice & 0x80)
        ? File::compose(ids.at((choice >> 2) % ids.size()), input.rest())
        : input.rest();

    KtBridgeDevice device(product);
    const QByteArray before = device.serialize();
    if (!device.deserialize(bytes)) {
        FUZZ_CHECK(device.serialize() == before);
        return 0;
    }
    const QByteArray saved = device.serialize();
    KtBridgeDevice reopened(product);
    FUZZ_CHECK(reopened.deserialize(saved));
    FUZZ_CHECK(reopened.serialize() == saved);
    return 0;
}
