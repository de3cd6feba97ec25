#pragma once

#include <QObject>
#include <QVariant>
#include <QVariantList>

namespace QVt {
namespace Global {

// One named, typed, observable configuration value of a data provider, shown and
// edited generically by the connection settings window. Stores any value unchecked;
// refusing a value is the owner's business. Lives in the thread that created it
// (where QML reads it); owns nothing.
class Setting : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(quint8 type READ type CONSTANT)
    Q_PROPERTY(QVariant value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QVariantList comboValues READ comboValues CONSTANT)

public:
    // Which editor the user gets for the value.
    enum eSettingType : quint8 {
        SETTING_TYPE_BOOL = 0,
        SETTING_TYPE_TEXT = 1,
        SETTING_TYPE_COMBO = 2,
    };
    Q_ENUM(eSettingType)

    Setting(QString name, eSettingType type, QVariant value, QObject *parent = nullptr);
    Setting(QString name, eSettingType type, QVariantList comboValues, QVariant value,
            QObject *parent = nullptr);

    QString name() const;
    eSettingType type() const;
    QVariant value() const;
    QVariantList comboValues() const;

public slots:
    void setValue(QVariant value);

signals:
    void valueChanged(QVariant value);

private:
    const QString mName;
    const eSettingType mType;
    const QVariantList mComboValues;
    QVariant mValue;
};

} // namespace Global
} // namespace QVt
