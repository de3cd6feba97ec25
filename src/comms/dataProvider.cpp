#include "comms/dataProvider.h"

#include "global/setting.h"

namespace QVt::Comms {

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
    return QQmlListProperty<QObject>(this, &mSettings);
}

} // namespace QVt::Comms
