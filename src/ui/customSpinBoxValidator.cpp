#include "ui/customSpinBoxValidator.h"

#include <QRegExp>
#include <QRegExpValidator>
#include <QtMath>

#include <algorithm>
#include <limits>

CustomSpinBoxValidator::CustomSpinBoxValidator(QObject *parent)
    : QValidator(parent)
    , mDecimalChecker(0.0, 99.0, 0)
    , mWholeNumberChecker(new QRegExpValidator(QRegExp(QStringLiteral("-?[0-9A-Fa-f]+")), this))
{
    mDecimalChecker.setNotation(QDoubleValidator::StandardNotation);

    // The display text never carries group separators, so that what the user
    // sees can be typed back unchanged.
    QLocale displayLocale;
    displayLocale.setNumberOptions(displayLocale.numberOptions() | QLocale::OmitGroupSeparator);
    setLocale(displayLocale);

    connect(this, &CustomSpinBoxValidator::valueChanged, this, &CustomSpinBoxValidator::textChanged);
    connect(this, &CustomSpinBoxValidator::minimumValueChanged, this, &CustomSpinBoxValidator::textChanged);
    connect(this, &CustomSpinBoxValidator::maximumValueChanged, this, &CustomSpinBoxValidator::textChanged);
    connect(this, &CustomSpinBoxValidator::decimalsChanged, this, &CustomSpinBoxValidator::textChanged);
    connect(this, &CustomSpinBoxValidator::prefixChanged, this, &CustomSpinBoxValidator::textChanged);
    connect(this, &CustomSpinBoxValidator::suffixChanged, this, &CustomSpinBoxValidator::textChanged);
    connect(this, &CustomSpinBoxValidator::radixChanged, this, &CustomSpinBoxValidator::textChanged);
}

QString CustomSpinBoxValidator::text() const
{
    return textFromValue(mValue);
}

double CustomSpinBoxValidator::value() const
{
    return mValue;
}

double CustomSpinBoxValidator::minimumValue() const
{
    return mDecimalChecker.bottom();
}

double CustomSpinBoxValidator::maximumValue() const
{
    return mDecimalChecker.top();
}

int CustomSpinBoxValidator::decimals() const
{
    return mDecimalChecker.decimals();
}

double CustomSpinBoxValidator::stepSize() const
{
    return mStepSize;
}

QString CustomSpinBoxValidator::prefix() const
{
    return mPrefix;
}

QString CustomSpinBoxValidator::suffix() const
{
    return mSuffix;
}

int CustomSpinBoxValidator::radix() const
{
    return mRadix;
}

void CustomSpinBoxValidator::setValue(double value)
{
    // NaN (say, from arithmetic on an empty QML binding) is no number to show.
    if (qIsNaN(value))
        return;
    // QML assigns properties in any order; limits are only enforced once all are known.
    if (mInitialized) {
        value = std::max(std::min(value, maximumValue()), minimumValue());
        value = QString::number(value, 'f', decimals()).toDouble();
    }
    if (value == mValue)
        return;
    mValue = value;
    if (mInitialized)
        emit valueChanged();
}

void CustomSpinBoxValidator::setMinimumValue(double minimumValue)
{
    if (minimumValue == this->minimumValue())
        return;
    mDecimalChecker.setBottom(minimumValue);
    emit minimumValueChanged();
    if (mInitialized)
        setValue(mValue);
}

void CustomSpinBoxValidator::setMaximumValue(double maximumValue)
{
    if (maximumValue == this->maximumValue())
        return;
    mDecimalChecker.setTop(maximumValue);
    emit maximumValueChanged();
    if (mInitialized)
        setValue(mValue);
}

void CustomSpinBoxValidator::setDecimals(int decimals)
{
    if (decimals == this->decimals())
        return;
    mDecimalChecker.setDecimals(decimals);
    emit decimalsChanged();
    if (mInitialized)
        setValue(mValue);
}

void CustomSpinBoxValidator::setStepSize(double stepSize)
{
    if (stepSize == mStepSize)
        return;
    mStepSize = stepSize;
    emit stepSizeChanged();
}

void CustomSpinBoxValidator::setPrefix(const QString &prefix)
{
    if (prefix == mPrefix)
        return;
    mPrefix = prefix;
    emit prefixChanged();
}

void CustomSpinBoxValidator::setSuffix(const QString &suffix)
{
    if (suffix == mSuffix)
        return;
    mSuffix = suffix;
    emit suffixChanged();
}

