#include "global/setting.h"

#include <utility>

namespace QVt {
namespace Global {

Setting::Setting(QString name, eSettingType type, QVariant value, QObject *parent)
    : Setting(std::move(name), type, QVariantList(), std::move(value), parent)
{
}

Setting::Setting(QString name, eSettingType type, QVariantList comboValues, QVariant value,
                 QObject *parent)
    : QObject(parent)
    , mName(std::move(name))
    , mType(type)
    , mComboValues(std::move(comboValues))
    , mValue(std::move(value))
{
}

QString Setting::name() const
{
    return mName;
}

Setting::eSettingType Setting::type() const
{
    return mType;
}

QVariant Setting::value() const
{
    return mValue;
}

QVariantList Setting::comboValues() const
{
    return mComboValues;
}

void Setting::setValue(QVariant value)
{
    if (value == mValue)
        return;
    mValue = std::move(value);
    emit valueChanged(mValue);
}

} // namespace Global
} // namespace QVt
