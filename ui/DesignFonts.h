#pragma once

// The window designs ask for 楷体_GB2312 and 宋体, Windows faces that Linux does
// not have (fontconfig would hand out a Latin face and Chinese would show as
// boxes). Qt's substitution table maps them to the CJK faces of the Debian
// packages fonts-arphic-ukai / fonts-arphic-uming, or Noto CJK where present.
#include <QFont>
#include <QString>

namespace DesignFonts {

void installSubstitutes();

// A design font by name and size, normal weight.
QFont font(const QString &family, double points);

} // namespace DesignFonts
