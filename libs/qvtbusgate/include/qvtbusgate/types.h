// Enumerations shared by the device library, the program and QML (as "VtTypes").
// Carries no data and is never instantiated; exists so that the meta-object system
// knows the enumerations.
#pragma once

#include <qvtbusgate/qvtbusgateGlobal.h>

#include <QObject>

namespace QVt {
namespace Global {

class QVTBUSGATE_EXPORT Types : public QObject
{
    Q_OBJECT

public:
    // Where the configuration being edited came from.
    enum eConfigurationType {
        CONFIGURATION_TYPE_NONE = -1,
        CONFIGURATION_TYPE_NEW = 0,
        CONFIGURATION_TYPE_FILE = 1,
        CONFIGURATION_TYPE_DEVICE = 2,
    };
    Q_ENUM(eConfigurationType)
};

} // namespace Global
} // namespace QVt
