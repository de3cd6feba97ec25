#include <qvtpb/canConfig.h>

#include "ktbridge.pb.h"

#include <QDebug>

namespace QVt {
namespace Pb {
namespace Can {

namespace {

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

quint32 Config::bitRate() const { return mBitRate; }
quint32 Config::samplePoint() const { return mSamplePoint; }
bool Config::listenOnly() const { return mListenOnly; }
bool Config::termination() const { return mTermination; }

void Config::setBitRate(quint32 bitRate)
{
    if (bitRate < 1 || bitRate > MAX_BIT_RATE) {
        qWarning() << "Refused CAN bit rate" << bitRate;
        return;
    }
    edit(mBitRate, bitRate, &Config::bitRateChanged);
}

void Config::setSamplePoint(quint32 samplePoint)
{
    if (samplePoint < 1 || samplePoint > MAX_SAMPLE_POINT) {
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

int Config::duplicateOf(int index, quint32 identifier, quint32 mask, bool extended) const
{
    for (int i = 0; i < mFilters.size(); ++i) {
        const Filter *other = mFilters.at(i);
        if (i != index && other->identifier() == identifier && other->mask() == mask
                && other->extended() == extended)
            return i;
    }
    return -1;
}

Filter *Config::addFilter()
{
    quint32 identifier = 0;
    while (duplicateOf(-1, identifier, Filter::MAX_STANDARD_IDENTIFIER, false) >= 0) {
        if (++identifier > Filter::MAX_STANDARD_IDENTIFIER)
            return nullptr;
    }
    auto *filter = new Filter;
    filter->setMask(Filter::MAX_STANDARD_IDENTIFIER);
    filter->setIdentifier(identifier);
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
    // What a unit or file holds is kept as it is, even where no setter would take it, so
    // that a read followed by a write changes nothing behind the user's back. Zero means
    // the field is absent (bytes from before it existed): take the default.
    assign(mBitRate, message.bit_rate() != 0 ? quint32(message.bit_rate()) : DEFAULT_BIT_RATE,
           &Config::bitRateChanged);
    assign(mSamplePoint, message.sample_point() != 0 ? quint32(message.sample_point()) : DEFAULT_SAMPLE_POINT,
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
    message->set_bit_rate(mBitRate);
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
