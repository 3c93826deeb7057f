#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace DesignColours {

// The grid's marks: a cell that keeps its row from being sent, an edit the file
// has not taken, a value sent but perhaps not as meant, rows not sent at all.
inline const QColor problemCell{ 255, 205, 210 };
inline const QColor unsavedCell{ 255, 236, 179 };
inline const QColor warningCell{ 255, 224, 130 };
inline const QColor notSentText{ 160, 160, 160 };

// A design text colour, for labels and for the captions of buttons alike.
inline void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace DesignColours
