#include "config/saveStatusTracker.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QtTest>

using QVt::Config::SaveStatusTracker;
using QVt::Global::Types;

class TestSaveStatusTracker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void setterNotifiesOnlyOnChange_data();
    void setterNotifiesOnlyOnChange();
    void forcedSaveNeededNotifiesOnce();
    void qmlSeesTypeAsEnumeration();
};

void TestSaveStatusTracker::initTestCase()
{
    qRegisterMetaType<Types::eConfigurationType>();
    qmlRegisterUncreatableType<Types>("com.vtcan.types", 1, 0, "VtTypes", QStringLiteral("enumerations only"));
}

// Every property through QObject::setProperty, as QML writes it.
void TestSaveStatusTracker::setterNotifiesOnlyOnChange_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("currentFilePath") << QByteArray("currentFilePath") << QVariant(QStringLiteral("/tmp/a.bgc"));
    QTest::newRow("currentFileUrl") << QByteArray("currentFileUrl") << QVariant(QStringLiteral("file:///tmp/a.bgc"));
    QTest::newRow("saveNeeded") << QByteArray("saveNeeded") << QVariant(true);
    QTest::newRow("configurationType")
        << QByteArray("configurationType") << QVariant::fromValue(Types::CONFIGURATION_TYPE_FILE);
}

void TestSaveStatusTracker::setterNotifiesOnlyOnChange()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);

    SaveStatusTracker tracker(nullptr);
    const QMetaProperty meta =
        tracker.metaObject()->property(tracker.metaObject()->indexOfProperty(property.constData()));
    QSignalSpy spy(&tracker, meta.notifySignal());
    const QVariant initial = tracker.property(property.constData());

    QVERIFY(tracker.setProperty(property.constData(), value));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0), value);
    QCOMPARE(tracker.property(property.constData()), value);

    QVERIFY(tracker.setProperty(property.constData(), value));
    QCOMPARE(spy.count(), 1);

    QVERIFY(tracker.setProperty(property.constData(), initial));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0), initial);
}

// An edit marks the configuration unsaved; further edits change nothing.
void TestSaveStatusTracker::forcedSaveNeededNotifiesOnce()
{
    SaveStatusTracker tracker(nullptr);
    QSignalSpy spy(&tracker, &SaveStatusTracker::saveNeededChanged);
    tracker.onForceSaveNeeded();
    tracker.onForceSaveNeeded();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(tracker.saveNeeded(), true);
}

// The main window compares the type with VtTypes values and writes nothing.
void TestSaveStatusTracker::qmlSeesTypeAsEnumeration()
{
    SaveStatusTracker tracker(nullptr);
    tracker.setConfigurationType(Types::CONFIGURATION_TYPE_DEVICE);

    QQmlEngine engine;
    engine.rootContext()->setContextProperty("saveStatusTracker", &tracker);
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.2\n"
                      "import com.vtcan.types 1.0\n"
                      "QtObject {\n"
                      "    property bool fromDevice: saveStatusTracker.configurationType === VtTypes.CONFIGURATION_TYPE_DEVICE\n"
                      "    function makeNew() { saveStatusTracker.configurationType = VtTypes.CONFIGURATION_TYPE_NEW }\n"
                      "}\n",
                      QUrl());
    QScopedPointer<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    QCOMPARE(object->property("fromDevice").toBool(), true);

    QSignalSpy spy(&tracker, &SaveStatusTracker::configurationTypeChanged);
    QMetaObject::invokeMethod(object.data(), "makeNew");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Types::eConfigurationType>(), Types::CONFIGURATION_TYPE_NEW);
    QCOMPARE(object->property("fromDevice").toBool(), false);
}

QTEST_GUILESS_MAIN(TestSaveStatusTracker)
#include "tst_saveStatusTracker.moc"
