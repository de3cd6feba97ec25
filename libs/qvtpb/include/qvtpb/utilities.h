// Registration of the configuration library's types with Qt: call
// registerMetaTypes() before values cross threads, and registerQmlTypes() before
// QML that imports "com.vtcan.qvt.pb" 1.0 loads. Owns nothing; call from the GUI thread.
#ifndef QVTPB_UTILITIES_H
#define QVTPB_UTILITIES_H

#include <qvtpb/qvtpbGlobal.h>

namespace QVt {
namespace Pb {

class QVTPB_EXPORT Utilities
{
public:
    Utilities() = delete;

    // The message wrappers and Configuration::File as uncreatable QML types (their
    // enumerations usable, e.g. WlanConfig.SECURITY_WPA2_PSK) in "com.vtcan.qvt.pb" 1.0.
    static void registerQmlTypes();
    // Configuration::File::LOAD_ERROR and the wrapper pointers as meta types, so they
    // travel through queued connections and QMetaObject::invokeMethod.
    static void registerMetaTypes();
};

} // namespace Pb
} // namespace QVt

#endif // QVTPB_UTILITIES_H
