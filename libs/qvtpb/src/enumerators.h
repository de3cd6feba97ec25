// Checks values against the enumerators of a Q_ENUM: QML and loaded bytes may
// carry any integer in an enumeration property.
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

// value as Enum when it is an enumerator, else fallback.
template<typename Enum>
Enum toEnumerator(int value, Enum fallback)
{
    return isEnumerator<Enum>(value) ? Enum(value) : fallback;
}

} // namespace Pb
} // namespace QVt

#endif // QVTPB_ENUMERATORS_H
