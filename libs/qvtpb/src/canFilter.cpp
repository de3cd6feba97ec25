#include <qvtpb/canFilter.h>

#include "ktbridge.pb.h"

namespace QVt {
namespace Pb {
namespace Can {

Filter::Filter(QObject *parent)
    : AbstractMessage(parent)
{
}

quint32 Filter::identifier() const { return mIdentifier; }
quint32 Filter::mask() const { return mMask; }
bool Filter::extended() const { return mExtended; }

void Filter::setIdentifier(quint32 identifier)
{
    edit(mIdentifier, identifier, &Filter::identifierChanged);
}

void Filter::setMask(quint32 mask)
{
    edit(mMask, mask, &Filter::maskChanged);
}

void Filter::setExtended(bool extended)
{
    edit(mExtended, extended, &Filter::extendedChanged);
}

void Filter::read(const ktbridge::CanFilter &message)
{
    assign(mIdentifier, quint32(message.identifier()), &Filter::identifierChanged);
    assign(mMask, quint32(message.mask()), &Filter::maskChanged);
    assign(mExtended, message.extended(), &Filter::extendedChanged);
}

void Filter::write(ktbridge::CanFilter *message) const
{
    message->set_identifier(mIdentifier);
    message->set_mask(mMask);
    message->set_extended(mExtended);
}

} // namespace Can
} // namespace Pb
} // namespace QVt
