#pragma once

#include "DesignColours.h"

#include <QPalette>
#include <QWidget>

namespace DesignColours {

// A design text colour, for labels and for the captions of buttons alike.
inline void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace DesignColours
