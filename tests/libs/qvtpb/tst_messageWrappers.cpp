// Edits through every property of the message wrappers: each real change emits
// the property's own signal and one edited() at the top-level message; writing the
// current value again emits nothing; refused values change nothing.
#include "messageWalker.h"

#include <qvtpb/canConfig.h>
#include <qvtpb/ktBridgeConfiguration.h>

#include <QtTest>

using QVt::Pb::KtBridge::Configuration;

class TestMessageWrappers : public QObject
{
    Q_OBJECT

private slots:
    void everyPropertyIsEdited_data();
    void everyPropertyIsEdited();
    void refusedValues_data();
    void refusedValues();
    void filterListEdits();
};

void TestMessageWrappers::everyPropertyIsEdited_data()
{
    QTest::addColumn<QString>("path");

    Configuration config(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    config.can()->addFilter();
    const QStringList paths = MessageWalker::writablePaths(&config);
    for (const QString &path : paths)
        QTest::newRow(qPrintable(path)) << path;
}

void TestMessageWrappers::everyPropertyIsEdited()
{
    QFETCH(QString, path);

    Configuration config(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    config.can()->addFilter();
    QMetaProperty property;
    QObject *object = MessageWalker::holder(&config, path, &property);
    QVERIFY(object);
    QVERIFY(property.hasNotifySignal());

    const QVariant before = property.read(object);
    const QVariant value = MessageWalker::otherValue(property, before, 1);
    QVERIFY2(value.isValid(), "no other value for this property type");

    QSignalSpy changed(object, property.notifySignal());
    QSignalSpy edited(&config, &Configuration::edited);
    QVERIFY(property.write(object, value));
    QCOMPARE(property.read(object).toString(), value.toString());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(edited.count(), 1);

    // The same value again is no change.
    QVERIFY(property.write(object, value));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(edited.count(), 1);
}

void TestMessageWrappers::refusedValues_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("warning");

    QTest::newRow("bit rate not standard") << "can.bitRate" << QVariant(83333) << "Refused CAN bit rate 83333";
    QTest::newRow("sample point 0") << "can.samplePoint" << QVariant(0u) << "Refused CAN sample point 0";
    QTest::newRow("sample point 1000") << "can.samplePoint" << QVariant(1000u) << "Refused CAN sample point 1000";
    QTest::newRow("WLAN mode") << "wlanInterface.object.mode" << QVariant(2) << "Refused WLAN mode 2";
    QTest::newRow("WLAN security") << "wlanInterface.object.security" << QVariant(-1) << "Refused WLAN security -1";
    QTest::newRow("IP mode") << "wlanInterface.object.ipMode" << QVariant(7) << "Refused IP mode 7";
}

void TestMessageWrappers::refusedValues()
{
    QFETCH(QString, path);
    QFETCH(QVariant, value);
    QFETCH(QString, warning);

    Configuration config(Configuration::INTERFACE_WLAN);
    QMetaProperty property;
    QObject *object = MessageWalker::holder(&config, path, &property);
    QVERIFY(object);
    const QVariant before = property.read(object);
    QSignalSpy changed(object, property.notifySignal());
    QSignalSpy edited(&config, &Configuration::edited);

    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    property.write(object, value);
    QCOMPARE(property.read(object), before);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(edited.count(), 0);
}

void TestMessageWrappers::filterListEdits()
{
    Configuration config{Configuration::Interfaces()};
    QVt::Pb::Can::Config *can = config.can();
    QSignalSpy filtersChanged(can, &QVt::Pb::Can::Config::filtersChanged);
    QSignalSpy edited(&config, &Configuration::edited);

    QVt::Pb::Can::Filter *first = can->addFilter();
    QCOMPARE(first->mask(), 0x7ffu);
    QCOMPARE(first->identifier(), 0u);
    QCOMPARE(filtersChanged.count(), 1);
    QCOMPARE(edited.count(), 1);

    QVt::Pb::Can::Filter *second = can->addFilter();
    second->setIdentifier(0x123);
    QCOMPARE(edited.count(), 3);
    QCOMPARE(can->filterCount(), 2);

    QPointer<QVt::Pb::Can::Filter> removed(first);
    QVERIFY(can->removeFilter(0));
    QVERIFY(removed.isNull());
    QCOMPARE(can->filter(0), second);
    QCOMPARE(filtersChanged.count(), 3);
    QCOMPARE(edited.count(), 4);

    QVERIFY(!can->removeFilter(1));
    QVERIFY(!can->removeFilter(-1));
    QCOMPARE(can->filter(1), nullptr);
    QCOMPARE(filtersChanged.count(), 3);
    QCOMPARE(edited.count(), 4);
}

QTEST_GUILESS_MAIN(TestMessageWrappers)
#include "tst_messageWrappers.moc"
