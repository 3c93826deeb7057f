#pragma once

#include <QLayout>
#include <QWidget>

// After a text in a shown dialog changed: the dialog as high as its layout
// needs at its width, so that no wrapped line is cut off. It never shrinks,
// and a dialog not shown yet is left to size itself when it is.
inline void fitToText(QWidget *dialog)
{
    QLayout *layout = dialog->layout();
    if (!layout || !dialog->isVisible())
        return;
    layout->activate();
    const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(dialog->width())
                                                   : layout->totalSizeHint().height();
    if (needed > dialog->height())
        dialog->resize(dialog->width(), needed);
}
