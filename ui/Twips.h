#pragma once

#include <QRect>
#include <QWidget>
#include <QtMath>

// The window designs are measured in twips (1440 to the inch, 15 to a pixel at
// 96 dots per inch); these turn them into pixels at the widget's logical DPI.
namespace Twips {

inline int toPixels(double twips, double dpi) { return qRound(twips * dpi / 1440.0); }

inline int toPixels(double twips, const QWidget *widget)
{
    return toPixels(twips, widget->logicalDpiX());
}

inline QRect rect(const QWidget *widget, double left, double top, double width, double height)
{
    return QRect(toPixels(left, widget), toPixels(top, widget),
                 toPixels(width, widget), toPixels(height, widget));
}

} // namespace Twips
