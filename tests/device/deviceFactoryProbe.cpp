// Runs the device factory as the program does, from wherever this executable was
// copied to, and prints what it offers; product IDs given as arguments are created.
#include "device/deviceFactory.h"

#include <QCoreApplication>
#include <QTextStream>

using QVt::Device::DeviceFactory;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    DeviceFactory *factory = DeviceFactory::instance();

    QTextStream out(stdout);
    out << "names: " << factory->supportedDeviceNames().join(QLatin1Char('|')) << '\n';
    out << "ids: " << factory->supportedDeviceProductIds().join(QLatin1Char('|')) << '\n';
    for (const QString &productId : app.arguments().mid(1)) {
        const auto device = factory->createDevice(productId);
        out << "create " << productId << ": ";
        if (device)
            out << device->name() << " [" << device->productIds().join(QLatin1Char(',')) << "]\n";
        else
            out << "null\n";
    }
    return 0;
}
