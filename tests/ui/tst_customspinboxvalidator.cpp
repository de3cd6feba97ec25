#include "ui/customSpinBoxValidator.h"

#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

// Checks the spin box's number model: clamping and rounding around QML's
// completion, text formatting in both radix modes, typed-text repair and refusal,
// and which change signals fire.
class TestCustomSpinBoxValidator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void defaultsShowZeroAndAcceptANumber();
    void valueIsClampedAndRoundedAfterCompletion_data();
    void valueIsClampedAndRoundedAfterCompletion();
    void valueIsStoredUnchangedBeforeCompletion();
    void limitChangeAfterCompletionReclampsValue();
    void maximumBelowMinimumForcesMinimum();
    void textFromValue_data();
    void textFromValue();
    void typedTextInDecimalMode_data();
    void typedTextInDecimalMode();
    void typedTextInWholeNumberMode_data();
    void typedTextInWholeNumberMode();
    void missingPrefixIsRestoredBeforeTheCursor();
    void missingSuffixIsAppended();
    void fixupRestoresTheCurrentValue();
    void incrementAndDecrementStopAtTheLimits();
    void textChangedFollowsEveryPropertyButStepSize_data();
    void textChangedFollowsEveryPropertyButStepSize();
    void radixSwitchesBetweenDecimalAndWholeNumberText();

private:
    // A validator as QML leaves it: properties set, then completed.
    static void complete(CustomSpinBoxValidator &validator)
    {
        validator.classBegin();
        validator.componentComplete();
    }
};

void TestCustomSpinBoxValidator::initTestCase()
{
    // Fixed separators: '.' as decimal point and ',' as group separator.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestCustomSpinBoxValidator::defaultsShowZeroAndAcceptANumber()
{
    CustomSpinBoxValidator validator;
    complete(validator);
    QCOMPARE(validator.text(), QStringLiteral("0"));

    QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
    QString input = QStringLiteral("42");
    int pos = 2;
    QCOMPARE(validator.validate(input, pos), QValidator::Acceptable);
    QCOMPARE(validator.value(), 42.0);
    QCOMPARE(valueSpy.count(), 1);
    QCOMPARE(validator.text(), QStringLiteral("42"));
}

void TestCustomSpinBoxValidator::valueIsClampedAndRoundedAfterCompletion_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("expected");

    QTest::newRow("above maximum") << 0.0 << 99.0 << 0 << 150.0 << 99.0;
    QTest::newRow("below minimum") << -5.0 << 99.0 << 0 << -20.0 << -5.0;
    QTest::newRow("rounded up to decimals") << 0.0 << 10.0 << 1 << 2.46 << 2.5;
    QTest::newRow("rounded down to whole") << 0.0 << 10.0 << 0 << 3.4 << 3.0;
    QTest::newRow("clamped before rounding") << 0.0 << 1.25 << 1 << 7.0 << 1.3;
    QTest::newRow("NaN keeps the value") << 2.0 << 10.0 << 0 << qQNaN() << 2.0;
}

void TestCustomSpinBoxValidator::valueIsClampedAndRoundedAfterCompletion()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, decimals);
    QFETCH(double, requested);
    QFETCH(double, expected);

    CustomSpinBoxValidator validator;
    validator.setMinimumValue(minimum);
    validator.setMaximumValue(maximum);
    validator.setDecimals(decimals);
    complete(validator);

    validator.setValue(requested);
    QCOMPARE(validator.value(), expected);
}

void TestCustomSpinBoxValidator::valueIsStoredUnchangedBeforeCompletion()
{
    CustomSpinBoxValidator validator;
    QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
    validator.setValue(500.0);
    validator.setMaximumValue(99.0);
    validator.setValue(500.25);
    QCOMPARE(validator.value(), 500.25);
    QCOMPARE(valueSpy.count(), 0);

    complete(validator);
    QCOMPARE(validator.value(), 99.0);
    QCOMPARE(valueSpy.count(), 1);
}

void TestCustomSpinBoxValidator::limitChangeAfterCompletionReclampsValue()
{
    CustomSpinBoxValidator validator;
    validator.setValue(50.0);
    complete(validator);

    QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
    QSignalSpy textSpy(&validator, &CustomSpinBoxValidator::textChanged);
    validator.setMaximumValue(20.0);
    QCOMPARE(validator.value(), 20.0);
    QCOMPARE(valueSpy.count(), 1);
    // Once for the new maximum, once for the lowered value.
    QCOMPARE(textSpy.count(), 2);
    QCOMPARE(validator.text(), QStringLiteral("20"));
}

void TestCustomSpinBoxValidator::maximumBelowMinimumForcesMinimum()
{
    CustomSpinBoxValidator validator;
    validator.setMinimumValue(10.0);
    complete(validator);
    validator.setMaximumValue(5.0);
    QCOMPARE(validator.value(), 10.0);
    validator.setValue(7.0);
    QCOMPARE(validator.value(), 10.0);
    validator.setValue(-3.0);
    QCOMPARE(validator.value(), 10.0);
}

