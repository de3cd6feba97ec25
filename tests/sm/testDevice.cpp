#include "testDevice.h"

#include <utility>

namespace {

QStringList entries;

} // namespace

void TestDevice::log(const QString &entry)
{
    entries.append(entry);
}

QStringList TestDevice::takeLog()
{
    return std::exchange(entries, {});
}
