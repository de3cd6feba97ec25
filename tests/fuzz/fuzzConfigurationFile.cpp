// Configuration bytes as a user's file or a device's reply: load() refuses or takes them,
// and what it takes composes back to the very same bytes. The first byte chooses between
// raw bytes and a body wrapped in a valid header, to reach the parser behind the checksum.
#include "fuzzSupport.h"

#include <qvtpb/configurationFile.h>

#include <QtEndian>

using QVt::Pb::Configuration::File;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const bool wrap = input.byte() & 1;
    const QByteArray idBytes = input.bytes(4).leftJustified(4, '\0');
    const QString productId = QString::number(qFromBigEndian<quint32>(idBytes.constData()), 16);
    const QByteArray bytes = wrap ? File::compose(productId, input.rest()) : input.rest();

    File file;
    if (!file.load(bytes)) {
        FUZZ_CHECK(file.loadError() != File::LOAD_ERROR_NONE);
        FUZZ_CHECK(file.productId().isEmpty() && file.body().isEmpty());
        return 0;
    }
    FUZZ_CHECK(file.loadError() == File::LOAD_ERROR_NONE);
    FUZZ_CHECK(File::compose(file.productId(), file.body()) == bytes);
    return 0;
}