void CustomSpinBoxValidator::setRadix(int radix)
{
    if (radix == mRadix)
        return;
    mRadix = radix;
    emit radixChanged();
}

QString CustomSpinBoxValidator::textFromValue(double value) const
{
    if (mRadix == 10)
        return mPrefix + locale().toString(value, 'f', decimals()) + mSuffix;

    // Converting a double outside the int range is undefined, so saturate first.
    const double whole = std::max(std::min(value, double(std::numeric_limits<int>::max())),
                                  double(std::numeric_limits<int>::min()));
    const qint64 integer = static_cast<int>(whole);
    // QString::number writes negative numbers in bases other than 10 as two's
    // complement; the field shows a minus sign and the magnitude instead.
    QString digits = QString::number(qAbs(integer), wholeNumberBase());
    if (integer < 0)
        digits.prepend(QLatin1Char('-'));
    return mPrefix + digits + mSuffix;
}

QValidator::State CustomSpinBoxValidator::validate(QString &input, int &pos) const
{
    if (pos > 0 && pos < input.length()) {
        const QChar typed = input.at(pos - 1);
        if (typed == locale().groupSeparator())
            return Invalid;
        if (typed == locale().decimalPoint() && decimals() == 0)
            return Invalid;
    }

    if (!mPrefix.isEmpty() && !input.startsWith(mPrefix)) {
        input.prepend(mPrefix);
        pos += mPrefix.length();
    }
    if (!mSuffix.isEmpty() && !input.endsWith(mSuffix))
        input.append(mSuffix);

    const int numberLength = std::max(0, input.length() - mPrefix.length() - mSuffix.length());
    QString number = input.mid(mPrefix.length(), numberLength);
    int numberPos = pos - mPrefix.length();
    input = mPrefix + number + mSuffix;
    pos = mPrefix.length() + numberPos;

    if (mStrictRange) {
        const double parsed = valueFromText(input);
        if (mRadix == 10 && mDecimalChecker.validate(number, numberPos) == Invalid)
            return Invalid;
        if (mRadix != 10 && mWholeNumberChecker->validate(number, numberPos) == Invalid)
            return Invalid;
        return parsed >= minimumValue() && parsed <= maximumValue() ? Acceptable : Intermediate;
    }

    // validate() is const for QValidator, but accepting a number is what moves the value.
    auto *self = const_cast<CustomSpinBoxValidator *>(this);

    if (mRadix == 10) {
        State state = mDecimalChecker.validate(number, numberPos);
        if (state == Acceptable) {
            bool ok = false;
            const double parsed = locale().toDouble(number, &ok);
            if (ok) {
                self->setValue(parsed);
                if (input != textFromValue(parsed))
                    state = Intermediate;
            }
        }
        return state;
    }

    State state = mWholeNumberChecker->validate(number, numberPos);
    if (state == Acceptable) {
        bool ok = false;
        const int parsed = number.toInt(&ok, wholeNumberBase());
        if (ok) {
            self->setValue(parsed);
            if (input != textFromValue(parsed))
                state = Intermediate;
        }
    }
    return state;
}

double CustomSpinBoxValidator::valueFromText(const QString &text) const
{
    QString number = text;
    if (!mPrefix.isEmpty() && number.startsWith(mPrefix))
        number.remove(0, mPrefix.length());
    if (!mSuffix.isEmpty() && number.endsWith(mSuffix))
        number.chop(mSuffix.length());
    bool ok = false;
    const double value = mRadix == 10 ? locale().toDouble(number, &ok) : number.toInt(&ok, wholeNumberBase());
    return ok ? value : qQNaN();
}

int CustomSpinBoxValidator::wholeNumberBase() const
{
    // Any radix is accepted, but Qt's number conversions only know bases 2 to 36
    // (base 0 even divides by zero); other values write and read base 10.
    return (mRadix >= 2 && mRadix <= 36) ? mRadix : 10;
}

void CustomSpinBoxValidator::fixup(QString &input) const
{
    if (mStrictRange)
        return;
    input = textFromValue(mValue).remove(locale().groupSeparator());
}

void CustomSpinBoxValidator::classBegin()
{
}

void CustomSpinBoxValidator::componentComplete()
{
    mInitialized = true;
    setValue(mValue);
}

void CustomSpinBoxValidator::increment()
{
    setValue(mValue + mStepSize);
}

void CustomSpinBoxValidator::decrement()
{
    setValue(mValue - mStepSize);
}
