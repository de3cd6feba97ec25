// The CAN side of a device: bit rate, sample point, listen-only, termination
// resistor and the list of acceptance filters, which it owns as QObject children
// (QML sees them as the read-only list property filters and edits the list with
// addFilter() and removeFilter()). Owned by its KtBridge::Configuration; lives in
// its owner's thread.
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
    Q_PROPERTY(quint32 bitRate READ bitRate WRITE setBitRate NOTIFY bitRateChanged)
    Q_PROPERTY(quint32 samplePoint READ samplePoint WRITE setSamplePoint NOTIFY samplePointChanged)
    Q_PROPERTY(bool listenOnly READ listenOnly WRITE setListenOnly NOTIFY listenOnlyChanged)
    Q_PROPERTY(bool termination READ termination WRITE setTermination NOTIFY terminationChanged)
    Q_PROPERTY(QQmlListProperty<QVt::Pb::Can::Filter> filters READ filters NOTIFY filtersChanged)
    Q_PROPERTY(int filterCount READ filterCount NOTIFY filtersChanged)

public:
    // What a CAN controller can be set to; which rates a page offers is the page's choice.
    static constexpr quint32 MAX_BIT_RATE = 1000000;
    static constexpr quint32 MAX_SAMPLE_POINT = 999;

    explicit Config(QObject *parent = nullptr);

    // Bits per second.
    quint32 bitRate() const;
    // Per mille of the bit time: 875 is 87.5 %.
    quint32 samplePoint() const;
    bool listenOnly() const;
    bool termination() const;

    // Setters refuse a value outside 1 to MAX_BIT_RATE, or 1 to MAX_SAMPLE_POINT, with a
    // warning. Loading keeps whatever the bytes hold; bytes that lack the bit rate or
    // sample point load 500 kbit/s and 875.
    void setBitRate(quint32 bitRate);
    void setSamplePoint(quint32 samplePoint);
    void setListenOnly(bool listenOnly);
    void setTermination(bool termination);

    QQmlListProperty<Filter> filters();
    int filterCount() const;
    // Null when index is out of range.
    Filter *filter(int index) const;

    // The index of another filter than the one at index with these settings, or -1: two
    // equal filters pass the same frames, so the filters' setters refuse a duplicate.
    Q_INVOKABLE int duplicateOf(int index, quint32 identifier, quint32 mask, bool extended) const;

    // Appends a filter for exactly the lowest standard identifier no filter of that
    // kind (mask 0x7ff) holds yet, and returns it; null when all 2048 are taken.
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
    static constexpr quint32 DEFAULT_BIT_RATE = 500000;
    static constexpr quint32 DEFAULT_SAMPLE_POINT = 875;

    void appendFilter(Filter *filter);

    quint32 mBitRate = DEFAULT_BIT_RATE;
    quint32 mSamplePoint = DEFAULT_SAMPLE_POINT;
    bool mListenOnly = false;
    bool mTermination = false;
    QList<Filter *> mFilters;
};

} // namespace Can
} // namespace Pb
} // namespace QVt

#endif // QVTPB_CANCONFIG_H
