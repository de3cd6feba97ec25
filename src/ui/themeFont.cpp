#include "ui/themeFont.h"

#include "global/logging.h"

#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {
const QString FONT_FILE = QStringLiteral(":/themes/halvard/fonts/FrutigerLTStd-Light.ttf");
} // namespace

QString ThemeFont::familyName()
{
    return QStringLiteral("Frutiger LT Std");
}

QString ThemeFont::install()
{
    const int id = QFontDatabase::addApplicationFont(FONT_FILE);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (id < 0 || families.isEmpty()) {
        qCWarning(QVt::Global::logWindow) << "Cannot register theme font" << FONT_FILE;
        return QString();
    }
    const QString family = families.constFirst();
    QFont::insertSubstitution(familyName(), family);
    return family;
}
