// Checks values against the enumerators of a Q_ENUM: QML may hand any integer to an
// enumeration property.
#ifndef QVTPB_ENUMERATORS_H
#define QVTPB_ENUMERATORS_H

#include <QMetaEnum>

namespace QVt {
namespace Pb {

template<typename Enum>
bool isEnumerator(int value)
{
    return QMetaEnum::fromType<Enum>().valueToKey(value) != nullptr;
}

} // namespace Pb
} // namespace QVt

#endif // QVTPB_ENUMERATORS_H
