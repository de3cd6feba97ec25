// The support archive: a ZIP that holds the current configuration ("config.bgc", with
// the WLAN passphrase and the Bluetooth PIN emptied, as users mail these archives) and
// a text about the application and the device ("details.txt"), built in memory so
// that writing it to disk is one checked whole-file write. Static functions only;
// owns nothing; runs on the GUI thread, where the device object lives.
#pragma once

#include <qvtbusgate/abstractDevice.h>

#include <QByteArray>
#include <QString>

namespace QVt {
namespace Sm {

class SupportArchive
{
public:
    // The archive's bytes for the device and the identification text the connected
    // device gave (empty while none is connected); empty when the archive could not
    // be built, and then reason says why.
    static QByteArray build(QVt::Device::AbstractDevice *device, const QString &deviceIdString, QString *reason);

private:
    // The configuration bytes with the passphrase and the PIN emptied; empty when they
    // cannot be parsed, so that nothing unsearched leaves the machine.
    static QByteArray withoutSecrets(const QByteArray &configuration);
    // The text of "details.txt".
    static QByteArray details(QVt::Device::AbstractDevice *device, const QString &deviceIdString);
};

} // namespace Sm
} // namespace QVt
