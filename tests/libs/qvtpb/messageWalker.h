// Test helper: reaches every property of a tree of message wrappers through the
// meta-object system, so that tests cover each field without listing them twice.
#ifndef MESSAGEWALKER_H
#define MESSAGEWALKER_H

#include <QMetaProperty>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace QVt::Pb::Can {
class Config;
}
namespace QVt::Pb::KtBridge {
class Configuration;
}

namespace MessageWalker {

// Dotted paths ("can.bitRate", "wlanInterface.object.ssid", "can.filters.0.mask")
// of every writable property below root, following QObject-valued properties and
// the filters of a CAN configuration.
QStringList writablePaths(const QObject *root);

// The object that holds the property at path, and the property; null when absent.
QObject *holder(QObject *root, const QString &path, QMetaProperty *property);

// A value the setter of property takes that differs from current (another enumerator,
// the next number, the negated flag, a longer text), starting from the baseline below.
QVariant otherValue(const QMetaProperty &property, const QVariant &current, int seed);

// Valid network settings for a blank configuration, which has none: the setters
// refuse changes that do not fit the settings beside them.
void applyValidBaseline(QVt::Pb::KtBridge::Configuration *config);

// Every readable value below root, by dotted path; the filters of a CAN
// configuration appear as "can.filters.<index>.<property>".
QVariantMap snapshot(const QObject *root);

// Gives every writable property below root a value other than its current one, then
// adds a standard and an extended filter to can.
void editEverything(QObject *root, QVt::Pb::Can::Config *can);

} // namespace MessageWalker

#endif // MESSAGEWALKER_H
