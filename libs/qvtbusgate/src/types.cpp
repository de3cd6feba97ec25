#include <qvtbusgate/types.h>

namespace QVt {
namespace Global {

Types::Types(QObject *parent)
    : QObject(parent)
{
}

} // namespace Global
} // namespace QVt
