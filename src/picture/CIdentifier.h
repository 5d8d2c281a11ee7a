#pragma once
// A C identifier made from any name (a file name, a --name), for the arrays Vantrel writes as
// C source: letters, digits and underscores only, never a leading digit, never a keyword of C
// or C++, never empty and never one of the names reserved to the compiler (a leading
// underscore). "2 logo-big.png" becomes "screen_2_logo_big".

#include <QString>

class CIdentifier {
public:
    static QString of(const QString& name);
};