void TestCustomSpinBoxValidator::textFromValue_data()
{
    QTest::addColumn<int>("radix");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("hex with prefix") << 16 << 0 << "0x" << "" << 255.0 << "0xff";
    QTest::newRow("decimals with suffix") << 10 << 2 << "" << " V" << 2.5 << "2.50 V";
    QTest::newRow("negative hex has a minus sign, not two's complement") << 16 << 0 << "" << "" << -3.9 << "-3";
    QTest::newRow("no group separator") << 10 << 1 << "" << "" << 1234567.0 << "1234567.0";
    QTest::newRow("octal") << 8 << 0 << "" << "" << 64.0 << "100";
    QTest::newRow("radix 0 does not divide by zero") << 0 << 0 << "" << "" << 42.0 << "42";
    QTest::newRow("radix above 36 writes base 10") << 40 << 0 << "" << "" << -42.0 << "-42";
    QTest::newRow("hex saturates beyond int") << 16 << 0 << "" << "" << 1e12 << "7fffffff";
}

void TestCustomSpinBoxValidator::textFromValue()
{
    QFETCH(int, radix);
    QFETCH(int, decimals);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(double, value);
    QFETCH(QString, text);

    CustomSpinBoxValidator validator;
    validator.setRadix(radix);
    validator.setDecimals(decimals);
    validator.setPrefix(prefix);
    validator.setSuffix(suffix);
    QCOMPARE(validator.textFromValue(value), text);
}

void TestCustomSpinBoxValidator::typedTextInDecimalMode_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("state");
    QTest::addColumn<double>("value");

    // The value starts at 7 in a 0..1000 range.
    QTest::newRow("decimal point inside, no decimals")
        << 0 << "4.2" << 2 << int(QValidator::Invalid) << 7.0;
    // At the end of the text the decimal checker decides; it takes the number
    // and the state tells the field to show the canonical text.
    QTest::newRow("decimal point at end, no decimals")
        << 0 << "42." << 3 << int(QValidator::Intermediate) << 42.0;
    QTest::newRow("decimal point inside, with decimals")
        << 2 << "4.2" << 2 << int(QValidator::Intermediate) << 4.2;
    QTest::newRow("group separator inside")
        << 2 << "1,000" << 2 << int(QValidator::Invalid) << 7.0;
    QTest::newRow("out of range never reaches the value")
        << 0 << "2000" << 4 << int(QValidator::Intermediate) << 7.0;
    QTest::newRow("canonical text")
        << 1 << "12.5" << 4 << int(QValidator::Acceptable) << 12.5;
    QTest::newRow("letters")
        << 0 << "1a" << 2 << int(QValidator::Invalid) << 7.0;
}

void TestCustomSpinBoxValidator::typedTextInDecimalMode()
{
    QFETCH(int, decimals);
    QFETCH(QString, input);
    QFETCH(int, pos);
    QFETCH(int, state);
    QFETCH(double, value);

    CustomSpinBoxValidator validator;
    validator.setMaximumValue(1000.0);
    validator.setDecimals(decimals);
    validator.setValue(7.0);
    complete(validator);

    QCOMPARE(int(validator.validate(input, pos)), state);
    QCOMPARE(validator.value(), value);
}

void TestCustomSpinBoxValidator::typedTextInWholeNumberMode_data()
{
    QTest::addColumn<int>("radix");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    // The value starts at 1 in a minimum..255 range.
    QTest::newRow("upper case hex") << 16 << 0.0 << "FF" << int(QValidator::Intermediate) << 255.0 << "ff";
    QTest::newRow("hex above maximum") << 16 << 0.0 << "1FF" << int(QValidator::Intermediate) << 255.0 << "ff";
    QTest::newRow("canonical hex") << 16 << 0.0 << "1a" << int(QValidator::Acceptable) << 26.0 << "1a";
    QTest::newRow("not a hex digit") << 16 << 0.0 << "G" << int(QValidator::Invalid) << 1.0 << "1";
    QTest::newRow("negative hex") << 16 << -100.0 << "-1a" << int(QValidator::Acceptable) << -26.0 << "-1a";
    QTest::newRow("hex below minimum") << 16 << -100.0 << "-ff" << int(QValidator::Acceptable) << -100.0 << "-64";
    QTest::newRow("digit outside octal") << 8 << 0.0 << "9" << int(QValidator::Acceptable) << 1.0 << "1";
    QTest::newRow("octal") << 8 << 0.0 << "17" << int(QValidator::Acceptable) << 15.0 << "17";
    QTest::newRow("radix 0 reads base 10") << 0 << 0.0 << "12" << int(QValidator::Acceptable) << 12.0 << "12";
    QTest::newRow("lone minus") << 16 << -100.0 << "-" << int(QValidator::Intermediate) << 1.0 << "1";
}

