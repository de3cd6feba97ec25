// One CAN acceptance filter: a frame passes when its identifier, masked with mask,
// equals identifier masked with mask; extended selects 29-bit identifiers.
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

public:
    explicit Filter(QObject *parent = nullptr);

    quint32 identifier() const;
    quint32 mask() const;
    bool extended() const;

    void setIdentifier(quint32 identifier);
    void setMask(quint32 mask);
    void setExtended(bool extended);

    // Loading (no edited()) and storing, used by the enclosing message.
    void read(const ktbridge::CanFilter &message);
    void write(ktbridge::CanFilter *message) const;

signals:
    void identifierChanged();
    void maskChanged();
    void extendedChanged();

private:
    quint32 mIdentifier = 0;
    quint32 mMask = 0;
    bool mExtended = false;
};

} // namespace Can
} // namespace Pb
} // namespace QVt

#endif // QVTPB_CANFILTER_H
