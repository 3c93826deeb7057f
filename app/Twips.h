#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>
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

// The design fonts by name; on Linux Qt's substitution table (see FontNames)
// turns them into installed CJK faces.
inline QFont font(const QString &family, double points)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setWeight(QFont::Normal);
    return f;
}

// A design text colour, for labels and for the captions of buttons alike.
inline void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace Twips
