// Turns the compiler's build date ("Oct 10 2016", "Oct  9 2016") into the form the
// about window shows ("2016/10/10"). Pure function; owns nothing.
#pragma once

#include <QString>

namespace QVt {

QString buildDate(const QString &compilerDate);

} // namespace QVt
