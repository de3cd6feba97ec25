#include "comms/dataProvider.h"

#include "global/setting.h"

namespace QVt::Comms {

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
    // QML may still hold these objects in its own thread: cut them loose first, and
    // let their own event loop delete them.
    while (!mSettings.isEmpty()) {
        QObject *setting = mSettings.takeLast();
        setting->disconnect();
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

} // namespace QVt::Comms
