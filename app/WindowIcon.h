#pragma once

#include <QIcon>

// The main window's 32 x 32 icon: a hand-held radio, drawn rather than shipped.
QIcon radioIcon();
