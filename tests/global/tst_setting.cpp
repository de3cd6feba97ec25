#include "global/setting.h"

#include <QtTest>

using QVt::Global::Setting;

class TestSetting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setValue_data();
    void setValue();
    void editedTextEmitsPerChange();
    void qmlSeesTypeAsSmallInteger();
};

void TestSetting::setValue_data()
{
    QTest::addColumn<QVariant>("initial");
    QTest::addColumn<QVariantList>("comboValues");
    QTest::addColumn<QVariant>("newValue");
    QTest::addColumn<bool>("emitted");

    const QVariantList ports{QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
    QTest::newRow("equal value") << QVariant(QStringLiteral("ttyS0")) << ports
                                 << QVariant(QStringLiteral("ttyS0")) << false;
    QTest::newRow("other listed value") << QVariant(QStringLiteral("ttyS0")) << ports
                                        << QVariant(QStringLiteral("ttyUSB0")) << true;
    QTest::newRow("value not among the choices is kept")
        << QVariant(QStringLiteral("ttyS0")) << ports << QVariant(QStringLiteral("COM7")) << true;
    QTest::newRow("from invalid to empty text") << QVariant() << QVariantList()
                                                << QVariant(QString()) << true;
    QTest::newRow("bool toggled") << QVariant(false) << QVariantList() << QVariant(true) << true;
}

void TestSetting::setValue()
{
    QFETCH(QVariant, initial);
    QFETCH(QVariantList, comboValues);
    QFETCH(QVariant, newValue);
    QFETCH(bool, emitted);

    Setting setting(QStringLiteral("Port"), Setting::SETTING_TYPE_COMBO, comboValues, initial,
                    nullptr);
    QSignalSpy spy(&setting, &Setting::valueChanged);
    setting.setValue(newValue);

    QCOMPARE(setting.value(), emitted ? newValue : initial);
    QCOMPARE(setting.comboValues(), comboValues);
    QCOMPARE(spy.count(), emitted ? 1 : 0);
    if (emitted)
        QCOMPARE(spy.at(0).at(0).value<QVariant>(), newValue);
}

void TestSetting::editedTextEmitsPerChange()
{
    Setting setting(QStringLiteral("Host"), Setting::SETTING_TYPE_TEXT, QString(), nullptr);
    QSignalSpy spy(&setting, &Setting::valueChanged);

    // What a text field writes while the user types "ab", then leaves it unchanged.
    const QStringList edits{QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("ab")};
    for (const QString &text : edits)
        QVERIFY(setting.setProperty("value", text));

    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).value<QVariant>().toString(), QStringLiteral("a"));
    QCOMPARE(spy.at(1).at(0).value<QVariant>().toString(), QStringLiteral("ab"));
}

void TestSetting::qmlSeesTypeAsSmallInteger()
{
    Setting setting(QStringLiteral("Port"), Setting::SETTING_TYPE_COMBO, QVariantList(), QVariant(),
                    nullptr);
    const QVariant type = setting.property("type");
    QCOMPARE(type.userType(), int(QMetaType::UChar));
    QCOMPARE(type.toInt(), 2);
}

QTEST_APPLESS_MAIN(TestSetting)
#include "tst_setting.moc"
