#pragma once

#include <QFont>

class QPagedPaintDevice;

// What every printed page of the program shares, the channel sheet's look:
// A4 with 15 mm margins, the arphic faces that embed in a PDF, a 16-point
// title over 9.5-point text, black on white.
namespace SheetStyle {

QFont font(double points);
inline QFont titleFont() { return font(16); }
inline QFont textFont() { return font(9.5); }

// A4 and the margins, before anything is measured or drawn.
void setUpPage(QPagedPaintDevice *device);

} // namespace SheetStyle
