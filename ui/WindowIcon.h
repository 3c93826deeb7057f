#pragma once

#include <QIcon>
#include <QImage>

// The main window's 32 x 32 icon: a hand-held radio, drawn rather than shipped.
// The image needs no display, so the build draws the installed PNG from it too.
QImage radioIconImage();
QIcon radioIcon();
