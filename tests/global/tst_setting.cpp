#include "global/setting.h"

#include <QtTest>

using QVt::Global::Setting;

class TestSetting : public QObject
{
    Q_OBJECT

private slots:
    void valueChanges_data()
    {
        QTest::addColumn<QVariant>("initial");
        QTest::addColumn<QVariantList>("writes");
        QTest::addColumn<QVariantList>("emitted");

        QTest::newRow("equal value: no signal") << QVariant("ttyS0") << QVariantList{"ttyS0"} << QVariantList();
        QTest::newRow("value outside the choices kept") << QVariant("ttyS0") << QVariantList{"COM7"} << QVariantList{"COM7"};
        QTest::newRow("from invalid to empty text") << QVariant() << QVariantList{""} << QVariantList{""};
        // What a text field writes while the user types "ab", then leaves it unchanged.
        QTest::newRow("text typed") << QVariant("") << QVariantList{"a", "ab", "ab"} << QVariantList{"a", "ab"};
    }

    // Writes go through the QML property, whose writer is setValue().
    void valueChanges()
    {
        QFETCH(QVariant, initial);
        QFETCH(QVariantList, writes);
        QFETCH(QVariantList, emitted);

        Setting setting("Port", Setting::SETTING_TYPE_COMBO, QVariantList{"ttyS0", "ttyUSB0"}, initial, nullptr);
        QSignalSpy spy(&setting, &Setting::valueChanged);
        for (const QVariant &value : writes)
            QVERIFY(setting.setProperty("value", value));
        QVariantList got;
        for (const QList<QVariant> &signal : spy)
            got.append(signal.at(0).value<QVariant>());
        QCOMPARE(got, emitted);
        QCOMPARE(setting.value(), emitted.isEmpty() ? initial : emitted.constLast());
    }
};

QTEST_APPLESS_MAIN(TestSetting)
#include "tst_setting.moc"
