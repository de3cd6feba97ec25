#include "ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Translation::Translation(const QLocale &locale, QObject *parent)
    : QObject(parent)
{
    install(locale, QStringLiteral("ktbridge-configurator"), QStringLiteral(":/translations"));
    // Debian ships Qt's translations in a package of their own; without it the standard
    // buttons stay English.
    install(locale, QStringLiteral("qtbase"), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}

void Translation::install(const QLocale &locale, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(this);
    if (translator->load(locale, name, QStringLiteral("_"), directory))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
