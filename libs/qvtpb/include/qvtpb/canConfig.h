// The CAN side of a device: bit rate, sample point, listen-only, termination
// resistor and the list of acceptance filters, which it owns as QObject children
// (QML sees them as the list property filters and edits the list with addFilter()
// and removeFilter()). Owned by its KtBridge::Configuration; lives in its owner's thread.
#ifndef QVTPB_CANCONFIG_H
#define QVTPB_CANCONFIG_H

#include <qvtpb/abstractMessage.h>
#include <qvtpb/canFilter.h>

#include <QList>
#include <QQmlListProperty>

namespace ktbridge {
class CanConfig;
}

namespace QVt {
namespace Pb {
namespace Can {

class QVTPB_EXPORT Config : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(eBitRate bitRate READ bitRate WRITE setBitRate NOTIFY bitRateChanged)
    Q_PROPERTY(quint32 samplePoint READ samplePoint WRITE setSamplePoint NOTIFY samplePointChanged)
    Q_PROPERTY(bool listenOnly READ listenOnly WRITE setListenOnly NOTIFY listenOnlyChanged)
    Q_PROPERTY(bool termination READ termination WRITE setTermination NOTIFY terminationChanged)
    Q_PROPERTY(QQmlListProperty<QVt::Pb::Can::Filter> filters READ filters NOTIFY filtersChanged)
    Q_PROPERTY(int filterCount READ filterCount NOTIFY filtersChanged)

public:
    // The standard CAN bit rates, in bits per second. A fixed underlying type, so that any
    // number QML writes is a value of the type that setBitRate() can refuse.
    enum eBitRate : int {
        BIT_RATE_10K = 10000,
        BIT_RATE_20K = 20000,
        BIT_RATE_50K = 50000,
        BIT_RATE_100K = 100000,
        BIT_RATE_125K = 125000,
        BIT_RATE_250K = 250000,
        BIT_RATE_500K = 500000,
        BIT_RATE_800K = 800000,
        BIT_RATE_1M = 1000000,
    };
    Q_ENUM(eBitRate)

    explicit Config(QObject *parent = nullptr);

    eBitRate bitRate() const;
    // Per mille of the bit time: 875 is 87.5 %.
    quint32 samplePoint() const;
    bool listenOnly() const;
    bool termination() const;

    // A value that is no standard rate is refused with a warning.
    void setBitRate(eBitRate bitRate);
    // Values from 1 to 999 are taken; others are refused with a warning. Bytes that
    // lack the bit rate or sample point load the defaults, 500 kbit/s and 875.
    void setSamplePoint(quint32 samplePoint);
    void setListenOnly(bool listenOnly);
    void setTermination(bool termination);

    QQmlListProperty<Filter> filters();
    int filterCount() const;
    // Null when index is out of range.
    Filter *filter(int index) const;

    // Appends a filter for exactly the standard identifier 0 (mask 0x7ff) and returns it.
    Q_INVOKABLE QVt::Pb::Can::Filter *addFilter();
    // Deletes the filter at index; false when index is out of range.
    Q_INVOKABLE bool removeFilter(int index);

    // Loading (no edited()) and storing, used by the enclosing message.
    void read(const ktbridge::CanConfig &message);
    void write(ktbridge::CanConfig *message) const;

signals:
    void bitRateChanged();
    void samplePointChanged();
    void listenOnlyChanged();
    void terminationChanged();
    // The list of filters grew or shrank.
    void filtersChanged();

private:
    static constexpr eBitRate DefaultBitRate = BIT_RATE_500K;
    static constexpr quint32 DefaultSamplePoint = 875;

    void appendFilter(Filter *filter);

    eBitRate mBitRate = DefaultBitRate;
    quint32 mSamplePoint = DefaultSamplePoint;
    bool mListenOnly = false;
    bool mTermination = false;
    QList<Filter *> mFilters;
};

} // namespace Can
} // namespace Pb
} // namespace QVt

#endif // QVTPB_CANCONFIG_H
