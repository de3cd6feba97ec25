#include "ui/customSpinBoxValidator.h"

#include <QLocale>
#include <QQmlEngine>
#include <QtQml>
#include <QtQuickTest>

// Prepares the QML engine of the Qt Quick tests as start-up prepares the application's:
// the spin-box validator type, and fixed number separators for exact text checks.
class ThemedControlsSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
    }
};

QUICK_TEST_MAIN_WITH_SETUP(themedcontrols, ThemedControlsSetup)
#include "tst_themedcontrols.moc"
