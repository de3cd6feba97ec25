#include "cli/configurationText.h"

#include "device/deviceFactory.h"
#include "sm/outcomeTexts.h"
#include "sm/wholeFile.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/canConfig.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/ktBridgeConfiguration.h>

#include "ktbridge.pb.h"

#include <google/protobuf/util/json_util.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>

#include <cstdio>

namespace QVt {
namespace Cli {

namespace {

using QVt::Pb::Configuration::File;
using QVt::Pb::KtBridge::Configuration;

const QString KEY_PRODUCT_ID = QStringLiteral("productId");
const QString KEY_FORMAT_VERSION = QStringLiteral("formatVersion");
const QString KEY_CONFIGURATION = QStringLiteral("configuration");

// The last warning a setter gave while a value was tried: the library's own reason.
QString gLastWarning;

void keepWarning(QtMsgType, const QMessageLogContext &, const QString &message)
{
    gLastWarning = message;
}

// Sets each named property of target to source's value through target's setter; false
// with "path.name: reason" for the first value the setter refuses.
bool copyThroughSetters(const QObject *source, QObject *target, const char *const *names, const QString &path,
                        QString *error)
{
    for (; *names; ++names) {
        const QVariant value = source->property(*names);
        if (target->property(*names) == value)
            continue;
        gLastWarning = QStringLiteral("not accepted");
        target->setProperty(*names, value);
        if (target->property(*names) != value) {
            *error = QStringLiteral("%1.%2: %3").arg(path, QLatin1String(*names), gLastWarning);
            return false;
        }
    }
    return true;
}

bool checkCan(const QVt::Pb::Can::Config *source, QVt::Pb::Can::Config *target, QString *error)
{
    static const char *const names[] = {"bitRate", "samplePoint", "listenOnly", "termination", nullptr};
    // The range of an identifier depends on the frame format, so the format goes first.
    static const char *const filterNames[] = {"extended", "identifier", "mask", nullptr};
    const QString path = QStringLiteral("configuration.can");
    if (!copyThroughSetters(source, target, names, path, error))
        return false;
    for (int i = 0; i < source->filterCount(); ++i) {
        if (!copyThroughSetters(source->filter(i), target->addFilter(), filterNames,
                                QStringLiteral("%1.filters[%2]").arg(path).arg(i), error))
            return false;
    }
    return true;
}

bool checkWlan(const QObject *source, QObject *target, QString *error)
{
    // A passphrase is tried while the security still allows any, then the security
    // checks it; the static address goes in as the one triple the page sets at once.
    static const char *const before[] = {"mode", "ssid", "passphrase", "security", "channel", nullptr};
    static const char *const after[] = {"ipMode", "tcpPort", nullptr};
    const QString path = QStringLiteral("configuration.wlanInterface.wlan");
    if (!copyThroughSetters(source, target, before, path, error))
        return false;
    const QString address = source->property("ipAddress").toString();
    const QString netmask = source->property("netmask").toString();
    const QString gateway = source->property("gateway").toString();
    if (!address.isEmpty() || !netmask.isEmpty() || !gateway.isEmpty()) {
        gLastWarning = QStringLiteral("not accepted");
        bool accepted = false;
        QMetaObject::invokeMethod(target, "setStaticAddress", Q_RETURN_ARG(bool, accepted), Q_ARG(QString, address),
                                  Q_ARG(QString, netmask), Q_ARG(QString, gateway));
        if (!accepted) {
            *error = QStringLiteral("%1.ipAddress: %2").arg(path, gLastWarning);
            return false;
        }
    }
    return copyThroughSetters(source, target, after, path, error);
}

bool checkInterface(const QVt::Pb::Interface::Config *source, QVt::Pb::Interface::Config *target,
                    const QString &name, QString *error)
{
    static const char *const enabled[] = {"enabled", nullptr};
    static const char *const bluetooth[] = {"deviceName", "pin", "discoverable", nullptr};
    const QString path = QStringLiteral("configuration.") + name;
    if (!copyThroughSetters(source, target, enabled, path, error))
        return false;
    if (name == QLatin1String("wlanInterface"))
        return checkWlan(source->object(), target->object(), error);
    return copyThroughSetters(source->object(), target->object(), bluetooth, path + QStringLiteral(".bluetooth"),
                              error);
}

// The interfaces the product's device object has.
Configuration::Interfaces interfacesOf(QVt::Device::AbstractDevice *device)
{
    Configuration::Interfaces interfaces;
    for (const auto &entry : {std::make_pair("wlanInterface", Configuration::INTERFACE_WLAN),
                              std::make_pair("bluetoothInterface", Configuration::INTERFACE_BLUETOOTH)}) {
        QVt::Pb::AbstractMessage *message = nullptr;
        if (QMetaObject::invokeMethod(device, entry.first, Q_RETURN_ARG(QVt::Pb::AbstractMessage *, message))
            && message)
            interfaces |= entry.second;
    }
    return interfaces;
}

// Every setting of body taken by a fresh configuration's setters, as the device page
// would set them one by one.
bool checkSettings(const ktbridge::Configuration &message, Configuration::Interfaces interfaces,
                   const QString &productName, QString *error)
{
    const struct
    {
        bool present;
        Configuration::eInterface flag;
        const char *name;
        const char *label;
    } wireless[] = {
        {message.has_wlan_interface(), Configuration::INTERFACE_WLAN, "wlanInterface", "WLAN"},
        {message.has_bluetooth_interface(), Configuration::INTERFACE_BLUETOOTH, "bluetoothInterface", "Bluetooth"},
    };
    for (const auto &entry : wireless) {
        if (entry.present && !interfaces.testFlag(entry.flag)) {
            *error = QStringLiteral("configuration.%1: the %2 has no %3 interface")
                         .arg(QLatin1String(entry.name), productName, QLatin1String(entry.label));
            return false;
        }
    }
    Configuration source(interfaces);
    if (!source.parse(QByteArray::fromStdString(message.SerializeAsString()))) {
        *error = QStringLiteral("configuration: cannot be encoded");
        return false;
    }
    Configuration target(interfaces);
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    bool accepted = checkCan(source.can(), target.can(), error);
    if (accepted && source.wlanInterface())
        accepted = checkInterface(source.wlanInterface(), target.wlanInterface(), QStringLiteral("wlanInterface"),
                                  error);
    if (accepted && source.bluetoothInterface())
        accepted = checkInterface(source.bluetoothInterface(), target.bluetoothInterface(),
                                  QStringLiteral("bluetoothInterface"), error);
    qInstallMessageHandler(previous);
    return accepted;
}

} // namespace

QByteArray ConfigurationText::toJson(const QByteArray &bytes, QString *error)
{
    File file;
    ktbridge::Configuration message;
    if (!file.load(bytes)) {
        *error = Sm::OutcomeTexts(nullptr).loadError(file.loadError());
        return QByteArray();
    }
    message.ParseFromArray(file.body().constData(), file.body().size());
    google::protobuf::util::JsonPrintOptions options;
    options.always_print_primitive_fields = true;
    std::string json;
    google::protobuf::util::MessageToJsonString(message, &json, options);
    const QJsonObject document{
        {KEY_PRODUCT_ID, file.productId()},
        {KEY_FORMAT_VERSION, int(File::FORMAT_VERSION)},
        {KEY_CONFIGURATION, QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()},
    };
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray ConfigurationText::fromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = parseError.error != QJsonParseError::NoError
                     ? QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset)
                     : QStringLiteral("not a JSON object");
        return QByteArray();
    }
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != KEY_PRODUCT_ID && it.key() != KEY_FORMAT_VERSION && it.key() != KEY_CONFIGURATION) {
            *error = QStringLiteral("%1: unknown field").arg(it.key());
            return QByteArray();
        }
    }
    if (object.value(KEY_FORMAT_VERSION).toInt(-1) != int(File::FORMAT_VERSION)) {
        *error = QStringLiteral("%1: must be %2").arg(KEY_FORMAT_VERSION).arg(File::FORMAT_VERSION);
        return QByteArray();
    }
    const QString productId = object.value(KEY_PRODUCT_ID).toString();
    const QSharedPointer<QVt::Device::AbstractDevice> device =
        QVt::Device::DeviceFactory::instance()->createDevice(productId);
    if (!device) {
        *error = QStringLiteral("%1: no driver supports product ID \"%2\"").arg(KEY_PRODUCT_ID, productId);
        return QByteArray();
    }
    if (!object.value(KEY_CONFIGURATION).isObject()) {
        *error = QStringLiteral("%1: missing").arg(KEY_CONFIGURATION);
        return QByteArray();
    }
    ktbridge::Configuration message;
    const QByteArray body = QJsonDocument(object.value(KEY_CONFIGURATION).toObject()).toJson(QJsonDocument::Compact);
    const auto status = google::protobuf::util::JsonStringToMessage(body.toStdString(), &message);
    if (!status.ok()) {
        *error = QStringLiteral("%1: %2").arg(KEY_CONFIGURATION, QString::fromStdString(status.ToString()));
        return QByteArray();
    }
    if (!checkSettings(message, interfacesOf(device.data()), device->name(), error))
        return QByteArray();
    return File::compose(productId, QByteArray::fromStdString(message.SerializeAsString()));
}

