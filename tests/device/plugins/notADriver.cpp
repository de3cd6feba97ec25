// A valid Qt plug-in whose root object is no device.
#include <QObject>

class NotADriver : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.ktbridge.test.NotADriver")
};

#include "notADriver.moc"
