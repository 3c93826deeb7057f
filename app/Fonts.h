#pragma once

// The window designs ask for 楷体_GB2312 and 宋体, Windows faces that Linux does
// not have (fontconfig would hand out a Latin face and Chinese would show as
// boxes). Qt's substitution table maps them to the CJK faces of the Debian
// packages fonts-arphic-ukai / fonts-arphic-uming, or Noto CJK where present.
namespace Fonts {
void installSubstitutes();
}
