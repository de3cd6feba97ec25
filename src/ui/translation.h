#pragma once

#include <QObject>

class QLocale;

// The program's texts and Qt's own (the buttons of standard dialogs) in the language of
// a locale, for as long as this object lives: it owns the translators it installs, and
// English, the language the sources are written in, shows where no translation exists.
// Lives in the GUI thread; create it before the first window is loaded.
class Translation : public QObject
{
    Q_OBJECT

public:
    explicit Translation(const QLocale &locale, QObject *parent = nullptr);

private:
    bool install(const QLocale &locale, const QString &name, const QString &directory);
};