void TestCustomSpinBoxValidator::typedTextInWholeNumberMode()
{
    QFETCH(int, radix);
    QFETCH(double, minimum);
    QFETCH(QString, input);
    QFETCH(int, state);
    QFETCH(double, value);
    QFETCH(QString, text);

    CustomSpinBoxValidator validator;
    validator.setRadix(radix);
    validator.setMinimumValue(minimum);
    validator.setMaximumValue(255.0);
    validator.setValue(1.0);
    complete(validator);

    int pos = input.length();
    QCOMPARE(int(validator.validate(input, pos)), state);
    QCOMPARE(validator.value(), value);
    QCOMPARE(validator.text(), text);
}

void TestCustomSpinBoxValidator::missingPrefixIsRestoredBeforeTheCursor()
{
    CustomSpinBoxValidator validator;
    validator.setPrefix(QStringLiteral("$"));
    validator.setValue(12.0);
    complete(validator);

    // The user deleted the prefix with the cursor at the start.
    QString input = QStringLiteral("12");
    int pos = 0;
    QCOMPARE(validator.validate(input, pos), QValidator::Acceptable);
    QCOMPARE(input, QStringLiteral("$12"));
    QCOMPARE(pos, 1);
}

void TestCustomSpinBoxValidator::missingSuffixIsAppended()
{
    CustomSpinBoxValidator validator;
    validator.setSuffix(QStringLiteral("%"));
    complete(validator);

    QString input = QStringLiteral("35");
    int pos = 2;
    QCOMPARE(validator.validate(input, pos), QValidator::Acceptable);
    QCOMPARE(input, QStringLiteral("35%"));
    QCOMPARE(pos, 2);
    QCOMPARE(validator.value(), 35.0);
}

void TestCustomSpinBoxValidator::fixupRestoresTheCurrentValue()
{
    CustomSpinBoxValidator validator;
    validator.setMaximumValue(100000.0);
    validator.setDecimals(1);
    validator.setValue(12345.5);
    validator.setSuffix(QStringLiteral(" m"));
    complete(validator);

    QString input = QStringLiteral("12,3");
    validator.fixup(input);
    QCOMPARE(input, QStringLiteral("12345.5 m"));
}

void TestCustomSpinBoxValidator::incrementAndDecrementStopAtTheLimits()
{
    CustomSpinBoxValidator validator;
    validator.setMinimumValue(-1.0);
    validator.setMaximumValue(1.0);
    validator.setStepSize(0.5);
    validator.setDecimals(1);
    validator.setValue(0.5);
    complete(validator);

    QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
    validator.increment();
    QCOMPARE(validator.value(), 1.0);
    QCOMPARE(valueSpy.count(), 1);
    validator.increment();
    QCOMPARE(validator.value(), 1.0);
    QCOMPARE(valueSpy.count(), 1);

    validator.setValue(-1.0);
    valueSpy.clear();
    validator.decrement();
    QCOMPARE(validator.value(), -1.0);
    QCOMPARE(valueSpy.count(), 0);
}

void TestCustomSpinBoxValidator::textChangedFollowsEveryPropertyButStepSize_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("newValue");
    QTest::addColumn<int>("textChanges");

    QTest::newRow("value") << "value" << QVariant(5.0) << 1;
    QTest::newRow("minimumValue") << "minimumValue" << QVariant(-5.0) << 1;
    QTest::newRow("maximumValue") << "maximumValue" << QVariant(50.0) << 1;
    QTest::newRow("decimals") << "decimals" << QVariant(2) << 1;
    QTest::newRow("prefix") << "prefix" << QVariant(QStringLiteral("#")) << 1;
    QTest::newRow("suffix") << "suffix" << QVariant(QStringLiteral("s")) << 1;
    QTest::newRow("radix") << "radix" << QVariant(16) << 1;
    QTest::newRow("stepSize") << "stepSize" << QVariant(2.0) << 0;
    QTest::newRow("same value again") << "value" << QVariant(0.0) << 0;
}

void TestCustomSpinBoxValidator::textChangedFollowsEveryPropertyButStepSize()
{
    QFETCH(QString, property);
    QFETCH(QVariant, newValue);
    QFETCH(int, textChanges);

    CustomSpinBoxValidator validator;
    complete(validator);
    QSignalSpy textSpy(&validator, &CustomSpinBoxValidator::textChanged);
    QVERIFY(validator.setProperty(property.toLatin1().constData(), newValue));
    QCOMPARE(textSpy.count(), textChanges);
}

void TestCustomSpinBoxValidator::radixSwitchesBetweenDecimalAndWholeNumberText()
{
    CustomSpinBoxValidator validator;
    validator.setMaximumValue(1000.0);
    validator.setDecimals(1);
    validator.setValue(200.0);
    complete(validator);
    QCOMPARE(validator.text(), QStringLiteral("200.0"));

    QSignalSpy radixSpy(&validator, &CustomSpinBoxValidator::radixChanged);
    validator.setRadix(16);
    QCOMPARE(radixSpy.count(), 1);
    QCOMPARE(validator.text(), QStringLiteral("c8"));
    validator.setRadix(10);
    QCOMPARE(validator.text(), QStringLiteral("200.0"));
}

QTEST_GUILESS_MAIN(TestCustomSpinBoxValidator)
#include "tst_customspinboxvalidator.moc"
