#include "ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Translation::Translation(const QLocale &locale, QObject *parent)
    : QObject(parent)
{
    // Qt's buttons follow only where the program speaks the language too, so that no
    // window mixes two. Debian ships them in a package of their own; without it the
    // standard buttons stay English.
    if (install(locale, QStringLiteral("ktbridge-configurator"), QStringLiteral(":/translations")))
        install(locale, QStringLiteral("qtbase"), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}

bool Translation::install(const QLocale &locale, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(this);
    if (translator->load(locale, name, QStringLiteral("_"), directory))
        return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}
