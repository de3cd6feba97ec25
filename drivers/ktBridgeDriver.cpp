// The root object of one KT Bridge driver plug-in; the build picks the product. It also
// installs the translation of the device page for the user's language, for as long as
// the plug-in is loaded.
#include "drivers/ktBridgeDevice.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace QVt {
namespace Device {

class KtBridgeDriver : public KtBridgeDevice
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QVt_Device_AbstractDevice_iid)

public:
    KtBridgeDriver()
        : KtBridgeDevice(KtBridgeProduct::model(KtBridgeProduct::KTBRIDGE_MODEL))
    {
        auto *translator = new QTranslator(this);
        if (translator->load(QLocale(), QStringLiteral("ktbridge-driver"), QStringLiteral("_"),
                             QStringLiteral(":/ktbridge/translations")))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
};

} // namespace Device
} // namespace QVt

#include "ktBridgeDriver.moc"
