#include <qvtpb/abstractMessage.h>

namespace QVt {
namespace Pb {

AbstractMessage::AbstractMessage(QObject *parent)
    : QObject(parent)
{
}

void AbstractMessage::adopt(AbstractMessage *child)
{
    child->setParent(this);
    connect(child, &AbstractMessage::edited, this, &AbstractMessage::edited);
}

} // namespace Pb
} // namespace QVt
