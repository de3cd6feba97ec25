#include <qvtbusgate/serializable.h>

namespace QVt {
namespace Global {

Serializable::~Serializable() = default;

} // namespace Global
} // namespace QVt
