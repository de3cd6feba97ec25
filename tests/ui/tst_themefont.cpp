#include "ui/themeFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QtTest>

class TestThemeFont : public QObject
{
    Q_OBJECT

private slots:
    // The family name the program asks for lands on the font shipped in the theme.
    void themeFamilyResolvesToTheShippedLightFont()
    {
        const QString registered = ThemeFont::install();
        QVERIFY(!registered.isEmpty());
        QCOMPARE(QFont::substitute(ThemeFont::familyName()).toLower(), registered.toLower());

        QFont font(ThemeFont::familyName());
        font.setPixelSize(12);
        const QFontInfo info(font);
        QCOMPARE(info.family(), registered);
        QCOMPARE(info.style(), QFont::StyleNormal);
        // The family holds the light face only, so even a normal-weight request gets it
        // rather than a regular face of a related family installed on the system.
        QCOMPARE(info.styleName(), QStringLiteral("Regular"));
        QCOMPARE(QFontDatabase().weight(info.family(), info.styleName()), int(QFont::Light));
    }
};

QTEST_MAIN(TestThemeFont)
#include "tst_themefont.moc"
