// Prints how long the configuration bytes take to write and to read back: what a
// save, a load and every "S" and "L" exchange with a device cost on this machine.
#include <qvtpb/configurationFile.h>
#include <qvtpb/ktBridgeConfiguration.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

using QVt::Pb::KtBridge::Configuration;

namespace {

constexpr int Rounds = 2000;
const QString ProductId = QStringLiteral("0000c0de0003");

void fill(Configuration *config, int filters)
{
    config->wlanInterface()->setEnabled(true);
    config->wlan()->setSsid(QStringLiteral("KT-Bridge-0003"));
    config->wlan()->setSecurityAndPassphrase(QVt::Pb::Network::WlanConfig::SECURITY_WPA2_PSK,
                                             QStringLiteral("a passphrase of some length"));
    config->wlan()->setTcpPort(2323);
    config->bluetooth()->setDeviceName(QStringLiteral("KT Bridge CWB"));
    config->deviceInfo()->setSerialNumber(4711);
    for (int i = 0; i < filters; ++i)
        config->can()->addFilter()->setIdentifier(quint32(i));
}

// Microseconds per call of work, averaged over Rounds calls.
double measure(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i)
        work();
    return double(timer.nsecsElapsed()) / Rounds / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    out << "filters  bytes  write us  load us  load+parse us\n";
    for (int filters : {0, 16, 256}) {
        Configuration config(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
        fill(&config, filters);
        const QByteArray bytes = QVt::Pb::Configuration::File::compose(ProductId, config.serialize());

        const double write = measure([&config] {
            QVt::Pb::Configuration::File::compose(ProductId, config.serialize());
        });
        const double load = measure([&bytes] {
            QVt::Pb::Configuration::File file;
            file.load(bytes);
        });
        Configuration target(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
        const double loadAndParse = measure([&bytes, &target] {
            QVt::Pb::Configuration::File file;
            if (file.load(bytes))
                target.parse(file.body());
        });
        out << qSetFieldWidth(7) << filters << qSetFieldWidth(7) << bytes.size() << qSetFieldWidth(10)
            << QString::number(write, 'f', 1) << qSetFieldWidth(9) << QString::number(load, 'f', 1)
            << qSetFieldWidth(15) << QString::number(loadAndParse, 'f', 1) << qSetFieldWidth(0) << "\n";
    }
    return 0;
}
