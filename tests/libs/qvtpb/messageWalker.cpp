#include "messageWalker.h"

#include <qvtpb/canConfig.h>
#include <qvtpb/ktBridgeConfiguration.h>

#include <QMetaEnum>

namespace MessageWalker {

namespace {

QObject *objectValue(const QObject *object, const QMetaProperty &property)
{
    return property.read(object).value<QObject *>();
}

bool isObjectProperty(const QMetaProperty &property)
{
    return QMetaType::typeFlags(property.userType()).testFlag(QMetaType::PointerToQObject);
}

// Fills the dotted paths of writable properties in order and their values by path,
// with the filter count of a CAN configuration.
void collect(const QObject *object, const QString &prefix, QStringList *paths, QVariantMap *values)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QString path = prefix + QLatin1String(property.name());
        if (isObjectProperty(property)) {
            if (const QObject *child = objectValue(object, property))
                collect(child, path + QLatin1Char('.'), paths, values);
        } else if (property.isWritable()) {
            paths->append(path);
            values->insert(path, property.read(object));
        }
    }
    if (const auto *can = qobject_cast<const QVt::Pb::Can::Config *>(object)) {
        values->insert(prefix + QLatin1String("filterCount"), can->filterCount());
        for (int i = 0; i < can->filterCount(); ++i)
            collect(can->filter(i), prefix + QStringLiteral("filters.%1.").arg(i), paths, values);
    }
}

} // namespace

QStringList writablePaths(const QObject *root)
{
    QStringList paths;
    QVariantMap values;
    collect(root, QString(), &paths, &values);
    return paths;
}

QObject *holder(QObject *root, const QString &path, QMetaProperty *property)
{
    QObject *object = root;
    const QStringList names = path.split(QLatin1Char('.'));
    for (int i = 0; object && i < names.size(); ++i) {
        if (auto *can = qobject_cast<QVt::Pb::Can::Config *>(object); can && names.at(i) == QLatin1String("filters")) {
            object = ++i < names.size() ? can->filter(names.at(i).toInt()) : nullptr;
            continue;
        }
        const QMetaObject *meta = object->metaObject();
        const int index = meta->indexOfProperty(names.at(i).toLatin1().constData());
        if (index < 0)
            return nullptr;
        if (i == names.size() - 1) {
            *property = meta->property(index);
            return object;
        }
        object = objectValue(object, meta->property(index));
    }
    return nullptr;
}

QVariant otherValue(const QMetaProperty &property, const QVariant &current, int seed)
{
    if (property.isEnumType()) {
        const QMetaEnum enumeration = property.enumerator();
        for (int i = 0; i < enumeration.keyCount(); ++i) {
            const int candidate = enumeration.value((i + seed) % enumeration.keyCount());
            if (candidate != current.toInt())
                return candidate;
        }
        return QVariant();
    }
    // Values the setters take: another host in the baseline's subnet, a wider netmask,
    // a PIN of digits, a channel the radio has.
    const QByteArray name = property.name();
    if (name == "ipAddress" || name == "gateway")
        return QStringLiteral("192.168.4.%1").arg(100 + seed);
    if (name == "netmask")
        return QStringLiteral("255.255.0.0");
    if (name == "pin")
        return QStringLiteral("%1").arg(4321 + seed);
    if (name == "channel")
        return QVariant::fromValue(current.toUInt() % 13 + 1);
    switch (int(property.userType())) {
    case QMetaType::Bool:
        return !current.toBool();
    case QMetaType::UInt:
        return QVariant::fromValue(current.toUInt() % 900 + 1 + uint(seed));
    case QMetaType::LongLong:
        return QVariant::fromValue(current.toLongLong() + 1 + seed);
    case QMetaType::QString:
        return QVariant(current.toString() + QStringLiteral("v%1").arg(seed));
    default:
        return QVariant();
    }
}

void applyValidBaseline(QVt::Pb::KtBridge::Configuration *config)
{
    if (QVt::Pb::Network::WlanConfig *wlan = config->wlan()) {
        wlan->setSsid(QStringLiteral("Workshop"));
        wlan->setSecurityAndPassphrase(QVt::Pb::Network::WlanConfig::SECURITY_WPA2_PSK, QStringLiteral("correct horse"));
        wlan->setStaticAddress(QStringLiteral("192.168.4.1"), QStringLiteral("255.255.255.0"), QString());
        wlan->setTcpPort(20001);
    }
    if (QVt::Pb::Network::BluetoothConfig *bluetooth = config->bluetooth()) {
        bluetooth->setDeviceName(QStringLiteral("Bridge"));
        bluetooth->setPin(QStringLiteral("1234"));
    }
}

QVariantMap snapshot(const QObject *root)
{
    QStringList paths;
    QVariantMap values;
    collect(root, QString(), &paths, &values);
    return values;
}

void editEverything(QObject *root, QVt::Pb::Can::Config *can)
{
    const QStringList paths = writablePaths(root);
    for (int i = 0; i < paths.size(); ++i) {
        QMetaProperty property;
        QObject *object = holder(root, paths.at(i), &property);
        property.write(object, otherValue(property, property.read(object), i));
    }
    QVt::Pb::Can::Filter *standard = can->addFilter();
    standard->setIdentifier(0x123);
    QVt::Pb::Can::Filter *extended = can->addFilter();
    extended->setExtended(true);
    extended->setIdentifier(0x1abcdef0);
    extended->setMask(0x1fffff00);
}

} // namespace MessageWalker
