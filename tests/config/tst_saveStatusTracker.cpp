#include "config/saveStatusTracker.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QtTest>

using QVt::Config::SaveStatusTracker;
using QVt::Global::Types;

// All four notifications of one tracker, in the order they arrive.
class SignalLog
{
public:
    explicit SignalLog(SaveStatusTracker &tracker)
    {
        QObject::connect(&tracker, &SaveStatusTracker::currentFilePathChanged,
                         [this](const QString &v) { mLines << "path " + v; });
        QObject::connect(&tracker, &SaveStatusTracker::currentFileUrlChanged,
                         [this](const QString &v) { mLines << "url " + v; });
        QObject::connect(&tracker, &SaveStatusTracker::saveNeededChanged,
                         [this](bool v) { mLines << QStringLiteral("saveNeeded %1").arg(v); });
        QObject::connect(&tracker, &SaveStatusTracker::configurationTypeChanged,
                         [this](Types::eConfigurationType v) { mLines << QStringLiteral("type %1").arg(v); });
    }

    QStringList take() { return std::exchange(mLines, {}); }

private:
    QStringList mLines;
};

// The file operations write path, URL, flag and type in this order.
static void recordFile(SaveStatusTracker &tracker, const QString &path, const QString &url)
{
    tracker.setCurrentFilePath(path);
    tracker.setCurrentFileUrl(url);
    tracker.setSaveNeeded(false);
    tracker.setConfigurationType(Types::CONFIGURATION_TYPE_FILE);
}

class TestSaveStatusTracker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void setterNotifiesOnlyOnChange_data();
    void setterNotifiesOnlyOnChange();
    void secondFileInSamePathNotifiesOnlyDifferences();
    void deviceReadKeepsPathAndNewConfigurationClearsIt();
    void instanceIsOneObject();
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

void TestSaveStatusTracker::secondFileInSamePathNotifiesOnlyDifferences()
{
    SaveStatusTracker tracker(nullptr);
    SignalLog log(tracker);

    recordFile(tracker, "/cfg/a.bgc", "file:///cfg/a.bgc");
    QCOMPARE(log.take(), QStringList({"path /cfg/a.bgc", "url file:///cfg/a.bgc", "type 1"}));

    // A second forced save-needed while one is pending is no change.
    tracker.onForceSaveNeeded();
    tracker.onForceSaveNeeded();
    QVERIFY(tracker.saveNeeded());
    recordFile(tracker, "/cfg/a.bgc", "file:///cfg/a.bgc");
    QCOMPARE(log.take(), QStringList({"saveNeeded 1", "saveNeeded 0"}));
}

void TestSaveStatusTracker::deviceReadKeepsPathAndNewConfigurationClearsIt()
{
    SaveStatusTracker tracker(nullptr);
    recordFile(tracker, "/cfg/a.bgc", "file:///cfg/a.bgc");
    tracker.onForceSaveNeeded();
    SignalLog log(tracker);

    tracker.setConfigurationType(Types::CONFIGURATION_TYPE_DEVICE);
    tracker.setSaveNeeded(false);
    QCOMPARE(log.take(), QStringList({"type 2", "saveNeeded 0"}));
    QCOMPARE(tracker.currentFilePath(), QStringLiteral("/cfg/a.bgc"));
    QCOMPARE(tracker.currentFileUrl(), QStringLiteral("file:///cfg/a.bgc"));

    tracker.setCurrentFilePath(QString());
    tracker.setCurrentFileUrl(QString());
    tracker.setSaveNeeded(false);
    tracker.setConfigurationType(Types::CONFIGURATION_TYPE_NEW);
    QCOMPARE(log.take(), QStringList({"path ", "url ", "type 0"}));
}

void TestSaveStatusTracker::instanceIsOneObject()
{
    SaveStatusTracker *first = SaveStatusTracker::instance();
    QVERIFY(first);
    QCOMPARE(SaveStatusTracker::instance(), first);
    QCOMPARE(first->parent(), nullptr);
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
