#include "config/saveStatusTracker.h"

#include <QtTest>

using QVt::Config::SaveStatusTracker;
using QVt::Global::Types;

class TestSaveStatusTracker : public QObject
{
    Q_OBJECT

private slots:
    void notifiesOnlyOnChange_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");

        QTest::newRow("currentFilePath") << QByteArray("currentFilePath") << QVariant(QStringLiteral("/tmp/a.bgc"));
        QTest::newRow("currentFileUrl") << QByteArray("currentFileUrl") << QVariant(QStringLiteral("file:///tmp/a.bgc"));
        QTest::newRow("saveNeeded") << QByteArray("saveNeeded") << QVariant(true);
        QTest::newRow("configurationType")
            << QByteArray("configurationType") << QVariant::fromValue(Types::CONFIGURATION_TYPE_FILE);
    }

    // Each property as QML writes it: a change is announced once, with the new value.
    void notifiesOnlyOnChange()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);

        qRegisterMetaType<Types::eConfigurationType>();
        SaveStatusTracker tracker(nullptr);
        const QMetaObject *meta = tracker.metaObject();
        QSignalSpy spy(&tracker, meta->property(meta->indexOfProperty(property)).notifySignal());
        QVERIFY(tracker.setProperty(property, value));
        QVERIFY(tracker.setProperty(property, value));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0), value);
        QCOMPARE(tracker.property(property), value);
    }
};

QTEST_GUILESS_MAIN(TestSaveStatusTracker)
#include "tst_saveStatusTracker.moc"
