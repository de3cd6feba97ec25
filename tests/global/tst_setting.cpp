#include "global/setting.h"

#include <QtTest>

using QVt::Global::Setting;

class TestSetting : public QObject
{
    Q_OBJECT

private slots:
    // Each new value is announced once, through the QML property whose writer is
    // setValue(): from invalid to empty text, a value outside the choices, a choice.
    void announcesOnlyChanges()
    {
        Setting setting("Port", Setting::SETTING_TYPE_COMBO, QVariantList{"ttyS0", "ttyUSB0"}, QVariant(), nullptr);
        QSignalSpy spy(&setting, &Setting::valueChanged);
        for (const QVariant &value : QVariantList{"", "", "COM7", "COM7", "ttyS0"})
            QVERIFY(setting.setProperty("value", value));
        QVariantList announced;
        for (const QList<QVariant> &signal : spy)
            announced.append(signal.at(0).value<QVariant>());
        QCOMPARE(announced, (QVariantList{"", "COM7", "ttyS0"}));
        QCOMPARE(setting.value(), QVariant("ttyS0"));
    }
};

QTEST_APPLESS_MAIN(TestSetting)
#include "tst_setting.moc"
