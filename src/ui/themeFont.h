#pragma once

#include <QString>

// Makes the theme's font family resolve to the font file shipped in the theme's
// resources. Owns nothing; call from the GUI thread once the application object
// exists and before the default font is set:
//     ThemeFont::install();  QApplication::setFont(...);
class ThemeFont
{
public:
    // The family that the theme and the application font ask for.
    static QString familyName();

    // Registers the shipped font file with the font database and maps the theme's
    // family to it; returns the registered family, or an empty string (with a
    // warning logged) when the file is missing or unreadable.
    static QString install();
};
