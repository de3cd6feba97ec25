// The build date as the about window shows it, from the compiler's date text.
#include "buildDate.h"

#include <QtTest>

class TestBuildDate : public QObject
{
    Q_OBJECT

private slots:
    void buildDate_data();
    void buildDate();
};

void TestBuildDate::buildDate_data()
{
    QTest::addColumn<QString>("compilerDate");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two-digit day") << QStringLiteral("Oct 10 2016") << QStringLiteral("2016/10/10");
    QTest::newRow("day padded with a blank") << QStringLiteral("Oct  9 2016") << QStringLiteral("2016/10/09");
}

void TestBuildDate::buildDate()
{
    QFETCH(QString, compilerDate);
    QFETCH(QString, shown);
    QCOMPARE(QVt::buildDate(compilerDate), shown);
}

QTEST_MAIN(TestBuildDate)
#include "tst_buildDate.moc"
