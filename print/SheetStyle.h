#pragma once

#include <QFont>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;

// What every printed page of the program shares, the channel sheet's look:
// A4 with 15 mm margins, the arphic faces that embed in a PDF, a 16-point
// title over 9.5-point text, black on white.
namespace SheetStyle {

QFont font(double points);
inline QFont titleFont() { return font(16); }
inline QFont textFont() { return font(9.5); }

// A4 and the margins, before anything is measured or drawn.
void setUpPage(QPagedPaintDevice *device);

// Paints `pages` pages on `device`, one `paintPage(painter, page)` each;
// false when the device cannot be painted on.
bool printPages(QPagedPaintDevice *device, int pages, const std::function<void(QPainter &, int)> &paintPage);

// Writes `path` as a PDF titled `title` through `print`; false with `error`
// naming the file and the cause.
bool writePdf(const QString &path, const QString &title, const std::function<bool(QPagedPaintDevice *)> &print,
              QString *error);

} // namespace SheetStyle
