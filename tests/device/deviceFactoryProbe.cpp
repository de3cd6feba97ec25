// Runs a device factory on a driver folder in a process of its own (a plug-in, once
// loaded, stays for the life of the process) and prints what it offers.
// Arguments: the driver folder, then product IDs to create.
#include "device/deviceFactory.h"
#include "global/logging.h"

#include <QCoreApplication>
#include <QTextStream>

using QVt::Device::DeviceFactory;

int main(int argc, char *argv[])
{
    // Warnings as the program prints them.
    QVt::Global::useBareMessages();
    QCoreApplication app(argc, argv);
    DeviceFactory factory(app.arguments().value(1), nullptr);

    QTextStream out(stdout);
    out << "names: " << factory.supportedDeviceNames().join(QLatin1Char('|')) << '\n';
    out << "ids: " << factory.supportedDeviceProductIds().join(QLatin1Char('|')) << '\n';
    for (const QString &productId : app.arguments().mid(2)) {
        const auto device = factory.createDevice(productId);
        out << "create " << productId << ": ";
        if (device)
            out << device->name() << " [" << device->productIds().join(QLatin1Char(',')) << "]\n";
        else
            out << "null\n";
    }
    return 0;
}
