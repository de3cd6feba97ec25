#pragma once

#include <QDoubleValidator>
#include <QQmlParserStatus>
#include <QValidator>

class QRegExpValidator;

// The number behind the theme's spin box: value, limits, decimals, step, prefix,
// suffix and radix, the display text, and the check of typed text. Published to
// QML as com.vtcan.types/CustomSpinBoxValidator; owns its whole-number checker.
// Lives in the GUI thread with the QML item that creates it.
class CustomSpinBoxValidator : public QValidator, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)

    Q_PROPERTY(QString text READ text NOTIFY textChanged)
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(double minimumValue READ minimumValue WRITE setMinimumValue NOTIFY minimumValueChanged)
    Q_PROPERTY(double maximumValue READ maximumValue WRITE setMaximumValue NOTIFY maximumValueChanged)
    Q_PROPERTY(int decimals READ decimals WRITE setDecimals NOTIFY decimalsChanged)
    Q_PROPERTY(double stepSize READ stepSize WRITE setStepSize NOTIFY stepSizeChanged)
    Q_PROPERTY(QString prefix READ prefix WRITE setPrefix NOTIFY prefixChanged)
    Q_PROPERTY(QString suffix READ suffix WRITE setSuffix NOTIFY suffixChanged)
    Q_PROPERTY(int radix READ radix WRITE setRadix NOTIFY radixChanged)
    // Off: typing moves the value, and a typed number outside the limits snaps to the
    // nearest limit. On: typing never moves the value nor rewrites the text; a number
    // within the limits is Acceptable, anything else Intermediate, so that a form takes
    // the typed number (valueFromText) only when the user finishes, and shows a refused
    // one as typed instead of storing another number than the user typed.
    Q_PROPERTY(bool strictRange MEMBER mStrictRange NOTIFY strictRangeChanged)

public:
    explicit CustomSpinBoxValidator(QObject *parent = nullptr);

    QString text() const;
    double value() const;
    double minimumValue() const;
    double maximumValue() const;
    int decimals() const;
    double stepSize() const;
    QString prefix() const;
    QString suffix() const;
    int radix() const;

    void setValue(double value);
    void setMinimumValue(double minimumValue);
    void setMaximumValue(double maximumValue);
    void setDecimals(int decimals);
    void setStepSize(double stepSize);
    void setPrefix(const QString &prefix);
    void setSuffix(const QString &suffix);
    void setRadix(int radix);

    QString textFromValue(double value) const;
    // The number a display text shows (prefix and suffix optional); NaN when none.
    Q_INVOKABLE double valueFromText(const QString &text) const;

    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

    void classBegin() override;
    void componentComplete() override;

public slots:
    void increment();
    void decrement();

signals:
    void valueChanged();
    void minimumValueChanged();
    void maximumValueChanged();
    void decimalsChanged();
    void stepSizeChanged();
    void prefixChanged();
    void suffixChanged();
    void textChanged();
    void radixChanged();
    void strictRangeChanged();

private:
    int wholeNumberBase() const;

    double mValue = 0.0;
    double mStepSize = 1.0;
    QString mPrefix;
    QString mSuffix;
    int mRadix = 10;
    bool mInitialized = false;
    bool mStrictRange = false;
    QDoubleValidator mDecimalChecker;
    QRegExpValidator *mWholeNumberChecker;
};
