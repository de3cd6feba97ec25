#include "comms/dataProvider.h"
#include "global/setting.h"

#include <QQmlEngine>
#include <QQmlListReference>
#include <QtTest>

using QVt::Comms::DataProvider;
using QVt::Global::Setting;

namespace {

// A provider whose settings the test controls, counting how often it is asked.
class FakeProvider : public DataProvider
{
public:
    explicit FakeProvider(QList<Setting *> settings) : DataProvider(nullptr), mList(settings) {}
    void close() override {}
    void open() override {}
    QList<Setting *> settingsList() const override
    {
        ++mListCalls;
        return mList;
    }

    mutable int mListCalls = 0;
    const QList<Setting *> mList;

protected:
    void onWriteData(QByteArray) override {}
};

Setting *newSetting(const QString &name)
{
    return new Setting(name, Setting::SETTING_TYPE_TEXT, QString(), nullptr);
}

} // namespace

class TestDataProvider : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsAreListedOnce()
    {
        QList<Setting *> settings{newSetting(QStringLiteral("A")), newSetting(QStringLiteral("B"))};
        FakeProvider provider(settings);

        for (int read = 0; read < 2; ++read) {
            QQmlListReference list = settingsOf(&provider);
            QVERIFY(list.isValid());
            QCOMPARE(list.count(), 2);
            QCOMPARE(list.at(0), settings.at(0));
            QCOMPARE(list.at(1), settings.at(1));
        }
        QCOMPARE(provider.mListCalls, 1);
    }

    void emptySettingsAreAskedAgain()
    {
        FakeProvider provider({});
        for (int read = 0; read < 3; ++read)
            QCOMPARE(settingsOf(&provider).count(), 0);
        QCOMPARE(provider.mListCalls, 3);
    }

    void destructionReleasesListedSettings()
    {
        QList<Setting *> settings{newSetting(QStringLiteral("A")), newSetting(QStringLiteral("B"))};
        QStringList destroyed;
        int changes = 0;
        for (Setting *setting : settings) {
            // The setting's own signals are cut on release; a child still reports its end.
            auto *witness = new QObject(setting);
            connect(witness, &QObject::destroyed, this,
                    [&destroyed, name = setting->name()] { destroyed.append(name); });
            connect(setting, &Setting::valueChanged, this, [&changes] { ++changes; });
        }

        auto *provider = new FakeProvider(settings);
        QCOMPARE(settingsOf(provider).count(), 2);
        delete provider;

        // Disconnected at once, deleted only by the event loop, last first.
        settings.at(0)->setValue(QStringLiteral("x"));
        QCOMPARE(changes, 0);
        QVERIFY(destroyed.isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(destroyed, QStringList({QStringLiteral("B"), QStringLiteral("A")}));
    }

private:
    // Reads the list the way QML does.
    QQmlListReference settingsOf(DataProvider *provider)
    {
        return QQmlListReference(provider, "settings", &mEngine);
    }

    QQmlEngine mEngine;
};

QTEST_GUILESS_MAIN(TestDataProvider)
#include "tst_dataprovider.moc"
