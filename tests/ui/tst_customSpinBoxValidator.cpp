#include "ui/customSpinBoxValidator.h"

#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

// The spin box's number model: clamping and rounding around QML's completion, text in
// both radix modes, typed-text repair and refusal, and which change signals fire.
class TestCustomSpinBoxValidator : public QObject
{
    Q_OBJECT

    // A validator as QML leaves it: properties set in any order, then completed.
    static void setUp(CustomSpinBoxValidator &validator, const QVariantMap &properties)
    {
        validator.classBegin();
        for (auto it = properties.cbegin(); it != properties.cend(); ++it)
            QVERIFY(validator.setProperty(it.key().toLatin1().constData(), it.value()));
        validator.componentComplete();
    }

private slots:
    void initTestCase()
    {
        // Fixed separators: '.' as decimal point and ',' as group separator.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // QML sets properties in any order: nothing is clamped before completion.
    void clampedOnlyAtCompletion()
    {
        CustomSpinBoxValidator validator;
        QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
        validator.setValue(500.0);
        validator.setMaximumValue(600.0);
        QCOMPARE(validator.value(), 500.0);
        validator.setMaximumValue(99.0);
        setUp(validator, {});
        QCOMPARE(validator.value(), 99.0);
        QCOMPARE(valueSpy.count(), 1);
    }

    void changesAfterCompletion_data()
    {
        QTest::addColumn<QVariantMap>("setup");
        QTest::addColumn<QVariantMap>("change"); // applied in key order
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("valueChanges");
        QTest::addColumn<int>("textChanges");

        const QVariantMap plusMinusOne{{"minimumValue", -1.0}, {"maximumValue", 1.0}, {"stepSize", 0.5}, {"decimals", 1}};
        auto at = [plusMinusOne](double value) { QVariantMap m = plusMinusOne; m.insert("value", value); return m; };

        QTest::newRow("above maximum") << QVariantMap{} << QVariantMap{{"value", 150.0}} << QByteArray() << 99.0 << "99" << 1 << 1;
        QTest::newRow("rounded up to decimals") << QVariantMap{{"maximumValue", 10.0}, {"decimals", 1}} << QVariantMap{{"value", 2.46}} << QByteArray() << 2.5 << "2.5" << 1 << 1;
        QTest::newRow("clamped before rounding") << QVariantMap{{"maximumValue", 1.25}, {"decimals", 1}} << QVariantMap{{"value", 7.0}} << QByteArray() << 1.3 << "1.3" << 1 << 1;
        QTest::newRow("NaN keeps the value") << QVariantMap{{"minimumValue", 2.0}, {"maximumValue", 10.0}} << QVariantMap{{"value", qQNaN()}} << QByteArray() << 2.0 << "2" << 0 << 0;
        // Once for the new maximum, once for the lowered value.
        QTest::newRow("maximum lowered below the value") << QVariantMap{{"value", 50.0}} << QVariantMap{{"maximumValue", 20.0}} << QByteArray() << 20.0 << "20" << 1 << 2;
        QTest::newRow("maximum below minimum") << QVariantMap{{"minimumValue", 10.0}} << QVariantMap{{"maximumValue", 5.0}} << QByteArray() << 10.0 << "10" << 0 << 1;
        QTest::newRow("radix 16 drops the decimals") << QVariantMap{{"maximumValue", 1000.0}, {"decimals", 1}, {"value", 200.0}} << QVariantMap{{"radix", 16}} << QByteArray() << 200.0 << "c8" << 0 << 1;
        QTest::newRow("negative hex has a minus sign") << QVariantMap{{"radix", 16}, {"minimumValue", -100.0}} << QVariantMap{{"value", -30.0}} << QByteArray() << -30.0 << "-1e" << 1 << 1;
        QTest::newRow("increment at the maximum") << at(1.0) << QVariantMap{} << QByteArray("increment") << 1.0 << "1.0" << 0 << 0;
    }

    void changesAfterCompletion()
    {
        QFETCH(QVariantMap, setup);
        QFETCH(QVariantMap, change);
        QFETCH(QByteArray, step);

        CustomSpinBoxValidator validator;
        setUp(validator, setup);
        QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
        QSignalSpy textSpy(&validator, &CustomSpinBoxValidator::textChanged);
        for (auto it = change.cbegin(); it != change.cend(); ++it)
            QVERIFY(validator.setProperty(it.key().toLatin1().constData(), it.value()));
        if (!step.isEmpty())
            QVERIFY(QMetaObject::invokeMethod(&validator, step.constData()));

        QTEST(validator.value(), "value");
        QTEST(validator.text(), "text");
        QTEST(int(valueSpy.count()), "valueChanges");
        QTEST(int(textSpy.count()), "textChanges");
    }

    void validate_data()
    {
        QTest::addColumn<QVariantMap>("setup");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QValidator::State>("state");
        QTest::addColumn<QString>("repaired");
        QTest::addColumn<int>("repairedPos");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("valueChanges");

        auto decimal = [](int decimals) { return QVariantMap{{"maximumValue", 1000.0}, {"decimals", decimals}, {"value", 7.0}}; };
        auto whole = [](int radix, double minimum) { return QVariantMap{{"radix", radix}, {"minimumValue", minimum}, {"maximumValue", 255.0}, {"value", 1.0}}; };

        QTest::newRow("defaults accept a number") << QVariantMap{} << "42" << 2 << QValidator::Acceptable << "42" << 2 << 42.0 << "42" << 1;
        QTest::newRow("decimal point inside, no decimals") << decimal(0) << "4.2" << 2 << QValidator::Invalid << "4.2" << 2 << 7.0 << "7" << 0;
        QTest::newRow("group separator inside") << decimal(2) << "1,000" << 2 << QValidator::Invalid << "1,000" << 2 << 7.0 << "7.00" << 0;
        QTest::newRow("out of range never reaches the value") << decimal(0) << "2000" << 4 << QValidator::Intermediate << "2000" << 4 << 7.0 << "7" << 0;
        QTest::newRow("upper case hex") << whole(16, 0) << "FF" << 2 << QValidator::Intermediate << "FF" << 2 << 255.0 << "ff" << 1;
        QTest::newRow("hex above maximum") << whole(16, 0) << "1FF" << 3 << QValidator::Intermediate << "1FF" << 3 << 255.0 << "ff" << 1;
        QTest::newRow("not a hex digit") << whole(16, 0) << "G" << 1 << QValidator::Invalid << "G" << 1 << 1.0 << "1" << 0;
        QTest::newRow("negative hex") << whole(16, -100) << "-1a" << 3 << QValidator::Acceptable << "-1a" << 3 << -26.0 << "-1a" << 1;
        // The user deleted the prefix with the cursor at the start.
        QTest::newRow("missing prefix restored before the cursor") << QVariantMap{{"prefix", "$"}, {"value", 12.0}} << "12" << 0 << QValidator::Acceptable << "$12" << 1 << 12.0 << "$12" << 0;
        QTest::newRow("missing suffix appended") << QVariantMap{{"suffix", "%"}} << "35" << 2 << QValidator::Acceptable << "35%" << 2 << 35.0 << "35%" << 1;
    }

    void validate()
    {
        QFETCH(QVariantMap, setup);
        QFETCH(QString, input);
        QFETCH(int, pos);

        CustomSpinBoxValidator validator;
        setUp(validator, setup);
        QSignalSpy valueSpy(&validator, &CustomSpinBoxValidator::valueChanged);
        QTEST(validator.validate(input, pos), "state");
        QTEST(input, "repaired");
        QTEST(pos, "repairedPos");
        QTEST(validator.value(), "value");
        QTEST(validator.text(), "text");
        QTEST(int(valueSpy.count()), "valueChanges");
    }

    void fixupRestoresTheCurrentValue()
    {
        CustomSpinBoxValidator validator;
        setUp(validator, {{"maximumValue", 100000.0}, {"decimals", 1}, {"value", 12345.5}, {"suffix", " m"}});
        QString input = QStringLiteral("12,3");
        validator.fixup(input);
        QCOMPARE(input, QStringLiteral("12345.5 m"));
    }
};

QTEST_GUILESS_MAIN(TestCustomSpinBoxValidator)
#include "tst_customSpinBoxValidator.moc"
