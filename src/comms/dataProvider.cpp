#include "comms/dataProvider.h"

#include "global/setting.h"

#include <QThread>

namespace QVt {
namespace Comms {

namespace {

// The two list functions QML gets, count and at, over the provider's list: the settings
// are the provider's, and QML may read them but neither add nor remove any.
QList<QObject *> *listOf(QQmlListProperty<QObject> *property)
{
    return static_cast<QList<QObject *> *>(property->data);
}

int countSettings(QQmlListProperty<QObject> *property)
{
    return listOf(property)->count();
}

QObject *settingAt(QQmlListProperty<QObject> *property, int index)
{
    return listOf(property)->at(index);
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
    return QQmlListProperty<QObject>(this, &mSettings, &countSettings, &settingAt);
}

} // namespace Comms
} // namespace QVt
