#include "buildDate.h"

#include <QDate>
#include <QLocale>

namespace QVt {

QString buildDate(const QString &compilerDate)
{
    // The compiler pads days below 10 with a blank; simplified() makes "d" parse them.
    const QDate date = QLocale(QStringLiteral("en_US"))
                           .toDate(compilerDate.simplified(), QStringLiteral("MMM d yyyy"));
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

} // namespace QVt
