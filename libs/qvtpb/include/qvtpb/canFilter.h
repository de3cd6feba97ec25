// One CAN acceptance filter: a frame passes when its identifier, masked with mask,
// equals identifier masked with mask; extended selects 29-bit identifiers, and
// identifier and mask never exceed the width that extended selects.
// Owned by its Can::Config; lives in its owner's thread.
#ifndef QVTPB_CANFILTER_H
#define QVTPB_CANFILTER_H

#include <qvtpb/abstractMessage.h>

namespace ktbridge {
class CanFilter;
}

namespace QVt {
namespace Pb {
namespace Can {

class QVTPB_EXPORT Filter : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(quint32 identifier READ identifier WRITE setIdentifier NOTIFY identifierChanged)
    Q_PROPERTY(quint32 mask READ mask WRITE setMask NOTIFY maskChanged)
    Q_PROPERTY(bool extended READ extended WRITE setExtended NOTIFY extendedChanged)
    Q_PROPERTY(quint32 maximumIdentifier READ maximumIdentifier NOTIFY extendedChanged)

public:
    static constexpr quint32 MAX_STANDARD_IDENTIFIER = 0x7ff;
    static constexpr quint32 MAX_EXTENDED_IDENTIFIER = 0x1fffffff;

    explicit Filter(QObject *parent = nullptr);

    quint32 identifier() const;
    quint32 mask() const;
    bool extended() const;
    // The largest identifier and mask of the current width (11 or 29 bits).
    quint32 maximumIdentifier() const;

    // Refuse, with a warning, a value above maximumIdentifier() and a change that would
    // make the filter equal another one of its Can::Config.
    void setIdentifier(quint32 identifier);
    void setMask(quint32 mask);
    // Going back to standard keeps the low 11 bits of identifier and mask.
    void setExtended(bool extended);

    // Loading (no edited()) and storing, used by the enclosing message.
    void read(const ktbridge::CanFilter &message);
    void write(ktbridge::CanFilter *message) const;

signals:
    void identifierChanged();
    void maskChanged();
    void extendedChanged();

private:
    bool isDuplicate(quint32 identifier, quint32 mask, bool extended) const;

    quint32 mIdentifier = 0;
    quint32 mMask = 0;
    bool mExtended = false;
};

} // namespace Can
} // namespace Pb
} // namespace QVt

#endif // QVTPB_CANFILTER_H
