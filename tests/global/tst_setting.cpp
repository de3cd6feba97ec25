#include "global/setting.h"

#include <QtTest>

using QVt::Global::Setting;

class TestSetting : public QObject
{
    Q_OBJECT

private slots:
    void valueChanges_data()
    {
        QTest::addColumn<Setting::eSettingType>("type");
        QTest::addColumn<QVariant>("initial");
        QTest::addColumn<QVariantList>("comboValues");
        QTest::addColumn<QVariantList>("writes");
        QTest::addColumn<QVariantList>("emitted");

        using L = QVariantList;
        const L ports{QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
        const QVariant a(QStringLiteral("a")), ab(QStringLiteral("ab"));
        QTest::newRow("equal value") << Setting::SETTING_TYPE_COMBO << ports.at(0) << ports
                                     << L{ports.at(0)} << L();
        QTest::newRow("value not among the choices is kept")
            << Setting::SETTING_TYPE_COMBO << ports.at(0) << ports << L{QStringLiteral("COM7")}
            << L{QStringLiteral("COM7")};
        QTest::newRow("from invalid to empty text")
            << Setting::SETTING_TYPE_TEXT << QVariant() << L() << L{QString()} << L{QString()};
        QTest::newRow("bool toggled")
            << Setting::SETTING_TYPE_BOOL << QVariant(false) << L() << L{true} << L{true};
        // What a text field writes while the user types "ab", then leaves it unchanged.
        QTest::newRow("text typed")
            << Setting::SETTING_TYPE_TEXT << QVariant(QString()) << L() << L{a, ab, ab} << L{a, ab};
    }

    // Writes go through the QML property, whose writer is setValue().
    void valueChanges()
    {
        QFETCH(Setting::eSettingType, type);
        QFETCH(QVariant, initial);
        QFETCH(QVariantList, comboValues);
        QFETCH(QVariantList, writes);
        QFETCH(QVariantList, emitted);

        Setting setting(QStringLiteral("Port"), type, comboValues, initial, nullptr);
        QSignalSpy spy(&setting, &Setting::valueChanged);
        for (const QVariant &value : writes)
            QVERIFY(setting.setProperty("value", value));

        QCOMPARE(setting.value(), emitted.isEmpty() ? initial : emitted.constLast());
        QCOMPARE(setting.comboValues(), comboValues);
        QVariantList got;
        for (const QList<QVariant> &signal : spy)
            got.append(signal.at(0).value<QVariant>());
        QCOMPARE(got, emitted);
        const QVariant qmlType = setting.property("type");
        QCOMPARE(qmlType.userType(), int(QMetaType::UChar));
        QCOMPARE(qmlType.toInt(), int(type));
    }
};

QTEST_APPLESS_MAIN(TestSetting)
#include "tst_setting.moc"
