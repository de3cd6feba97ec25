// A configuration's settings as a person reads them: grouped as the device page groups
// them (tab, then box), with the page's labels and units. Serves show, diff and the
// verification after a write. Plain value type; no thread of its own.
#pragma once

#include <QList>
#include <QString>

#include <string>

namespace ktbridge {
class Configuration;
}

namespace QVt {
namespace Cli {

class SettingList
{
public:
    struct Setting
    {
        QString group; // "CAN / Bus"
        QString label; // "Bit rate"
        QString text;  // "500 kbit/s"
        // What is compared: the text, or for a secret, which is never shown, its value.
        QString value;
    };

    // The settings of configuration bytes (header and body); an empty list when they do
    // not load. What the unit reports about itself is no setting and is left out.
    static SettingList fromBytes(const QByteArray &bytes);

    const QList<Setting> &settings() const { return mSettings; }
    // Group, label and text, one setting a line, a blank line between groups.
    QString text() const;
    // "group / label: this -> other" for every setting that differs, in page order.
    QStringList differences(const SettingList &other) const;

private:
    void add(const QString &group, const QString &label, const QString &text, const QString &value = QString());
    void addSecret(const QString &group, const QString &label, const std::string &value);
    void addConfiguration(const ktbridge::Configuration &message);

    QList<Setting> mSettings;
};

} // namespace Cli
} // namespace QVt
