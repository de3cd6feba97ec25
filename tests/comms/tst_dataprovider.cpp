#include "comms/dataProvider.h"
#include "global/setting.h"

#include <QPointer>
#include <QQmlEngine>
#include <QQmlListReference>
#include <QtTest>

using QVt::Comms::DataProvider;
using QVt::Global::Setting;

namespace {

// A provider whose settings the test gives, counting how often it is asked for them.
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

} // namespace

class TestDataProvider : public QObject
{
    Q_OBJECT

private slots:
    // QML sees the same objects on every read; an empty list is asked for again.
    void settingsListedOnce_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("listCalls");
        QTest::newRow("two settings") << 2 << 1;
        QTest::newRow("no settings") << 0 << 3;
    }

    void settingsListedOnce()
    {
        QFETCH(int, count);
        QFETCH(int, listCalls);
        QList<Setting *> settings;
        for (int i = 0; i < count; ++i)
            settings.append(new Setting(QString::number(i), Setting::SETTING_TYPE_TEXT, QString(), nullptr));
        FakeProvider provider(settings);
        QQmlEngine engine;
        for (int read = 0; read < 3; ++read) {
            QQmlListReference list(&provider, "settings", &engine);
            QCOMPARE(list.count(), count);
            QCOMPARE(count ? list.at(count - 1) : nullptr, count ? settings.constLast() : nullptr);
        }
        QCOMPARE(provider.mListCalls, listCalls);
    }

    // Released with the provider on their own thread, cut loose first: no signal of theirs
    // reaches anyone while they go.
    void destructionReleasesListedSettings()
    {
        auto *setting = new Setting("A", Setting::SETTING_TYPE_TEXT, QString(), nullptr);
        QPointer<Setting> watched = setting;
        int changes = 0;
        connect(setting, &Setting::valueChanged, this, [&changes] { ++changes; });
        connect(setting, &QObject::destroyed, this, [&changes] { changes += 100; });
        auto *provider = new FakeProvider({setting});
        QQmlEngine engine;
        QCOMPARE(QQmlListReference(provider, "settings", &engine).count(), 1);

        delete provider;
        QVERIFY(watched.isNull());
        QCOMPARE(changes, 0);
    }
};

QTEST_GUILESS_MAIN(TestDataProvider)
#include "tst_dataprovider.moc"
