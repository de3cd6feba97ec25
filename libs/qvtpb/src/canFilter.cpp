#include <qvtpb/canFilter.h>

#include <qvtpb/canConfig.h>

#include "ktbridge.pb.h"

#include <QDebug>

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

quint32 Filter::maximumIdentifier() const
{
    return mExtended ? MAX_EXTENDED_IDENTIFIER : MAX_STANDARD_IDENTIFIER;
}

void Filter::setIdentifier(quint32 identifier)
{
    if (identifier > maximumIdentifier()) {
        qWarning() << "Refused CAN filter identifier" << identifier << "extended" << mExtended;
        return;
    }
    if (isDuplicate(identifier, mMask, mExtended))
        return;
    edit(mIdentifier, identifier, &Filter::identifierChanged);
}

void Filter::setMask(quint32 mask)
{
    if (mask > maximumIdentifier()) {
        qWarning() << "Refused CAN filter mask" << mask << "extended" << mExtended;
        return;
    }
    if (isDuplicate(mIdentifier, mask, mExtended))
        return;
    edit(mMask, mask, &Filter::maskChanged);
}

void Filter::setExtended(bool extended)
{
    const quint32 maximum = extended ? MAX_EXTENDED_IDENTIFIER : MAX_STANDARD_IDENTIFIER;
    if (isDuplicate(mIdentifier & maximum, mMask & maximum, extended))
        return;
    edit(mExtended, extended, &Filter::extendedChanged);
    edit(mIdentifier, mIdentifier & maximumIdentifier(), &Filter::identifierChanged);
    edit(mMask, mMask & maximumIdentifier(), &Filter::maskChanged);
}

bool Filter::isDuplicate(quint32 identifier, quint32 mask, bool extended) const
{
    const auto *config = qobject_cast<const Config *>(parent());
    if (!config)
        return false;
    int index = 0;
    while (config->filter(index) && config->filter(index) != this)
        ++index;
    const int other = config->duplicateOf(index, identifier, mask, extended);
    if (other < 0)
        return false;
    qWarning() << "Refused duplicate CAN filter" << identifier << mask << "extended" << extended << "row" << other;
    return true;
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
