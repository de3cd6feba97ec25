#include "comms/dataProvider.h"

#include "global/setting.h"

#include <QThread>

namespace QVt {
namespace Comms {

namespace {

// The four list functions QML gets: append, count, at and clear, over the provider's list.
QList<QObject *> *listOf(QQmlListProperty<QObject> *property)
{
    return static_cast<QList<QObject *> *>(property->data);
}

void appendSetting(QQmlListProperty<QObject> *property, QObject *setting)
{
    listOf(property)->append(setting);
}

int countSettings(QQmlListProperty<QObject> *property)
{
    return listOf(property)->count();
}

QObject *settingAt(QQmlListProperty<QObject> *property, int index)
{
    return listOf(property)->at(index);
}

void clearSettings(QQmlListProperty<QObject> *property)
{
    listOf(property)->clear();
}

} // namespace

DataProvider::DataProvider(QObject *parent)
    : QObject(parent)
{
}

DataProvider::~DataProvider()
{
    // Cut loose first, as QML may still hold them. On their own thread they go now: that
    // thread's loop may already have ended, and a deferred deletion would never run.
    // Elsewhere only their own thread's loop may delete them.
    while (!mSettings.isEmpty()) {
        QObject *setting = mSettings.takeLast();
        setting->disconnect();
        if (setting->thread() == QThread::currentThread())
            delete setting;
        else
            setting->deleteLater();
    }
}

QQmlListProperty<QObject> DataProvider::settings()
{
    if (mSettings.isEmpty()) {
        const QList<Global::Setting *> list = settingsList();
        for (Global::Setting *setting : list)
            mSettings.append(setting);
    }
    return QQmlListProperty<QObject>(this, &mSettings, &appendSetting, &countSettings, &settingAt,
                                     &clearSettings);
}

} // namespace Comms
} // namespace QVt