bool ConfigurationText::isJsonName(const QString &fileName)
{
    return fileName == QLatin1String("-") || fileName.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

QByteArray ConfigurationText::readFile(const QString &fileName, QString *error)
{
    QByteArray bytes;
    if (fileName == QLatin1String("-")) {
        QFile input;
        input.open(stdin, QIODevice::ReadOnly);
        bytes = input.readAll();
    } else if (!QVt::Sm::WholeFile::read(fileName, &bytes, error)) {
        *error = QStringLiteral("%1: %2").arg(fileName, *error);
        return QByteArray();
    }
    QString reason;
    if (isJsonName(fileName)) {
        bytes = fromJson(bytes, &reason);
    } else {
        File file;
        if (!file.load(bytes)) {
            reason = Sm::OutcomeTexts(nullptr).loadError(file.loadError());
            bytes.clear();
        }
    }
    if (bytes.isEmpty())
        *error = QStringLiteral("%1: %2").arg(fileName, reason);
    return bytes;
}

bool ConfigurationText::writeFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    QByteArray output = bytes;
    if (isJsonName(fileName)) {
        output = toJson(bytes, error);
        if (output.isEmpty())
            return false;
    }
    if (fileName == QLatin1String("-")) {
        std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
        std::fflush(stdout);
        return true;
    }
    if (QVt::Sm::WholeFile::write(fileName, output, error))
        return true;
    *error = QStringLiteral("%1: %2").arg(fileName, *error);
    return false;
}

} // namespace Cli
} // namespace QVt
