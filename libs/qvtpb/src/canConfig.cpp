#include <qvtpb/canConfig.h>

#include "enumerators.h"
#include "ktbridge.pb.h"

#include <QDebug>

namespace QVt {
namespace Pb {
namespace Can {

namespace {

constexpr quint32 StandardIdentifierMask = 0x7ff;
constexpr quint32 MaximumSamplePoint = 999;

int countFilters(QQmlListProperty<Filter> *list)
{
    return static_cast<Config *>(list->object)->filterCount();
}

Filter *filterAt(QQmlListProperty<Filter> *list, int index)
{
    return static_cast<Config *>(list->object)->filter(index);
}

} // namespace

Config::Config(QObject *parent)
    : AbstractMessage(parent)
{
}

Config::eBitRate Config::bitRate() const { return mBitRate; }
quint32 Config::samplePoint() const { return mSamplePoint; }
bool Config::listenOnly() const { return mListenOnly; }
bool Config::termination() const { return mTermination; }

void Config::setBitRate(eBitRate bitRate)
{
    if (!isEnumerator<eBitRate>(bitRate)) {
        qWarning() << "Refused CAN bit rate" << int(bitRate);
        return;
    }
    edit(mBitRate, bitRate, &Config::bitRateChanged);
}

void Config::setSamplePoint(quint32 samplePoint)
{
    if (samplePoint < 1 || samplePoint > MaximumSamplePoint) {
        qWarning() << "Refused CAN sample point" << samplePoint;
        return;
    }
    edit(mSamplePoint, samplePoint, &Config::samplePointChanged);
}

void Config::setListenOnly(bool listenOnly)
{
    edit(mListenOnly, listenOnly, &Config::listenOnlyChanged);
}

void Config::setTermination(bool termination)
{
    edit(mTermination, termination, &Config::terminationChanged);
}

QQmlListProperty<Filter> Config::filters()
{
    return QQmlListProperty<Filter>(this, nullptr, &countFilters, &filterAt);
}

int Config::filterCount() const
{
    return mFilters.size();
}

Filter *Config::filter(int index) const
{
    return mFilters.value(index, nullptr);
}

Filter *Config::addFilter()
{
    auto *filter = new Filter;
    filter->setMask(StandardIdentifierMask);
    appendFilter(filter);
    emit filtersChanged();
    emit edited();
    return filter;
}

bool Config::removeFilter(int index)
{
    if (index < 0 || index >= mFilters.size())
        return false;
    delete mFilters.takeAt(index);
    emit filtersChanged();
    emit edited();
    return true;
}

void Config::appendFilter(Filter *filter)
{
    adopt(filter);
    mFilters.append(filter);
}

void Config::read(const ktbridge::CanConfig &message)
{
    // Zero means the field is absent (bytes from before it existed): take the default.
    const eBitRate bitRate = toEnumerator(int(message.bit_rate()), DefaultBitRate);
    if (message.bit_rate() != 0 && int(bitRate) != int(message.bit_rate()))
        qWarning() << "Unsupported CAN bit rate" << message.bit_rate();
    assign(mBitRate, bitRate, &Config::bitRateChanged);
    const quint32 samplePoint = message.sample_point();
    assign(mSamplePoint, samplePoint > 0 && samplePoint <= MaximumSamplePoint ? samplePoint : DefaultSamplePoint,
           &Config::samplePointChanged);
    assign(mListenOnly, message.listen_only(), &Config::listenOnlyChanged);
    assign(mTermination, message.termination(), &Config::terminationChanged);

    // Existing filter objects are reused so that views bound to them stay valid.
    const int count = message.filters_size();
    const bool resized = count != mFilters.size();
    while (mFilters.size() > count)
        delete mFilters.takeLast();
    while (mFilters.size() < count)
        appendFilter(new Filter);
    for (int i = 0; i < count; ++i)
        mFilters.at(i)->read(message.filters(i));
    if (resized)
        emit filtersChanged();
}

void Config::write(ktbridge::CanConfig *message) const
{
    message->set_bit_rate(quint32(mBitRate));
    message->set_sample_point(mSamplePoint);
    message->set_listen_only(mListenOnly);
    message->set_termination(mTermination);
    message->clear_filters();
    for (const Filter *filter : mFilters)
        filter->write(message->add_filters());
}

} // namespace Can
} // namespace Pb
} // namespace QVt
