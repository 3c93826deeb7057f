#include "SheetStyle.h"

#include <QPagedPaintDevice>

namespace SheetStyle {

QFont font(double points)
{
    // The arphic faces ship with Debian and embed as TrueType, so the PDF
    // carries its own Chinese and pdftotext reads it back.
    QFont font;
    font.setFamilies({ QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UKai CN"),
                       QStringLiteral("Noto Sans CJK SC") });
    font.setPointSizeF(points);
    return font;
}

void setUpPage(QPagedPaintDevice *device)
{
    device->setPageSize(QPageSize(QPageSize::A4));
    device->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

} // namespace SheetStyle
